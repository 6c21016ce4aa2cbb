// draw2d runtime, shared by the window and the null back-end: pages and page flips, the
// clock and the frame pacing, the keyboard (window keys OR scripted keys), the console, the
// fatal-error end and the program end. Every screen keeps its pages here; a window, when there
// is one, only shows the visible page. Headless mode and its virtual clock are in null/.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <thread>

#include "draw2d/draw2d.hpp"
#include "draw2d/internal.hpp"
#include "leakscope/leakscope.hpp"

namespace draw2d {

namespace {

constexpr int MAX_PAGES = 4;
constexpr int MAX_SCANCODE = 128;

struct Screen {
  bool OPEN = false;
  bool WINDOW = false;
  bool DIRTY = false;  // the visible page changed since the window last showed it
  int W = 0, H = 0, PAGES = 0;
  int WORK = 0, VISIBLE = 0;
  uint8_t* PAGE[MAX_PAGES] = {};
};

Screen SCREEN;
int WINDOW_SCALE = 1;  // the window shows each page pixel as N x N pixels
bool SCRIPTED[MAX_SCANCODE] = {};
std::deque<std::string> KEYS;
MouseState MOUSE;

using Clock = std::chrono::steady_clock;
const Clock::time_point ORIGIN = Clock::now();
double LAST_RETRACE = 0.0;  // real time of the last paced retrace

double real_time() { return std::chrono::duration<double>(Clock::now() - ORIGIN).count(); }

void present_visible() {
  if (!SCREEN.WINDOW) return;
  detail::window_present(SCREEN.PAGE[SCREEN.VISIBLE] + HEADER_BYTES, SCREEN.W, SCREEN.H);
  SCREEN.DIRTY = false;
}

// Window events are handled at every keyboard, sleep and retrace call; drawing that was left
// unshown (boxes, circles, palette changes) reaches the window here.
void pump() {
  if (!SCREEN.WINDOW) return;
  detail::window_pump();
  if (SCREEN.DIRTY) present_visible();
}

bool key_waiting() { return !KEYS.empty(); }

}  // namespace

// ---- Internals used by the core and the window back-end ----

namespace detail {

uint8_t* work_page() { return SCREEN.OPEN ? SCREEN.PAGE[SCREEN.WORK] : nullptr; }

void drawn(const void* TARGET, bool NOW) {
  if (!SCREEN.WINDOW) return;
  // A null TARGET stands for a palette change, which the visible page shows too.
  if (TARGET && TARGET != SCREEN.PAGE[SCREEN.VISIBLE]) return;
  if (NOW) {
    present_visible();
  } else {
    SCREEN.DIRTY = true;
  }
}

void queue_key(const std::string& KEY) {
  if (!KEY.empty()) KEYS.push_back(KEY);
}

void mouse_moved(int X, int Y, bool INSIDE) {
  if (!INSIDE) {  // the pointer left: its last position stays
    MOUSE.INSIDE = false;
    return;
  }
  MOUSE.X = X;
  MOUSE.Y = Y;
  MOUSE.INSIDE = SCREEN.OPEN && X >= 0 && Y >= 0 && X < SCREEN.W && Y < SCREEN.H;
}

void mouse_button(bool DOWN) { MOUSE.LEFT = DOWN; }

}  // namespace detail

// ---- Screen ----

bool open_screen(int W, int H, int DEPTH, int PAGES, unsigned FLAGS) {
  close_screen();
  // CHOICE: any size from 1 x 1 to 2048 x 2048 opens (the programs use 320 x 240 and
  // 640 x 480); the depth must be 8 and the page count 1 to 4. The depth rule is pinned by
  // Draw2dScreen.HeadlessPagesFlipClockAndKeys.
  if (W < 1 || H < 1 || W > 2048 || H > 2048 || DEPTH != 8 || PAGES < 1 || PAGES > MAX_PAGES)
    return false;
  for (int I = 0; I < PAGES; ++I) {
    SCREEN.PAGE[I] = create_buffer(W, H, 0);
    if (!SCREEN.PAGE[I]) {
      for (int J = 0; J < I; ++J) free_buffer(SCREEN.PAGE[J]);
      std::fill(std::begin(SCREEN.PAGE), std::end(SCREEN.PAGE), nullptr);
      return false;
    }
  }
  SCREEN.W = W;
  SCREEN.H = H;
  SCREEN.PAGES = PAGES;
  SCREEN.WORK = SCREEN.VISIBLE = 0;
  SCREEN.OPEN = true;
  SCREEN.DIRTY = false;
  if (!headless() && !(FLAGS & SCREEN_NULL)) {
    if (!detail::window_open(W, H, FLAGS, WINDOW_SCALE)) {
      close_screen();
      return false;
    }
    SCREEN.WINDOW = true;
    present_visible();  // the window starts out showing the cleared page
  }
  LAST_RETRACE = real_time();
  return true;
}

void close_screen() {
  if (SCREEN.WINDOW) {
    detail::window_close();
    detail::window_release_keys();
    MOUSE = MouseState{};
  }
  for (auto*& P : SCREEN.PAGE) {
    free_buffer(P);
    P = nullptr;
  }
  SCREEN = Screen{};
}

bool screen_is_open() { return SCREEN.OPEN; }
bool screen_has_window() { return SCREEN.WINDOW; }
int screen_width() { return SCREEN.W; }
int screen_height() { return SCREEN.H; }

void set_pages(int WORK, int VISIBLE) {
  if (!SCREEN.OPEN) return;
  // A page number the screen does not have leaves that choice unchanged.
  if (WORK >= 0 && WORK < SCREEN.PAGES) SCREEN.WORK = WORK;
  if (VISIBLE >= 0 && VISIBLE < SCREEN.PAGES && VISIBLE != SCREEN.VISIBLE) {
    SCREEN.VISIBLE = VISIBLE;
    present_visible();
  }
}

uint8_t* page_buffer(int PAGE) {
  if (!SCREEN.OPEN || PAGE < 0 || PAGE >= SCREEN.PAGES) return nullptr;
  return SCREEN.PAGE[PAGE];
}

const uint8_t* visible_buffer() { return SCREEN.OPEN ? SCREEN.PAGE[SCREEN.VISIBLE] : nullptr; }

void copy_page() {
  if (!SCREEN.OPEN) return;
  if (SCREEN.WORK != SCREEN.VISIBLE) {
    std::memcpy(SCREEN.PAGE[SCREEN.VISIBLE], SCREEN.PAGE[SCREEN.WORK],
                buffer_bytes(SCREEN.W, SCREEN.H));
  }
  present_visible();
  pump();
}

void wait_retrace() {
  if (headless()) {
    tick_frame();
    return;
  }
  pump();
  // The window's presentation does not tell when the display retraces (and a virtual X
  // server never waits), so retraces are paced from the real clock at 60 per second.
  const double NOW = real_time();
  if (LAST_RETRACE < NOW - FRAME_SECONDS) LAST_RETRACE = NOW;  // fell behind: restart the beat
  wait_frame(LAST_RETRACE, real_time);
  LAST_RETRACE += FRAME_SECONDS;
}

// ---- Keyboard ----

int key_state(int SCANCODE) {
  if (SCANCODE < 0 || SCANCODE >= MAX_SCANCODE) return 0;
  pump();
  return (SCRIPTED[SCANCODE] || (SCREEN.WINDOW && detail::window_key_held(SCANCODE))) ? -1 : 0;
}

std::string inkey() {
  pump();
  if (KEYS.empty()) return {};
  std::string K = std::move(KEYS.front());
  KEYS.pop_front();
  return K;
}

void wait_key() {
  if (headless() || key_waiting()) return;
  if (!SCREEN.WINDOW) {
    // Without a window the keyboard is the console's; end of input ends the wait.
    console_read_key();
    return;
  }
  while (!key_waiting() && SCREEN.WINDOW) {
    pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

// ---- Mouse ----

MouseState mouse_state() {
  pump();
  return MOUSE;
}

void set_mouse(int X, int Y) { detail::mouse_moved(X, Y, true); }

void set_mouse_button(bool DOWN) { detail::mouse_button(DOWN); }

// ---- Time ----

double timer() { return headless() ? detail::virtual_time() : real_time(); }

void wait_frame(double START, double (*NOW)()) {
  // DEVIATION(pacing-sleeps): sleep until 0.2 ms before the deadline, then poll, instead of
  // polling the clock for the whole frame; frames are still at least 1/60 s apart. The margin only
  // absorbs the usual lateness of a wake-up (tens of microseconds); the poll that follows
  // costs about one percent of a core. Pinned by DisplayPacing.WaitsUntilAFrameHasPassed.
  constexpr double MARGIN = 0.0002;
  const double LEFT = FRAME_SECONDS - (NOW() - START);
  if (LEFT > MARGIN) std::this_thread::sleep_for(std::chrono::duration<double>(LEFT - MARGIN));
  while (NOW() - START < FRAME_SECONDS) std::this_thread::yield();
}

void sleep_ms(int MS, bool KEY_CANCELS) {
  if (headless() || MS <= 0) return;
  const double UNTIL = real_time() + MS / 1000.0;
  for (;;) {
    pump();
    if (KEY_CANCELS && key_waiting()) return;
    const double LEFT = UNTIL - real_time();
    if (LEFT <= 0.0) return;
    std::this_thread::sleep_for(std::chrono::duration<double>(std::min(LEFT, 0.005)));
  }
}

// ---- Scripted input ----

void set_window_scale(int N) { WINDOW_SCALE = N >= 1 && N <= 8 ? N : 1; }

int window_scale() { return WINDOW_SCALE; }

void set_key(int SCANCODE, bool DOWN) {
  if (SCANCODE >= 0 && SCANCODE < MAX_SCANCODE) SCRIPTED[SCANCODE] = DOWN;
}

void push_key(const std::string& KEY) { detail::queue_key(KEY); }

// ---- Console ----

void console_clear() {
  // Escape codes go to terminals only; a pipe or file receives nothing.
  if (isatty(STDOUT_FILENO)) {
    std::fputs("\x1b[2J\x1b[H", stdout);
    std::fflush(stdout);
  }
}

void console_print(const std::string& LINE) {
  std::fwrite(LINE.data(), 1, LINE.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

int console_read_key() {
  std::fflush(stdout);
  return LEAKSCOPE_READ_KEY();
}

void end(int CODE) {
  close_screen();
  std::exit(CODE);
}

void fatal(const std::string& LINE, FatalWait WAIT) {
  console_print(LINE);
  if (!headless()) {
    if (WAIT == FatalWait::ONE_SECOND) {
      sleep_ms(1000);
    } else if (screen_is_open()) {
      wait_key();
    } else {
      console_read_key();
    }
  }
  end(0);
}

}  // namespace draw2d
