// volleyview: the hot-reloading previewer. Plays every pattern file it is given on the
// 320 x 240 page in a window, reloads a file the moment it changes on disk, and captures
// what it shows; the harness options add headless, scripted, traced and recorded runs.
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "draw2d/draw2d.hpp"
#include "harness/image_writers.hpp"
#include "harness/key_script.hpp"
#include "harness/options.hpp"
#include "harness/recorder.hpp"
#include "harness/trace.hpp"
#include "harness/trace_turret.hpp"
#include "harness/version.hpp"
#include "volley/volley.hpp"
#include "volleyview/viewer.hpp"

namespace {

constexpr int DEFAULT_SCALE = 2;
constexpr double FRAME_SECONDS = 1.0 / 60.0;

const char* const HELP =
    "usage: volleyview [--scale N] [--headless] [--frames N] [--keys FILE]\n"
    "                  [--trace FILE [--trace-from A] [--trace-to B]]\n"
    "                  [--png PATTERN [--png-every K]] [--gif FILE [--gif-every K]]\n"
    "                  [--help] [--version] [FILE|DIR]...\n"
    "\n"
    "Plays pattern programmes (.vly and .json files) on a 320 x 240 page in a window and\n"
    "reloads a file as soon as it changes on disk. A DIR stands for every pattern file in it,\n"
    "sorted by name; with no FILE or DIR the current directory is used. The palette\n"
    "korvane.pal, the bullet sheet kv_bullet.put and the font tiny_font.put are read from the\n"
    "working directory.\n"
    "\n"
    "Keys:\n"
    "  PageUp, PageDown   the previous or next file (wrapping round)\n"
    "  R                  restart the programme from its first set\n"
    "  P                  pause or resume\n"
    "  . (period)         one frame while paused\n"
    "  H                  hide or show the overlay\n"
    "  F12                write the page to volley_NNNN.png (the next free number here)\n"
    "  F11                start or stop a recording into volley_NNNN.gif\n"
    "  Escape             quit (so does closing the window)\n"
    "Mouse: while the pointer is over the window the cannon aims at it; dragging with the\n"
    "left button moves the cannon.\n"
    "\n"
    "Files are checked four times a second (modification time, size and inode, so an editor\n"
    "that saves through a temporary file and a rename is seen). A changed file is reloaded\n"
    "and restarted; a file that no longer loads keeps its last good version playing and its\n"
    "error (file, set, field) is shown in red on the page and printed once on standard\n"
    "error. A deleted file leaves the list; new files in a listed directory join it.\n"
    "The overlay shows the file and its place in the list, the set and the frame within it,\n"
    "the live bullets, the step and draw times in microseconds (over the last 60 frames) and\n"
    "the frames per second.\n"
    "\n"
    "Options:\n"
    "  --scale N          the window is N times the page, 1 to 8 (default 2)\n"
    "  --headless         no window: memory screen, virtual 60 Hz clock; needs --frames N or\n"
    "                     a key script that presses Escape\n"
    "  --frames N         quit after N frames\n"
    "  --keys FILE        scripted input: lines \"FRAME KEY down|up\" (KEY one of PageUp\n"
    "                     PageDown R P Period H F11 F12 Escape MouseLeft ...) and\n"
    "                     \"FRAME MOUSE X Y\" (the pointer at page pixel X, Y from then on)\n"
    "  --trace FILE       JSON Lines, one object per frame: \"frame\", \"file\", \"files\",\n"
    "                     \"paused\", \"overlay\", \"set\", \"sets\", \"set_frame\" and\n"
    "                     \"cannons\" with every field and live bullet of the cannon\n"
    "  --trace-from A, --trace-to B   the traced frames (default: all)\n"
    "  --png PATTERN      one PNG per recorded frame, PATTERN holds one %d (view%04d.png)\n"
    "  --gif FILE         an animated GIF of the recorded frames\n"
    "  --png-every K, --gif-every K   record frames 1, 1+K, 1+2K, ... (default 1)\n"
    "  --help             this text\n"
    "  --version          the version number and the commit the program was built from\n"
    "\n"
    "Exit status: 0 when the viewer quits; 2 for a bad option, no pattern file at all, a\n"
    "window that cannot open, or a trace or recording that cannot be written.\n"
    "\n"
    "Example: volleyview --scale 3 patterns/\n";

// Options that take a value as the next argument (unless given as --option=value).
bool TAKES_VALUE(const std::string& ARG) {
  for (const char* O : {"--frames", "--trace", "--trace-from", "--trace-to", "--png", "--png-every",
                        "--gif", "--gif-every", "--keys", "--scale"})
    if (ARG == O) return true;
  return false;
}

[[noreturn]] void USAGE_ERROR(const std::string& WHY) {
  harness::fail_before_run("volleyview: " + WHY + "\n(volleyview --help tells more)");
}

struct COMMAND_LINE {
  int SCALE = DEFAULT_SCALE;
  std::vector<std::string> PATHS;
  harness::RunOptions OPTIONS;
};

// Splits off --scale and the paths; the harness parses every other option.
COMMAND_LINE PARSE(int ARGC, char** ARGV) {
  COMMAND_LINE C;
  std::vector<const char*> REST{ARGV[0]};
  bool SCALE_SEEN = false;
  bool ONLY_PATHS = false;
  for (int I = 1; I < ARGC; ++I) {
    const std::string ARG = ARGV[I];
    if (ONLY_PATHS || ARG.empty() || ARG[0] != '-' || ARG == "-") {
      C.PATHS.push_back(ARG);
    } else if (ARG == "--") {
      ONLY_PATHS = true;
    } else if (ARG == "--scale" || ARG.rfind("--scale=", 0) == 0) {
      if (SCALE_SEEN) USAGE_ERROR("option --scale given twice");
      SCALE_SEEN = true;
      std::string VALUE = ARG == "--scale" ? (I + 1 < ARGC ? ARGV[++I] : "") : ARG.substr(8);
      int N = 0;
      const auto [P, EC] = std::from_chars(VALUE.data(), VALUE.data() + VALUE.size(), N);
      if (VALUE.empty() || EC != std::errc() || P != VALUE.data() + VALUE.size() || N < 1 || N > 8)
        USAGE_ERROR("option --scale needs a whole number from 1 to 8, not '" + VALUE + "'");
      C.SCALE = N;
    } else {
      REST.push_back(ARGV[I]);
      if (TAKES_VALUE(ARG) && I + 1 < ARGC) REST.push_back(ARGV[++I]);
    }
  }
  harness::OptionsConfig CONFIG;
  CONFIG.PROGRAM = "volleyview";
  CONFIG.ALLOW_KEYS = true;
  CONFIG.HEADLESS_NEEDS_FRAMES = false;  // an Escape in the key script ends the run as well
  const harness::ParseResult R =
      harness::parse_options(static_cast<int>(REST.size()), REST.data(), CONFIG);
  if (R.STATUS == harness::ParseStatus::VERSION) {
    std::fputs(harness::version_text("volleyview").c_str(), stdout);
    std::fflush(stdout);
    std::exit(0);
  }
  if (R.STATUS == harness::ParseStatus::HELP) {
    std::fputs(HELP, stdout);
    std::fflush(stdout);
    std::exit(0);
  }
  if (R.STATUS == harness::ParseStatus::ERROR) USAGE_ERROR(R.ERROR);
  C.OPTIONS = R.OPTIONS;
  return C;
}

bool PRESSES_ESCAPE(const harness::KeyScript& SCRIPT) {
  for (const harness::KeyEvent& E : SCRIPT.events())
    if (E.SCANCODE == draw2d::KEY_ESCAPE && E.DOWN) return true;
  return false;
}

// One trace line: the frame, the file and its state, and the cannon as the player traces its own.
void WRITE_TRACE_LINE(harness::TraceWriter& W, const NVIEW::VIEWER& V, int32_t FRAME) {
  W.begin_object();
  W.field("frame", FRAME);
  const int32_t I = V.CURRENT();
  const std::string FILE =
      I < 0 ? std::string() : V.FILES()[static_cast<std::size_t>(I)].PATH.string();
  W.key("file");
  W.value(I < 0 ? nullptr : FILE.c_str());
  W.field("files", static_cast<int32_t>(V.FILES().size()));
  W.field("paused", V.PAUSED());
  W.field("overlay", V.OVERLAY());
  W.field("set", V.SET());
  W.field("sets", V.SETS());
  W.field("set_frame", V.SET_FRAME());
  W.key("cannons");
  W.begin_array();
  if (V.CANNON() != nullptr) harness::trace_turret(W, V.CANNON()->turret());
  W.end_array();
  W.end_object();
  W.end_line();
}

// Press detection: true in the frame in which the key goes down.
struct PRESS {
  int CODE;
  bool HELD = false;
  bool STEP() {
    const bool NOW = draw2d::key_state(CODE) != 0;
    const bool PRESSED = NOW && !HELD;
    HELD = NOW;
    return PRESSED;
  }
};

// The whole run; returns the exit code. The viewer and its cannon are gone when it returns.
int RUN(const COMMAND_LINE& CMD) {
  const harness::RunOptions& OPTIONS = CMD.OPTIONS;

  std::string ERROR;
  harness::KeyScript SCRIPT;
  if (!OPTIONS.KEYS.empty() && !SCRIPT.load(OPTIONS.KEYS, ERROR))
    harness::fail_before_run("volleyview: " + ERROR);
  if (OPTIONS.HEADLESS && OPTIONS.FRAMES == 0 && !PRESSES_ESCAPE(SCRIPT))
    USAGE_ERROR("--headless needs --frames N or a --keys script that presses Escape");

  NVIEW::VIEWER VIEW(CMD.PATHS);
  std::vector<std::string> ERRORS;
  VIEW.POLL(ERRORS);
  for (const std::string& E : ERRORS) std::fprintf(stderr, "volleyview: %s\n", E.c_str());
  if (VIEW.FILES().empty()) {
    std::string WHERE;
    for (const std::string& P : CMD.PATHS) WHERE += " " + P;
    harness::fail_before_run("volleyview: no pattern file (.vly or .json) in" +
                             (WHERE.empty() ? std::string(" the current directory") : WHERE));
  }

  harness::TraceWriter TRACE;
  if (!OPTIONS.TRACE.empty() && !TRACE.open(OPTIONS.TRACE, ERROR))
    harness::fail_before_run("volleyview: " + ERROR);
  harness::Recorder RECORDER;
  if (!RECORDER.open(OPTIONS, ERROR)) harness::fail_before_run("volleyview: " + ERROR);

  draw2d::set_headless(OPTIONS.HEADLESS);
  draw2d::set_window_scale(CMD.SCALE);
  if (!draw2d::open_screen(NVIEW::PAGE_W, NVIEW::PAGE_H, 8, 1, draw2d::SCREEN_DEFAULT))
    harness::fail_before_run(
        "volleyview: cannot open a window (is DISPLAY set? --headless runs without one)");
  // From here on the run ends through the loop, which releases every cannon: the tracker's
  // report then lists anything the previewer leaked.
  volley::enable_leak_report(true);
  VIEW.LOAD_ASSETS();
  uint8_t* PAGE = draw2d::create_buffer(NVIEW::PAGE_W, NVIEW::PAGE_H);

  PRESS PREVIOUS{draw2d::KEY_PAGEUP}, NEXT{draw2d::KEY_PAGEDOWN}, RESTART{draw2d::KEY_R},
      PAUSE{draw2d::KEY_P}, STEP{draw2d::KEY_PERIOD}, OVERLAY{draw2d::KEY_H},
      SNAPSHOT{draw2d::KEY_F12}, RECORD{draw2d::KEY_F11};
  NVIEW::RUNNING_MEAN FRAME_TIME;
  double NEXT_POLL = draw2d::timer() + NVIEW::POLL_SECONDS;
  double LAST_FRAME = draw2d::timer();
  double DEADLINE = LAST_FRAME;
  bool FAILED = false;
  for (int32_t F = 1; PAGE != nullptr; ++F) {
    SCRIPT.apply(F);
    if (draw2d::timer() >= NEXT_POLL) {
      ERRORS.clear();
      VIEW.POLL(ERRORS);
      for (const std::string& E : ERRORS) std::fprintf(stderr, "volleyview: %s\n", E.c_str());
      NEXT_POLL = draw2d::timer() + NVIEW::POLL_SECONDS;
    }
    NVIEW::INPUT_TYPE IN;
    IN.PREVIOUS = PREVIOUS.STEP();
    IN.NEXT = NEXT.STEP();
    IN.RESTART = RESTART.STEP();
    IN.PAUSE = PAUSE.STEP();
    IN.STEP = STEP.STEP();
    IN.OVERLAY = OVERLAY.STEP();
    const draw2d::MouseState MOUSE = draw2d::mouse_state();
    IN.POINTER_INSIDE = MOUSE.INSIDE;
    IN.DRAGGING = MOUSE.INSIDE && MOUSE.LEFT;
    IN.X = static_cast<float>(MOUSE.X);
    IN.Y = static_cast<float>(MOUSE.Y);
    VIEW.FRAME(IN);

    const double NOW = draw2d::timer();
    if (F > 1) FRAME_TIME.ADD(NOW - LAST_FRAME);
    LAST_FRAME = NOW;
    VIEW.DRAW(PAGE, FRAME_TIME.MEAN() > 0.0 ? 1.0 / FRAME_TIME.MEAN() : 0.0);
    if (OPTIONS.traces(F)) WRITE_TRACE_LINE(TRACE, VIEW, F);
    draw2d::blit(nullptr, 0, 0, PAGE, draw2d::Blit::OPAQUE);  // the window shows it at once

    std::vector<std::string> LINES;
    const bool F12 = SNAPSHOT.STEP(), F11 = RECORD.STEP();
    if (!FAILED && (!harness::capture_key_presses(RECORDER, F12, F11, LINES, ERROR) ||
                    (RECORDER.wants(F) &&
                     !RECORDER.capture_indexed(F, PAGE, harness::current_palette(), ERROR)))) {
      std::fprintf(stderr, "volleyview: %s\n", ERROR.c_str());
      FAILED = true;  // the run goes on; the exit code tells
    }
    for (const std::string& LINE : LINES) std::printf("%s\n", LINE.c_str());
    std::fflush(stdout);

    if (draw2d::key_state(draw2d::KEY_ESCAPE) != 0 || OPTIONS.last_frame(F)) break;
    // Pacing: sleep until the next 1/60 s; a frame that fell behind restarts the beat.
    if (OPTIONS.HEADLESS) {
      draw2d::tick_frame();
    } else {
      const double AFTER = draw2d::timer();
      DEADLINE =
          DEADLINE + FRAME_SECONDS < AFTER - FRAME_SECONDS ? AFTER : DEADLINE + FRAME_SECONDS;
      if (DEADLINE > AFTER)
        std::this_thread::sleep_for(std::chrono::duration<double>(DEADLINE - AFTER));
    }
  }

  if (PAGE == nullptr) {
    std::fprintf(stderr, "volleyview: cannot allocate the page\n");
    FAILED = true;
  }
  draw2d::free_buffer(PAGE);
  if (TRACE.is_open() && !TRACE.close()) {
    std::fprintf(stderr, "volleyview: the trace file %s could not be written\n",
                 OPTIONS.TRACE.c_str());
    FAILED = true;
  }
  const std::string RUNNING_GIF = RECORDER.key_gif();
  if (!RECORDER.close(ERROR)) {
    std::fprintf(stderr, "volleyview: %s\n", ERROR.c_str());
    FAILED = true;
  } else if (!RUNNING_GIF.empty()) {
    std::printf("wrote %s\n", RUNNING_GIF.c_str());
  }
  return FAILED ? harness::EXIT_USAGE : 0;
}

}  // namespace

int main(int ARGC, char** ARGV) { draw2d::end(RUN(PARSE(ARGC, ARGV))); }
