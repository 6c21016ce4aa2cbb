// Tests of the display's pixel work: the three software scalers (against crafted pages and a
// slow reference Scale2x), the colour map and the page-to-texel conversion.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "display/display.hpp"
#include "display/draw2d.hpp"
#include "leakscope/leakscope.hpp"

namespace {

using NDISPLAY::SCREEN_TYPE;

class Scaler : public ::testing::Test {
 protected:
  SCREEN_TYPE VIDEO{};
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
  void FILL(uint8_t V) { std::memset(PAGE(), V, 320 * 240); }
  void RANDOM(uint32_t SEED, int COLOURS) {
    std::mt19937 RNG(SEED);
    for (int I = 0; I < 320 * 240; ++I) PAGE()[I] = static_cast<uint8_t>(RNG() % COLOURS);
  }
  // The 2 x 2 block of page pixel (X, Y) as four values TL, TR, BL, BR.
  std::array<uint8_t, 4> BLOCK(int X, int Y) const {
    return {S(2 * X, 2 * Y), S(2 * X + 1, 2 * Y), S(2 * X, 2 * Y + 1), S(2 * X + 1, 2 * Y + 1)};
  }
};

using B4 = std::array<uint8_t, 4>;

// Slow, obviously correct Scale2x: the page is one run of 76,800 pixels for the left and
// right neighbours; outside the page the centre pixel stands in.
std::vector<uint8_t> REFERENCE_SCALE2X(const uint8_t* PAGE) {
  std::vector<uint8_t> OUT(640 * 480);
  for (int Y = 0; Y < 240; ++Y) {
    for (int X = 0; X < 320; ++X) {
      const int I = Y * 320 + X;
      const uint8_t E = PAGE[I];
      const uint8_t B = Y > 0 ? PAGE[I - 320] : E;
      const uint8_t H = Y < 239 ? PAGE[I + 320] : E;
      const uint8_t D = I > 0 ? PAGE[I - 1] : E;
      const uint8_t F = I < 320 * 240 - 1 ? PAGE[I + 1] : E;
      uint8_t E0 = E, E1 = E, E2 = E, E3 = E;
      if (!(B == H || D == F)) {
        if (D == B) E0 = D;
        if (B == F) E1 = F;
        if (D == H) E2 = D;
        if (H == F) E3 = F;
      }
      OUT[(2 * Y) * 640 + 2 * X] = E0;
      OUT[(2 * Y) * 640 + 2 * X + 1] = E1;
      OUT[(2 * Y + 1) * 640 + 2 * X] = E2;
      OUT[(2 * Y + 1) * 640 + 2 * X + 1] = E3;
    }
  }
  return OUT;
}

// ---- pixel doubling and scanlines ----

TEST_F(Scaler, NormalScaleDoublesEveryPixelAndKeepsTheHeader) {
  RANDOM(1, 256);
  NDISPLAY::NORMAL_SCALE_ASM(VIDEO);
  for (int Y = 0; Y < 240; ++Y)
    for (int X = 0; X < 320; ++X)
      ASSERT_EQ(BLOCK(X, Y), B4({P(X, Y), P(X, Y), P(X, Y), P(X, Y)}))
          << "pixel (" << X << "," << Y << ") becomes a 2 x 2 block of itself";
  EXPECT_EQ(draw2d::width_of(VIDEO.P_SCALED_VPAGE), 640) << "the scaler writes pixels only";
  EXPECT_EQ(draw2d::height_of(VIDEO.P_SCALED_VPAGE), 480) << "the scaler writes pixels only";
}

TEST_F(Scaler, ScanlineScaleDoublesEvenRowsAndNeverWritesOddRows) {
  RANDOM(2, 255);
  for (int I = 0; I < 320 * 240; ++I) PAGE()[I] += 1;  // no pixel is 0
  NDISPLAY::SCANLINE_SCALE_ASM(VIDEO);
  for (int Y = 0; Y < 240; ++Y)
    for (int X = 0; X < 320; ++X) {
      ASSERT_EQ(S(2 * X, 2 * Y), P(X, Y)) << "even rows carry the page";
      ASSERT_EQ(S(2 * X + 1, 2 * Y), P(X, Y)) << "even rows carry the page";
      ASSERT_EQ(S(2 * X, 2 * Y + 1), 0) << "odd row " << 2 * Y + 1 << " keeps index 0";
      ASSERT_EQ(S(2 * X + 1, 2 * Y + 1), 0) << "odd row " << 2 * Y + 1 << " keeps index 0";
    }
  // odd rows are left alone, not cleared: a mark survives another pass
  VIDEO.P_SCALED_VPAGE[4 + 1 * 640 + 7] = 77;
  NDISPLAY::SCANLINE_SCALE_ASM(VIDEO);
  EXPECT_EQ(S(7, 1), 77) << "the scanline scaler never writes an odd row";
}

// ---- Scale2x on crafted pages ----

TEST_F(Scaler, Scale2xTurnsAnIsolatedPixelIntoABlock) {
  FILL(1);
  P(100, 100) = 7;
  NDISPLAY::SCALE_2X_ASM(VIDEO);
  EXPECT_EQ(BLOCK(100, 100), B4({7, 7, 7, 7})) << "an isolated pixel stays a plain 2 x 2 block";
  int SEVENS = 0;
  for (int I = 0; I < 640 * 480; ++I) SEVENS += VIDEO.P_SCALED_VPAGE[4 + I] == 7;
  EXPECT_EQ(SEVENS, 4) << "the neighbours of an isolated pixel keep the background";
}

TEST_F(Scaler, Scale2xSmoothsADiagonalStaircase) {
  // colour 5 below the diagonal x = y, colour 0 above it
  for (int Y = 0; Y < 240; ++Y)
    for (int X = 0; X < 320; ++X) P(X, Y) = X < Y ? 5 : 0;
  NDISPLAY::SCALE_2X_ASM(VIDEO);
  // on the diagonal the step's inner corner is filled, just below it the outer corner is cut
  EXPECT_EQ(BLOCK(50, 50), B4({0, 0, 5, 0})) << "the inner corner of a step takes the fill";
  EXPECT_EQ(BLOCK(49, 50), B4({5, 0, 5, 5})) << "the outer corner of a step is cut off";
  EXPECT_EQ(BLOCK(10, 100), B4({5, 5, 5, 5})) << "inside the fill nothing changes";
  EXPECT_EQ(BLOCK(100, 10), B4({0, 0, 0, 0})) << "outside the fill nothing changes";
}

TEST_F(Scaler, Scale2xLeftAndRightNeighboursWrapBetweenRows) {
  FILL(9);
  // column 0 of row 5: its left neighbour is (319, 4), which matches the pixel above
  P(0, 5) = 1;
  P(319, 4) = 2;
  P(0, 4) = 2;
  P(0, 6) = 3;
  P(1, 5) = 4;
  // column 319 of row 20: its right neighbour is (0, 21), which matches the pixel above
  P(319, 20) = 1;
  P(0, 21) = 2;
  P(319, 19) = 2;
  P(319, 21) = 3;
  P(318, 20) = 4;
  NDISPLAY::SCALE_2X_ASM(VIDEO);
  EXPECT_EQ(BLOCK(0, 5)[0], 2) << "the left neighbour of column 0 is the last pixel of the row above";
  EXPECT_EQ(BLOCK(319, 20)[1], 2) << "the right neighbour of column 319 is the first pixel of the row below";
}

TEST_F(Scaler, Scale2xBordersUseTheCentreForMissingNeighbours) {
  FILL(0);
  // top row: a pixel above would be 0 (like D) and pull the top-left corner to 0
  P(9, 0) = 0;
  P(10, 0) = 1;
  P(11, 0) = 2;
  P(10, 1) = 3;
  // bottom row: a pixel below would be 0 (like D) and pull the bottom-left corner to 0
  P(9, 239) = 0;
  P(10, 239) = 1;
  P(11, 239) = 2;
  P(10, 238) = 3;
  // (0, 0): the byte before the page is the header's last byte (0), equal to H
  P(0, 0) = 1;
  P(1, 0) = 2;
  P(0, 1) = 0;
  // (319, 239): E stands in for F
  P(319, 239) = 1;
  P(318, 239) = 2;
  P(319, 238) = 0;
  NDISPLAY::SCALE_2X_ASM(VIDEO);
  EXPECT_EQ(BLOCK(10, 0), B4({1, 1, 1, 1})) << "above row 0 the centre pixel stands in";
  EXPECT_EQ(BLOCK(10, 239), B4({1, 1, 1, 1})) << "below row 239 the centre pixel stands in";
  EXPECT_EQ(BLOCK(0, 0), B4({1, 1, 1, 1})) << "left of (0, 0) the centre pixel stands in";
  EXPECT_EQ(BLOCK(319, 239), B4({1, 1, 1, 1})) << "right of (319, 239) the centre pixel stands in";
}

TEST_F(Scaler, Scale2xMatchesTheReferenceOnRandomPages) {
  // few colours make equal neighbours common, so every branch of the rule is taken
  for (const int COLOURS : {2, 3, 4, 256}) {
    for (uint32_t SEED = 10; SEED < 13; ++SEED) {
      RANDOM(SEED * 7 + static_cast<uint32_t>(COLOURS), COLOURS);
      const std::vector<uint8_t> WANT = REFERENCE_SCALE2X(PAGE());
      NDISPLAY::SCALE_2X_ASM(VIDEO);
      ASSERT_EQ(0, std::memcmp(WANT.data(), VIDEO.P_SCALED_VPAGE + 4, WANT.size()))
          << "Scale2x differs from the reference (" << COLOURS << " colours, seed " << SEED << ")";
    }
  }
}

// ---- colour map and conversion ----

class ColourMap : public ::testing::Test {
 protected:
  SCREEN_TYPE VIDEO{};
  void SetUp() override {
    VIDEO.INIT = NDISPLAY::INIT;
    VIDEO.INIT(VIDEO);
    NDISPLAY::INIT_VPAGE(VIDEO);
    NDISPLAY::INIT_MEM_TEXTURE(VIDEO);
    NDISPLAY::SET_COLORMAP(VIDEO);
  }
  void TearDown() override { NDISPLAY::DESTROY_BACKEND(VIDEO); }
};

TEST_F(ColourMap, EntriesAreRedGreenBlueAlphaFromTheBuiltInTable) {
  EXPECT_EQ(VIDEO.P_CMAP[9], 0x5454FC8Cu) << "entry 9 is red 84, green 84, blue 252, alpha 140";
  EXPECT_EQ(VIDEO.P_CMAP[0], 0x00000000u) << "entry 0 is black with alpha 0";
  EXPECT_EQ(VIDEO.P_CMAP[15], 0xFCFCFCFCu) << "entry 15 is white 252 with alpha 252";
  EXPECT_EQ(VIDEO.P_CMAP[1], 0x0000A838u) << "entry 1 (blue 42) gives blue 168, alpha 56";
  EXPECT_EQ(VIDEO.P_CMAP[33], 0x10000005u) << "entry 33 (red 4): red 16, alpha 16 / 3 rounds down to 5";
  EXPECT_EQ(VIDEO.P_CMAP[34], 0x2000000Bu) << "entry 34 (red 8): red 32, alpha 32 / 3 rounds up to 11";
}

TEST_F(ColourMap, IgnoresTheLoadedPalette) {
  const uint32_t OLD = draw2d::get_palette(9);
  draw2d::set_palette(9, 0x000000);
  NDISPLAY::DESTROY_BACKEND(VIDEO);
  NDISPLAY::INIT_VPAGE(VIDEO);
  NDISPLAY::INIT_MEM_TEXTURE(VIDEO);
  NDISPLAY::SET_COLORMAP(VIDEO);
  draw2d::set_palette(9, OLD);
  EXPECT_EQ(VIDEO.P_CMAP[9], 0x5454FC8Cu) << "the colour map comes from the built-in table only";
}

TEST_F(ColourMap, ConversionFillsOnlyThePageRegionOfTheTexelStore) {
  std::mt19937 RNG(5);
  for (int I = 0; I < 320 * 240; ++I) VIDEO.P_VPAGE[4 + I] = static_cast<uint8_t>(RNG() % 255 + 1);
  NDISPLAY::CONVERT_8_2_32(VIDEO);
  const uint32_t* TD = VIDEO.MEMTEXTURE.P_TD;
  for (int Y = 0; Y < 512; ++Y)
    for (int X = 0; X < 512; ++X) {
      const uint32_t GOT = TD[Y * 512 + X];
      if (X < 320 && Y < 240) {
        ASSERT_EQ(GOT, VIDEO.P_CMAP[VIDEO.P_VPAGE[4 + Y * 320 + X]])
            << "texel (" << X << "," << Y << ") is the colour of page pixel (x, y)";
      } else {
        ASSERT_EQ(GOT, 0u) << "texel (" << X << "," << Y << ") outside the page stays 0";
      }
    }
}

}  // namespace
