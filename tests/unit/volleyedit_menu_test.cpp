// Tests of the designer's parameter menu (rounding on the way to the cannon) and of the
// statistics text (the label and format of every line and the float format).
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <vector>
#include <cstring>
#include <limits>
#include <random>

#include "tests/unit/golden.hpp"
#include "volleyedit/menu.hpp"
#include "volleyedit/number_format.hpp"
#include "volleyedit/stats.hpp"

// Records are built with designated initializers; the fields left out are zero, on purpose.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

using NDESIGNER::MENU;

// Integer rows take the value rounded half to even, float rows the value itself; rounding
// beyond the integer range (only a loaded rotation switch can hold such a value) is pinned by
// tests/golden/designer_rotation_switch.txt.
TEST(MenuRounding, IntegerRowsRoundHalfToEvenOnTheWayToTheCannon) {
  NDESIGNER::INIT_MENU(225.0f, -1);
  NBARRAGE::TURRET_TYPE C{};
  MENU[19].VALUE = MENU[6].VALUE = MENU[33].VALUE = 2.5f;
  MENU[22].VALUE = 3.5f;
  NDESIGNER::MENU_TO_CANNON(C, 3);
  EXPECT_EQ((std::vector<float>{float(C.MAXBULLET), float(C.BULLETS_PER_SHOT), C.XV,
                                float(C.CURRENT_NUM_FRAME)}),
            (std::vector<float>{2, 4, 2.5f, 2}))
      << "rows 19 (2.5) and 22 (3.5) round to even, row 6 (2.5) is a float row, and row 33 (2.5) "
      << "is the last row copied";
}

TEST(StatsFloatFormat, SevenSignificantDigitsAndExponentFormForVerySmallAndLargeValues) {
  std::mt19937 RNG(7);
  for (int I = 0; I < 20000; ++I) {  // +0 first, then any bit pattern (C's %.7g as reference)
    const float V = std::bit_cast<float>(I == 0 ? 0u : static_cast<uint32_t>(RNG()));
    if (!std::isfinite(V)) continue;
    char WANT[32];
    std::snprintf(WANT, sizeof WANT, "%.7g", double{V});
    ASSERT_EQ(NDESIGNER::FORMAT_FLOAT(V), WANT)
        << "bits " << std::hex << std::bit_cast<uint32_t>(V);
  }
}

TEST(StatsText, EveryLineHasItsLabelAndFormat) {
  NBARRAGE::COORD_TYPE POINT{};
  NBARRAGE::TURRET_TYPE C{.LISTINDEX = 1, .TARGETING = -1, .P_TARGET = &POINT, .X = 280.0f,
                          .Y = 100.5f, .XV = -0.1f, .YV = 0.2f, .TARGETX = 3.0f, .TARGETY = 4.25f,
                          .ACTIVE = -1, .RADIUS = 10.0f, .ROTATION = 143, .MINROTATION = 0,
                          .MAXROTATION = 359, .ROTSPEED = 8, .ROTDIR = -1, .SPAWNDELAY = 4,
                          .MAXSPAWNDELAY = 5, .MAXBULLET = 128, .BULLET_ENERGY = 10,
                          .BULLET_DEATH_ID = 2, .BULLETS_PER_SHOT = 4, .SPREAD_ROTATION = 25,
                          .BULLETSPEED = 4.0f, .BULLETSPEED_DELTA = -2.5f, .BULLETOFFSET = 1.3f,
                          .WAVEMODE = 3, .BULLETCOUNTER = 6, .BULLETWAVEMAX = 7,
                          .BULLETWAVEMAXDELAY = 9999, .BULLET_TYPE = 1, .CURRENT_MIN_FRAME = 26,
                          .CURRENT_NUM_FRAME = 999};
  const std::string TARGET = std::to_string(reinterpret_cast<std::uintptr_t>(&POINT));
  std::string TEXT;
  for (int32_t LINE = 0; LINE < NDESIGNER::STAT_LINES; ++LINE) {
    const std::string S = NDESIGNER::STAT_TEXT(C, LINE);
    TEXT += (S == "target = " + TARGET ? "target = <address of the aim point>" : S) + "\n";
  }
  for (int32_t ROW = 0; ROW < 3; ++ROW) TEXT += NDESIGNER::RIGHT_TEXT(ROW, 33, 1, 0.5f) + "\n";
  volley_test::EXPECT_GOLDEN("designer_stats.txt", TEXT);
}
