// display: the designer's page, the software scalers, the colour map and the pacing
// (namespace NDISPLAY). Everything that talks to GLFW or OpenGL is in display_gl.cpp.
#include "display/display.hpp"

#include <cstddef>
#include <cstring>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "display/colour_table.hpp"
#include "draw2d/draw2d.hpp"
#include "leakscope/leakscope.hpp"

namespace NDISPLAY {

namespace {

constexpr const char* MODULE = "display";

// CHOICE: a failing screen or block stops the program with a message instead of drawing into
// a missing page: one console line, a key (not in headless runs), exit code 0, as every other
// fatal start-up failure does.
uint8_t* NEW_IMAGE(uint32_t BYTES, int W, int H, int32_t LINENUM) {
  auto* P = static_cast<uint8_t*>(LEAKSCOPE_CALLOCATE(BYTES, MODULE, LINENUM));
  if (P == nullptr) draw2d::fatal("Out of memory for the display page!");
  draw2d::write_header(P, W, H, 0);
  return P;
}

// The library's one-page 8-bit screen of W x H.
void OPEN_SCREEN(int W, int H, unsigned FLAGS) {
  if (!draw2d::open_screen(W, H, 8, 1, FLAGS)) draw2d::fatal("Failed to open the screen!");
}

bool IS_SOFTWARE_MODE(int32_t MODE) { return MODE >= 0 && MODE <= 3; }

// One Scale2x output block. E is the centre, B above, H below, D left, F right.
inline void SCALE2X_BLOCK(uint8_t E, uint8_t B, uint8_t H, uint8_t D, uint8_t F, uint8_t* TOP,
                          uint8_t* BOTTOM) {
  if (B != H && D != F) {
    TOP[0] = D == B ? D : E;
    TOP[1] = B == F ? F : E;
    BOTTOM[0] = D == H ? D : E;
    BOTTOM[1] = H == F ? F : E;
  } else {
    TOP[0] = TOP[1] = BOTTOM[0] = BOTTOM[1] = E;
  }
}

// Doubles one page row into one scaled row: OUT[2x] = OUT[2x + 1] = SRC[x].
void DOUBLE_ROW(const uint8_t* SRC, uint8_t* OUT) {
  int X = 0;
#if defined(__SSE2__)
  // 16 page pixels become 32 scaled ones: each byte interleaved with itself
  for (; X + 16 <= PAGE_W; X += 16) {
    const __m128i V = _mm_loadu_si128(reinterpret_cast<const __m128i*>(SRC + X));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(OUT + 2 * X), _mm_unpacklo_epi8(V, V));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(OUT + 2 * X + 16), _mm_unpackhi_epi8(V, V));
  }
#endif
  const uint8_t* const END = SRC + PAGE_W;
  for (SRC += X, OUT += 2 * X; SRC != END; ++SRC, OUT += 2) OUT[0] = OUT[1] = *SRC;
}

#if defined(__SSE2__)
// Scale2x of 16 page pixels from SRC on, with ABOVE and BELOW the rows above and below; the
// left and right neighbours are the bytes before and after each pixel. The same rule as
// SCALE2X_BLOCK, lane by lane, without branches: a lane takes its neighbour where the rule
// says so, and E everywhere else.
inline void SCALE2X_16(const uint8_t* SRC, const uint8_t* ABOVE, const uint8_t* BELOW,
                       uint8_t* TOP, uint8_t* BOTTOM) {
  const auto LOAD = [](const uint8_t* P) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(P));
  };
  const __m128i E = LOAD(SRC), B = LOAD(ABOVE), H = LOAD(BELOW);
  const __m128i D = LOAD(SRC - 1), F = LOAD(SRC + 1);
  // lanes where B equals H or D equals F take E in all four pixels
  const __m128i PLAIN = _mm_or_si128(_mm_cmpeq_epi8(B, H), _mm_cmpeq_epi8(D, F));
  const auto PICK = [&PLAIN, &E](__m128i SAME, __m128i NEIGHBOUR) {
    const __m128i M = _mm_andnot_si128(PLAIN, SAME);
    return _mm_or_si128(_mm_and_si128(M, NEIGHBOUR), _mm_andnot_si128(M, E));
  };
  const __m128i TL = PICK(_mm_cmpeq_epi8(D, B), D);
  const __m128i TR = PICK(_mm_cmpeq_epi8(B, F), F);
  const __m128i BL = PICK(_mm_cmpeq_epi8(D, H), D);
  const __m128i BR = PICK(_mm_cmpeq_epi8(H, F), F);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(TOP), _mm_unpacklo_epi8(TL, TR));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(TOP + 16), _mm_unpackhi_epi8(TL, TR));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(BOTTOM), _mm_unpacklo_epi8(BL, BR));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(BOTTOM + 16), _mm_unpackhi_epi8(BL, BR));
}
#endif

}  // namespace

// ---------------------------------------------------------------------------------------------
// Life cycle
// ---------------------------------------------------------------------------------------------

void INIT(SCREEN_TYPE& VIDEO) {
  VIDEO.DESTROY = NDISPLAY::DESTROY;
  VIDEO.RENDER = NDISPLAY::RENDER;
  VIDEO.SET_SCREEN = NDISPLAY::SET_SCREEN;
  VIDEO.END_SCREEN = NDISPLAY::END_SCREEN;
  SET_DEFAULTS(VIDEO);
}

void SET_DEFAULTS(SCREEN_TYPE& VIDEO) {
  DISPLAYTYPE& D = VIDEO.DISPLAY;
  D.W = 640;
  D.H = 480;
  D.R_BITS = D.G_BITS = D.B_BITS = D.A_BITS = D.D_BITS = D.S_BITS = 8;
  D.MODE = GLFW_WINDOW;
  D.GLVER = nullptr;
  VIDEO.MEMTEXTURE.WID = 512;
  VIDEO.MEMTEXTURE.HEI = 512;
  VIDEO.MEMTEXTURE.TEXTURE_ID = 0;
  VIDEO.MEMTEXTURE.P_TD = nullptr;
  VIDEO.P_VPAGE = nullptr;
  VIDEO.P_SCALED_VPAGE = nullptr;
  VIDEO.SCREEN_MODE = 4;
}

void SET_SCREEN(SCREEN_TYPE& VIDEO, int32_t SCREEN_MODE, int32_t BITS_PER_PIXEL,
                int32_t FULL_SCREEN) {
  // Window or full screen, for both the OpenGL request and the library's screen.
  unsigned FLAGS = draw2d::SCREEN_NO_SWITCH;
  if (FULL_SCREEN == 0) {
    VIDEO.DISPLAY.MODE = GLFW_WINDOW;
  } else {
    VIDEO.DISPLAY.MODE = GLFW_FULLSCREEN;
    FLAGS |= draw2d::SCREEN_FULLSCREEN;
  }
  // 16 bits ask for a 5-6-5 OpenGL window without alpha.
  if (BITS_PER_PIXEL == 16) {
    VIDEO.DISPLAY.R_BITS = 5;
    VIDEO.DISPLAY.G_BITS = 6;
    VIDEO.DISPLAY.B_BITS = 5;
    VIDEO.DISPLAY.A_BITS = 0;
  }
  VIDEO.SCREEN_MODE = SCREEN_MODE;
  if (SCREEN_MODE == 0) {
    // Mode 0: the page shown 1:1.
    OPEN_SCREEN(PAGE_W, PAGE_H, FLAGS);
    INIT_VPAGE(VIDEO);
    VIDEO.RENDER = RENDER_SOFTWARE;
  } else if (SCREEN_MODE >= 1 && SCREEN_MODE <= 3) {
    // Modes 1 to 3: a 640 x 480 screen fed by a software scaler.
    OPEN_SCREEN(SCALED_W, SCALED_H, FLAGS);
    INIT_VPAGE(VIDEO);
    INIT_SCALED_VPAGE(VIDEO);
    VIDEO.RENDER = RENDER_SOFTWARE;
  } else {
    // Other modes use OpenGL; the library keeps a memory screen only (mode 5: nearest texel).
    OPEN_SCREEN(PAGE_W, PAGE_H, draw2d::SCREEN_NULL);
    // DEVIATION(headless-gl-no-window): headless runs (an extension, off by default) open no
    // OpenGL window; GLVER stays null and RENDER still converts the page into the texel store
    // every frame. Pinned by DisplayModes.HoldTheirBlocksAndReturnThemAtEndScreen.
    if (!draw2d::headless()) {
      INIT_GL_WINDOW(VIDEO);
      INIT_GL_SCREEN(VIDEO);
    }
    INIT_BACKEND(VIDEO);
    if (SCREEN_MODE == 5) SET_NEAREST_FILTER(VIDEO);
  }
}

void END_SCREEN(SCREEN_TYPE& VIDEO) {
  if (VIDEO.SCREEN_MODE == 0) {
    DESTROY_VPAGE(VIDEO);
  } else if (IS_SOFTWARE_MODE(VIDEO.SCREEN_MODE)) {
    DESTROY_VPAGE(VIDEO);
    DESTROY_SCALED_VPAGE(VIDEO);
  } else {
    DESTROY_BACKEND(VIDEO);
  }
}

void INIT_VPAGE(SCREEN_TYPE& VIDEO) {
  VIDEO.P_VPAGE = NEW_IMAGE(PAGE_BYTES, PAGE_W, PAGE_H, __LINE__);
}

// CHOICE: each DESTROY_ step skips a pointer that is already null, so a second END_SCREEN
// releases nothing and reports no invalid release (pinned by
// DisplayModes.HoldTheirBlocksAndReturnThemAtEndScreen).
void DESTROY_VPAGE(SCREEN_TYPE& VIDEO) {
  if (VIDEO.P_VPAGE == nullptr) return;
  LEAKSCOPE_DEALLOCATE(VIDEO.P_VPAGE, MODULE, __LINE__, "video.p_vpage");
  VIDEO.P_VPAGE = nullptr;
}

void INIT_SCALED_VPAGE(SCREEN_TYPE& VIDEO) {
  VIDEO.P_SCALED_VPAGE = NEW_IMAGE(SCALED_PAGE_BYTES, SCALED_W, SCALED_H, __LINE__);
}

void DESTROY_SCALED_VPAGE(SCREEN_TYPE& VIDEO) {
  if (VIDEO.P_SCALED_VPAGE == nullptr) return;
  LEAKSCOPE_DEALLOCATE(VIDEO.P_SCALED_VPAGE, MODULE, __LINE__, "video.p_scaled_vpage");
  VIDEO.P_SCALED_VPAGE = nullptr;
}

void INIT_MEM_TEXTURE(SCREEN_TYPE& VIDEO) {
  MEMTEXTURE_TYPE& T = VIDEO.MEMTEXTURE;
  T.P_TD = static_cast<uint32_t*>(LEAKSCOPE_CALLOCATE(T.WID * T.HEI * 4, MODULE, __LINE__));
  if (T.P_TD == nullptr) draw2d::fatal("Out of memory for the display texture!");
}

void DESTROY_MEM_TEXTURE(SCREEN_TYPE& VIDEO) {
  if (VIDEO.MEMTEXTURE.P_TD == nullptr) return;
  LEAKSCOPE_DEALLOCATE(VIDEO.MEMTEXTURE.P_TD, MODULE, __LINE__, "video.memtexture.p_td");
  VIDEO.MEMTEXTURE.P_TD = nullptr;
}

void INIT_BACKEND(SCREEN_TYPE& VIDEO) {
  INIT_VPAGE(VIDEO);
  INIT_MEM_TEXTURE(VIDEO);
  INIT_TEXTURE(VIDEO);
  SET_COLORMAP(VIDEO);
}

void DESTROY_BACKEND(SCREEN_TYPE& VIDEO) {
  // The colour map lives exactly as long as the texel store: both come from INIT_BACKEND.
  // Testing the texel store keeps a second END_SCREEN from releasing the kept pointer again.
  const bool LIVE = VIDEO.MEMTEXTURE.P_TD != nullptr;
  DESTROY_VPAGE(VIDEO);
  DESTROY_MEM_TEXTURE(VIDEO);
  // QUIRK: the colour map is returned but P_CMAP keeps its value; every reader checks the
  // texel store first. Pinned by
  // DisplayModes.HoldTheirBlocksAndReturnThemAtEndScreen.
  if (LIVE && VIDEO.P_CMAP != nullptr) {
    LEAKSCOPE_DEALLOCATE(VIDEO.P_CMAP, MODULE, __LINE__, "video.p_cmap");
  }
}

// ---------------------------------------------------------------------------------------------
// Colour map and conversion
// ---------------------------------------------------------------------------------------------

void SET_COLORMAP(SCREEN_TYPE& VIDEO) {
  VIDEO.P_CMAP = static_cast<uint32_t*>(LEAKSCOPE_CALLOCATE(CMAP_BYTES, MODULE, __LINE__));
  if (VIDEO.P_CMAP == nullptr) draw2d::fatal("Out of memory for the colour map!");
  for (int I = 0; I < 256; ++I) {
    const uint32_t ENTRY = BUILTIN_COLOUR_TABLE[I];
    const uint32_t R = (ENTRY & 63) * 4;
    const uint32_t G = ((ENTRY >> 8) & 63) * 4;
    const uint32_t B = ((ENTRY >> 16) & 63) * 4;
    // (R + G + B) / 3 to the nearest: a third never ends in a half, so +1 rounds correctly
    const uint32_t A = (R + G + B + 1) / 3;
    VIDEO.P_CMAP[I] = R << 24 | G << 16 | B << 8 | A;
  }
}

void CONVERT_8_2_32(SCREEN_TYPE& VIDEO) {
  const MEMTEXTURE_TYPE& T = VIDEO.MEMTEXTURE;
  if (VIDEO.P_VPAGE == nullptr || T.P_TD == nullptr || VIDEO.P_CMAP == nullptr) return;
  if (T.WID < static_cast<uint32_t>(PAGE_W) || T.HEI < static_cast<uint32_t>(PAGE_H)) return;
  const uint32_t* const CMAP = VIDEO.P_CMAP;
  const uint8_t* SRC = VIDEO.P_VPAGE + draw2d::HEADER_BYTES;
  uint32_t* DST = T.P_TD;
  for (int Y = 0; Y < PAGE_H; ++Y) {
    const uint8_t* const END = SRC + PAGE_W;
    uint32_t* OUT = DST;
    while (SRC != END) *OUT++ = CMAP[*SRC++];
    DST += T.WID;
  }
}

// ---------------------------------------------------------------------------------------------
// Software scalers: page pixel (x, y) becomes the 2 x 2 block at (2x, 2y).
// ---------------------------------------------------------------------------------------------

void NORMAL_SCALE_ASM(SCREEN_TYPE& VIDEO) {
  if (VIDEO.P_VPAGE == nullptr || VIDEO.P_SCALED_VPAGE == nullptr) return;
  const uint8_t* SRC = VIDEO.P_VPAGE + draw2d::HEADER_BYTES;
  uint8_t* DST = VIDEO.P_SCALED_VPAGE + draw2d::HEADER_BYTES;
  for (int Y = 0; Y < PAGE_H; ++Y) {
    DOUBLE_ROW(SRC, DST);
    std::memcpy(DST + SCALED_W, DST, SCALED_W);  // the odd row repeats the even one
    SRC += PAGE_W;
    DST += 2 * SCALED_W;
  }
}

void SCANLINE_SCALE_ASM(SCREEN_TYPE& VIDEO) {
  if (VIDEO.P_VPAGE == nullptr || VIDEO.P_SCALED_VPAGE == nullptr) return;
  const uint8_t* SRC = VIDEO.P_VPAGE + draw2d::HEADER_BYTES;
  uint8_t* DST = VIDEO.P_SCALED_VPAGE + draw2d::HEADER_BYTES;
  for (int Y = 0; Y < PAGE_H; ++Y) {
    DOUBLE_ROW(SRC, DST);
    // odd rows are never written: they keep index 0 from the zero-filled block
    SRC += PAGE_W;
    DST += 2 * SCALED_W;
  }
}

void SCALE_2X_ASM(SCREEN_TYPE& VIDEO) {
  if (VIDEO.P_VPAGE == nullptr || VIDEO.P_SCALED_VPAGE == nullptr) return;
  const uint8_t* const PAGE = VIDEO.P_VPAGE + draw2d::HEADER_BYTES;
  const uint8_t* const LAST = PAGE + PAGE_W * PAGE_H - 1;
  uint8_t* DST = VIDEO.P_SCALED_VPAGE + draw2d::HEADER_BYTES;
  // Left and right neighbours are the adjacent bytes of the page taken as one run: column 0
  // sees the last pixel of the row above, column 319 the first pixel of the row below.
  // CHOICE: where a neighbour would lie outside the page (above row 0, below row 239, left
  // of (0, 0), right of (319, 239)) the centre pixel stands in for it
  // (Scaler.EachMatchesItsReferenceOnRandomPages).
  for (int Y = 0; Y < PAGE_H; ++Y) {
    const uint8_t* SRC = PAGE + Y * PAGE_W;
    const uint8_t* ABOVE = Y > 0 ? SRC - PAGE_W : SRC;
    const uint8_t* BELOW = Y < PAGE_H - 1 ? SRC + PAGE_W : SRC;
    const uint8_t* END = SRC + PAGE_W;
    uint8_t* TOP = DST;
    uint8_t* BOTTOM = DST + SCALED_W;
#if defined(__SSE2__)
    // 16 pixels at a time wherever every neighbour lies inside the page: all but the first
    // 16 pixels of row 0 and the last 16 of row 239, which the pixel loop below does.
    {
      const uint8_t* const FAST_END = END - 1 == LAST ? END - 16 : END;
      const int SKIP = SRC == PAGE ? 16 : 0;
      const uint8_t* P = SRC + SKIP;
      for (; P + 16 <= FAST_END; P += 16) {
        const std::ptrdiff_t X = P - SRC;
        SCALE2X_16(P, ABOVE + X, BELOW + X, TOP + 2 * X, BOTTOM + 2 * X);
      }
      if (SKIP == 0) {  // the pixel loop takes over where the vectors stopped
        const std::ptrdiff_t X = P - SRC;
        SRC += X, ABOVE += X, BELOW += X, TOP += 2 * X, BOTTOM += 2 * X;
      } else {  // row 0: the pixel loop does the first 16 pixels, then the row is done
        END = SRC + 16;
      }
    }
#endif
    if (SRC == PAGE) {  // (0, 0): no left neighbour
      SCALE2X_BLOCK(*SRC, *ABOVE, *BELOW, *SRC, SRC[1], TOP, BOTTOM);
      ++SRC, ++ABOVE, ++BELOW, TOP += 2, BOTTOM += 2;
    }
    if (END - 1 == LAST) --END;  // (319, 239) is done after the loop
    while (SRC != END) {
      SCALE2X_BLOCK(*SRC, *ABOVE, *BELOW, SRC[-1], SRC[1], TOP, BOTTOM);
      ++SRC, ++ABOVE, ++BELOW, TOP += 2, BOTTOM += 2;
    }
    if (SRC == LAST) {  // (319, 239): no right neighbour
      SCALE2X_BLOCK(*SRC, *ABOVE, *BELOW, SRC[-1], *SRC, TOP, BOTTOM);
    }
    DST += 2 * SCALED_W;
  }
}

// ---------------------------------------------------------------------------------------------
// Presentation
// ---------------------------------------------------------------------------------------------

void PACE_FRAME(double& TIME_START, double (*NOW)()) {
  if (draw2d::headless()) {
    // the virtual clock moves by exactly one frame per presented frame; nothing waits
    draw2d::tick_frame();
    TIME_START = NOW();
    return;
  }
  // CHOICE: the time of the last frame is kept as a double, so a clock with a distant
  // origin still paces to the microsecond (DisplayPacing.WaitsUntilAFrameHasPassed).
  // A clock that restarted (a new GLFW start resets its origin) must not stall the frame
  // (DisplayPacing.WaitsUntilAFrameHasPassed).
  if (NOW() >= TIME_START) draw2d::wait_frame(TIME_START, NOW);
  TIME_START = NOW();
}

void RENDER_SOFTWARE(SCREEN_TYPE& VIDEO) {
  static double TIME_START = 0.0;
  if (VIDEO.P_VPAGE == nullptr) return;  // after END_SCREEN there is nothing to show
  // Scale by mode.
  switch (VIDEO.SCREEN_MODE) {
    case 1: NORMAL_SCALE_ASM(VIDEO); break;
    case 2: SCALE_2X_ASM(VIDEO); break;
    case 3: SCANLINE_SCALE_ASM(VIDEO); break;
    default: break;
  }
  // At most 60 frames per second.
  PACE_FRAME(TIME_START, draw2d::timer);
  // An opaque blit; the library keeps its window up to date.
  const uint8_t* SHOWN = VIDEO.SCREEN_MODE != 0 && VIDEO.P_SCALED_VPAGE != nullptr
                             ? VIDEO.P_SCALED_VPAGE
                             : VIDEO.P_VPAGE;
  draw2d::blit(nullptr, 0.0f, 0.0f, SHOWN, draw2d::Blit::OPAQUE);
}

PRESENTED_FRAME_TYPE PRESENTED_FRAME(const SCREEN_TYPE& VIDEO) {
  PRESENTED_FRAME_TYPE F{nullptr, 0, 0, 0, FRAME_KIND::NONE};
  if (VIDEO.P_VPAGE == nullptr) return F;
  if (VIDEO.SCREEN_MODE == 0) {
    F = {VIDEO.P_VPAGE + draw2d::HEADER_BYTES, PAGE_W, PAGE_H, PAGE_W, FRAME_KIND::INDEXED8};
  } else if (IS_SOFTWARE_MODE(VIDEO.SCREEN_MODE)) {
    if (VIDEO.P_SCALED_VPAGE == nullptr) return F;
    F = {VIDEO.P_SCALED_VPAGE + draw2d::HEADER_BYTES, SCALED_W, SCALED_H, SCALED_W,
         FRAME_KIND::INDEXED8};
  } else {
    if (VIDEO.MEMTEXTURE.P_TD == nullptr) return F;
    F = {VIDEO.MEMTEXTURE.P_TD, PAGE_W, PAGE_H, static_cast<int32_t>(VIDEO.MEMTEXTURE.WID),
         FRAME_KIND::RGBA32};
  }
  return F;
}

}  // namespace NDISPLAY
