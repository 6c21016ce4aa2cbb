// draw2d internals shared by the core, the runtime, the null back-end (null/) and the window
// back-end (sdl2/). Not part of the library's interface; no SDL types appear here.
#pragma once

#include <cstdint>
#include <string>

namespace draw2d::detail {

// ---- Palette (core.cpp) ----
/// The 256 packed 6-bit entries, masked to bits 0-5, 8-13 and 16-21.
const uint32_t* palette_table();
/// Bumped on every palette change so that a back-end rebuilds its colour lookup only then.
uint32_t palette_version();

// ---- Runtime (runtime.cpp) ----
/// Buffer that a null drawing target stands for: the work page, or null without a screen.
uint8_t* work_page();
/// Called after drawing into TARGET. Drawing onto the visible page of a window presents it:
/// at once when NOW is set (blits), otherwise at the next event pump (boxes, circles).
void drawn(const void* TARGET, bool NOW);
/// Queues key text for inkey (window key presses arrive here).
void queue_key(const std::string& KEY);
/// Pointer moved to (X, Y) in screen pixels; with INSIDE false it left the window and keeps
/// its last position.
void mouse_moved(int X, int Y, bool INSIDE);
/// Left button pressed or released.
void mouse_button(bool DOWN);

// ---- Headless mode (null/headless.cpp) ----
/// Seconds on the virtual clock: frames ticked since headless mode was switched on, / 60.
double virtual_time();

// ---- Window back-end (sdl2/sdl_window.cpp) ----
/// Opens a window of W x H pixels times SCALE showing a W x H page, nearest-pixel.
bool window_open(int W, int H, unsigned FLAGS, int SCALE);
void window_close();
/// Shows the W x H page PIXELS through the current palette.
void window_present(const uint8_t* PIXELS, int W, int H);
/// Processes pending window events: key presses and releases, close requests.
void window_pump();
/// Posts a quit request, as the window's close button does. For tests.
void window_request_quit();
/// True while the window reports the key with this scan code held.
bool window_key_held(int SCANCODE);
/// Forgets every held key (the window closed).
void window_release_keys();
/// Reads back what the window shows as 0xAARRGGBB, W x H pixels of the window's drawable
/// area. False when no window is open or the read fails. For tests.
bool window_read_pixels(uint32_t* OUT, int W, int H);
/// Drawable size of the window in pixels (0 x 0 without a window).
void window_size(int& W, int& H);

}  // namespace draw2d::detail
