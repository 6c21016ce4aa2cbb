// Tests of the designer's parameter menu (steps, limits, rounding on the way to the cannon) and
// of the statistics text (the label and format of every line and the float format).
#include <gtest/gtest.h>

#include <limits>

#include "volleyedit/menu.hpp"
#include "volleyedit/number_format.hpp"
#include "volleyedit/stats.hpp"

namespace {

using NDESIGNER::MENU;
constexpr float NAN_F = std::numeric_limits<float>::quiet_NaN();
constexpr float INF_F = std::numeric_limits<float>::infinity();

class MenuTest : public ::testing::Test {
 protected:
  void SetUp() override { NDESIGNER::INIT_MENU(225.0f, -1); }
  NBARRAGE::TURRET_TYPE CANNON{};
};

TEST_F(MenuTest, EditStepsWithinTheRowLimits) {
  struct CASE { int32_t ROW; float FROM; int32_t DIRECTION, TIMES; float TO; const char* WHY; };
  const CASE CASES[] = {
      {19, 128.0f, +1, 1, 128.0f, "Right on row 19 at 128 leaves 128 (the cannon's slots)"},
      {33, 1.0f, -1, 1, 1.0f, "Left on row 33 at 1 leaves 1 (a bullet run needs a frame)"},
      {4, 0.0f, +1, 3, 0.3f, "three 0.1 steps from 0.0 give the float nearest 0.3"},
      {10, -1.0f, +1, 2, 0.0f, "ACTIVE steps to 0 and never above it"},
      {10, 0.0f, -1, 3, -1.0f, "ACTIVE never goes below -1"},
      {16, -1.0f, +1, 1, 0.0f, "ROTDIR steps through 0"},
      {16, 0.0f, +1, 2, 1.0f, "ROTDIR stops at 1"},
      {24, NAN_F, +1, 1, -100.0f, "a NaN row is pulled to its MIN by the next edit"},
  };
  for (const CASE& C : CASES) {
    NDESIGNER::INIT_MENU(225.0f, -1);
    MENU[C.ROW].VALUE = C.FROM;
    const float NEXT = MENU[C.ROW + 1].VALUE;
    for (int I = 0; I < C.TIMES; ++I) NDESIGNER::EDIT_FIELD(CANNON, C.DIRECTION, C.ROW);
    EXPECT_EQ(MENU[C.ROW].VALUE, C.TO) << C.WHY;
    EXPECT_EQ(MENU[C.ROW + 1].VALUE, NEXT) << "the next row is untouched";
  }
  EXPECT_EQ(CANNON.MAXBULLET, 0) << "EDIT_FIELD does not write the cannon";
}

TEST_F(MenuTest, IntegerRowsRoundHalfToEvenOnTheWayToTheCannon) {
  MENU[19].VALUE = 2.5f, MENU[22].VALUE = 3.5f, MENU[16].VALUE = -0.5f, MENU[6].VALUE = 2.5f;
  MENU[0].VALUE = 6.5f, MENU[33].VALUE = 4.5f;
  NDESIGNER::MENU_TO_CANNON(CANNON, 3);
  EXPECT_EQ(CANNON.MAXBULLET, 2) << "2.5 rounds to the even 2";
  EXPECT_EQ(CANNON.BULLETS_PER_SHOT, 4) << "3.5 rounds to the even 4";
  EXPECT_EQ(CANNON.ROTDIR, 0) << "-0.5 rounds to 0";
  EXPECT_EQ(CANNON.XV, 2.5f) << "float rows are copied unrounded";
  EXPECT_EQ(CANNON.LISTINDEX, 6) << "row 0, whatever row is selected";
  EXPECT_EQ(CANNON.CURRENT_NUM_FRAME, 4) << "row 33, the last copied row";
}

TEST(MenuRounding, SaturatesOutsideTheIntegerRange) {
  const std::pair<float, int32_t> CASES[] = {{1e10f, INT32_MAX}, {-1e10f, INT32_MIN}, {INF_F, INT32_MAX},
                                             {NAN_F, 0}, {-2147483648.0f, INT32_MIN}, {0.5f, 0}, {1.5f, 2}, {-1.5f, -2}};
  for (const auto& [V, WANT] : CASES)
    EXPECT_EQ(NDESIGNER::ROUND_HALF_EVEN_SATURATED(V), WANT) << V << ": saturated, NaN 0, halves to even";
}

TEST(StatsFloatFormat, SevenSignificantDigitsAndExponentFormForVerySmallAndLargeValues) {
  const std::pair<float, const char*> CASES[] = {
      {100.0f, "100"},  // no point without digits after it
      {0.1f, "0.1"},    // the float nearest 0.1 shows as 0.1
      {-2.5f, "-2.5"}, {1.3f, "1.3"}, {0.0f, "0"},
      {1234567.0f, "1234567"},  // exponent 6 is still fixed
      {3.14159274f, "3.141593"}, {123.456787f, "123.4568"},
      {0.0001f, "0.0001"},      // exponent -4 is still fixed
      {1.0e7f, "1e+07"},        // exponent 7 switches to exponent form
      {12345678.0f, "1.234568e+07"},
      {1.5e-5f, "1.5e-05"},     // exponent -5 switches to exponent form
      {-3.0e20f, "-3e+20"}, {1.0e-30f, "1e-30"}, {3.4028235e38f, "3.402823e+38"},
  };
  for (const auto& [V, WANT] : CASES) EXPECT_EQ(NDESIGNER::FORMAT_FLOAT(V), WANT) << "%.7g of " << V;
}

TEST(StatsText, EveryLineHasItsLabelAndFormat) {
  NBARRAGE::COORD_TYPE POINT{};
  NBARRAGE::TURRET_TYPE C{};
  C.LISTINDEX = 1, C.TARGETING = -1, C.P_POSITION = nullptr, C.P_TARGET = &POINT;
  C.X = 280.0f, C.Y = 100.5f, C.XV = -0.1f, C.YV = 0.2f, C.TARGETX = 3.0f, C.TARGETY = 4.25f;
  C.ACTIVE = -1, C.RADIUS = 10.0f, C.ROTATION = 143, C.MINROTATION = 0, C.MAXROTATION = 359;
  C.ROTSPEED = 8, C.ROTDIR = -1, C.SPAWNDELAY = 4, C.MAXSPAWNDELAY = 5, C.MAXBULLET = 128;
  C.BULLET_ENERGY = 10, C.BULLET_DEATH_ID = 2, C.BULLETS_PER_SHOT = 4, C.SPREAD_ROTATION = 25;
  C.BULLETSPEED = 4.0f, C.BULLETSPEED_DELTA = -2.5f, C.BULLETOFFSET = 1.3f, C.WAVEMODE = 3;
  C.BULLETCOUNTER = 6, C.BULLETWAVEMAX = 7, C.BULLETWAVEMAXDELAY = 9999, C.BULLET_TYPE = 1;
  C.CURRENT_MIN_FRAME = 26, C.CURRENT_NUM_FRAME = 999;
  const std::string TARGET = std::to_string(reinterpret_cast<std::uintptr_t>(&POINT));
  const std::string EXPECTED[NDESIGNER::STAT_LINES] = {
      "listindex = 1", "targeting = -1", "position = 0", "target = " + TARGET, "x = 280", "y = 100.5",
      "xv = -0.1", "yv = 0.2", "target_x = 3", "targety = 4.25", "active = -1", "radius = 10",
      "rotation = 143", "min_rot = 0", "max_rot = 359", "rotspeed = 8", "rotdir = -1", "spawndelay = 4",
      "maxspawndelay = 5", "maxbullet = 128", "bullet_energy = 10", "death_ID = 2", "bullets/shot = 4",
      "spread_rotation = 25", "bullet_speed = 4", "bullet_speed_delta = -2.5", "bullet_offset = 1.3",
      "wavemode = 3", "bullet_counter = 6", "bullet_wavemax = 7", "bullet_wavemax_delay = 9999",
      "bullet_type = 1", "min_frame = 26", "max_frame = 999"};
  for (int32_t LINE = 0; LINE < NDESIGNER::STAT_LINES; ++LINE)
    EXPECT_EQ(NDESIGNER::STAT_TEXT(C, LINE), EXPECTED[LINE]) << "line " << LINE;
}

TEST(StatsText, RightColumnShowsSelectionSwitchAndStartRotation) {
  EXPECT_EQ(NDESIGNER::RIGHT_TEXT(0, 0, -1, 225.0f), "Cannon number = 0");
  EXPECT_EQ(NDESIGNER::RIGHT_TEXT(1, 0, -1, 225.0f), "rotation AI = -1");
  EXPECT_EQ(NDESIGNER::RIGHT_TEXT(2, 0, -1, 225.0f), "start rotation = 225");
  EXPECT_EQ(NDESIGNER::RIGHT_TEXT(0, 33, 1, 0.5f), "Cannon number = 33") << "the selected row";
  EXPECT_EQ(NDESIGNER::RIGHT_TEXT(2, 33, 1, 0.5f), "start rotation = 0.5")
      << "the start rotation is shown as a float";
}

}  // namespace
