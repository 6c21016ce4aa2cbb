// Tests of the display's three software scalers (plain and scanline doubling, Scale2x) against
// slow references on random pages, which also fixes the page borders.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>

#include "display/display.hpp"
#include "draw2d/draw2d.hpp"

using B4 = std::array<uint8_t, 4>;
constexpr uint8_t MARK = 77;  // fills the scaled page before each scaler

// The 2 x 2 block (top left, top right, bottom left, bottom right) scaler KIND makes of page
// pixel I, done slowly and plainly. 0 doubles every pixel; 1 doubles the even rows and never
// writes the odd ones; 2 is Scale2x, whose left and right neighbours run through the page as
// one run of 76,800 pixels and outside the page take the centre pixel's value.
static B4 REFERENCE(int KIND, const uint8_t* PAGE, int I) {
  const uint8_t E = PAGE[I];
  if (KIND < 2) return {E, E, KIND == 0 ? E : MARK, KIND == 0 ? E : MARK};
  const uint8_t B = I >= 320 ? PAGE[I - 320] : E, H = I < 320 * 239 ? PAGE[I + 320] : E;
  const uint8_t D = I > 0 ? PAGE[I - 1] : E, F = I < 320 * 240 - 1 ? PAGE[I + 1] : E;
  if (B == H || D == F) return {E, E, E, E};
  return {D == B ? D : E, B == F ? F : E, D == H ? D : E, H == F ? F : E};
}

TEST(Scaler, EachMatchesItsReferenceOnRandomPages) {
  NDISPLAY::SCREEN_TYPE VIDEO{};
  NDISPLAY::INIT_VPAGE(VIDEO);
  NDISPLAY::INIT_SCALED_VPAGE(VIDEO);
  uint8_t *const PAGE = VIDEO.P_VPAGE + 4, *const OUT = VIDEO.P_SCALED_VPAGE + 4;
  void (*const SCALERS[])(NDISPLAY::SCREEN_TYPE&) = {
      NDISPLAY::NORMAL_SCALE_ASM, NDISPLAY::SCANLINE_SCALE_ASM, NDISPLAY::SCALE_2X_ASM};
  // few colours make equal neighbours common, so every branch of Scale2x is taken
  for (const uint32_t COLOURS : {2, 3, 256})
    for (int KIND = 0; KIND < 3; ++KIND) {
      std::mt19937 RNG(KIND * 7 + COLOURS);
      std::generate_n(PAGE, 320 * 240, [&RNG, COLOURS] { return uint8_t(RNG() % COLOURS); });
      std::fill_n(OUT, 640 * 480, MARK);
      SCALERS[KIND](VIDEO);
      const auto BLOCK = [OUT](int I) {
        uint8_t* O = OUT + (I / 320) * 1280 + (I % 320) * 2;
        return B4{O[0], O[1], O[640], O[641]};
      };
      int I = 0;
      while (I < 320 * 240 && BLOCK(I) == REFERENCE(KIND, PAGE, I)) ++I;
      ASSERT_EQ(I, 320 * 240) << "scaler " << KIND << ", " << COLOURS << " colours: page pixel ("
                              << I % 320 << "," << I / 320 << ") becomes "
                              << ::testing::PrintToString(BLOCK(I)) << ", not "
                              << ::testing::PrintToString(REFERENCE(KIND, PAGE, I));
    }
  EXPECT_EQ(draw2d::width_of(VIDEO.P_SCALED_VPAGE), 640) << "the scalers never write the header";
  NDISPLAY::DESTROY_VPAGE(VIDEO);
  NDISPLAY::DESTROY_SCALED_VPAGE(VIDEO);
}
