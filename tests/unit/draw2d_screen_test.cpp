// draw2d memory screen: pages and flips, the virtual clock, scripted keys, the console key
// reader and the bitmap loader. Everything runs on the null back-end, without a display.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "draw2d/draw2d.hpp"
#include "tests/unit/image_test_files.hpp"

namespace {

// Every test starts headless (null screens, virtual clock) with no screen and no keys.
struct Draw2dScreen : ::testing::Test {
  void SetUp() override {
    draw2d::set_headless(true);
    while (!draw2d::inkey().empty()) continue;
  }
  void TearDown() override {
    draw2d::close_screen();
    for (int K = 0; K < 128; ++K) draw2d::set_key(K, false);
    SetUp();
    draw2d::set_headless(false);
  }
};

using imagetest::PIXEL_AT;

}  // namespace

TEST_F(Draw2dScreen, NullTargetDrawsIntoTheWorkPageAndCopyPageShowsIt) {
  EXPECT_FALSE(draw2d::open_screen(320, 240, 16, 1, 0)) << "only 8-bit screens exist";
  draw2d::box(nullptr, 0, 0, 10, 10, 1);  // no screen: no effect, no crash
  ASSERT_TRUE(draw2d::open_screen(320, 240, 8, 2, draw2d::SCREEN_DEFAULT));
  EXPECT_FALSE(draw2d::screen_has_window()) << "headless mode never opens a window";
  EXPECT_EQ(draw2d::page_buffer(2), nullptr) << "a two-page screen has no page 2";
  draw2d::set_pages(1, 0);
  draw2d::box(nullptr, 10, 10, 12, 12, 5);
  draw2d::circle(nullptr, 100, 100, 3, 6);
  const std::vector<uint8_t> DOT = {8, 0, 1, 0, 7};  // 1 x 1 frame of index 7
  draw2d::blit(nullptr, 200, 50, DOT.data(), draw2d::Blit::TRANSPARENT);
  const uint8_t *WORK = draw2d::page_buffer(1), *SHOWN = draw2d::page_buffer(0);
  EXPECT_EQ((std::vector<int>{PIXEL_AT(WORK, 11, 11), PIXEL_AT(WORK, 103, 100), PIXEL_AT(WORK, 200, 50)}),
            (std::vector<int>{5, 6, 7})) << "box, circle and blit go to work page 1";
  EXPECT_EQ(PIXEL_AT(SHOWN, 11, 11), 0) << "the visible page is untouched until the flip";
  EXPECT_EQ(draw2d::visible_buffer(), SHOWN);
  draw2d::copy_page();
  EXPECT_EQ(0, std::memcmp(SHOWN, WORK, draw2d::buffer_bytes(320, 240)))
      << "copy_page makes the whole frame, header included, visible";

  draw2d::set_pages(0, 1);
  EXPECT_EQ(draw2d::visible_buffer(), WORK) << "set_pages picks the page that is shown";
  draw2d::set_pages(5, -1);
  EXPECT_EQ(draw2d::visible_buffer(), WORK) << "pages the screen lacks are not selected";
  draw2d::box(nullptr, 0, 0, 0, 0, 9);
  EXPECT_EQ(PIXEL_AT(SHOWN, 0, 0), 9) << "work page 0 still receives drawing";
  draw2d::close_screen();
  EXPECT_EQ(draw2d::page_buffer(0), nullptr) << "closing frees the pages";
}

TEST_F(Draw2dScreen, VirtualClockCountsFramesRealRetracesWait) {
  EXPECT_EQ(draw2d::timer(), 0.0) << "the virtual clock starts at 0.0";
  draw2d::wait_retrace();
  draw2d::tick_frame();
  EXPECT_EQ(draw2d::timer(), 2.0 / 60.0) << "a retrace wait and a presented frame: two frames";
  draw2d::sleep_ms(5000);
  draw2d::sleep_ms(100, true);
  draw2d::wait_key();
  EXPECT_EQ(draw2d::timer(), 2.0 / 60.0) << "sleeps and key waits return at once headless";
  for (int K = 2; K < 100000; ++K) draw2d::wait_retrace();
  EXPECT_EQ(draw2d::timer(), 100000 / 60.0) << "exactly k / 60 after k frames, with no drift";
  draw2d::set_headless(true);
  EXPECT_EQ(draw2d::timer(), 0.0) << "switching headless mode on restarts the clock";

  draw2d::set_headless(false);
  ASSERT_TRUE(draw2d::open_screen(320, 240, 8, 1, draw2d::SCREEN_NULL));
  const double T0 = draw2d::timer();
  for (int I = 0; I < 6; ++I) draw2d::wait_retrace();
  EXPECT_GE(draw2d::timer() - T0, 4.0 / 60.0) << "six real retraces take about six 60 Hz frames";
}

TEST_F(Draw2dScreen, ScriptedKeysAndInkeyQueue) {
  draw2d::set_key(draw2d::KEY_UP, true);
  EXPECT_NE(draw2d::key_state(draw2d::KEY_UP), 0) << "a scripted key reads as held";
  EXPECT_EQ(draw2d::key_state(draw2d::KEY_DOWN), 0) << "other keys are not affected";
  draw2d::set_key(draw2d::KEY_UP, false);
  EXPECT_EQ(draw2d::key_state(draw2d::KEY_UP), 0) << "released keys read as up";
  draw2d::set_key(100000, true);  // ignored, not written out of range
  EXPECT_EQ(draw2d::key_state(-1) | draw2d::key_state(100000), 0) << "unknown codes never held";

  EXPECT_EQ(draw2d::inkey(), "") << "no key waiting gives empty text";
  draw2d::push_key("a");
  draw2d::push_key(std::string("\0H", 2));
  draw2d::push_key("");
  EXPECT_EQ(draw2d::inkey(), "a") << "keys come out in the order they were queued";
  EXPECT_EQ(draw2d::inkey(), std::string("\0H", 2)) << "extended keys keep their NUL prefix";
  EXPECT_EQ(draw2d::inkey(), "") << "an empty push is no key";
}

TEST_F(Draw2dScreen, ConsoleReadsOneKeyAndStopsAtEndOfInput) {
  int PIPE[2];
  ASSERT_EQ(pipe(PIPE), 0);
  ASSERT_EQ(write(PIPE[1], "2y", 2), 2);
  close(PIPE[1]);
  const int SAVED = dup(STDIN_FILENO);
  dup2(PIPE[0], STDIN_FILENO);
  close(PIPE[0]);
  const int KEYS[3] = {draw2d::console_read_key(), draw2d::console_read_key(),
                       draw2d::console_read_key()};
  dup2(SAVED, STDIN_FILENO);
  close(SAVED);
  EXPECT_EQ(std::vector<int>(KEYS, KEYS + 3), (std::vector<int>{'2', 'y', -1}))
      << "one key is one byte (no Enter needed); end of input returns -1 instead of waiting";
}

// The fatal end prints its line first (the tracker's exit report follows), waits as asked (a
// console key here: end of input ends the wait) and exits 0, with or without a screen.
TEST(Draw2dFatalDeathTest, PrintsOneLineWaitsAndExitsZero) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const std::string LOG = ::testing::TempDir() + "draw2d_fatal.txt";
  const auto FATAL_WITH = [&LOG](bool SCREEN, draw2d::FatalWait WAIT) {
    if (std::freopen(LOG.c_str(), "w", stdout) == nullptr) std::abort();
    if (std::freopen("/dev/null", "r", stdin) == nullptr) std::abort();
    if (SCREEN && !draw2d::open_screen(8, 8, 8, 1, draw2d::SCREEN_NULL)) std::abort();
    draw2d::fatal("cannot go on", WAIT);
  };
  const std::pair<bool, draw2d::FatalWait> CASES[] = {{false, draw2d::FatalWait::KEY},
                                                       {true, draw2d::FatalWait::KEY},
                                                       {false, draw2d::FatalWait::ONE_SECOND}};
  for (const auto& [SCREEN, WAIT] : CASES) {
    EXPECT_EXIT(FATAL_WITH(SCREEN, WAIT), ::testing::ExitedWithCode(0), "");
    std::ifstream IN(LOG);
    std::string FIRST;
    std::getline(IN, FIRST);
    EXPECT_EQ(FIRST, "cannot go on") << "screen " << SCREEN << ", wait " << static_cast<int>(WAIT);
  }
  std::remove(LOG.c_str());
}

TEST(Draw2dBitmap, EightBitBitmapsGiveTheirIndicesTopRowFirstWithinCapacity) {
  using namespace imagetest;
  for (const bool TOP_DOWN : {false, true}) {
    SCOPED_TRACE(TOP_DOWN ? "top-down bitmap" : "bottom-up bitmap");
    WRITE_BMP(SCRATCH("d2_bmp.bmp"), 5, 3, TOP_DOWN);  // width 5: 3 bytes of padding per row
    std::vector<uint8_t> D(draw2d::buffer_bytes(5, 3) + 6, 0xEE);
    ASSERT_TRUE(draw2d::load_bitmap(SCRATCH("d2_bmp.bmp").c_str(), D.data(), draw2d::buffer_bytes(5, 3)));
    EXPECT_TRUE(D[0] + (D[1] << 8) == 5 * 8 + 1 && D[2] + (D[3] << 8) == 3) << "width x 8 + 1, height";
    for (int Y = 0; Y < 3; ++Y)
      for (int X = 0; X < 5; ++X)
        EXPECT_EQ(PIXEL_AT(D.data(), X, Y), PATTERN(X, Y))
            << "pixel (" << X << "," << Y << "): no row padding, no palette conversion";
    EXPECT_EQ(D[draw2d::buffer_bytes(5, 3)], 0xEE) << "nothing is written past CAPACITY";
  }
  const std::string CUT = SCRATCH("d2_cut.bmp"), FOUR = SCRATCH("d2_4bit.bmp");
  WRITE_BMP(CUT, 7, 4);
  std::vector<uint8_t> D(64, 0xEE);
  ASSERT_TRUE(draw2d::load_bitmap(CUT.c_str(), D.data(), 4 + 10));
  EXPECT_EQ(PIXEL_AT(D.data(), 2, 1), PATTERN(2, 1)) << "the first ten pixels are kept";
  EXPECT_EQ(D[14], 0xEE) << "pixels past CAPACITY are dropped";
  EXPECT_FALSE(draw2d::load_bitmap(CUT.c_str(), D.data(), 3)) << "no room for the header";
  std::vector<uint8_t> B = BMP_BYTES(8, 2);
  WRITE_BYTES(CUT, std::vector<uint8_t>(B.begin(), B.begin() + 30));
  B[28] = 4;
  WRITE_BYTES(FOUR, B);
  D.assign(64, 0xEE);
  for (const auto& FILE : {FOUR, CUT, SCRATCH("d2_nothing.bmp")})
    EXPECT_FALSE(draw2d::load_bitmap(FILE.c_str(), D.data(), D.size()))
        << FILE << ": a 4-bit bitmap, a truncated or a missing file is rejected";
  EXPECT_EQ(D[0], 0xEE) << "a rejected file writes nothing";
}
