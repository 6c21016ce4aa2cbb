// Tests of the display's three software scalers: the plain and scanline doubling, and Scale2x
// against a slow reference on random pages (which also fixes the page borders).
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <random>
#include <vector>

#include "display/display.hpp"
#include "draw2d/draw2d.hpp"

namespace {

using B4 = std::array<uint8_t, 4>;

struct Scaler : ::testing::Test {
  NDISPLAY::SCREEN_TYPE VIDEO{};
  void SetUp() override {
    NDISPLAY::INIT_VPAGE(VIDEO);
    NDISPLAY::INIT_SCALED_VPAGE(VIDEO);
  }
  void TearDown() override {
    NDISPLAY::DESTROY_VPAGE(VIDEO);
    NDISPLAY::DESTROY_SCALED_VPAGE(VIDEO);
  }
  uint8_t* PAGE() { return VIDEO.P_VPAGE + 4; }
  uint8_t S(int X, int Y) const { return VIDEO.P_SCALED_VPAGE[4 + Y * 640 + X]; }
  // The 2 x 2 block of page pixel (X, Y) as four values TL, TR, BL, BR.
  B4 BLOCK(int X, int Y) const {
    return {S(2 * X, 2 * Y), S(2 * X + 1, 2 * Y), S(2 * X, 2 * Y + 1), S(2 * X + 1, 2 * Y + 1)};
  }
};

TEST_F(Scaler, NormalDoublesEveryPixelScanlineNeverWritesOddRows) {
  std::mt19937 RNG(2);
  for (int I = 0; I < 320 * 240; ++I) PAGE()[I] = uint8_t(RNG() % 255 + 1);  // no pixel is 0
  VIDEO.P_SCALED_VPAGE[4 + 1 * 640 + 7] = 77;
  NDISPLAY::SCANLINE_SCALE_ASM(VIDEO);
  for (int I = 0; I < 320 * 240; ++I) {
    const uint8_t P = PAGE()[I], MARK = I == 3 ? 77 : 0;
    ASSERT_EQ(BLOCK(I % 320, I / 320), (B4{P, P, 0, MARK}))
        << "pixel " << I << ": even rows carry the page, odd rows keep index 0 "
        << "and are never written (the mark 77 survives)";
  }
  NDISPLAY::NORMAL_SCALE_ASM(VIDEO);
  for (int I = 0; I < 320 * 240; ++I) {
    const uint8_t P = PAGE()[I];
    ASSERT_EQ(BLOCK(I % 320, I / 320), (B4{P, P, P, P})) << "pixel " << I << " is doubled";
  }
  EXPECT_EQ(draw2d::width_of(VIDEO.P_SCALED_VPAGE), 640) << "the scalers never write the header";
}

TEST_F(Scaler, Scale2xMatchesTheReferenceOnRandomPages) {
  // Slow, obviously correct Scale2x: the page is one run of 76,800 pixels for the left and
  // right neighbours; outside the page the centre pixel stands in.
  auto REFERENCE = [](const uint8_t* PAGE) {
    std::vector<uint8_t> OUT(640 * 480);
    for (int I = 0; I < 320 * 240; ++I) {
      const uint8_t E = PAGE[I];
      const uint8_t B = I >= 320 ? PAGE[I - 320] : E;
      const uint8_t H = I < 320 * 239 ? PAGE[I + 320] : E;
      const uint8_t D = I > 0 ? PAGE[I - 1] : E;
      const uint8_t F = I < 320 * 240 - 1 ? PAGE[I + 1] : E;
      const bool EDGE = !(B == H || D == F);
      uint8_t* O = &OUT[(I / 320) * 1280 + (I % 320) * 2];
      O[0] = EDGE && D == B ? D : E;
      O[1] = EDGE && B == F ? F : E;
      O[640] = EDGE && D == H ? D : E;
      O[641] = EDGE && H == F ? F : E;
    }
    return OUT;
  };
  // few colours make equal neighbours common, so every branch of the rule is taken
  for (const uint32_t COLOURS : {2, 3, 256})
    for (uint32_t SEED = 10; SEED < 12; ++SEED) {
      std::mt19937 RNG(SEED * 7 + COLOURS);
      for (int I = 0; I < 320 * 240; ++I) PAGE()[I] = uint8_t(RNG() % COLOURS);
      NDISPLAY::SCALE_2X_ASM(VIDEO);
      const std::vector<uint8_t> WANT = REFERENCE(PAGE());
      int FIRST = 0;
      while (FIRST < 640 * 480 && WANT[FIRST] == VIDEO.P_SCALED_VPAGE[4 + FIRST]) ++FIRST;
      ASSERT_EQ(FIRST, 640 * 480) << "Scale2x differs from the reference at (" << FIRST % 640
                                  << "," << FIRST / 640 << "), " << COLOURS << " colours";
    }
}

}  // namespace
