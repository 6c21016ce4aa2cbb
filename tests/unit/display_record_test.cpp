// Tests of the display record: the blocks each mode holds and returns, headless presentation of
// every mode, and the pacing.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "display/display.hpp"
#include "draw2d/draw2d.hpp"
#include "leakscope/leakscope.hpp"

// Sizes of the blocks the tracker holds under the label "display".
static std::multiset<uint32_t> DISPLAY_BLOCKS() {
  std::multiset<uint32_t> OUT;
  for (const LEAKSCOPE_T* R = LEAKSCOPE_LIST; R != nullptr; R = R->_NEXT)
    if (std::strcmp(R->FILE, "display") == 0) OUT.insert(R->BYTES);
  return OUT;
}

// Headless records of every mode: 0 to 3 software, 4, 5 and any other value OpenGL.
class DisplayModes : public ::testing::TestWithParam<int32_t> {};

// Each mode from SET_SCREEN to END_SCREEN: the blocks it holds, three frames presented on the
// virtual clock, and what RENDER and a second END_SCREEN do after END_SCREEN. The tracker's
// reports (on standard output) must never hold an invalid release.
TEST_P(DisplayModes, HoldTheirBlocksAndReturnThemAtEndScreen) {
  const int32_t MODE = GetParam();
  const bool GL = MODE < 0 || MODE > 3;
  NDISPLAY::SCREEN_TYPE VIDEO{};
  draw2d::set_headless(true);
  ::testing::internal::CaptureStdout();
  NDISPLAY::INIT(VIDEO);
  const bool SCALED = MODE >= 1 && MODE <= 3;
  std::multiset<uint32_t> WANT = {76804};  // the page
  if (SCALED) WANT.insert(307204);
  if (GL) WANT.insert({512 * 512 * 4, 1024});  // texel store, colour map
  const auto BEFORE = DISPLAY_BLOCKS();
  draw2d::set_palette(9, 0x000000);  // the colour map never looks at the loaded palette
  VIDEO.SET_SCREEN(VIDEO, MODE, 8, 0);
  auto NOW = DISPLAY_BLOCKS();
  for (uint32_t B : BEFORE) NOW.erase(NOW.find(B));
  EXPECT_EQ(NOW, WANT) << "the mode holds exactly its blocks, labelled display";
  EXPECT_EQ(draw2d::screen_width(), SCALED ? 640 : 320) << "library screen width";
  VIDEO.P_VPAGE[4] = 9;  // the first and last pixels of the page
  VIDEO.P_VPAGE[4 + 320 * 240 - 1] = 15;
  double T0 = draw2d::timer();
  for (int I = 0; I < 3; ++I) VIDEO.RENDER(VIDEO);
  EXPECT_DOUBLE_EQ(draw2d::timer() - T0, 3.0 / 60.0) << "three frames take 3/60 s, no more";
  const auto F = NDISPLAY::PRESENTED_FRAME(VIDEO);
  const int W = SCALED ? 640 : 320;
  EXPECT_EQ(F.KIND, GL ? NDISPLAY::FRAME_KIND::RGBA32 : NDISPLAY::FRAME_KIND::INDEXED8);
  EXPECT_EQ((std::vector<int>{F.W, F.H, F.STRIDE}), (std::vector<int>{W, W * 3 / 4, GL ? 512 : W}))
      << "rows of the texel store are 512 texels apart";
  if (F.KIND == NDISPLAY::FRAME_KIND::RGBA32) {  // OpenGL modes fill it without a window
    // colours are 0xRRGGBBAA, alpha the mean of the components (16 / 3 rounds down, 32 / 3 up)
    const auto* T = static_cast<const uint32_t*>(F.PIXELS);
    EXPECT_EQ((std::vector<uint32_t>{VIDEO.P_CMAP[33], VIDEO.P_CMAP[34], T[0], T[239 * 512 + 319]}),
              (std::vector<uint32_t>{0x10000005u, 0x2000000Bu, 0x5454FC8Cu, 0xFCFCFCFCu}))
        << "colour map entries 33 and 34; index 9 shows as 84, 84, 252; the last page pixel "
        << "reaches its texel";
  } else {
    EXPECT_EQ(F.PIXELS, (MODE == 0 ? VIDEO.P_VPAGE : VIDEO.P_SCALED_VPAGE) + 4)
        << "mode 0 presents the page itself, modes 1 to 3 the scaled page";
  }
  VIDEO.END_SCREEN(VIDEO);
  EXPECT_EQ(VIDEO.P_VPAGE, nullptr) << "END_SCREEN forgets the page";
  EXPECT_EQ(DISPLAY_BLOCKS(), BEFORE) << "END_SCREEN returns every block of the mode";
  // QUIRK pin: P_CMAP keeps its value after END_SCREEN, and nothing reads it afterwards.
  EXPECT_EQ(VIDEO.P_CMAP != nullptr, GL) << "P_CMAP keeps its value after END_SCREEN";
  T0 = draw2d::timer();
  VIDEO.RENDER(VIDEO);
  EXPECT_EQ(draw2d::timer(), T0) << "RENDER after END_SCREEN presents no frame";
  // a second END_SCREEN (the check below sees any invalid release it causes)
  VIDEO.END_SCREEN(VIDEO);
  EXPECT_EQ(DISPLAY_BLOCKS(), BEFORE) << "a second END_SCREEN releases nothing";
  VIDEO.DESTROY(VIDEO);
  const std::string TEXT = ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(TEXT.find("Invalid deallocate"), std::string::npos)
      << "every release names a live block:\n" << TEXT;
  draw2d::set_headless(false);
}

INSTANTIATE_TEST_SUITE_P(EveryMode, DisplayModes, ::testing::Values(0, 1, 2, 3, 4, 5, 9, -1));

// A clock that moves by 1 ms each time it is read.
static double FAKE_NOW = 0.0;
static double FAKE_CLOCK() { return FAKE_NOW += 0.001; }

// The frame is stored only once 1/60 s has passed; a clock that restarted (the last frame lies
// in its future) neither stalls the frame nor keeps the old time.
TEST(DisplayPacing, WaitsUntilAFrameHasPassed) {
  double START = 0.0;
  NDISPLAY::PACE_FRAME(START, FAKE_CLOCK);
  EXPECT_GE(START, 1.0 / 60.0) << "the frame is stored only once 1/60 s has passed";
  EXPECT_LT(START, 1.0 / 60.0 + 0.0021) << "and not much later";
  FAKE_NOW = 5.0;
  START = 100.0;
  NDISPLAY::PACE_FRAME(START, FAKE_CLOCK);
  EXPECT_LT(START, 6.0) << "after a restart the frame time follows the new clock";
  EXPECT_LE(FAKE_NOW, 5.0035) << "no wait for a frame that lies in the future";
}
