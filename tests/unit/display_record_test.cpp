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

namespace {

using NDISPLAY::SCREEN_TYPE;

// Sizes of the blocks the tracker holds under the label "display".
std::multiset<uint32_t> DISPLAY_BLOCKS() {
  std::multiset<uint32_t> OUT;
  for (const LEAKSCOPE_T* R = LEAKSCOPE_LIST; R != nullptr; R = R->_NEXT)
    if (std::strcmp(R->FILE, "display") == 0) OUT.insert(R->BYTES);
  return OUT;
}

// Headless records of every mode: 0 to 3 software, 4, 5 and any other value OpenGL. The
// tracker's reports (on standard output) must never hold an invalid release.
class DisplayModes : public ::testing::TestWithParam<int32_t> {
 protected:
  SCREEN_TYPE VIDEO{};
  const int32_t MODE = GetParam();
  const bool GL = MODE < 0 || MODE > 3;
  void SetUp() override {
    draw2d::set_headless(true);
    ::testing::internal::CaptureStdout();
  }
  void TearDown() override {
    const std::string TEXT = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(TEXT.find("Invalid deallocate"), std::string::npos)
        << "every release names a live block:\n" << TEXT;
    draw2d::close_screen();
    draw2d::set_headless(false);
  }
  void OPEN() {
    VIDEO.INIT = NDISPLAY::INIT;
    VIDEO.INIT(VIDEO);
    VIDEO.SET_SCREEN(VIDEO, MODE, 8, 0);
  }
  uint8_t& P(int X, int Y) { return VIDEO.P_VPAGE[4 + Y * 320 + X]; }
};

TEST_P(DisplayModes, HoldTheirBlocksAndReturnThemAtEndScreen) {
  const bool SCALED = MODE >= 1 && MODE <= 3;
  std::multiset<uint32_t> WANT = {76804};  // the page
  if (SCALED) WANT.insert(307204);
  if (GL) WANT.insert({512 * 512 * 4, 1024});  // texel store, colour map
  const auto BEFORE = DISPLAY_BLOCKS();
  OPEN();
  auto NOW = DISPLAY_BLOCKS();
  for (uint32_t B : BEFORE) NOW.erase(NOW.find(B));
  EXPECT_EQ(NOW, WANT) << "the mode holds exactly its blocks, labelled display";
  EXPECT_EQ(draw2d::screen_width(), SCALED ? 640 : 320) << "library screen width";
  VIDEO.END_SCREEN(VIDEO);
  EXPECT_EQ(VIDEO.P_VPAGE, nullptr) << "END_SCREEN forgets the page";
  EXPECT_EQ(DISPLAY_BLOCKS(), BEFORE) << "END_SCREEN returns every block of the mode";
  // QUIRK pin: P_CMAP keeps its value after END_SCREEN, and nothing reads it afterwards.
  EXPECT_EQ(VIDEO.P_CMAP != nullptr, GL) << "P_CMAP keeps its value after END_SCREEN";
  const double T0 = draw2d::timer();
  VIDEO.RENDER(VIDEO);
  if (GL) {
    EXPECT_EQ(draw2d::timer(), T0) << "RENDER after END_SCREEN presents no frame";
  }
  VIDEO.END_SCREEN(VIDEO);  // the TearDown check sees any invalid release this causes
  EXPECT_EQ(DISPLAY_BLOCKS(), BEFORE) << "a second END_SCREEN releases nothing";
  VIDEO.DESTROY(VIDEO);
}

TEST_P(DisplayModes, PresentOneFrameOfTheVirtualClockPerRender) {
  const int W = MODE == 0 || GL ? 320 : 640;
  draw2d::set_palette(9, 0x000000);  // the colour map never looks at the loaded palette
  OPEN();
  for (int Y = 0; Y < 240; ++Y)
    for (int X = 0; X < 320; ++X) P(X, Y) = uint8_t((X / 3 + Y * 7) % 16);
  P(0, 0) = 9;
  P(319, 239) = 15;
  const double T0 = draw2d::timer();
  for (int I = 0; I < 3; ++I) VIDEO.RENDER(VIDEO);
  EXPECT_DOUBLE_EQ(draw2d::timer() - T0, 3.0 / 60.0) << "three frames take 3/60 s, no more";
  const auto F = NDISPLAY::PRESENTED_FRAME(VIDEO);
  ASSERT_EQ(F.KIND, GL ? NDISPLAY::FRAME_KIND::RGBA32 : NDISPLAY::FRAME_KIND::INDEXED8);
  EXPECT_EQ((std::vector<int>{F.W, F.H, F.STRIDE}), (std::vector<int>{W, W * 3 / 4, GL ? 512 : W}))
      << "rows of the texel store are 512 texels apart";
  if (GL) {  // OpenGL modes fill the texel store without a window
    // 0xRRGGBBAA: alpha is the mean of the components, 16 / 3 rounding down, 32 / 3 up
    EXPECT_EQ(VIDEO.P_CMAP[33], 0x10000005u) << "colour map entry 33";
    EXPECT_EQ(VIDEO.P_CMAP[34], 0x2000000Bu) << "colour map entry 34";
    const auto* T = static_cast<const uint32_t*>(F.PIXELS);
    EXPECT_EQ(T[0], 0x5454FC8Cu) << "index 9 shows as 84, 84, 252";
    EXPECT_EQ(T[239 * 512 + 319], 0xFCFCFCFCu) << "the last page pixel reaches its texel";
  } else {
    EXPECT_EQ(F.PIXELS, (MODE == 0 ? VIDEO.P_VPAGE : VIDEO.P_SCALED_VPAGE) + 4)
        << "mode 0 presents the page itself, modes 1 to 3 the scaled page";
  }
  VIDEO.END_SCREEN(VIDEO);
  VIDEO.DESTROY(VIDEO);
}

INSTANTIATE_TEST_SUITE_P(EveryMode, DisplayModes, ::testing::Values(0, 1, 2, 3, 4, 5, 9, -1),
                         [](const auto& I) {
                           return I.param < 0 ? std::string("ModeMinus1")
                                              : "Mode" + std::to_string(I.param);
                         });

double FAKE_NOW = 0.0;
int FAKE_READS = 0;
double FAKE_CLOCK() {
  ++FAKE_READS;
  return FAKE_NOW += 0.001;
}

TEST(DisplayPacing, WaitsUntilAFrameHasPassed) {
  FAKE_NOW = 0.0;
  double START = 0.0;
  NDISPLAY::PACE_FRAME(START, FAKE_CLOCK);
  EXPECT_GE(START, 1.0 / 60.0) << "the frame is stored only once 1/60 s has passed";
  EXPECT_LT(START, 1.0 / 60.0 + 0.0021) << "and not much later";
}

TEST(DisplayPacing, ARestartedClockDoesNotStallTheFrame) {
  FAKE_NOW = 5.0;
  FAKE_READS = 0;
  double START = 100.0;  // the last frame lies in the future of a clock that restarted
  NDISPLAY::PACE_FRAME(START, FAKE_CLOCK);
  EXPECT_LT(START, 6.0) << "the frame time follows the new clock";
  EXPECT_LE(FAKE_READS, 3) << "no wait for a frame that lies in the future";
}

}  // namespace
