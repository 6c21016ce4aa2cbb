// Window tests of the display and of draw2d's window back-end: each test opens one real window
// under the X display in DISPLAY (ctest runs every test in its own process) and reads back what
// the window shows. The software modes are read from the library's SDL renderer and compared
// with the scaled page through the palette; the OpenGL modes are read back with glReadPixels.
// Keys sent by the X server are pinned end to end by the window scenarios of
// tests/golden/windows/ (scan codes in the designer's software mode, function keys queued
// apart from other keys by the player's capture keys).
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "display/display.hpp"
#include "draw2d/draw2d.hpp"
#include "draw2d/internal.hpp"

namespace {

struct DisplayWindow : ::testing::Test {
  NDISPLAY::SCREEN_TYPE VIDEO{};
  void SetUp() override {
    if (std::getenv("DISPLAY") == nullptr || !*std::getenv("DISPLAY"))
      GTEST_SKIP() << "DISPLAY is not set: no X server for window tests";
  }
  void OPEN(int32_t MODE, int32_t BPP) {
    VIDEO.INIT = NDISPLAY::INIT;
    VIDEO.INIT(VIDEO);
    VIDEO.SET_SCREEN(VIDEO, MODE, BPP, 0);
  }
  void TearDown() override {
    if (VIDEO.INIT == nullptr) return;
    VIDEO.END_SCREEN(VIDEO);
    VIDEO.DESTROY(VIDEO);
    draw2d::close_screen();
  }
  // The OpenGL window's next frame read back (W x 3W/4), one red << 16 | green << 8 | blue a
  // pixel: the bytes red, green, blue, alpha read as a little-endian word, blue and red swapped.
  std::vector<uint32_t> GL_FRAME(int W) {
    std::vector<uint32_t> RGB(std::size_t(W) * W * 3 / 4);
    EXPECT_TRUE(NDISPLAY::CAPTURE_NEXT_FRAME(VIDEO, reinterpret_cast<uint8_t*>(RGB.data())));
    VIDEO.RENDER(VIDEO);
    for (uint32_t& P : RGB) P = (P & 0xFF) << 16 | (P & 0xFF00) | (P >> 16 & 0xFF);
    return RGB;
  }
};

struct SoftwareWindow : DisplayWindow, ::testing::WithParamInterface<int32_t> {};

TEST_P(SoftwareWindow, ShowsTheScaledPage) {
  const int32_t MODE = GetParam();
  const int SCALE = MODE == 0 ? 3 : 1;  // --scale 3: each presented pixel a 3 x 3 block
  for (int I = 0; I < 16; ++I)  // sixteen colours with distinct red components
    draw2d::set_palette(I, uint32_t((I * 4 + 3) | ((63 - I * 3) << 8) | ((I * 9 % 64) << 16)));
  draw2d::set_window_scale(SCALE);
  OPEN(MODE, 8);
  uint32_t SEED = 12345;
  for (int I = 0; I < 320 * 240; ++I) {  // runs of equal pixels give Scale2x edges to work on
    SEED = SEED * 1103515245u + 12345u;
    VIDEO.P_VPAGE[4 + I] = uint8_t((SEED >> 16) % 5 == 0 ? (SEED >> 20) % 16 : (I / 4) % 3);
  }
  VIDEO.RENDER(VIDEO);
  const auto F = NDISPLAY::PRESENTED_FRAME(VIDEO);
  ASSERT_EQ(F.W, MODE == 0 ? 320 : 640) << "mode 0 presents the page, the others the scaled page";
  const int W = F.W * SCALE, H = W * 3 / 4;
  std::vector<uint32_t> GOT(std::size_t(W) * H);
  ASSERT_TRUE(draw2d::detail::window_read_pixels(GOT.data(), W, H))
      << "the window is the presented size times the scale: " << W << " x " << H;
  int I = 0;
  for (; I < W * H; ++I) {
    const auto* SHOWN = static_cast<const uint8_t*>(F.PIXELS);
    const auto P = draw2d::palette_rgb(SHOWN[I / W / SCALE * F.STRIDE + I % W / SCALE]);
    if ((GOT[I] & 0xFFFFFF) != (uint32_t(P.R) << 16 | P.G << 8 | P.B)) break;
  }
  EXPECT_EQ(I, W * H) << "window pixel (" << I % W << "," << I / W << ") of mode " << MODE
                      << " differs from the presented page";
  // seven presentations in quick succession hold six frame gaps, whatever the blit costs
  const double T0 = draw2d::timer();
  for (int N = 0; N < 7; ++N) VIDEO.RENDER(VIDEO);
  EXPECT_GE(draw2d::timer() - T0, 6.0 / 60.0) << "RENDER_SOFTWARE holds to 60 frames per second";
}

INSTANTIATE_TEST_SUITE_P(Modes, SoftwareWindow, ::testing::Values(0, 1, 2, 3),
                         [](const auto& I) { return "Mode" + std::to_string(I.param); });

TEST_F(DisplayWindow, NearestModeShowsThePageDoubled) {
  OPEN(5, 32);
  ASSERT_NE(VIDEO.DISPLAY.GLVER, nullptr) << "an OpenGL window is open, so GLVER is set";
  for (int I = 0; I < 320 * 240; ++I)  // colours 1 to 15 of the built-in table: none black
    VIDEO.P_VPAGE[4 + I] = uint8_t(1 + (I * 3 + (I / 320) * (I % 320 + 5)) % 15);
  const std::vector<uint32_t> SHOWN = GL_FRAME(640);
  // 320 texels stretched over 638 pixels and 240 over 478 below two black rows: the pixel at
  // each texel's centre shows that texel through the colour map
  for (int TY = 0; TY < 240; ++TY)
    for (int TX = 0; TX < 320; ++TX) {
      const int X = int((TX + 0.5) * 638 / 320), Y = 2 + int((TY + 0.5) * 478 / 240);
      ASSERT_EQ(SHOWN[Y * 640 + X], VIDEO.P_CMAP[VIDEO.P_VPAGE[4 + TY * 320 + TX]] >> 8)
          << "texel (" << TX << "," << TY << ") at window pixel (" << X << "," << Y << ")";
    }
  int BLACK = 0;
  for (int I = 0; I < 640 * 480; ++I) BLACK += (I % 640 >= 638 || I < 2 * 640) && SHOWN[I] == 0;
  EXPECT_EQ(BLACK, 2 * 480 + 2 * 638) << "the two right columns and the two top rows are black";
}

TEST_F(DisplayWindow, BilinearModeShowsTheColourTableNotThePalette) {
  draw2d::set_palette(9, 0x000000);  // the OpenGL modes never see the loaded palette
  draw2d::set_window_scale(2);       // --scale 2: the whole 640 x 480 picture at twice its size
  OPEN(9, 32);                       // any other mode: like 4
  std::memset(VIDEO.P_VPAGE + 4, 9, 320 * 240);
  const std::vector<uint32_t> SHOWN = GL_FRAME(1280);
  EXPECT_EQ(SHOWN[480 * 1280 + 640], 0x5454FCu) << "index 9 shows red 84, green 84, blue 252";
  EXPECT_EQ(SHOWN[2 * 1280 + 1276], 0u)
      << "the black right edge is 4 pixels wide at scale 2 (2 at scale 1)";
  EXPECT_EQ(glfw2::GetKey(glfw2::KEY_ESC), 0) << "no key is down in a fresh window";
  TearDown();
  VIDEO.INIT = nullptr;
  EXPECT_FALSE(glfw2::WindowOpen()) << "DESTROY shuts GLFW and its window down";
}

TEST(Draw2dWindow, UnreachableDisplayIsAFailureToOpen) {
  const std::string DISPLAY = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
  setenv("DISPLAY", ":31999", 1);  // no X server there
  unsetenv("SDL_VIDEODRIVER");
  draw2d::set_headless(false);
  EXPECT_FALSE(draw2d::open_screen(320, 240, 8, 1, 0))
      << "no silent fall-back to a window that nobody sees";
  EXPECT_FALSE(draw2d::screen_is_open());
  setenv("DISPLAY", DISPLAY.c_str(), 1);
}

}  // namespace
