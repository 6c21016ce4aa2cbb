// Window tests of the display: each test opens one real window under the X display in DISPLAY
// (ctest runs every test in its own process) and reads back what the window shows. The
// software modes are read from the library's SDL renderer and compared with the scaled page
// through the palette; the OpenGL modes are read back with glReadPixels.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "display/display.hpp"
#include "display/draw2d.hpp"
#include "draw2d/internal.hpp"

namespace {

using NDISPLAY::SCREEN_TYPE;

#define REQUIRE_DISPLAY()                                   \
  if (std::getenv("DISPLAY") == nullptr || !*std::getenv("DISPLAY")) \
  GTEST_SKIP() << "DISPLAY is not set: no X server for window tests"

SCREEN_TYPE OPEN(int32_t MODE, int32_t BPP) {
  SCREEN_TYPE VIDEO{};
  VIDEO.INIT = NDISPLAY::INIT;
  VIDEO.INIT(VIDEO);
  VIDEO.SET_SCREEN(VIDEO, MODE, BPP, 0);
  return VIDEO;
}

void CLOSE(SCREEN_TYPE& VIDEO) {
  VIDEO.END_SCREEN(VIDEO);
  VIDEO.DESTROY(VIDEO);
  draw2d::close_screen();
}

// ---- software modes: the library's window shows the (scaled) page through the palette ----

class SoftwareWindow : public ::testing::TestWithParam<int32_t> {};

TEST_P(SoftwareWindow, ShowsTheScaledPage) {
  REQUIRE_DISPLAY();
  const int32_t MODE = GetParam();
  for (int I = 0; I < 16; ++I)  // sixteen colours with distinct red components
    draw2d::set_palette(I, uint32_t((I * 4 + 3) | ((63 - I * 3) << 8) | ((I * 9 % 64) << 16)));
  SCREEN_TYPE VIDEO = OPEN(MODE, 8);
  ASSERT_TRUE(draw2d::screen_has_window()) << "a software mode opens the library's window";
  uint32_t SEED = 12345;
  for (int I = 0; I < 320 * 240; ++I) {  // runs of equal pixels give Scale2x edges to work on
    SEED = SEED * 1103515245u + 12345u;
    VIDEO.P_VPAGE[4 + I] = uint8_t((SEED >> 16) % 5 == 0 ? (SEED >> 20) % 16 : (I / 4) % 3);
  }
  VIDEO.RENDER(VIDEO);
  const auto F = NDISPLAY::PRESENTED_FRAME(VIDEO);
  const auto* SHOWN = static_cast<const uint8_t*>(F.PIXELS);
  const int W = MODE == 0 ? 320 : 640, H = MODE == 0 ? 240 : 480;
  ASSERT_EQ(F.W, W) << "mode 0 presents the page itself, the others the scaled page";
  std::vector<uint32_t> RGB(std::size_t(W) * H);
  ASSERT_TRUE(draw2d::detail::window_read_pixels(RGB.data(), W, H))
      << "the window is the size of what is presented: " << W << " x " << H;
  int BAD = 0, FIRST_BAD = 0;
  for (int I = W * H - 1; I >= 0; --I) {  // backwards: FIRST_BAD ends on the first
    const auto P = draw2d::palette_rgb(SHOWN[I / W * F.STRIDE + I % W]);
    if ((RGB[I] & 0xFFFFFF) != (uint32_t(P.R) << 16 | P.G << 8 | P.B)) FIRST_BAD = I, ++BAD;
  }
  EXPECT_EQ(BAD, 0) << "window pixels differ from the page of mode " << MODE << ", first at ("
                    << FIRST_BAD % W << "," << FIRST_BAD / W << ")";

  // presentations in quick succession are a frame apart: seven calls hold six frame gaps
  // between their presentations, whatever the blit after each wait costs
  const double T0 = draw2d::timer();
  for (int I = 0; I < 7; ++I) VIDEO.RENDER(VIDEO);
  EXPECT_GE(draw2d::timer() - T0, 6.0 / 60.0) << "RENDER_SOFTWARE holds to 60 frames per second";
  CLOSE(VIDEO);
}

INSTANTIATE_TEST_SUITE_P(Modes, SoftwareWindow, ::testing::Values(0, 1, 2, 3),
                         [](const auto& I) { return "Mode" + std::to_string(I.param); });

// ---- OpenGL modes: a GLFW window shows the page doubled into 638 x 478 ----

TEST(DisplayWindow, NearestModeShowsThePageDoubled) {
  REQUIRE_DISPLAY();
  SCREEN_TYPE VIDEO = OPEN(5, 32);
  ASSERT_NE(VIDEO.DISPLAY.GLVER, nullptr) << "an OpenGL window is open, so GLVER is set";
  for (int Y = 0; Y < 240; ++Y)  // colours 1 to 15 of the built-in table: none black, all differ
    for (int X = 0; X < 320; ++X)
      VIDEO.P_VPAGE[4 + Y * 320 + X] = uint8_t(1 + (X * 3 + Y * 5 + X * Y) % 15);
  std::vector<uint8_t> RGBA(640 * 480 * 4);
  ASSERT_TRUE(NDISPLAY::CAPTURE_NEXT_FRAME(VIDEO, RGBA.data()));
  VIDEO.RENDER(VIDEO);

  // 320 texels stretched over 638 pixels and 240 over 478: nearly every texel doubled; where
  // a pixel centre falls within 1 % of a texel edge either texel is accepted
  auto CANDIDATES = [](double F, int LIMIT) {
    const int T = int(std::floor(F));
    std::vector<int> C{T};
    if (F - T < 0.01 && T > 0) C.push_back(T - 1);
    if (F - T > 0.99 && T + 1 < LIMIT) C.push_back(T + 1);
    return C;
  };
  std::size_t BAD = 0;
  std::string FIRST_BAD;
  for (int Y = 0; Y < 480; ++Y)
    for (int X = 0; X < 640; ++X) {
      const uint8_t* P = &RGBA[(std::size_t(Y) * 640 + X) * 4];
      const uint32_t GOT = uint32_t(P[0]) << 16 | P[1] << 8 | P[2];
      bool OK = false;
      if (X >= 638 || Y < 2) {
        OK = GOT == 0;  // the two rightmost columns and two top rows keep the clear colour
      } else {
        for (int TX : CANDIDATES((X + 0.5) * 320.0 / 638.0, 320))
          for (int TY : CANDIDATES((Y - 2 + 0.5) * 240.0 / 478.0, 240))
            OK = OK || GOT == VIDEO.P_CMAP[VIDEO.P_VPAGE[4 + TY * 320 + TX]] >> 8;
      }
      if (!OK && BAD++ == 0) FIRST_BAD = std::to_string(X) + "," + std::to_string(Y);
    }
  EXPECT_EQ(BAD, 0u) << "window pixels differ from the doubled page, first at (" << FIRST_BAD
                     << "); nearest filtering, two black right columns and top rows";
  CLOSE(VIDEO);
}

TEST(DisplayWindow, BilinearModeShowsTheColourTableNotThePalette) {
  REQUIRE_DISPLAY();
  draw2d::set_palette(9, 0x000000);  // the OpenGL modes never see the loaded palette
  draw2d::set_window_scale(2);       // --scale 2: the whole 640 x 480 picture at twice its size
  SCREEN_TYPE VIDEO = OPEN(9, 32);   // any other mode: like 4
  ASSERT_NE(VIDEO.DISPLAY.GLVER, nullptr);
  std::memset(VIDEO.P_VPAGE + 4, 9, 320 * 240);
  std::vector<uint8_t> RGBA(1280 * 960 * 4);
  ASSERT_TRUE(NDISPLAY::CAPTURE_NEXT_FRAME(VIDEO, RGBA.data()));
  VIDEO.RENDER(VIDEO);
  const uint8_t *MID = &RGBA[(480 * 1280 + 640) * 4], *CORNER = &RGBA[(2 * 1280 + 1276) * 4];
  EXPECT_EQ((std::vector<int>{MID[0], MID[1], MID[2]}), (std::vector<int>{84, 84, 252}))
      << "index 9 shows red 84, green 84, blue 252";
  EXPECT_EQ(CORNER[0] | CORNER[1] | CORNER[2], 0)
      << "the black right edge is 4 pixels wide at scale 2 (2 at scale 1)";
  EXPECT_EQ(glfw2::GetKey(glfw2::KEY_ESC), 0) << "no key is down in a fresh window";
  CLOSE(VIDEO);
  EXPECT_FALSE(glfw2::WindowOpen()) << "DESTROY shuts GLFW and its window down";
}

}  // namespace
