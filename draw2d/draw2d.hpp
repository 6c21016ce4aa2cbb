// draw2d: Volley's 2D drawing library (interface).
// An 8-bit paletted core (image buffers, blits, boxes, circles, palette) and a runtime (pages,
// clock, keyboard, console, end) shared by two screen back-ends: a window on SDL2 and a null
// back-end for headless runs that keeps the screen in memory only.
// Only files under draw2d/sdl2/ include SDL; everything else talks to this header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace draw2d {

// ---------------------------------------------------------------------------------------------
// Image buffers. Layout: 16-bit width field (width x 8, plus the bytes per pixel in bits 0-2),
// 16-bit height, then width x height bytes (one palette index per pixel, top row first), padded
// to an even length. Sprite frames, glyphs, pages and screens all use it.
// ---------------------------------------------------------------------------------------------

inline constexpr std::size_t HEADER_BYTES = 4;
/// The largest buffer the header can describe: the width field holds width x 8 in 16 bits.
inline constexpr int MAX_BUFFER_WIDTH = 8191;
inline constexpr int MAX_BUFFER_HEIGHT = 65535;

/// Width in pixels of a buffer (width field / 8, rounded down).
int width_of(const void* BUFFER);
/// Height in pixels of a buffer.
int height_of(const void* BUFFER);
/// Bytes a buffer of W x H pixels occupies, header and pad byte included.
std::size_t buffer_bytes(int W, int H);
/// Writes the header: width field W x 8 + BPP_BITS (0 or 1 for 8-bit art), height H.
void write_header(void* BUFFER, int W, int H, int BPP_BITS = 0);
/// A library-owned buffer of W x H pixels filled with FILL, header written; null on failure
/// (W or H negative, W above MAX_BUFFER_WIDTH, H above MAX_BUFFER_HEIGHT). Release it with
/// free_buffer. Library buffers and pages come from the system allocator, not the allocation
/// tracker, so they never show in a leak report.
uint8_t* create_buffer(int W, int H, uint8_t FILL = 0);
void free_buffer(uint8_t* BUFFER);

// ---------------------------------------------------------------------------------------------
// Drawing. A null TARGET means the screen's current work page. Coordinates are rounded to the
// nearest pixel with halves away from zero; every operation clips to its target.
// Drawing onto the visible page of a one-page window presents it (the window stays current).
// ---------------------------------------------------------------------------------------------

enum class Blit { TRANSPARENT, OPAQUE };

/// Nearest whole pixel, halves away from zero (2.5 -> 3, -2.5 -> -3).
int round_coord(float V);

/// Copies SOURCE with its top-left corner at (X, Y). TRANSPARENT skips index 0.
void blit(void* TARGET, float X, float Y, const void* SOURCE, Blit MODE);
/// Writes a W x H frame (header and pixels) taken at (X, Y) of SOURCE into DEST. Pixels that
/// lie outside SOURCE are written as 0. DEST must hold buffer_bytes(W, H) bytes.
void grab(const void* SOURCE, int X, int Y, int W, int H, void* DEST);
/// Filled box; both corners are inclusive and may be given in any order.
void box(void* TARGET, float X1, float Y1, float X2, float Y2, uint8_t COLOUR);
/// One-pixel circle outline of radius |R| centred on (CX, CY), full arc, no fill.
void circle(void* TARGET, float CX, float CY, float R, uint8_t COLOUR);

// ---------------------------------------------------------------------------------------------
// Palette: 256 entries in the packed 6-bit form (red bits 0-5, green 8-13, blue 16-21).
// ---------------------------------------------------------------------------------------------

struct Rgb {
  uint8_t R, G, B;
};

void set_palette(int INDEX, uint32_t PACKED);
uint32_t get_palette(int INDEX);
/// 8-bit display colour of an entry: each 6-bit component c becomes c x 255 / 63, truncated.
Rgb palette_rgb(int INDEX);

// ---------------------------------------------------------------------------------------------
// Files.
// ---------------------------------------------------------------------------------------------

/// Copies the bytes after the 7-byte header of FILE (identifier 0xFD, data length at offset 5)
/// into DEST, at most CAPACITY bytes. Returns the number of bytes copied (0 for a missing file).
std::size_t load_memory_image(const char* FILE, void* DEST, std::size_t CAPACITY);
/// Decodes the 8-bit bitmap FILE (top-down or bottom-up) into the image buffer DEST, which holds
/// CAPACITY bytes: header written as width x 8 + 1 and height, pixels top row first. Pixels that
/// do not fit into CAPACITY are dropped. Returns false when the file cannot be decoded.
bool load_bitmap(const char* FILE, void* DEST, std::size_t CAPACITY);

// ---------------------------------------------------------------------------------------------
// Screen. One screen at a time, depth 8, from 1 x 1 to 2048 x 2048 with 1 to 4 pages (the
// programs open 320 x 240 and 640 x 480 screens of one or two pages).
// ---------------------------------------------------------------------------------------------

enum ScreenFlags : unsigned {
  SCREEN_DEFAULT = 0,
  SCREEN_FULLSCREEN = 1,  ///< full screen instead of a window
  SCREEN_NO_SWITCH = 2,   ///< the user may not switch between window and full screen
  SCREEN_NULL = 4,        ///< no window at all: a memory screen only
};

/// Opens the screen; in headless mode every screen is a null screen. Returns false on failure.
bool open_screen(int W, int H, int DEPTH, int PAGES, unsigned FLAGS);
/// Closes the window (if any) and frees the pages. Safe to call when nothing is open.
void close_screen();
bool screen_is_open();
/// True when the open screen shows a real window.
bool screen_has_window();
int screen_width();
int screen_height();
/// Drawing with a null target goes to WORK; VISIBLE is what the window shows.
void set_pages(int WORK, int VISIBLE);
/// Image buffer of a page (header + pixels), or null when there is no such page.
uint8_t* page_buffer(int PAGE);
/// Image buffer of the page that is shown (what a recording of the screen sees).
const uint8_t* visible_buffer();
/// Copies the work page onto the visible page; the whole frame becomes visible at once.
void copy_page();
/// Returns at the next vertical retrace (the window's presentation pace). In headless mode it
/// returns at once and advances the virtual clock by 1/60 s.
void wait_retrace();

// ---------------------------------------------------------------------------------------------
// Keyboard. Scan codes as the programs use them.
// ---------------------------------------------------------------------------------------------

inline constexpr int KEY_ESCAPE = 1, KEY_TAB = 15, KEY_ENTER = 28, KEY_F1 = 59, KEY_F2 = 60,
                     KEY_F3 = 61, KEY_F4 = 62, KEY_UP = 72, KEY_LEFT = 75, KEY_RIGHT = 77,
                     KEY_DOWN = 80;

/// The designer's programme keys (set-1 scan codes).
inline constexpr int KEY_F5 = 63, KEY_F6 = 64, KEY_F7 = 65, KEY_HOME = 71, KEY_END = 79,
                     KEY_INSERT = 82, KEY_DELETE = 83;
inline constexpr int KEY_PAGEUP = 73, KEY_PAGEDOWN = 81;

/// Keys of the previewer and the capture keys (set-1 scan codes).
inline constexpr int KEY_R = 19, KEY_P = 25, KEY_H = 35, KEY_PERIOD = 52, KEY_F11 = 87,
                     KEY_F12 = 88;

/// Nonzero (-1) while the key with this scan code is held, by the window or by set_key
/// (window events are processed first).
int key_state(int SCANCODE);
/// The next waiting key as text, or "" when no key is waiting. Never blocks.
std::string inkey();
/// Blocks until a key is waiting; the key stays waiting for inkey. Returns at once in headless
/// mode; without a window it reads one console key instead (end of input ends the wait).
void wait_key();

// ---------------------------------------------------------------------------------------------
// Mouse. The pointer in screen pixels (window coordinates divided by the window's scale) and
// the left button, from the window's events or from set_mouse (whichever came last).
// ---------------------------------------------------------------------------------------------

struct MouseState {
  int X = 0, Y = 0;     ///< last pointer position in screen pixels
  bool INSIDE = false;  ///< the pointer lies over the screen
  bool LEFT = false;    ///< the left button is held
};

/// The pointer and the left button now (window events are processed first).
MouseState mouse_state();
/// Scripted pointer position; it is inside when it lies on the open screen.
void set_mouse(int X, int Y);
/// Scripted left button.
void set_mouse_button(bool DOWN);

// ---------------------------------------------------------------------------------------------
// Time. A real monotonic clock, or in headless mode a virtual clock that starts at 0.0 and
// advances by exactly 1/60 s per retrace wait or presented frame (tick_frame).
// ---------------------------------------------------------------------------------------------

double timer();
/// The screens present at most 60 frames per second; one frame lasts FRAME_SECONDS.
inline constexpr int FRAMES_PER_SECOND = 60;
inline constexpr double FRAME_SECONDS = 1.0 / FRAMES_PER_SECOND;
/// Returns once NOW() - START >= FRAME_SECONDS on the clock NOW: sleeps until shortly before
/// the deadline and polls the rest, so it does not hold a core. Returns at once when the
/// frame is already over.
void wait_frame(double START, double (*NOW)());
/// Sleeps MS milliseconds; with KEY_CANCELS a waiting key ends the sleep early (and stays
/// waiting). Skipped headless.
void sleep_ms(int MS, bool KEY_CANCELS = false);
/// Advances the virtual clock by one frame (1/60 s) in headless mode; nothing otherwise.
void tick_frame();

// ---------------------------------------------------------------------------------------------
// Headless runs (the null back-end) and scripted input.
// ---------------------------------------------------------------------------------------------

/// Headless mode: every screen is a null screen, the clock is virtual, sleeps and key waits
/// return at once. Set it before opening a screen.
void set_headless(bool ON);
bool headless();
/// Window scale N (1 to 8, default 1): a window shows every screen pixel as an N x N block,
/// nearest-pixel; the screen, its pages and everything read from them keep their size. Values
/// outside 1 to 8 are taken as 1. Set it before opening a screen.
void set_window_scale(int N);
int window_scale();
/// Scripted key state for a scan code (held until released). Works with every back-end.
void set_key(int SCANCODE, bool DOWN);
/// Puts text into the key buffer that inkey reads.
void push_key(const std::string& KEY);

// ---------------------------------------------------------------------------------------------
// Console (works before a screen is open).
// ---------------------------------------------------------------------------------------------

void console_clear();
/// Prints LINE and a line break on the program's output.
void console_print(const std::string& LINE);
/// Reads exactly one key without echo and without Enter (raw terminal mode, restored
/// afterwards; one byte from a pipe or file). Returns -1 at end of input, never hangs on it.
int console_read_key();

/// Ends the program with CODE: closes the screen first, then exits (the exit hooks run).
[[noreturn]] void end(int CODE);

/// How fatal() waits before it ends the program (never in headless mode).
enum class FatalWait {
  KEY,         ///< a key: the window's when a screen is open, else the console's
  ONE_SECOND,  ///< 1000 ms
};
/// Ends the program after a failure it cannot go on from: LINE as one console line, the wait,
/// then end(0).
[[noreturn]] void fatal(const std::string& LINE, FatalWait WAIT = FatalWait::KEY);

}  // namespace draw2d
