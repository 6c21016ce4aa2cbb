// Window tests of the display: each test opens one real window under the X display in DISPLAY
// (ctest runs every test in its own process) and reads back what the window shows. The
// software modes are read with a real X client (xwd) and compared with the scaled page through
// the palette; the OpenGL modes are read back with glReadPixels.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "display/display.hpp"
#include "display/draw2d.hpp"
#include "leakscope/leakscope.hpp"

namespace {

using NDISPLAY::SCREEN_TYPE;

bool HAVE_DISPLAY() {
  const char* D = std::getenv("DISPLAY");
  return D != nullptr && *D != '\0';
}

#define REQUIRE_DISPLAY() \
  if (!HAVE_DISPLAY()) GTEST_SKIP() << "DISPLAY is not set: no X server for window tests"

std::string RUN(const std::string& CMD) {
  std::string OUT;
  if (std::FILE* P = popen(CMD.c_str(), "r")) {
    char BUF[4096];
    std::size_t N;
    while ((N = std::fread(BUF, 1, sizeof BUF, P)) > 0) OUT.append(BUF, N);
    pclose(P);
  }
  return OUT;
}

// An X window's picture as 0xRRGGBB values, read with xwd and decoded here.
struct Capture {
  int W = 0, H = 0;
  std::vector<uint32_t> RGB;
};

uint32_t BE32(const std::string& S, std::size_t AT) {
  return static_cast<uint32_t>(static_cast<uint8_t>(S[AT])) << 24 |
         static_cast<uint32_t>(static_cast<uint8_t>(S[AT + 1])) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(S[AT + 2])) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(S[AT + 3]));
}

uint32_t CHANNEL(uint32_t V, uint32_t MASK) {
  if (MASK == 0) return 0;
  int SHIFT = 0;
  while (((MASK >> SHIFT) & 1u) == 0) ++SHIFT;
  return (V & MASK) >> SHIFT;
}

bool XWD_CAPTURE(const std::string& WINDOW, Capture& C) {
  const std::string D = RUN("xwd -silent -id " + WINDOW + " 2>/dev/null");
  if (D.size() < 100) return false;
  // header: 25 big-endian 32-bit fields
  const uint32_t HEADER_SIZE = BE32(D, 0), FORMAT = BE32(D, 8), W = BE32(D, 16),
                 H = BE32(D, 20), XWD_ORDER = BE32(D, 28), BPP = BE32(D, 44),
                 LINE = BE32(D, 48), RMASK = BE32(D, 56), GMASK = BE32(D, 60),
                 BMASK = BE32(D, 64), NCOLOURS = BE32(D, 76);
  if (FORMAT != 2 || (BPP != 32 && BPP != 24)) return false;  // ZPixmap, true colour
  const std::size_t DATA = HEADER_SIZE + NCOLOURS * 12u;
  if (D.size() < DATA + static_cast<std::size_t>(LINE) * H) return false;
  C.W = static_cast<int>(W);
  C.H = static_cast<int>(H);
  C.RGB.assign(static_cast<std::size_t>(W) * H, 0);
  const std::size_t BYTES = BPP / 8;
  for (uint32_t Y = 0; Y < H; ++Y)
    for (uint32_t X = 0; X < W; ++X) {
      const std::size_t AT = DATA + static_cast<std::size_t>(Y) * LINE + X * BYTES;
      uint32_t V = 0;
      for (std::size_t I = 0; I < BYTES; ++I) {
        const uint32_t B = static_cast<uint8_t>(D[AT + I]);
        V |= XWD_ORDER == 0 ? B << (8 * I) : B << (8 * (BYTES - 1 - I));
      }
      C.RGB[static_cast<std::size_t>(Y) * W + X] =
          CHANNEL(V, RMASK) << 16 | CHANNEL(V, GMASK) << 8 | CHANNEL(V, BMASK);
    }
  return true;
}

std::string OWN_WINDOW() {
  const std::string IDS =
      RUN("xdotool search --onlyvisible --pid " + std::to_string(getpid()) + " 2>/dev/null");
  return IDS.substr(0, IDS.find('\n'));
}

// ---- software modes: the library's window shows the (scaled) page through the palette ----

class SoftwareWindow : public ::testing::TestWithParam<int32_t> {};

TEST_P(SoftwareWindow, ShowsTheScaledPage) {
  REQUIRE_DISPLAY();
  const int32_t MODE = GetParam();
  // sixteen colours with distinct red components
  for (int I = 0; I < 16; ++I)
    draw2d::set_palette(I, static_cast<uint32_t>((I * 4 + 3) | ((63 - I * 3) << 8) | ((I * 9 % 64) << 16)));
  SCREEN_TYPE VIDEO{};
  VIDEO.INIT = NDISPLAY::INIT;
  VIDEO.INIT(VIDEO);
  VIDEO.SET_SCREEN(VIDEO, MODE, 8, 0);
  ASSERT_TRUE(draw2d::screen_has_window()) << "a software mode opens the library's window";
  uint32_t SEED = 12345;
  for (int I = 0; I < 320 * 240; ++I) {
    SEED = SEED * 1103515245u + 12345u;
    // runs of equal pixels so that Scale2x has edges to work on
    VIDEO.P_VPAGE[4 + I] = static_cast<uint8_t>(((SEED >> 16) % 5 == 0) ? (SEED >> 20) % 16 : (I / 4) % 3);
  }
  VIDEO.RENDER(VIDEO);
  const auto F = NDISPLAY::PRESENTED_FRAME(VIDEO);
  const auto* SHOWN = static_cast<const uint8_t*>(F.PIXELS);

  const std::string WINDOW = OWN_WINDOW();
  ASSERT_FALSE(WINDOW.empty()) << "the window of this process is visible to X clients";
  // Other tests may share the X server; raise the window, present again and read, a few times.
  std::size_t BAD = 0;
  std::string FIRST_BAD;
  for (int TRY = 0; TRY < 5; ++TRY) {
    RUN("xdotool windowraise " + WINDOW + " 2>/dev/null");
    VIDEO.RENDER(VIDEO);
    Capture C;
    ASSERT_TRUE(XWD_CAPTURE(WINDOW, C)) << "xwd reads the window";
    // the library shows a 320 x 240 screen in a window twice its size
    const int SCALE = C.W / F.W;
    ASSERT_GE(SCALE, 1) << "the window is at least as wide as the presented image";
    ASSERT_EQ(C.W, F.W * SCALE) << "the window is a whole multiple of the presented image";
    ASSERT_EQ(C.H, F.H * SCALE) << "the window is a whole multiple of the presented image";
    BAD = 0;
    for (int Y = 0; Y < C.H; ++Y)
      for (int X = 0; X < C.W; ++X) {
        const draw2d::Rgb P = draw2d::palette_rgb(SHOWN[(Y / SCALE) * F.STRIDE + X / SCALE]);
        const uint32_t WANT = static_cast<uint32_t>(P.R) << 16 | static_cast<uint32_t>(P.G) << 8 | P.B;
        if (C.RGB[static_cast<std::size_t>(Y) * C.W + X] != WANT && BAD++ == 0)
          FIRST_BAD = "(" + std::to_string(X) + "," + std::to_string(Y) + ")";
      }
    if (BAD == 0) break;
  }
  EXPECT_EQ(BAD, 0u) << "window pixels differ from the page of mode " << MODE << ", first at "
                     << FIRST_BAD;

  // presentations in quick succession are a frame apart: seven calls hold six frame gaps
  // between their presentations, whatever the blit after each wait costs
  const double T0 = draw2d::timer();
  for (int I = 0; I < 7; ++I) VIDEO.RENDER(VIDEO);
  EXPECT_GE(draw2d::timer() - T0, 6.0 / 60.0) << "RENDER_SOFTWARE holds to 60 frames per second";

  VIDEO.END_SCREEN(VIDEO);
  VIDEO.DESTROY(VIDEO);
  draw2d::close_screen();
}

INSTANTIATE_TEST_SUITE_P(Modes, SoftwareWindow, ::testing::Values(0, 1, 2, 3),
                         [](const auto& I) { return "Mode" + std::to_string(I.param); });

// ---- OpenGL modes: a GLFW window shows the page doubled into 638 x 478 ----

uint32_t RGB_OF_TEXEL(uint32_t T) { return T >> 8; }  // drop alpha: 0xRRGGBB

TEST(DisplayWindow, NearestModeShowsThePageDoubled) {
  REQUIRE_DISPLAY();
  SCREEN_TYPE VIDEO{};
  VIDEO.INIT = NDISPLAY::INIT;
  VIDEO.INIT(VIDEO);
  VIDEO.SET_SCREEN(VIDEO, 5, 32, 0);
  ASSERT_NE(VIDEO.DISPLAY.GLVER, nullptr) << "an OpenGL window is open, so GLVER is set";
  // colours 1 to 15 of the built-in table: none is black, all differ
  for (int Y = 0; Y < 240; ++Y)
    for (int X = 0; X < 320; ++X)
      VIDEO.P_VPAGE[4 + Y * 320 + X] = static_cast<uint8_t>(1 + (X * 3 + Y * 5 + X * Y) % 15);
  std::vector<uint8_t> RGBA(640 * 480 * 4);
  ASSERT_TRUE(NDISPLAY::CAPTURE_NEXT_FRAME(VIDEO, RGBA.data()));
  VIDEO.RENDER(VIDEO);

  auto CANDIDATES = [](double F, int LIMIT) {
    std::vector<int> C{static_cast<int>(std::floor(F))};
    const double FRAC = F - std::floor(F);
    if (FRAC < 0.01 && C[0] > 0) C.push_back(C[0] - 1);
    if (FRAC > 0.99 && C[0] + 1 < LIMIT) C.push_back(C[0] + 1);
    return C;
  };
  std::size_t BAD = 0;
  std::string FIRST_BAD;
  for (int Y = 0; Y < 480; ++Y)
    for (int X = 0; X < 640; ++X) {
      const uint8_t* P = &RGBA[(static_cast<std::size_t>(Y) * 640 + X) * 4];
      const uint32_t GOT = static_cast<uint32_t>(P[0]) << 16 | static_cast<uint32_t>(P[1]) << 8 | P[2];
      bool OK = false;
      if (X >= 638 || Y < 2) {
        OK = GOT == 0;  // the two rightmost columns and two top rows keep the clear colour
      } else {
        // 320 texels stretched over 638 pixels and 240 over 478: nearly every texel doubled
        for (int TX : CANDIDATES((X + 0.5) * 320.0 / 638.0, 320))
          for (int TY : CANDIDATES((Y - 2 + 0.5) * 240.0 / 478.0, 240))
            OK = OK || GOT == RGB_OF_TEXEL(VIDEO.P_CMAP[VIDEO.P_VPAGE[4 + TY * 320 + TX]]);
      }
      if (!OK && BAD++ == 0)
        FIRST_BAD = "(" + std::to_string(X) + "," + std::to_string(Y) + ")";
    }
  EXPECT_EQ(BAD, 0u) << "window pixels differ from the doubled page, first at " << FIRST_BAD;

  VIDEO.END_SCREEN(VIDEO);
  VIDEO.DESTROY(VIDEO);
  draw2d::close_screen();
}

TEST(DisplayWindow, BilinearModeShowsTheColourTableNotThePalette) {
  REQUIRE_DISPLAY();
  draw2d::set_palette(9, 0x000000);  // the OpenGL modes never see the loaded palette
  SCREEN_TYPE VIDEO{};
  VIDEO.INIT = NDISPLAY::INIT;
  VIDEO.INIT(VIDEO);
  VIDEO.SET_SCREEN(VIDEO, 9, 32, 0);  // any other mode: like 4
  ASSERT_NE(VIDEO.DISPLAY.GLVER, nullptr);
  std::memset(VIDEO.P_VPAGE + 4, 9, 320 * 240);
  std::vector<uint8_t> RGBA(640 * 480 * 4);
  ASSERT_TRUE(NDISPLAY::CAPTURE_NEXT_FRAME(VIDEO, RGBA.data()));
  VIDEO.RENDER(VIDEO);
  const uint8_t* MID = &RGBA[(240 * 640 + 320) * 4];
  EXPECT_EQ(MID[0], 84) << "index 9 shows red 84";
  EXPECT_EQ(MID[1], 84) << "index 9 shows green 84";
  EXPECT_EQ(MID[2], 252) << "index 9 shows blue 252";
  const uint8_t* CORNER = &RGBA[(0 * 640 + 639) * 4];
  EXPECT_EQ(CORNER[0] | CORNER[1] | CORNER[2], 0) << "the top-right corner stays black";
  EXPECT_EQ(glfw2::GetKey(glfw2::KEY_ESC), 0) << "no key is down in a fresh window";
  // what X shows in the window agrees (read with a real X client)
  const std::string WINDOW = OWN_WINDOW();
  ASSERT_FALSE(WINDOW.empty()) << "the GLFW window is visible to X clients";
  Capture C;
  for (int TRY = 0; TRY < 5; ++TRY) {  // another test's window may cover ours for a moment
    RUN("xdotool windowraise " + WINDOW + " 2>/dev/null");
    VIDEO.RENDER(VIDEO);
    ASSERT_TRUE(XWD_CAPTURE(WINDOW, C)) << "xwd reads the GLFW window";
    if (C.RGB[240 * 640 + 320] == 0x5454FCu) break;
  }
  ASSERT_EQ(C.W, 640);
  EXPECT_EQ(C.RGB[240 * 640 + 320], 0x5454FCu) << "X shows index 9 as 84, 84, 252";
  EXPECT_EQ(C.RGB[0 * 640 + 639], 0u) << "X shows the top-right corner black";

  VIDEO.END_SCREEN(VIDEO);
  VIDEO.DESTROY(VIDEO);
  EXPECT_FALSE(glfw2::WindowOpen()) << "DESTROY shuts GLFW and its window down";
  draw2d::close_screen();
}

}  // namespace
