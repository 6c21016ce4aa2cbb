// draw2d memory screen: pages and flips, the virtual clock, key codes and the fatal end.
// Everything runs on the null back-end, without a display.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "draw2d/draw2d.hpp"
#include "tests/e2e/run_program.hpp"
#include "tests/unit/image_test_files.hpp"

using imagetest::PIXEL_AT;

// Headless (null screens, virtual clock): pages and the flip, the clock and key codes out of
// range. Scripted keys are read frame by frame in the harness tests; the key queue is filled
// from real windows in the window scenarios (tests/golden/windows/).
TEST(Draw2dScreen, HeadlessPagesFlipClockAndKeys) {
  draw2d::set_headless(true);
  EXPECT_FALSE(draw2d::open_screen(320, 240, 16, 1, 0)) << "only 8-bit screens exist";
  ASSERT_TRUE(draw2d::open_screen(320, 240, 8, 2, draw2d::SCREEN_DEFAULT));
  EXPECT_FALSE(draw2d::screen_has_window()) << "headless mode never opens a window";
  draw2d::set_pages(1, 0);
  draw2d::box(nullptr, 10, 10, 12, 12, 5);
  const uint8_t *WORK = draw2d::page_buffer(1), *SHOWN = draw2d::page_buffer(0);
  EXPECT_EQ((std::vector<int>{PIXEL_AT(WORK, 11, 11), PIXEL_AT(SHOWN, 11, 11)}),
            (std::vector<int>{5, 0}))
      << "drawing goes to work page 1; the visible page is untouched until the flip";
  draw2d::copy_page();
  EXPECT_EQ(0, std::memcmp(SHOWN, WORK, draw2d::buffer_bytes(320, 240)))
      << "copy_page makes the whole frame, header included, visible";
  draw2d::set_pages(5, -1);
  EXPECT_EQ(draw2d::visible_buffer(), SHOWN) << "pages the screen lacks are not selected";
  draw2d::close_screen();

  draw2d::set_headless(true);  // the virtual clock starts again at 0
  draw2d::wait_retrace();
  draw2d::tick_frame();
  draw2d::sleep_ms(5000);
  EXPECT_EQ(draw2d::timer(), 2.0 / 60.0)
      << "a retrace wait and a presented frame are a frame each; sleeps return at once headless";
  draw2d::set_key(100000, true);  // ignored, not written out of range
  EXPECT_EQ(draw2d::key_state(100000), 0) << "unknown key codes are never held";
  draw2d::set_headless(false);
}

// The fatal end prints its line first (the tracker's exit report follows), waits as asked (a
// console key here: end of input ends the wait) and exits 0, with or without a screen.
TEST(Draw2dFatalDeathTest, PrintsOneLineWaitsAndExitsZero) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const std::string LOG = ::testing::TempDir() + "draw2d_fatal.txt";
  for (const int CASE : {0, 1, 2}) {  // a key without and with a screen, one second
    const auto WAIT = CASE == 2 ? draw2d::FatalWait::ONE_SECOND : draw2d::FatalWait::KEY;
    const auto FATAL = [&] {
      if (!std::freopen(LOG.c_str(), "w", stdout) || !std::freopen("/dev/null", "r", stdin))
        std::abort();
      if (CASE == 1 && !draw2d::open_screen(8, 8, 8, 1, draw2d::SCREEN_NULL)) std::abort();
      draw2d::fatal("cannot go on", WAIT);
    };
    EXPECT_EXIT(FATAL(), ::testing::ExitedWithCode(0), "") << "case " << CASE;
    EXPECT_EQ(e2e::READ_FILE(LOG).substr(0, 13), "cannot go on\n") << "case " << CASE;
  }
  std::remove(LOG.c_str());
}
