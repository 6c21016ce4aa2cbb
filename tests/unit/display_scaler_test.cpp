// Tests of the display's pixel work: the three software scalers, against crafted pages and a
// slow reference Scale2x.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <random>
#include <vector>

#include "display/display.hpp"
#include "draw2d/draw2d.hpp"

namespace {

using B4 = std::array<uint8_t, 4>;
struct Dot {
  int X, Y;
  uint8_t V;
};

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
  uint8_t& P(int X, int Y) { return PAGE()[Y * 320 + X]; }
  uint8_t S(int X, int Y) const { return VIDEO.P_SCALED_VPAGE[4 + Y * 640 + X]; }
  // A page of FILL with the given dots, scaled with Scale2x.
  void SCALE2X(uint8_t FILL, std::initializer_list<Dot> DOTS) {
    std::memset(PAGE(), FILL, 320 * 240);
    for (const Dot& D : DOTS) P(D.X, D.Y) = D.V;
    NDISPLAY::SCALE_2X_ASM(VIDEO);
  }
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
  for (int Y = 0; Y < 240; ++Y)
    for (int X = 0; X < 320; ++X)
      ASSERT_EQ(BLOCK(X, Y), (B4{P(X, Y), P(X, Y), 0, uint8_t(X == 3 && Y == 0 ? 77 : 0)}))
          << "pixel (" << X << "," << Y << "): even rows carry the page, odd rows keep index 0 "
          << "and are never written (the mark 77 survives)";
  NDISPLAY::NORMAL_SCALE_ASM(VIDEO);
  for (int Y = 0; Y < 240; ++Y)
    for (int X = 0; X < 320; ++X)
      ASSERT_EQ(BLOCK(X, Y), B4({P(X, Y), P(X, Y), P(X, Y), P(X, Y)}))
          << "pixel (" << X << "," << Y << ") becomes a 2 x 2 block of itself";
  EXPECT_EQ(draw2d::width_of(VIDEO.P_SCALED_VPAGE), 640) << "the scalers never write the header";
}

TEST_F(Scaler, Scale2xBordersUseTheCentreForMissingNeighbours) {
  // Row 0 and row 239: a pixel above / below would be 0 (like D) and pull a left corner to 0.
  // (0, 0): the byte before the page is the header's last byte (0), equal to H.
  // (319, 239): E stands in for F.
  SCALE2X(0, {{10, 0, 1}, {11, 0, 2}, {10, 1, 3}, {10, 239, 1}, {11, 239, 2}, {10, 238, 3},
              {0, 0, 1}, {1, 0, 2}, {319, 239, 1}, {318, 239, 2}});
  EXPECT_EQ(BLOCK(10, 0), B4({1, 1, 1, 1})) << "above row 0 the centre pixel stands in";
  EXPECT_EQ(BLOCK(10, 239), B4({1, 1, 1, 1})) << "below row 239 the centre pixel stands in";
  EXPECT_EQ(BLOCK(0, 0), B4({1, 1, 1, 1})) << "left of (0, 0) the centre pixel stands in";
  EXPECT_EQ(BLOCK(319, 239), B4({1, 1, 1, 1})) << "right of (319, 239) the centre pixel stands in";
}

TEST_F(Scaler, Scale2xMatchesTheReferenceOnRandomPages) {
  // Slow, obviously correct Scale2x: the page is one run of 76,800 pixels for the left and
  // right neighbours; outside the page the centre pixel stands in.
  auto REFERENCE = [](const uint8_t* PAGE) {
    std::vector<uint8_t> OUT(640 * 480);
    for (int I = 0; I < 320 * 240; ++I) {
      const uint8_t E = PAGE[I], B = I >= 320 ? PAGE[I - 320] : E,
                    H = I < 320 * 239 ? PAGE[I + 320] : E, D = I > 0 ? PAGE[I - 1] : E,
                    F = I < 320 * 240 - 1 ? PAGE[I + 1] : E;
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
      ASSERT_EQ(0, std::memcmp(REFERENCE(PAGE()).data(), VIDEO.P_SCALED_VPAGE + 4, 640 * 480))
          << "Scale2x differs from the reference (" << COLOURS << " colours, seed " << SEED << ")";
    }
}

}  // namespace
