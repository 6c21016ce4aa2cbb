// draw2d memory screen: pages and flips, the virtual clock, scripted keys, the console, the
// program end and the bitmap loader. Everything runs on the null back-end, without a display.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fcntl.h>
#include <string>
#include <vector>

#include "display/draw2d.hpp"

namespace {

// Every test starts headless (null screens, virtual clock) with no screen and no keys.
class Draw2dScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    draw2d::set_headless(true);
    while (!draw2d::inkey().empty()) {
    }
  }
  void TearDown() override {
    draw2d::close_screen();
    for (int K = 0; K < 128; ++K) draw2d::set_key(K, false);
    while (!draw2d::inkey().empty()) {
    }
    draw2d::set_headless(false);
  }
};

uint8_t pixel(const uint8_t* BUF, int X, int Y) {
  return BUF[draw2d::HEADER_BYTES + Y * draw2d::width_of(BUF) + X];
}

}  // namespace

// ---- Screens and pages ----

TEST_F(Draw2dScreen, HeadlessScreensAreMemoryScreens) {
  ASSERT_TRUE(draw2d::open_screen(320, 240, 8, 2, draw2d::SCREEN_DEFAULT));
  EXPECT_TRUE(draw2d::screen_is_open());
  EXPECT_FALSE(draw2d::screen_has_window()) << "headless mode never opens a window";
  EXPECT_EQ(draw2d::screen_width(), 320);
  EXPECT_EQ(draw2d::screen_height(), 240);
  ASSERT_NE(draw2d::page_buffer(1), nullptr);
  EXPECT_EQ(draw2d::page_buffer(2), nullptr) << "a two-page screen has no page 2";
  EXPECT_EQ(draw2d::width_of(draw2d::page_buffer(1)), 320) << "pages are image buffers";
  EXPECT_EQ(draw2d::height_of(draw2d::page_buffer(1)), 240);
  draw2d::close_screen();
  EXPECT_FALSE(draw2d::screen_is_open());
  EXPECT_EQ(draw2d::page_buffer(0), nullptr) << "closing frees the pages";
  draw2d::close_screen();  // a second close is harmless
}

TEST_F(Draw2dScreen, RejectsUnsupportedScreens) {
  EXPECT_FALSE(draw2d::open_screen(320, 240, 16, 1, 0)) << "only 8-bit screens exist";
  EXPECT_FALSE(draw2d::open_screen(320, 240, 8, 0, 0)) << "a screen needs a page";
  EXPECT_FALSE(draw2d::open_screen(0, 240, 8, 1, 0));
  EXPECT_FALSE(draw2d::screen_is_open());
  draw2d::blit(nullptr, 0, 0, draw2d::page_buffer(0), draw2d::Blit::OPAQUE);  // no screen: no effect
  draw2d::box(nullptr, 0, 0, 10, 10, 1);
  draw2d::copy_page();
  EXPECT_EQ(draw2d::visible_buffer(), nullptr);
}

TEST_F(Draw2dScreen, NullTargetDrawsIntoTheWorkPage) {
  ASSERT_TRUE(draw2d::open_screen(320, 240, 8, 2, draw2d::SCREEN_NULL));
  draw2d::set_pages(1, 0);
  draw2d::box(nullptr, 10, 10, 12, 12, 5);
  draw2d::circle(nullptr, 100, 100, 3, 6);
  const auto S = std::vector<uint8_t>{8, 0, 1, 0, 7};  // 1 x 1 frame of index 7
  draw2d::blit(nullptr, 200, 50, S.data(), draw2d::Blit::TRANSPARENT);
  const uint8_t* WORK = draw2d::page_buffer(1);
  const uint8_t* SHOWN = draw2d::page_buffer(0);
  EXPECT_EQ(pixel(WORK, 11, 11), 5) << "box goes to work page 1";
  EXPECT_EQ(pixel(WORK, 103, 100), 6) << "circle goes to work page 1";
  EXPECT_EQ(pixel(WORK, 200, 50), 7) << "blit goes to work page 1";
  EXPECT_EQ(pixel(SHOWN, 11, 11), 0) << "the visible page is untouched until the flip";
  EXPECT_EQ(draw2d::visible_buffer(), SHOWN);

  draw2d::copy_page();
  EXPECT_EQ(pixel(SHOWN, 11, 11), 5) << "copy_page makes the whole frame visible";
  EXPECT_EQ(pixel(SHOWN, 200, 50), 7);
  EXPECT_EQ(draw2d::width_of(SHOWN), 320) << "the copy keeps the page header";

  draw2d::set_pages(0, 1);
  EXPECT_EQ(draw2d::visible_buffer(), WORK) << "set_pages picks the page that is shown";
  draw2d::set_pages(5, -1);
  EXPECT_EQ(draw2d::visible_buffer(), WORK) << "pages the screen lacks are not selected";
  draw2d::box(nullptr, 0, 0, 0, 0, 9);
  EXPECT_EQ(pixel(SHOWN, 0, 0), 9) << "work page 0 still receives drawing";
}

// ---- Clock ----

TEST_F(Draw2dScreen, VirtualClockCountsFrames) {
  EXPECT_EQ(draw2d::timer(), 0.0) << "the virtual clock starts at 0.0";
  draw2d::wait_retrace();
  EXPECT_EQ(draw2d::timer(), 1.0 / 60.0) << "a retrace wait is one frame";
  draw2d::tick_frame();
  EXPECT_EQ(draw2d::timer(), 2.0 / 60.0) << "a presented frame is one frame";
  draw2d::sleep_ms(5000);
  draw2d::sleep_ms(100, true);
  draw2d::wait_key();
  EXPECT_EQ(draw2d::timer(), 2.0 / 60.0) << "sleeps and key waits return at once headless";
  for (int K = 2; K < 100000; ++K) draw2d::wait_retrace();
  EXPECT_EQ(draw2d::timer(), 100000 / 60.0) << "exactly k / 60 after k frames, with no drift";
  draw2d::set_headless(true);
  EXPECT_EQ(draw2d::timer(), 0.0) << "switching headless mode on restarts the clock";
}

TEST_F(Draw2dScreen, RealClockIsMonotonicAndPacesRetraces) {
  draw2d::set_headless(false);
  ASSERT_TRUE(draw2d::open_screen(320, 240, 8, 1, draw2d::SCREEN_NULL));
  const double T0 = draw2d::timer();
  for (int I = 0; I < 6; ++I) draw2d::wait_retrace();
  const double T1 = draw2d::timer();
  EXPECT_GT(T0, 0.0) << "the real clock runs from the library's start";
  EXPECT_GE(T1 - T0, 4.0 / 60.0) << "six retraces take about six 60 Hz frames";
  draw2d::tick_frame();
  draw2d::sleep_ms(20);
  EXPECT_GE(draw2d::timer() - T1, 0.019) << "a real sleep lasts its milliseconds";
}

// ---- Keyboard ----

TEST_F(Draw2dScreen, ScriptedKeysAreHeldUntilReleased) {
  EXPECT_EQ(draw2d::key_state(draw2d::KEY_UP), 0);
  draw2d::set_key(draw2d::KEY_UP, true);
  EXPECT_NE(draw2d::key_state(draw2d::KEY_UP), 0) << "a scripted key reads as held";
  EXPECT_NE(draw2d::key_state(draw2d::KEY_UP), 0) << "and stays held across reads";
  EXPECT_EQ(draw2d::key_state(draw2d::KEY_DOWN), 0) << "other keys are not affected";
  draw2d::set_key(draw2d::KEY_UP, false);
  EXPECT_EQ(draw2d::key_state(draw2d::KEY_UP), 0) << "released keys read as up";
  EXPECT_EQ(draw2d::key_state(-1), 0);
  EXPECT_EQ(draw2d::key_state(100000), 0) << "unknown scan codes are never held";
  draw2d::set_key(100000, true);  // ignored, not written out of range
}

TEST_F(Draw2dScreen, InkeyReturnsQueuedKeysInOrder) {
  EXPECT_EQ(draw2d::inkey(), "") << "no key waiting gives empty text";
  draw2d::push_key("a");
  draw2d::push_key(std::string("\0H", 2));
  draw2d::push_key("");
  EXPECT_EQ(draw2d::inkey(), "a");
  EXPECT_EQ(draw2d::inkey(), std::string("\0H", 2)) << "extended keys keep their NUL prefix";
  EXPECT_EQ(draw2d::inkey(), "") << "an empty push is no key";
}

// ---- Console and end ----

namespace {

// Runs BODY with standard output sent to a file and returns what it wrote.
template <class BodyFn>
std::string capture_stdout(BodyFn BODY) {
  std::fflush(stdout);
  const std::string PATH = ::testing::TempDir() + "d2_stdout.txt";
  const int SAVED = dup(STDOUT_FILENO);
  const int FD = open(PATH.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  dup2(FD, STDOUT_FILENO);
  close(FD);
  BODY();
  std::fflush(stdout);
  dup2(SAVED, STDOUT_FILENO);
  close(SAVED);
  std::string OUT;
  if (std::FILE* F = std::fopen(PATH.c_str(), "rb")) {
    char BUF[256];
    std::size_t N;
    while ((N = std::fread(BUF, 1, sizeof BUF, F)) > 0) OUT.append(BUF, N);
    std::fclose(F);
  }
  return OUT;
}

}  // namespace

TEST_F(Draw2dScreen, ConsoleWritesNoEscapeCodesIntoFiles) {
  const std::string OUT = capture_stdout([] {
    draw2d::console_clear();
    draw2d::console_print("Scale filter?");
    draw2d::console_print("");
  });
  EXPECT_EQ(OUT, "Scale filter?\n\n") << "lines end in a line break; clearing a file is a no-op";
}

TEST_F(Draw2dScreen, ConsoleReadsOneKeyAndStopsAtEndOfInput) {
  const std::string PATH = ::testing::TempDir() + "d2_stdin.txt";
  {
    std::FILE* F = std::fopen(PATH.c_str(), "wb");
    std::fputs("2y", F);
    std::fclose(F);
  }
  const int SAVED = dup(STDIN_FILENO);
  const int FD = open(PATH.c_str(), O_RDONLY);
  dup2(FD, STDIN_FILENO);
  close(FD);
  const int A = draw2d::console_read_key();
  const int B = draw2d::console_read_key();
  const int C = draw2d::console_read_key();
  draw2d::wait_key();  // headless: returns at once and consumes nothing
  dup2(SAVED, STDIN_FILENO);
  close(SAVED);
  EXPECT_EQ(A, '2') << "one key is one byte, no Enter needed";
  EXPECT_EQ(B, 'y');
  EXPECT_EQ(C, -1) << "end of input returns -1 instead of waiting";
}

TEST(Draw2dEndDeathTest, EndsWithTheGivenCodeAfterClosingTheScreen) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        draw2d::set_headless(true);
        draw2d::open_screen(320, 240, 8, 1, 0);
        draw2d::end(3);
      },
      ::testing::ExitedWithCode(3), "")
      << "end() leaves the program with its code";
}

// ---- Bitmaps ----

namespace {

// An uncompressed Windows bitmap of W x H pixels with BITS bits per pixel whose pixel (x, y),
// counted from the top row, holds INDEX(x, y). TOP_DOWN stores a negative height.
template <class IndexFn>
std::string write_bmp(const std::string& NAME, int W, int H, int BITS, bool TOP_DOWN, IndexFn INDEX) {
  const int COLOURS = BITS <= 8 ? (1 << BITS) : 0;
  const int STRIDE = ((W * BITS + 31) / 32) * 4;
  const uint32_t OFFSET = 14 + 40 + COLOURS * 4;
  std::vector<uint8_t> B;
  auto U16 = [&](uint32_t V) {
    B.push_back(V & 0xFF);
    B.push_back((V >> 8) & 0xFF);
  };
  auto U32 = [&](uint32_t V) {
    U16(V & 0xFFFF);
    U16(V >> 16);
  };
  B.push_back('B');
  B.push_back('M');
  U32(OFFSET + STRIDE * H);
  U32(0);
  U32(OFFSET);
  U32(40);
  U32(static_cast<uint32_t>(W));
  U32(static_cast<uint32_t>(TOP_DOWN ? -H : H));
  U16(1);
  U16(static_cast<uint32_t>(BITS));
  U32(0);  // no compression
  U32(static_cast<uint32_t>(STRIDE * H));
  U32(2835);
  U32(2835);
  U32(static_cast<uint32_t>(COLOURS));
  U32(0);
  for (int I = 0; I < COLOURS; ++I) U32(static_cast<uint32_t>(I * 0x010101) & 0xFFFFFF);
  for (int ROW = 0; ROW < H; ++ROW) {
    const int Y = TOP_DOWN ? ROW : H - 1 - ROW;
    std::vector<uint8_t> LINE(static_cast<std::size_t>(STRIDE), 0xCC);  // padding is junk
    for (int X = 0; X < W; ++X) {
      const int V = INDEX(X, Y);
      if (BITS == 8) LINE[X] = static_cast<uint8_t>(V);
      if (BITS == 4) LINE[X / 2] = static_cast<uint8_t>(X % 2 ? (LINE[X / 2] & 0xF0) | V : V << 4);
      if (BITS == 24) LINE[X * 3] = LINE[X * 3 + 1] = LINE[X * 3 + 2] = static_cast<uint8_t>(V);
    }
    B.insert(B.end(), LINE.begin(), LINE.end());
  }
  const std::string PATH = ::testing::TempDir() + NAME;
  std::FILE* FP = std::fopen(PATH.c_str(), "wb");
  std::fwrite(B.data(), 1, B.size(), FP);
  std::fclose(FP);
  return PATH;
}

int pattern(int X, int Y) { return (Y * 16 + X * 3 + 1) & 0xFF; }

}  // namespace

TEST(Draw2dBitmap, EightBitBitmapsGiveTheirIndicesTopRowFirst) {
  for (const bool TOP_DOWN : {false, true}) {
    // Width 5 leaves 3 bytes of padding on every row.
    const auto PATH = write_bmp(TOP_DOWN ? "d2_td.bmp" : "d2_bu.bmp", 5, 3, 8, TOP_DOWN, pattern);
    std::vector<uint8_t> D(draw2d::buffer_bytes(5, 3) + 6, 0xEE);
    ASSERT_TRUE(draw2d::load_bitmap(PATH.c_str(), D.data(), draw2d::buffer_bytes(5, 3)))
        << (TOP_DOWN ? "top-down" : "bottom-up") << " bitmap";
    EXPECT_EQ(D[0] | (D[1] << 8), 5 * 8 + 1) << "width field is width x 8 + 1";
    EXPECT_EQ(D[2] | (D[3] << 8), 3);
    for (int Y = 0; Y < 3; ++Y)
      for (int X = 0; X < 5; ++X)
        EXPECT_EQ(pixel(D.data(), X, Y), pattern(X, Y))
            << (TOP_DOWN ? "top-down" : "bottom-up") << " pixel (" << X << "," << Y
            << "): no row padding, no palette conversion, top row first";
    EXPECT_EQ(D[draw2d::buffer_bytes(5, 3)], 0xEE) << "nothing is written past CAPACITY";
  }
}

TEST(Draw2dBitmap, CapacityCutsThePixels) {
  const auto PATH = write_bmp("d2_cut.bmp", 7, 4, 8, false, pattern);
  std::vector<uint8_t> D(64, 0xEE);
  ASSERT_TRUE(draw2d::load_bitmap(PATH.c_str(), D.data(), 4 + 10));
  EXPECT_EQ(pixel(D.data(), 2, 1), pattern(2, 1)) << "the first ten pixels are kept";
  EXPECT_EQ(D[14], 0xEE) << "pixels past CAPACITY are dropped";
  EXPECT_FALSE(draw2d::load_bitmap(PATH.c_str(), D.data(), 3)) << "no room for the header";
}

TEST(Draw2dBitmap, OtherDepthsAndBrokenFilesAreRejected) {
  std::vector<uint8_t> D(256, 0xEE);
  const auto FOUR = write_bmp("d2_4bit.bmp", 4, 2, 4, false, [](int X, int) { return X; });
  EXPECT_FALSE(draw2d::load_bitmap(FOUR.c_str(), D.data(), D.size())) << "4-bit bitmap";
  const auto TRUE_COLOUR = write_bmp("d2_24bit.bmp", 4, 2, 24, false, pattern);
  EXPECT_FALSE(draw2d::load_bitmap(TRUE_COLOUR.c_str(), D.data(), D.size())) << "24-bit bitmap";
  EXPECT_FALSE(draw2d::load_bitmap((::testing::TempDir() + "d2_nothing.bmp").c_str(), D.data(),
                                   D.size()))
      << "missing file";
  const std::string JUNK = ::testing::TempDir() + "d2_junk.bmp";
  std::FILE* F = std::fopen(JUNK.c_str(), "wb");
  std::fputs("BM this is not a bitmap", F);
  std::fclose(F);
  EXPECT_FALSE(draw2d::load_bitmap(JUNK.c_str(), D.data(), D.size())) << "truncated file";
  EXPECT_EQ(D[0], 0xEE) << "a rejected file writes nothing";
}
