// Tests of the designer's parameter menu: steps, limits, rounding on the way to the cannon and
// the rows that never travel between menu and cannon.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "volleyedit/menu.hpp"

namespace {

using NDESIGNER::MENU;

class MenuTest : public ::testing::Test {
 protected:
  void SetUp() override { NDESIGNER::INIT_MENU(225.0f, -1); }
  NBARRAGE::TURRET_TYPE CANNON{};

  void PRESS(int32_t ROW, int32_t DIRECTION, int TIMES = 1) {
    for (int I = 0; I < TIMES; ++I) NDESIGNER::EDIT_FIELD(CANNON, DIRECTION, ROW);
  }
};

TEST_F(MenuTest, InitialisationLaysOutRowsStepsAndLimits) {
  for (int32_t ROW = 0; ROW < NDESIGNER::SELECTABLE_ROWS; ++ROW) {
    EXPECT_EQ(MENU[ROW].INDEX, ROW) << "row " << ROW << " knows its number";
    EXPECT_EQ(MENU[ROW].X, 0) << "row " << ROW << " bar starts at column 0";
    EXPECT_EQ(MENU[ROW].Y, 7 * ROW) << "row " << ROW << " bar is 7 pixel rows per menu row";
    const bool TENTH = (ROW >= 4 && ROW <= 9) || (ROW >= 24 && ROW <= 26);
    EXPECT_EQ(MENU[ROW].DELTA, TENTH ? 0.1f : 1.0f) << "row " << ROW << " step";
  }
  EXPECT_EQ(MENU[12].VALUE, 225.0f) << "row 12 holds the start rotation";
  EXPECT_EQ(MENU[34].VALUE, -1.0f) << "row 34 mirrors the rotation switch";
  EXPECT_EQ(MENU[19].MAX, 128.0f) << "no more bullets than the cannon's 128 slots";
  EXPECT_EQ(MENU[33].MIN, 1.0f) << "a bullet run needs at least one frame";
  EXPECT_EQ(MENU[18].MAX, 9999.0f);
  EXPECT_EQ(MENU[11].MIN, -300.0f);
  EXPECT_EQ(MENU[24].MIN, -100.0f);
  EXPECT_EQ(MENU[27].MAX, 5.0f) << "six wave modes";
  EXPECT_EQ(MENU[29].MAX, 64.0f);
  EXPECT_EQ(MENU[21].MAX, 20.0f);
}

TEST_F(MenuTest, EditStaysWithinTheRowLimits) {
  MENU[19].VALUE = 128.0f;
  PRESS(19, +1);
  EXPECT_EQ(MENU[19].VALUE, 128.0f) << "Right on row 19 at 128 leaves 128";
  MENU[33].VALUE = 1.0f;
  PRESS(33, -1);
  EXPECT_EQ(MENU[33].VALUE, 1.0f) << "Left on row 33 at 1 leaves 1";

  MENU[10].VALUE = -1.0f;
  PRESS(10, +1);
  EXPECT_EQ(MENU[10].VALUE, 0.0f);
  PRESS(10, +1);
  EXPECT_EQ(MENU[10].VALUE, 0.0f) << "ACTIVE never goes above 0";
  PRESS(10, -1, 3);
  EXPECT_EQ(MENU[10].VALUE, -1.0f) << "ACTIVE never goes below -1";

  MENU[16].VALUE = -1.0f;
  PRESS(16, +1);
  EXPECT_EQ(MENU[16].VALUE, 0.0f) << "ROTDIR steps through 0";
  PRESS(16, +1, 2);
  EXPECT_EQ(MENU[16].VALUE, 1.0f) << "ROTDIR stops at 1";
}

TEST_F(MenuTest, EditTouchesOnlyTheGivenRowAndNotTheCannon) {
  CANNON.MAXBULLET = 77;
  const float BEFORE = MENU[20].VALUE;
  PRESS(19, +1);
  EXPECT_EQ(MENU[19].VALUE, 1.0f);
  EXPECT_EQ(MENU[20].VALUE, BEFORE) << "the neighbouring row is untouched";
  EXPECT_EQ(CANNON.MAXBULLET, 77) << "EDIT_FIELD does not write the cannon";
}

TEST_F(MenuTest, TenthStepsAddUpAsThirtyTwoBitFloats) {
  PRESS(4, +1, 3);
  EXPECT_EQ(MENU[4].VALUE, 0.3f) << "three Right presses from 0.0 give the float nearest 0.3";
  PRESS(4, -1, 3);
  EXPECT_NEAR(MENU[4].VALUE, 0.0f, 1e-7f);
}

TEST_F(MenuTest, NotANumberBecomesMinOnEdit) {
  MENU[24].VALUE = std::numeric_limits<float>::quiet_NaN();
  PRESS(24, +1);
  EXPECT_EQ(MENU[24].VALUE, -100.0f) << "a NaN row is pulled to its MIN by the next edit";
}

TEST_F(MenuTest, IntegerRowsRoundHalfToEvenOnTheWayToTheCannon) {
  MENU[19].VALUE = 2.5f;
  NDESIGNER::MENU_TO_CANNON(CANNON, 0);
  EXPECT_EQ(CANNON.MAXBULLET, 2) << "2.5 rounds to the even 2";
  MENU[19].VALUE = 3.5f;
  NDESIGNER::MENU_TO_CANNON(CANNON, 0);
  EXPECT_EQ(CANNON.MAXBULLET, 4) << "3.5 rounds to the even 4";
  MENU[16].VALUE = -0.5f;
  NDESIGNER::MENU_TO_CANNON(CANNON, 0);
  EXPECT_EQ(CANNON.ROTDIR, 0) << "-0.5 rounds to 0";
  MENU[6].VALUE = 2.5f;
  NDESIGNER::MENU_TO_CANNON(CANNON, 0);
  EXPECT_EQ(CANNON.XV, 2.5f) << "float rows are copied unrounded";
}

TEST_F(MenuTest, MenuToCannonWritesEveryCopiedRowButNeverTheFixedOnes) {
  NBARRAGE::COORD_TYPE POINT{1.0f, 2.0f};
  CANNON.P_POSITION = &POINT;
  CANNON.P_TARGET = &POINT;
  CANNON.X = 280.0f;
  CANNON.Y = 100.0f;
  for (int32_t ROW = 0; ROW < NDESIGNER::MENU_ROWS; ++ROW) MENU[ROW].VALUE = 7.0f;
  NDESIGNER::MENU_TO_CANNON(CANNON, 3);
  EXPECT_EQ(CANNON.P_POSITION, &POINT) << "row 2 never reaches the cannon";
  EXPECT_EQ(CANNON.P_TARGET, &POINT) << "row 3 never reaches the cannon";
  EXPECT_EQ(CANNON.X, 280.0f) << "row 4 never reaches the cannon";
  EXPECT_EQ(CANNON.Y, 100.0f) << "row 5 never reaches the cannon";
  EXPECT_EQ(CANNON.ROTATION, 7) << "the start rotation goes to the cannon";
  EXPECT_EQ(CANNON.LISTINDEX, 7) << "row 0, whatever row is selected";
  EXPECT_EQ(CANNON.CURRENT_NUM_FRAME, 7) << "row 33, the last copied row";
  EXPECT_EQ(CANNON.BULLETSPEED, 7.0f);
  EXPECT_EQ(CANNON.TARGETY, 7.0f);
  EXPECT_EQ(CANNON.BULLET_TYPE, 7);
}

TEST_F(MenuTest, CannonToMenuKeepsTheStartRotationAndTheFixedRows) {
  CANNON.ROTATION = 90;
  CANNON.X = 280.0f;
  CANNON.MAXBULLET = 128;
  CANNON.BULLETOFFSET = 1.3f;
  CANNON.ROTDIR = -1;
  NDESIGNER::CANNON_TO_MENU(CANNON, 0);
  EXPECT_EQ(MENU[12].VALUE, 225.0f) << "the menu keeps the start rotation while the cannon turns";
  EXPECT_EQ(MENU[4].VALUE, 0.0f) << "row 4 is not filled from the cannon";
  EXPECT_EQ(MENU[19].VALUE, 128.0f);
  EXPECT_EQ(MENU[26].VALUE, 1.3f);
  EXPECT_EQ(MENU[16].VALUE, -1.0f);
  EXPECT_EQ(MENU[34].VALUE, -1.0f) << "the rotation switch is not a cannon field";
}

TEST_F(MenuTest, RoundDownGoesTowardsMinusInfinityWithoutClamping) {
  MENU[6].VALUE = 2.7f;
  NDESIGNER::ROUND_DOWN_FIELD(6);
  EXPECT_EQ(MENU[6].VALUE, 2.0f);
  MENU[6].VALUE = -2.3f;
  NDESIGNER::ROUND_DOWN_FIELD(6);
  EXPECT_EQ(MENU[6].VALUE, -3.0f) << "-2.3 rounds down to -3, not towards zero";
  MENU[19].VALUE = 140.5f;  // as a file could hold it before limits existed
  NDESIGNER::ROUND_DOWN_FIELD(19);
  EXPECT_EQ(MENU[19].VALUE, 140.0f) << "F3 does not clamp";
}

TEST(MenuRounding, SaturatesOutsideTheIntegerRange) {
  EXPECT_EQ(NDESIGNER::ROUND_HALF_EVEN(1e10f), INT32_MAX) << "huge values saturate";
  EXPECT_EQ(NDESIGNER::ROUND_HALF_EVEN(-1e10f), INT32_MIN);
  EXPECT_EQ(NDESIGNER::ROUND_HALF_EVEN(std::numeric_limits<float>::infinity()), INT32_MAX);
  EXPECT_EQ(NDESIGNER::ROUND_HALF_EVEN(std::numeric_limits<float>::quiet_NaN()), 0);
  EXPECT_EQ(NDESIGNER::ROUND_HALF_EVEN(-2147483648.0f), INT32_MIN) << "the lowest int32 is exact";
  EXPECT_EQ(NDESIGNER::ROUND_HALF_EVEN(0.5f), 0);
  EXPECT_EQ(NDESIGNER::ROUND_HALF_EVEN(1.5f), 2);
  EXPECT_EQ(NDESIGNER::ROUND_HALF_EVEN(-1.5f), -2);
}

TEST_F(MenuTest, LoadedValuesAreClampedAndNonFiniteBecomeMin) {
  const float NAN_F = std::numeric_limits<float>::quiet_NaN();
  const float INF_F = std::numeric_limits<float>::infinity();
  MENU[19].VALUE = 500.0f;
  MENU[22].VALUE = -3.0f;
  MENU[32].VALUE = 1e9f;
  MENU[24].VALUE = NAN_F;
  MENU[11].VALUE = -INF_F;
  MENU[33].VALUE = INF_F;
  MENU[6].VALUE = 12.25f;
  MENU[34].VALUE = 1e20f;
  NDESIGNER::LIMIT_LOADED_VALUES();
  EXPECT_EQ(MENU[19].VALUE, 128.0f) << "MAXBULLET cannot exceed the slots";
  EXPECT_EQ(MENU[22].VALUE, 0.0f) << "no negative bullet counts";
  EXPECT_EQ(MENU[32].VALUE, 999.0f);
  EXPECT_EQ(MENU[24].VALUE, -100.0f) << "NaN becomes MIN";
  EXPECT_EQ(MENU[11].VALUE, -300.0f) << "-inf becomes MIN";
  EXPECT_EQ(MENU[33].VALUE, 1.0f) << "+inf becomes MIN too, not MAX";
  EXPECT_EQ(MENU[6].VALUE, 12.25f) << "values within the limits stay as they are";
  EXPECT_EQ(MENU[34].VALUE, 1e20f) << "the rotation switch has no limits";
  MENU[34].VALUE = NAN_F;
  NDESIGNER::LIMIT_LOADED_VALUES();
  EXPECT_EQ(MENU[34].VALUE, 0.0f) << "a non-finite switch becomes 0";
}

}  // namespace
