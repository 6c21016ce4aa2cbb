// draw2d window back-end under a real X display (Xvfb in CI): what the window shows must be the
// visible page through the palette, and keys sent by the X server must reach key_state and inkey.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "display/draw2d.hpp"
#include "draw2d/internal.hpp"

namespace {

struct Draw2dWindow : ::testing::Test {
  void SetUp() override {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display (scripts/test.sh runs Xvfb)";
    draw2d::set_headless(false);
    for (int I = 0; I < 256; ++I)  // a palette in which every index has its own colour
      draw2d::set_palette(I, uint32_t((I & 63) | (((I >> 2) & 63) << 8) | ((63 - (I & 63)) << 16)));
  }
  void TearDown() override { draw2d::close_screen(); }
};

// Counts the window pixels that differ from the palette colour of the page pixel they show,
// the page being scaled by SCALE, and reports the first.
int compare_window(const uint8_t* PAGE, int SCALE) {
  int WW = 0, WH = 0;
  draw2d::detail::window_size(WW, WH);
  const int PW = draw2d::width_of(PAGE);
  EXPECT_EQ(WW, PW * SCALE) << "window width";
  EXPECT_EQ(WH, draw2d::height_of(PAGE) * SCALE) << "window height";
  std::vector<uint32_t> SHOWN(std::size_t(WW) * WH);
  EXPECT_TRUE(draw2d::detail::window_read_pixels(SHOWN.data(), WW, WH));
  int BAD = 0;
  for (int I = 0; I < WW * WH; ++I) {
    const int X = I % WW, Y = I / WW, INDEX = PAGE[4 + (Y / SCALE) * PW + X / SCALE];
    const auto C = draw2d::palette_rgb(INDEX);
    if ((SHOWN[I] & 0xFFFFFF) != (uint32_t(C.R) << 16 | C.G << 8 | C.B) && BAD++ == 0)
      ADD_FAILURE() << "window pixel (" << X << "," << Y << ") shows " << std::hex << SHOWN[I]
                    << " instead of the colour of index " << std::dec << INDEX;
  }
  return BAD;
}

bool run(const std::string& COMMAND) { return std::system(COMMAND.c_str()) == 0; }

struct Draw2dWindowSize : Draw2dWindow, ::testing::WithParamInterface<std::pair<int, int>> {};

TEST_P(Draw2dWindowSize, ShowsTheVisiblePageScaledAndCloses) {
  const auto [W, SCALE] = GetParam();
  const int H = W * 3 / 4;
  draw2d::set_window_scale(SCALE);
  ASSERT_TRUE(draw2d::open_screen(W, H, 8, 1, draw2d::SCREEN_NO_SWITCH));
  ASSERT_TRUE(draw2d::screen_has_window());
  // a frame with a different index in every pixel, so a misplaced or swapped pixel shows
  std::vector<uint8_t> CARD(draw2d::buffer_bytes(W, H));
  draw2d::write_header(CARD.data(), W, H);
  for (int I = 0; I < W * H; ++I) CARD[4 + I] = uint8_t((I % W) * 7 + (I / W) * 13);
  draw2d::blit(nullptr, 0, 0, CARD.data(), draw2d::Blit::OPAQUE);  // a blit presents
  draw2d::circle(nullptr, 160, 120, 50, 255);
  draw2d::box(nullptr, 5, 5, 20, 10, 1);
  draw2d::key_state(draw2d::KEY_ESCAPE);  // boxes and circles show at the next event check
  EXPECT_EQ(compare_window(draw2d::visible_buffer(), SCALE), 0)
      << "the window is the screen times the window scale, each page pixel a block of that size";
  draw2d::close_screen();
  EXPECT_FALSE(draw2d::screen_has_window()) << "closing the screen closes the window";
}

INSTANTIATE_TEST_SUITE_P(Screens, Draw2dWindowSize,
                         ::testing::Values(std::pair{320, 1}, std::pair{640, 1}, std::pair{320, 3}),
                         [](const auto& I) {
                           const std::string W = std::to_string(I.param.first);
                           return W + "x" + std::to_string(I.param.second);
                         });

TEST_F(Draw2dWindow, UnreachableDisplayIsAFailureToOpen) {
  setenv("DISPLAY", ":31999", 1);  // no X server there
  unsetenv("SDL_VIDEODRIVER");
  EXPECT_FALSE(draw2d::open_screen(320, 240, 8, 1, 0))
      << "no silent fall-back to a window that nobody sees";
  EXPECT_FALSE(draw2d::screen_is_open());
}

TEST_F(Draw2dWindow, ShowsOnlyTheFlippedPageInTheCurrentPalette) {
  ASSERT_TRUE(draw2d::open_screen(320, 240, 8, 2, 0));
  draw2d::set_pages(1, 0);
  draw2d::box(nullptr, 0, 0, 319, 239, 40);
  draw2d::wait_retrace();
  EXPECT_EQ(compare_window(draw2d::page_buffer(0), 1), 0)
      << "drawing on the work page leaves the window on the visible page";
  draw2d::copy_page();
  EXPECT_EQ(compare_window(draw2d::page_buffer(1), 1), 0) << "copy_page shows the work page";
  draw2d::set_palette(40, 0x3F0000);  // blue
  draw2d::inkey();
  std::vector<uint32_t> SHOWN(320 * 240);
  ASSERT_TRUE(draw2d::detail::window_read_pixels(SHOWN.data(), 320, 240));
  EXPECT_EQ(SHOWN[1000] & 0xFFFFFF, 0x0000FFu) << "the new colour of index 40 is shown";
}

TEST_F(Draw2dWindow, KeysFromTheXServerReachKeyStateAndInkey) {
  if (!run("command -v xdotool >/dev/null")) GTEST_SKIP() << "xdotool is not installed";
  ASSERT_TRUE(draw2d::open_screen(320, 240, 8, 1, 0));
  draw2d::sleep_ms(100);
  const std::string WIN = "$(xdotool search --sync --onlyvisible --pid " +
                          std::to_string(getpid()) + " | head -n 1)";
  ASSERT_TRUE(run("W=" + WIN + " && xdotool keydown --window $W Up key --window $W x F1"))
      << "xdotool could not send keys";
  bool HELD = false;
  std::vector<std::string> GOT;
  for (int I = 0; I < 100 && (!HELD || GOT.size() < 3); ++I) {
    draw2d::sleep_ms(10);
    HELD = HELD || draw2d::key_state(draw2d::KEY_UP) != 0;
    for (std::string K; !(K = draw2d::inkey()).empty();) GOT.push_back(K);
  }
  run("xdotool keyup --window " + WIN + " Up");
  EXPECT_TRUE(HELD) << "a held Up arrow reads as scan code 72";
  EXPECT_EQ(GOT, (std::vector<std::string>{std::string("\0H", 2), "x", std::string("\0;", 2)}))
      << "Up queues NUL and scan code 72, x its character, F1 NUL and scan code 59";
}

}  // namespace
