// draw2d window back-end under a real X display (Xvfb in CI): what the window shows must be the
// visible page through the palette, keys sent by the X server must reach key_state and inkey,
// and a quit request must read as Escape.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "display/draw2d.hpp"
#include "draw2d/internal.hpp"

namespace {

class Draw2dWindow : public ::testing::Test {
 protected:
  uint32_t SAVED[256] = {};
  void SetUp() override {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display (scripts/test.sh runs Xvfb)";
    draw2d::set_headless(false);
    for (int I = 0; I < 256; ++I) SAVED[I] = draw2d::get_palette(I);
    // A palette in which every index has its own colour.
    for (int I = 0; I < 256; ++I)
      draw2d::set_palette(I, static_cast<uint32_t>((I & 63) | (((I >> 2) & 63) << 8) |
                                                   ((63 - (I & 63)) << 16)));
  }
  void TearDown() override {
    draw2d::close_screen();
    for (int I = 0; I < 256; ++I) draw2d::set_palette(I, SAVED[I]);
    while (!draw2d::inkey().empty()) {
    }
  }
};

uint32_t argb(int INDEX) {
  const auto C = draw2d::palette_rgb(INDEX);
  return 0xFF000000u | (uint32_t{C.R} << 16) | (uint32_t{C.G} << 8) | C.B;
}

// Compares every window pixel with the palette colour of the page pixel it shows, the page
// being scaled by SCALE. Returns the number of mismatches (and reports the first).
int compare_window(const uint8_t* PAGE, int SCALE) {
  int WW = 0, WH = 0;
  draw2d::detail::window_size(WW, WH);
  const int PW = draw2d::width_of(PAGE), PH = draw2d::height_of(PAGE);
  EXPECT_EQ(WW, PW * SCALE) << "window width";
  EXPECT_EQ(WH, PH * SCALE) << "window height";
  if (WW != PW * SCALE || WH != PH * SCALE) return -1;
  std::vector<uint32_t> SHOWN(static_cast<std::size_t>(WW) * WH);
  EXPECT_TRUE(draw2d::detail::window_read_pixels(SHOWN.data(), WW, WH));
  int BAD = 0;
  for (int Y = 0; Y < WH; ++Y) {
    for (int X = 0; X < WW; ++X) {
      const int INDEX = PAGE[draw2d::HEADER_BYTES + (Y / SCALE) * PW + X / SCALE];
      const uint32_t GOT = SHOWN[static_cast<std::size_t>(Y) * WW + X] | 0xFF000000u;
      if (GOT != argb(INDEX) && BAD++ == 0)
        ADD_FAILURE() << "window pixel (" << X << "," << Y << ") shows " << std::hex << GOT
                      << " instead of palette colour " << argb(INDEX) << " of index " << std::dec
                      << INDEX;
    }
  }
  return BAD;
}

// A frame with a different index in every pixel, so a misplaced or swapped pixel shows.
std::vector<uint8_t> test_card(int W, int H) {
  std::vector<uint8_t> F(draw2d::buffer_bytes(W, H));
  draw2d::write_header(F.data(), W, H);
  for (int Y = 0; Y < H; ++Y)
    for (int X = 0; X < W; ++X)
      F[draw2d::HEADER_BYTES + Y * W + X] = static_cast<uint8_t>((X * 7 + Y * 13) & 0xFF);
  return F;
}

bool run(const std::string& COMMAND) { return std::system(COMMAND.c_str()) == 0; }

}  // namespace

TEST_F(Draw2dWindow, SmallScreenShowsThePageDoubled) {
  ASSERT_TRUE(draw2d::open_screen(320, 240, 8, 1, draw2d::SCREEN_NO_SWITCH));
  ASSERT_TRUE(draw2d::screen_has_window());
  const auto CARD = test_card(320, 240);
  draw2d::blit(nullptr, 0, 0, CARD.data(), draw2d::Blit::OPAQUE);  // a blit presents
  draw2d::circle(nullptr, 160, 120, 50, 255);
  draw2d::box(nullptr, 5, 5, 20, 10, 1);
  draw2d::key_state(draw2d::KEY_ESCAPE);  // boxes and circles show at the next event check
  EXPECT_EQ(compare_window(draw2d::visible_buffer(), 2), 0)
      << "a 320 x 240 screen fills a 640 x 480 window, each page pixel a 2 x 2 block";
}

TEST_F(Draw2dWindow, LargeScreenShowsThePageOneToOne) {
  ASSERT_TRUE(draw2d::open_screen(640, 480, 8, 1, draw2d::SCREEN_NO_SWITCH));
  const auto CARD = test_card(640, 480);
  draw2d::blit(nullptr, 0, 0, CARD.data(), draw2d::Blit::OPAQUE);
  EXPECT_EQ(compare_window(draw2d::visible_buffer(), 1), 0) << "640 x 480 is shown unscaled";
}

TEST_F(Draw2dWindow, PaletteChangesReachTheWindow) {
  ASSERT_TRUE(draw2d::open_screen(320, 240, 8, 1, 0));
  draw2d::box(nullptr, 0, 0, 319, 239, 40);
  draw2d::copy_page();
  draw2d::set_palette(40, 0x3F0000);  // blue
  draw2d::inkey();
  std::vector<uint32_t> SHOWN(640 * 480);
  ASSERT_TRUE(draw2d::detail::window_read_pixels(SHOWN.data(), 640, 480));
  EXPECT_EQ(SHOWN[1000] | 0xFF000000u, 0xFF0000FFu) << "the new colour of index 40 is shown";
}

TEST_F(Draw2dWindow, TwoPagesShowOnlyTheFlippedFrame) {
  ASSERT_TRUE(draw2d::open_screen(320, 240, 8, 2, 0));
  draw2d::set_pages(1, 0);
  draw2d::box(nullptr, 0, 0, 319, 239, 7);
  draw2d::wait_retrace();
  EXPECT_EQ(compare_window(draw2d::page_buffer(0), 2), 0)
      << "drawing on the work page leaves the window on the visible page";
  draw2d::copy_page();
  EXPECT_EQ(compare_window(draw2d::page_buffer(1), 2), 0) << "copy_page shows the work page";
}

TEST_F(Draw2dWindow, QuitRequestReadsAsEscape) {
  ASSERT_TRUE(draw2d::open_screen(320, 240, 8, 1, 0));
  draw2d::detail::window_request_quit();
  EXPECT_NE(draw2d::key_state(draw2d::KEY_ESCAPE), 0) << "a quit request holds Escape";
  EXPECT_EQ(draw2d::inkey(), "\x1b") << "and queues an Escape key press";
  draw2d::close_screen();
  EXPECT_EQ(draw2d::key_state(draw2d::KEY_ESCAPE), 0) << "closing the window releases keys";
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
  ASSERT_EQ(GOT.size(), 3u) << "three key presses queue three keys";
  EXPECT_EQ(GOT[0].size(), 2u) << "Up is an extended key";
  EXPECT_EQ(GOT[1], "x") << "printable keys queue their character";
  EXPECT_EQ(GOT[2], std::string("\0;", 2)) << "F1 queues NUL and scan code 59";
  for (int I = 0; I < 100 && draw2d::key_state(draw2d::KEY_UP) != 0; ++I) draw2d::sleep_ms(10);
  EXPECT_EQ(draw2d::key_state(draw2d::KEY_UP), 0) << "a released key reads as up";
}
