// display: the designer's page and its presentation (namespace NDISPLAY).
// One 320 x 240 page of 8-bit palette indices, shown on the drawing library's screen (1:1 or
// through a software 2x scaler) or as an OpenGL texture doubled into a 640 x 480 GLFW window,
// at most 60 presented frames per second.
#pragma once

#include <cstdint>

#include "display/glfw2.hpp"

namespace NDISPLAY {

/// Window modes of DISPLAYTYPE::MODE.
inline constexpr uint32_t GLFW_WINDOW = glfw2::WINDOW;
inline constexpr uint32_t GLFW_FULLSCREEN = glfw2::FULLSCREEN;

/// Page and scaled-page geometry.
inline constexpr int32_t PAGE_W = 320, PAGE_H = 240;
inline constexpr int32_t SCALED_W = 640, SCALED_H = 480;
inline constexpr uint32_t PAGE_BYTES = 4 + PAGE_W * PAGE_H;              ///< 76,804
inline constexpr uint32_t SCALED_PAGE_BYTES = 4 + SCALED_W * SCALED_H;  ///< 307,204
inline constexpr uint32_t CMAP_BYTES = 256 * 4;

/// The OpenGL window request.
struct DISPLAYTYPE {
  uint32_t W, H;
  uint32_t R_BITS, G_BITS, B_BITS, A_BITS, D_BITS, S_BITS;
  uint32_t MODE;       ///< GLFW_WINDOW or GLFW_FULLSCREEN
  const char* GLVER;   ///< OpenGL version text of the open context; null without a window
  float FOVY, ASPECT, ZNEAR, ZFAR;  ///< never read or written
};

/// The texture that carries the page.
struct MEMTEXTURE_TYPE {
  uint32_t WID, HEI;    ///< texture size in texels (512 x 512)
  uint32_t TEXTURE_ID;  ///< OpenGL texture name, 0 without a window
  uint32_t* P_TD;       ///< WID x HEI texels, red in bits 24-31 ... alpha in bits 0-7
};

struct SCREEN_TYPE;
using SCREEN_PROC = void (*)(SCREEN_TYPE&);
using SET_SCREEN_PROC = void (*)(SCREEN_TYPE&, int32_t, int32_t, int32_t);

/// The designer's display record (VIDEO). It owns the page, the scaled page, the texel store
/// and the colour map, all taken from the allocation tracker under the module name "display".
struct SCREEN_TYPE {
  int32_t SCREEN_MODE;  ///< 0 none, 1 normal 2x, 2 Scale2x, 3 scanlines (software); else OpenGL
  DISPLAYTYPE DISPLAY;
  MEMTEXTURE_TYPE MEMTEXTURE;
  uint8_t* P_VPAGE;         ///< 320 x 240 image buffer, the target of all drawing
  uint8_t* P_SCALED_VPAGE;  ///< 640 x 480 image buffer (modes 1 to 3 only)
  uint32_t* P_CMAP;         ///< 256 colour-map entries (OpenGL modes)
  SCREEN_PROC INIT;
  SCREEN_PROC DESTROY;
  SCREEN_PROC RENDER;
  SET_SCREEN_PROC SET_SCREEN;
  SCREEN_PROC END_SCREEN;
};

// ---- Life cycle (called through the record's slots) ----

/// Binds DESTROY, RENDER (the OpenGL variant), SET_SCREEN and END_SCREEN and runs
/// SET_DEFAULTS. Leaves the INIT slot alone: the caller zero-fills the record, stores INIT
/// there and calls it.
void INIT(SCREEN_TYPE& VIDEO);
/// Opens the screen for the run. SCREEN_MODE 0 to 3 use the drawing library's window (and
/// set RENDER to RENDER_SOFTWARE); any other value opens the OpenGL window (mode 5 with
/// nearest filtering, all others linear). BITS_PER_PIXEL 16 asks for a 5-6-5 OpenGL window;
/// FULL_SCREEN nonzero asks for full screen. In headless mode no window opens: the OpenGL
/// modes keep GLVER null and still convert the page into the texel store every frame.
/// Fatal: "Failed to initialize GLFW!" (wait 1000 ms) or a window that cannot be opened end
/// the program with code 0; so do a screen or block that cannot be had (one line, a key).
/// A second SET_SCREEN is not supported.
void SET_SCREEN(SCREEN_TYPE& VIDEO, int32_t SCREEN_MODE, int32_t BITS_PER_PIXEL,
                int32_t FULL_SCREEN);
/// Returns the blocks of the mode; the page, scaled page and texel-store pointers become null.
/// QUIRK: P_CMAP keeps its (released) value; nothing reads it once the texel store is gone
/// (pinned by DisplayModes.HoldTheirBlocksAndReturnThemAtEndScreen).
void END_SCREEN(SCREEN_TYPE& VIDEO);
/// OpenGL modes: shuts GLFW down. Clears the slots. The library screen stays open.
void DESTROY(SCREEN_TYPE& VIDEO);

// ---- Frame presentation ----

/// OpenGL modes: CONVERT_8_2_32, upload, one quad doubled to 638 x 478, pacing, swap.
/// Headless or after END_SCREEN nothing reaches OpenGL.
void RENDER(SCREEN_TYPE& VIDEO);
/// Software modes: scaler by mode, pacing, opaque blit of the (scaled) page onto the screen.
void RENDER_SOFTWARE(SCREEN_TYPE& VIDEO);

/// Waits until at least 1/60 s has passed on NOW since TIME_START, then stores NOW in
/// TIME_START. Sleeps until shortly before the deadline and polls the rest, so it does not
/// hold a core. Headless: advances the virtual clock by one frame instead and never waits.
void PACE_FRAME(double& TIME_START, double (*NOW)());

// ---- Internal steps (public so tests and benchmarks reach them) ----

void SET_DEFAULTS(SCREEN_TYPE& VIDEO);
void INIT_GL_WINDOW(SCREEN_TYPE& VIDEO);
void INIT_GL_SCREEN(SCREEN_TYPE& VIDEO);
void VIEWORTHO(SCREEN_TYPE& VIDEO);
void VIEWPERSPECTIVE(SCREEN_TYPE& VIDEO);
void INIT_VPAGE(SCREEN_TYPE& VIDEO);
void DESTROY_VPAGE(SCREEN_TYPE& VIDEO);
void INIT_SCALED_VPAGE(SCREEN_TYPE& VIDEO);
void DESTROY_SCALED_VPAGE(SCREEN_TYPE& VIDEO);
void INIT_MEM_TEXTURE(SCREEN_TYPE& VIDEO);
void DESTROY_MEM_TEXTURE(SCREEN_TYPE& VIDEO);
/// Creates the 512 x 512 texture (all zero) with linear filtering; nothing without a window.
void INIT_TEXTURE(SCREEN_TYPE& VIDEO);
/// Switches the bound texture to nearest filtering (mode 5); nothing without a window.
void SET_NEAREST_FILTER(SCREEN_TYPE& VIDEO);
void INIT_BACKEND(SCREEN_TYPE& VIDEO);
void DESTROY_BACKEND(SCREEN_TYPE& VIDEO);
/// Builds the colour map from the built-in colour table (not from the loaded palette).
void SET_COLORMAP(SCREEN_TYPE& VIDEO);
/// Page -> texel store through the colour map; texels outside 320 x 240 are never written.
void CONVERT_8_2_32(SCREEN_TYPE& VIDEO);
/// Page -> scaled page, pixel doubling.
void NORMAL_SCALE_ASM(SCREEN_TYPE& VIDEO);
/// Page -> scaled page, Scale2x.
void SCALE_2X_ASM(SCREEN_TYPE& VIDEO);
/// Page -> scaled page, even rows doubled, odd rows never written.
void SCANLINE_SCALE_ASM(SCREEN_TYPE& VIDEO);

// ---- Extensions for recording and tests ----

enum class FRAME_KIND : int32_t {
  NONE,      ///< nothing to show (no page)
  INDEXED8,  ///< one byte per pixel, a palette index
  RGBA32,    ///< one uint32_t per pixel: red << 24 | green << 16 | blue << 8 | alpha
};

/// The image the last RENDER presented, borrowed from the record: the page in mode 0, the
/// scaled page in modes 1 to 3, the 320 x 240 texel region in the OpenGL modes. STRIDE is
/// the distance between rows in pixels.
struct PRESENTED_FRAME_TYPE {
  const void* PIXELS;
  int32_t W, H, STRIDE;
  FRAME_KIND KIND;
};
PRESENTED_FRAME_TYPE PRESENTED_FRAME(const SCREEN_TYPE& VIDEO);

/// Asks the next OpenGL RENDER to read its finished picture back into RGBA (the window's
/// W x H times the window scale, 4 bytes a pixel, top row first) after drawing and before
/// the swap. The buffer is borrowed until then.
/// False when no OpenGL window is open (nothing will be read).
bool CAPTURE_NEXT_FRAME(const SCREEN_TYPE& VIDEO, uint8_t* RGBA);

}  // namespace NDISPLAY
