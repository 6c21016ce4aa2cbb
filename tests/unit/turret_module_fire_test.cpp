// Engine tests: rotation rules, the shot clock, aiming, shot shapes, bullet motion, guards and
// the shared pool, for the build this file is compiled against (designer or player).
#include <climits>
#include <limits>

#include "tests/unit/turret_module_test_util.hpp"

using namespace volley_test;

namespace {

// Steps the turret and returns the steps (1-based) on which a shot left.
std::vector<int> SHOT_STEPS(TURRET_TYPE& T, int STEPS) {
  std::vector<int> V;
  int BEFORE = LIVE_COUNT(T);
  for (int S = 1; S <= STEPS; ++S) {
    STEP(T);
    const int NOW = LIVE_COUNT(T);
    if (NOW > BEFORE) V.push_back(S);
    BEFORE = NOW;
  }
  return V;
}

// Fires one shot of the turret as it stands (the shot clock as SHOOT leaves it).
void FIRE(TURRET_TYPE& T) { NBARRAGE::SHOOTER_AI(T); }

}  // namespace

// ---- Rotation rules -----------------------------------------------------------------------

TEST_F(TurretTest, WrappingRuleWrapsByMaxRotationOnlyAbove) {
  T.ROTATION = 358;
  T.ROTATE(T);
  EXPECT_EQ(T.ROTATION, 1) << "358 + 3 passes 360 and wraps to 1";
  T.ROTATION = 357;
  T.ROTATE(T);
  EXPECT_EQ(T.ROTATION, 360) << "only values above MAXROTATION wrap: 360 stays";
  T.ROTATION = 1;
  T.ROTDIR = -1;
  T.ROTATE(T);
  EXPECT_EQ(T.ROTATION, 358) << "-2 is below MINROTATION 0 and gains MAXROTATION";
  T.MINROTATION = 90;
  T.MAXROTATION = 270;
  T.ROTDIR = 1;
  T.ROTATION = 269;
  T.ROTATE(T);
  EXPECT_EQ(T.ROTATION, 272)
      << "the wrap distance is MAXROTATION itself: 272 - 270 = 2 is below 90 and gains 270 back";
  T.ROTATION = 600;
  T.ROTSPEED = 0;
  T.ROTATE(T);
  EXPECT_EQ(T.ROTATION, 330) << "each test is applied once: 600 - 270 is still above the limit";
}

TEST_F(TurretTest, BouncingRuleFlipsDirectionPastALimit) {
  NBARRAGE::CHANGE_ROTATION_AI(T, 1);
  T.MINROTATION = 90;
  T.MAXROTATION = 270;
  T.ROTATION = 268;
  T.ROTATE(T);
  EXPECT_EQ(T.ROTATION, 271) << "not clamped: the aim passes the limit";
  EXPECT_EQ(T.ROTDIR, -1);
  T.ROTATE(T);
  EXPECT_EQ(T.ROTATION, 268) << "and comes back on the next turn";
  T.ROTATION = 93;
  T.ROTATE(T);
  EXPECT_EQ(T.ROTATION, 90);
  EXPECT_EQ(T.ROTDIR, -1) << "a value equal to a limit does not flip";
}

TEST_F(TurretTest, RotationSelectorBindsBounceOnlyForOne) {
  NBARRAGE::CHANGE_ROTATION_AI(T, 1);
  EXPECT_EQ(T.ROTATE, NBARRAGE::ROTATE2);
  NBARRAGE::CHANGE_ROTATION_AI(T, -1);
  EXPECT_EQ(T.ROTATE, NBARRAGE::ROTATE) << "-1 binds the wrapping rule";
  NBARRAGE::CHANGE_ROTATION_AI(T, 1);
  NBARRAGE::CHANGE_ROTATION_AI(T, 2);
  EXPECT_EQ(T.ROTATE, NBARRAGE::ROTATE) << "any value but 1 binds the wrapping rule";
}

TEST_F(TurretTest, ReboundRotateSlotTakesEffectThroughTheRecord) {
  T.ROTATE = [](TURRET_TYPE& X) { X.ROTATION = 123; };
  MAKE_STILL();
  STEP(T);
  EXPECT_EQ(T.ROTATION, 123) << "SHOOT calls the turret's ROTATE slot, not the engine's rule";
  EXPECT_EQ(T.P_BULLETS[0].ROTATION, EXPECTED_SLOT_ROTATION(123, 123));
}

TEST_F(TurretTest, RotationArithmeticWrapsInsteadOfOverflowing) {
  T.ROTATION = INT_MAX;
  T.ROTSPEED = 2;
  T.MAXROTATION = INT_MAX;
  T.MINROTATION = INT_MIN;
  T.ROTATE(T);
  EXPECT_EQ(T.ROTATION, INT_MIN + 1) << "two's complement wrap, never undefined";
  NBARRAGE::CHANGE_ROTATION_AI(T, 1);
  T.ROTDIR = INT_MIN;
  T.ROTSPEED = -1;
  T.ROTATION = 0;
  T.MINROTATION = 10;
  T.ROTATE(T);  // INT_MIN * -1 and the negation of INT_MIN both wrap
  EXPECT_EQ(T.ROTATION, INT_MIN);
  EXPECT_EQ(T.ROTDIR, INT_MIN);
}

// ---- Shot clock ---------------------------------------------------------------------------

TEST_F(TurretTest, DefaultsFireEveryFourthStepTurningBeforeEachShot) {
  T.X = T.Y = 100.0f;
  T.BULLETSPEED = static_cast<SPEED_TYPE>(0);
  std::vector<int32_t> AIMS;
  std::vector<int> STEPS;
  for (int S = 1; S <= 10; ++S) {
    const int BEFORE = LIVE_COUNT(T);
    STEP(T);
    if (LIVE_COUNT(T) > BEFORE) {
      STEPS.push_back(S);
      AIMS.push_back(T.ROTATION);
    }
  }
  EXPECT_EQ(STEPS, (std::vector<int>{1, 5, 9})) << "a fresh turret fires at once, then every MAXSPAWNDELAY + 1";
  EXPECT_EQ(AIMS, (std::vector<int32_t>{3, 6, 9})) << "ROTSPEED is degrees per wave, turned before the shot";
}

TEST_F(TurretTest, WavesFollowTheirTwoDelays) {
  MAKE_STILL();
  T.BULLETWAVEMAX = 2;
  T.BULLETWAVEMAXDELAY = 1;
  T.MAXSPAWNDELAY = 10;
  EXPECT_EQ(SHOT_STEPS(T, 31), (std::vector<int>{1, 3, 5, 16, 18, 20, 31}))
      << "shots within a wave are BULLETWAVEMAXDELAY + 1 apart, waves MAXSPAWNDELAY + 1";
}

TEST_F(TurretTest, TurretTurnsOnlyWhenAWaveOpens) {
  MAKE_STILL();
  T.ROTSPEED = 10;
  T.BULLETWAVEMAX = 2;
  T.BULLETWAVEMAXDELAY = 0;
  T.MAXSPAWNDELAY = 0;
  T.ROTATE = [](TURRET_TYPE& X) { X.ROTATION += 10; };
  std::vector<int32_t> COUNTERS, AIMS;
  for (int S = 0; S < 6; ++S) {
    STEP(T);
    COUNTERS.push_back(T.BULLETCOUNTER);
    AIMS.push_back(T.ROTATION);
  }
  EXPECT_EQ(COUNTERS, (std::vector<int32_t>{1, 2, 0, 1, 2, 0})) << "the counter wraps after the last shot";
  EXPECT_EQ(AIMS, (std::vector<int32_t>{10, 10, 10, 20, 20, 20})) << "one turn per wave";
}

TEST_F(TurretTest, InactiveTurretFreezesCompletely) {
  BULLET_TYPE& B = T.P_BULLETS[5];
  B.ACTIVE = -1;
  B.X = 339.0f;
  B.Y = 10.0f;
  B.XV = 5.0f;
  T.ACTIVE = 0;
  T.SPAWNDELAY = 3;
  for (int I = 0; I < 10; ++I) STEP(T);
  EXPECT_EQ(B.X, 339.0f) << "bullets of an inactive turret do not move";
  EXPECT_EQ(B.ACTIVE, -1) << "nor expire";
  EXPECT_EQ(B.ANIM, 0) << "nor animate";
  EXPECT_EQ(T.SPAWNDELAY, 3) << "the shot clock stands still";
}

TEST_F(TurretTest, AnyNonZeroActiveIsStepped) {
  T.ACTIVE = 1;
  T.SHOOT(T, 0);
  EXPECT_EQ(LIVE_COUNT(T), 1) << "SHOOT itself treats any non-zero ACTIVE as true";
}

TEST_F(TurretTest, RefreshTouchesOnlySlotsWhoseRunDiffers) {
  MAKE_STILL();
  T.SPAWNDELAY = 5;
  T.SHOOT(T, 0);
  EXPECT_EQ(T.P_BULLETS[0].MAXFRAME, 4) << "MINFRAME 0 equals CURRENT_MIN_FRAME: the slot keeps MAXFRAME 4";
  T.CURRENT_MIN_FRAME = 12;
  T.CURRENT_NUM_FRAME = 2;
  T.BULLET_ENERGY = 3;
  T.BULLET_DEATH_ID = 7;
  T.P_BULLETS[1].ACTIVE = -1;
  T.P_BULLETS[1].X = T.P_BULLETS[1].Y = 50.0f;
  T.SHOOT(T, -1);
  EXPECT_EQ(T.P_BULLETS[0].MINFRAME, 0) << "no refresh in a frame where a set was applied";
  T.SHOOT(T, 0);
  EXPECT_EQ(T.P_BULLETS[0].MINFRAME, 12);
  EXPECT_EQ(T.P_BULLETS[0].MAXFRAME, 2);
  EXPECT_EQ(T.P_BULLETS[0].ENERGY, 3);
  EXPECT_EQ(T.P_BULLETS[0].DEATH_ID, 7);
  EXPECT_EQ(T.P_BULLETS[1].MINFRAME, 0) << "live bullets keep their look";
  T.BULLET_ENERGY = 99;
  T.SHOOT(T, 0);
  EXPECT_EQ(T.P_BULLETS[0].ENERGY, 3) << "a slot already on the turret's run is not touched";
}

TEST_F(TurretTest, AnchorPointsAreCopiedEveryStep) {
  COORD_TYPE POS{}, TGT{};
  SET_POINT(POS, 60.0f, 70.0f);
  SET_POINT(TGT, 60.0f, 170.0f);
  T.SET_POSITION(T, &POS);
  T.SET_TARGET(T, &TGT);
  T.TARGETING = -1;
  T.XV = 1.0f;
  STEP(T);
  EXPECT_EQ(T.TARGETX, 60.0f);
  EXPECT_EQ(T.TARGETY, 170.0f);
  EXPECT_EQ(T.ROTATION, 90) << "aimed at the point straight below";
  EXPECT_EQ(T.X, 61.0f) << "copied from the position, then moved by XV";
  SET_POINT(POS, 10.0f, 20.0f);
  STEP(T);
  EXPECT_EQ(T.X, 11.0f);
  EXPECT_EQ(T.Y, 20.0f);
}

TEST_F(TurretTest, NegativeSpawnDelayFiresOnTheNextStep) {
  MAKE_STILL();
  T.SPAWNDELAY = -40;
  T.BULLETCOUNTER = 0;
  STEP(T);
  EXPECT_EQ(LIVE_COUNT(T), 1);
  EXPECT_EQ(T.SPAWNDELAY, 3) << "the wave's last shot loads MAXSPAWNDELAY";
}

// ---- Aiming -------------------------------------------------------------------------------

TEST_F(TurretTest, AimPointsAtTheTargetInWholeDegrees) {
  T.X = 100.0f;
  T.Y = 100.0f;
  T.TARGETING = -1;
  struct CASE {
    float TX, TY;
    int32_t EDIT, PLAY;
    const char* WHAT;
  };
  const CASE CASES[] = {
      {100, 150, 90, 90, "straight below"},     {100, 50, 270, -90, "straight above"},
      {50, 100, 180, 180, "straight left"},     {150, 100, 0, 0, "straight right"},
      {100, 100, 0, 0, "on the turret"},        {0, 0, 225, -135, "up and left"},
      {200, 101, 1, 1, "just below the right"}, {200, 99, 359, -1, "just above the right"},
  };
  for (const CASE& C : CASES) {
    T.TARGETX = C.TX;
    T.TARGETY = C.TY;
    T.SPAWNDELAY = 0;
    T.BULLETCOUNTER = 0;
    T.SHOOT(T, 0);
    EXPECT_EQ(T.ROTATION, PLAYER_BUILD ? C.PLAY : C.EDIT) << C.WHAT;
  }
}

TEST_F(TurretTest, UsesTheShortPiConstants) {
  // At 90 degrees the short pi leaves a cosine of about -1.7e-7 where the precise pi leaves
  // -4.4e-8: visible at a radius of 1000.
  T.X = 100.0f;
  T.Y = 100.0f;
  T.RADIUS = 1000.0f;
  T.ROTATION = 90;
  FIRE(T);
  const float SHORT = static_cast<float>(
      std::cos(static_cast<double>(static_cast<float>(90 * 0.01745329444444444))) * 1000.0 + 100.0);
  const float PRECISE = static_cast<float>(
      std::cos(static_cast<double>(static_cast<float>(90 * (3.141592653589793 / 180)))) * 1000.0 + 100.0);
  ASSERT_NE(SHORT, PRECISE) << "the case must tell the constants apart";
  EXPECT_EQ(T.P_BULLETS[0].X, SHORT) << "degrees become radians with 0.01745329444444444";
}

// ---- Shot shapes --------------------------------------------------------------------------

TEST_F(TurretTest, SingleBulletSitsOnTheCircleAndFliesAlongTheAim) {
  T.X = 100.0f;
  T.Y = 50.0f;
  T.RADIUS = 10.0f;
  T.BULLETSPEED = static_cast<SPEED_TYPE>(2);
  T.WAVEMODE = 3;  // ignored for a single bullet
  T.SPREAD_ROTATION = 40;
  FIRE(T);
  const BULLET_TYPE& B = T.P_BULLETS[0];
  EXPECT_EQ(B.ACTIVE, -1);
  EXPECT_EQ(B.X, 110.0f);
  EXPECT_EQ(B.Y, 50.0f);
  EXPECT_EQ(B.XV, 2.0f);
  EXPECT_EQ(B.YV, 0.0f);
  EXPECT_EQ(B.ROTATION, EXPECTED_SLOT_ROTATION(0, 0));
}

TEST_F(TurretTest, DefaultFanIsSymmetricForEvenCountsAndShiftedForOdd) {
  T.X = T.Y = 100.0f;
  T.RADIUS = 100.0f;
  T.ROTATION = 90;
  T.SPREAD_ROTATION = 10;
  T.BULLETS_PER_SHOT = 3;
  FIRE(T);
  const int32_t ODD[] = {85, 95, 105};
  for (int J = 0; J < 3; ++J) {
    EXPECT_NEAR(PLACED_ANGLE(T, T.P_BULLETS[J]), ODD[J], 1e-3) << "N = 3, bullet " << J;
    EXPECT_EQ(T.P_BULLETS[J].ROTATION, EXPECTED_SLOT_ROTATION(ODD[J], ODD[J]));
    T.P_BULLETS[J].ACTIVE = 0;
  }
  T.BULLETS_PER_SHOT = 4;
  FIRE(T);
  const int32_t EVEN[] = {75, 85, 95, 105};
  for (int J = 0; J < 4; ++J)
    EXPECT_NEAR(PLACED_ANGLE(T, T.P_BULLETS[J]), EVEN[J], 1e-3) << "N = 4, bullet " << J;
}

TEST_F(TurretTest, FanStartRoundsHalvesToEven) {
  T.X = T.Y = 100.0f;
  T.RADIUS = 100.0f;
  T.BULLETS_PER_SHOT = 4;
  T.SPREAD_ROTATION = 3;
  T.ROTATION = 90;
  FIRE(T);
  EXPECT_NEAR(PLACED_ANGLE(T, T.P_BULLETS[0]), 85, 1e-3) << "round(82.5) is 82, so the fan starts at 85";
  for (int J = 0; J < 4; ++J) T.P_BULLETS[J].ACTIVE = 0;
  T.ROTATION = 91;
  FIRE(T);
  EXPECT_NEAR(PLACED_ANGLE(T, T.P_BULLETS[0]), 87, 1e-3) << "round(83.5) is 84, so the fan starts at 87";
}

TEST_F(TurretTest, DefaultFanSlotRotationsAndDirectionFrames) {
  KIND(T) = 1;
  T.X = T.Y = 100.0f;
  T.BULLETS_PER_SHOT = 2;
  T.SPREAD_ROTATION = 10;
  FIRE(T);
  if constexpr (PLAYER_BUILD) {
    EXPECT_EQ(T.P_BULLETS[0].ROTATION, 265) << "(-5 mod 360) + 270, without adding 360 first";
    EXPECT_EQ(T.P_BULLETS[1].ROTATION, 275);
    EXPECT_EQ(T.P_BULLETS[0].MINFRAME, 0) << "the player never applies direction frames";
  } else {
    EXPECT_EQ(T.P_BULLETS[0].ROTATION, 355) << "the default fan adds 360 before the remainder";
    EXPECT_EQ(T.P_BULLETS[1].ROTATION, 5);
    EXPECT_EQ(T.P_BULLETS[0].MINFRAME, 23) << "floor(355 / 360 * 24)";
    EXPECT_EQ(T.P_BULLETS[1].MINFRAME, 0) << "floor(5 / 360 * 24)";
  }
}

TEST_F(TurretTest, SignedSlotRotationsGiveRoundedDirectionFrames) {
  if constexpr (PLAYER_BUILD) GTEST_SKIP() << "the player build has no direction frames";
  KIND(T) = 1;
  T.CURRENT_MIN_FRAME = 0;
  T.WAVEMODE = 3;
  T.BULLETS_PER_SHOT = 2;
  T.SPREAD_ROTATION = 10;
  FIRE(T);
  EXPECT_EQ(T.P_BULLETS[0].ROTATION, -5) << "mode 3 keeps the sign of the angle";
  EXPECT_EQ(T.P_BULLETS[0].MINFRAME, 0) << "floor(-0.333 + 0.5) = 0";
  EXPECT_EQ(T.P_BULLETS[1].MINFRAME, 0);
  T.P_BULLETS[0].ACTIVE = T.P_BULLETS[1].ACTIVE = 0;
  T.P_BULLETS[0].MINFRAME = T.P_BULLETS[1].MINFRAME = 0;
  T.SPREAD_ROTATION = 20;
  FIRE(T);
  EXPECT_EQ(T.P_BULLETS[0].MINFRAME, -1) << "a slot rotation of -10 gives index -1, unbounded";
  EXPECT_EQ(T.P_BULLETS[1].MINFRAME, 1);
}

TEST_F(TurretTest, SingleBulletDirectionIndexCanReachTwentyFour) {
  if constexpr (PLAYER_BUILD) GTEST_SKIP() << "the player build has no direction frames";
  KIND(T) = 1;
  T.P_BULLETS[0].MINFRAME = 100;
  T.ROTATION = 355;
  FIRE(T);
  EXPECT_EQ(T.P_BULLETS[0].MINFRAME, 124) << "floor(23.667 + 0.5) = 24 is added to MINFRAME";
  T.ROTATION = 352;
  FIRE(T);
  EXPECT_EQ(T.P_BULLETS[1].MINFRAME, 23);
  KIND(T) = -1;
  FIRE(T);
  EXPECT_EQ(T.P_BULLETS[2].MINFRAME, 0) << "only the kind 1 picks direction frames";
}

TEST_F(TurretTest, WaveSpeedsRiseByTheDeltaPerShot) {
  MAKE_STILL();
  T.BULLETSPEED = static_cast<SPEED_TYPE>(2);
  T.BULLETSPEED_DELTA = 0.5f;
  T.BULLETWAVEMAX = 2;
  T.BULLETWAVEMAXDELAY = 0;
  T.BULLETS_PER_SHOT = 2;  // the default fan uses the wave speed too
  T.SPREAD_ROTATION = 0;
  STEP(T);
  STEP(T);
  STEP(T);
  // Bullets have moved since they were placed, but their velocity is their speed.
  EXPECT_FLOAT_EQ(T.P_BULLETS[0].XV, 2.0f) << "first shot of the wave";
  EXPECT_FLOAT_EQ(T.P_BULLETS[2].XV, 2.5f) << "second shot";
  EXPECT_FLOAT_EQ(T.P_BULLETS[4].XV, 3.0f) << "third shot, counter back at 0, k = BULLETWAVEMAX";
  EXPECT_FLOAT_EQ(T.P_BULLETS[5].XV, 3.0f);
}

TEST_F(TurretTest, ModeFourAlternatesTheSpreadOnOddShots) {
  MAKE_STILL();
  T.RADIUS = 100.0f;
  T.WAVEMODE = 4;
  T.BULLETWAVEMAX = 1;
  T.BULLETWAVEMAXDELAY = 0;
  T.BULLETS_PER_SHOT = 2;
  T.SPREAD_ROTATION = 10;
  T.BULLETOFFSET = 2.0f;
  T.SHOOT(T, 0);
  // PLACED_ANGLE reads the start point; the bullets have not moved (speed 0).
  EXPECT_NEAR(PLACED_ANGLE(T, T.P_BULLETS[1]) - PLACED_ANGLE(T, T.P_BULLETS[0]), 20.0, 1e-3)
      << "counter 1: the spread is scaled by BULLETOFFSET";
  T.SHOOT(T, 0);
  EXPECT_NEAR(PLACED_ANGLE(T, T.P_BULLETS[3]) - PLACED_ANGLE(T, T.P_BULLETS[2]), 10.0, 1e-3)
      << "counter 0: the plain spread";
}

TEST_F(TurretTest, SweepStepsToOneSideWithRisingSpeeds) {
  T.X = T.Y = 100.0f;
  T.RADIUS = 100.0f;
  T.WAVEMODE = 2;
  T.BULLETS_PER_SHOT = 3;
  T.SPREAD_ROTATION = 10;
  T.BULLETSPEED = static_cast<SPEED_TYPE>(1);
  T.BULLETSPEED_DELTA = 3.0f;
  FIRE(T);
  const int32_t ANGLES[] = {10, 20, 30};
  const double SPEEDS[] = {2.0, 3.0, 4.0};
  for (int J = 0; J < 3; ++J) {
    const BULLET_TYPE& B = T.P_BULLETS[J];
    EXPECT_NEAR(PLACED_ANGLE(T, B), ANGLES[J], 1e-3) << "bullet " << J;
    EXPECT_NEAR(std::hypot(B.XV, B.YV), SPEEDS[J], 1e-5) << "bullet " << J;
    EXPECT_EQ(B.ROTATION, EXPECTED_SLOT_ROTATION(ANGLES[J], ANGLES[J]));
  }
}

TEST_F(TurretTest, ModeThreeSpeedsGrowWithDistanceFromBulletH) {
  T.X = T.Y = 100.0f;
  T.WAVEMODE = 3;
  T.BULLETSPEED = static_cast<SPEED_TYPE>(1);
  T.BULLETSPEED_DELTA = 2.0f;
  T.SPREAD_ROTATION = 0;
  T.BULLETS_PER_SHOT = 5;
  FIRE(T);
  const float FIVE[] = {3.0f, 2.0f, 1.0f, 2.0f, 3.0f};
  for (int J = 0; J < 5; ++J) EXPECT_FLOAT_EQ(T.P_BULLETS[J].XV, FIVE[J]) << "N = 5, bullet " << J;
  for (int J = 0; J < 5; ++J) T.P_BULLETS[J].ACTIVE = 0;
  T.BULLETS_PER_SHOT = 4;
  FIRE(T);
  const float FOUR[] = {3.0f, 2.0f, 1.0f, 2.0f};
  for (int J = 0; J < 4; ++J)
    EXPECT_FLOAT_EQ(T.P_BULLETS[J].XV, FOUR[J]) << "N = 4 centres the profile on bullet 2, bullet " << J;
}

TEST_F(TurretTest, WallStartsOnTheArcAndMovesAlongTheAim) {
  T.X = T.Y = 100.0f;
  T.WAVEMODE = 5;
  T.BULLETS_PER_SHOT = 3;
  T.SPREAD_ROTATION = 30;
  T.RADIUS = 20.0f;
  T.BULLETSPEED = static_cast<SPEED_TYPE>(1);
  T.BULLETSPEED_DELTA = 1.0f;
  FIRE(T);
  const int32_t ANGLES[] = {-15, 15, 45};
  const float SPEEDS[] = {2.0f, 1.0f, 2.0f};
  for (int J = 0; J < 3; ++J) {
    const BULLET_TYPE& B = T.P_BULLETS[J];
    EXPECT_NEAR(PLACED_ANGLE(T, B), ANGLES[J], 1e-3) << "starts on the fan, bullet " << J;
    EXPECT_FLOAT_EQ(B.XV, SPEEDS[J]) << "moves along ROTATION 0, bullet " << J;
    EXPECT_EQ(B.YV, 0.0f) << "bullet " << J;
    EXPECT_EQ(B.ROTATION, EXPECTED_SLOT_ROTATION(ANGLES[J], ANGLES[J])) << "the fan angle, not the motion";
  }
}

TEST_F(TurretTest, UnknownModesTakeTheDefaultFan) {
  T.X = T.Y = 100.0f;
  T.RADIUS = 100.0f;
  T.BULLETS_PER_SHOT = 2;
  T.SPREAD_ROTATION = 10;
  for (int32_t MODE : {1, 9, -1}) {
    T.WAVEMODE = MODE;
    FIRE(T);
    EXPECT_EQ(T.P_BULLETS[0].ROTATION, EXPECTED_SLOT_ROTATION(355, -5)) << "mode " << MODE;
    T.P_BULLETS[0].ACTIVE = T.P_BULLETS[1].ACTIVE = 0;
  }
}

TEST_F(TurretTest, ShotFillsLowestFreeSlotsAndDropsTheRest) {
  T.BULLETS_PER_SHOT = 5;
  TAKE_ALL_BUT(T, {9, 40});
  FIRE(T);
  EXPECT_EQ(LIVE_COUNT(T), NBARRAGE::DEFAULT_MAXBULLET) << "two of five placed, three dropped";
  TAKE_ALL_BUT(T, {0, 2, 5, 6});
  T.BULLETS_PER_SHOT = 3;
  T.SPREAD_ROTATION = 10;
  T.ROTATION = 90;
  FIRE(T);
  EXPECT_EQ(LIVE_SLOTS(T).size(), static_cast<std::size_t>(NBARRAGE::DEFAULT_MAXBULLET - 1));
  EXPECT_EQ(T.P_BULLETS[6].ACTIVE, 0) << "the highest free slot is left";
  EXPECT_LT(T.P_BULLETS[0].ROTATION, T.P_BULLETS[2].ROTATION) << "bullets go to slots in fan order";
  EXPECT_LT(T.P_BULLETS[2].ROTATION, T.P_BULLETS[5].ROTATION);
}

TEST_F(TurretTest, EmptyFansAndZeroDirection) {
  for (int32_t N : {0, -3}) {
    T.BULLETS_PER_SHOT = N;
    for (int32_t MODE : {0, 2, 3, 5}) {
      T.WAVEMODE = MODE;
      FIRE(T);
      EXPECT_EQ(LIVE_COUNT(T), 0) << "N = " << N << " places nothing in mode " << MODE;
    }
  }
  T.WAVEMODE = 0;
  T.BULLETS_PER_SHOT = 4;
  T.ROTDIR = 0;
  T.ROTATION = 40;
  FIRE(T);
  for (int J = 0; J < 4; ++J)
    EXPECT_EQ(T.P_BULLETS[J].ROTATION, EXPECTED_SLOT_ROTATION(40, 40)) << "ROTDIR 0 stacks the fan";
}

TEST_F(TurretTest, NewBulletKeepsTheAnimationOfItsSlot) {
  BULLET_TYPE& B = T.P_BULLETS[0];
  B.COUNTER = 7;
  B.ANIM = 3;
  B.FRAME = 2;
  MAKE_STILL();
  STEP(T);
  EXPECT_EQ(B.COUNTER, 8) << "COUNTER is never reset and counts across the slot's lives";
  EXPECT_EQ(B.ANIM, 4);
  EXPECT_EQ(B.FRAME, PLAYER_BUILD ? 2 : 3) << "the animation continues from the previous life";
}

// ---- Bullet motion ------------------------------------------------------------------------

TEST_F(TurretTest, BulletsAnimateAtTheBuildsPace) {
  BULLET_TYPE& B = T.P_BULLETS[0];
  B.ACTIVE = -1;
  B.X = B.Y = 100.0f;
  B.MAXFRAME = 3;
  std::vector<int32_t> FRAMES;
  for (int S = 0; S < 16; ++S) {
    NBARRAGE::MOVE_BULLETS(T);
    FRAMES.push_back(B.FRAME);
  }
  if constexpr (PLAYER_BUILD) {
    EXPECT_EQ(FRAMES, (std::vector<int32_t>{0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 2}))
        << "the player advances a frame every 8 steps";
  } else {
    EXPECT_EQ(FRAMES, (std::vector<int32_t>{0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 0, 0, 0, 0, 1}))
        << "the designer advances a frame every 4 steps, modulo MAXFRAME";
  }
}

TEST_F(TurretTest, FieldBoundsAreIncludedAndBulletsMoveBeforeExpiring) {
  struct CASE {
    float X, Y, XV, YV;
    bool LIVE;
    const char* WHAT;
  };
  const CASE CASES[] = {
      {340, 100, 0, 0, true, "x = 340 stays"},       {340.5f, 100, 0, 0, false, "x = 340.5 leaves"},
      {100, -70, 0, 0, true, "y = -70 stays"},       {100, 270, 0, 0, true, "y = 270 stays"},
      {-20, 100, 0, 0, true, "x = -20 stays"},       {100, 270.5f, 0, 0, false, "y = 270.5 leaves"},
      {-19, 100, -2, 0, false, "moved past -20 first"}, {341, 100, -2, 0, true, "moved back in first"},
  };
  for (int I = 0; I < 8; ++I) {
    BULLET_TYPE& B = T.P_BULLETS[I];
    B = BULLET_TYPE{CASES[I].X, CASES[I].Y, CASES[I].XV, CASES[I].YV, -1, 0, 0, 0, 0, 4, 0, 0, 0};
  }
  NBARRAGE::MOVE_BULLETS(T);
  for (int I = 0; I < 8; ++I) EXPECT_EQ(T.P_BULLETS[I].ACTIVE != 0, CASES[I].LIVE) << CASES[I].WHAT;
}

TEST_F(TurretTest, NotANumberFreesTheSlot) {
  T.P_BULLETS[0].ACTIVE = -1;
  T.P_BULLETS[0].X = std::numeric_limits<float>::quiet_NaN();
  T.P_BULLETS[1].ACTIVE = -1;
  T.P_BULLETS[1].X = 10.0f;
  T.P_BULLETS[1].YV = std::numeric_limits<float>::quiet_NaN();
  NBARRAGE::MOVE_BULLETS(T);
  EXPECT_EQ(T.P_BULLETS[0].ACTIVE, 0) << "a position that is not a number frees the slot";
  EXPECT_EQ(T.P_BULLETS[1].ACTIVE, 0) << "so does a velocity that makes it one";
}

TEST_F(TurretTest, NonPositiveMaxFrameResetsFrame) {
  for (int32_t MAXFRAME : {0, -3}) {
    BULLET_TYPE& B = T.P_BULLETS[0];
    B = BULLET_TYPE{};
    B.ACTIVE = -1;
    B.X = B.Y = 100.0f;
    B.ANIM = 7;
    B.FRAME = 2;
    B.MAXFRAME = MAXFRAME;
    NBARRAGE::MOVE_BULLETS(T);
    EXPECT_EQ(B.FRAME, 0) << "MAXFRAME " << MAXFRAME << " has no frame but the first";
  }
}

TEST_F(TurretTest, TurretMovesByItsVelocity) {
  T.X = 1.0f;
  T.Y = 2.0f;
  T.XV = 0.5f;
  T.YV = -0.25f;
  NBARRAGE::MOVE(T);
  EXPECT_EQ(T.X, 1.5f);
  EXPECT_EQ(T.Y, 1.75f);
}

// ---- Guards -------------------------------------------------------------------------------

TEST_F(TurretTest, MaxBulletBeyondTheArrayNeverIndexesOutside) {
  TURRET_PARAM_TYPE S{};
  S.ACTIVE = -1;
  S.MAXROTATION = 360;
  S.MAXBULLET = 100000;
  S.BULLETS_PER_SHOT = 300;
  S.SPREAD_ROTATION = 1;
  S.BULLET_NUM_FRAME = 1;
  S.BULLET_MIN_FRAME = 2;
  S.X = S.Y = 100.0f;
  TURRET_PARAM_TYPE* P = &S;
  T.LIST_ADD(T, P);
  STEP(T);  // refresh in LIST_MANAGE, shot, motion
  STEP(T);  // refresh in SHOOT
  EXPECT_EQ(LIVE_COUNT(T), NBARRAGE::DEFAULT_MAXBULLET) << "every allocated slot filled, the rest dropped";
  NBARRAGE::BARRAGE_TYPE POOL{};
  POOL.INIT = NBARRAGE::INIT;
  POOL.INIT(POOL);
  POOL.COPY_BULLETS(POOL, T);
  int COPIED = 0;
  for (int I = 0; I < NBARRAGE::POOL_MAXBULLET; ++I) COPIED += POOL.P_BULLETS[I].ACTIVE != 0;
  EXPECT_EQ(COPIED, NBARRAGE::DEFAULT_MAXBULLET) << "the copy stops at the allocated slots";
  POOL.DESTROY(POOL);
}

TEST_F(TurretTest, NegativeMaxBulletCoversNoSlot) {
  T.MAXBULLET = -5;
  T.P_BULLETS[0].ACTIVE = -1;
  T.P_BULLETS[0].XV = 1.0f;
  STEP(T);
  EXPECT_EQ(T.P_BULLETS[0].X, 0.0f) << "no slot is moved";
  EXPECT_EQ(LIVE_COUNT(T), 1) << "no bullet is fired";
}

TEST_F(TurretTest, AbsurdSpreadAndOffsetStayDefined) {
  T.BULLETS_PER_SHOT = 6;
  T.WAVEMODE = 4;
  T.BULLETCOUNTER = 1;
  T.BULLETOFFSET = std::numeric_limits<float>::infinity();
  T.SPREAD_ROTATION = INT_MAX;
  FIRE(T);  // the spread and the start angle convert to INT32_MIN; every step wraps
  EXPECT_EQ(LIVE_COUNT(T), 6);
  EXPECT_EQ(T.P_BULLETS[0].ROTATION, EXPECTED_SLOT_ROTATION(0, 0)) << "INT32_MIN * 2 wraps to 0";
  EXPECT_EQ(T.P_BULLETS[1].ROTATION, EXPECTED_SLOT_ROTATION(-128, INT32_MIN))
      << "out-of-range conversions give INT32_MIN, as the x86 conversion does";
  T.SPREAD_ROTATION = INT_MAX;
  T.WAVEMODE = 2;
  T.ROTATION = INT_MAX;
  FIRE(T);
  EXPECT_EQ(LIVE_COUNT(T), 12) << "sweep angles wrap around instead of overflowing";
}

// ---- Shared pool --------------------------------------------------------------------------

class PoolTest : public TurretTest {
 protected:
  NBARRAGE::BARRAGE_TYPE POOL{};
  void SetUp() override {
    TurretTest::SetUp();
    POOL.INIT = NBARRAGE::INIT;
    POOL.INIT(POOL);
  }
  void TearDown() override {
    if (POOL.DESTROY != nullptr) POOL.DESTROY(POOL);
    TurretTest::TearDown();
  }
  int POOL_LIVE() const {
    int N = 0;
    for (int I = 0; I < NBARRAGE::POOL_MAXBULLET; ++I) N += POOL.P_BULLETS[I].ACTIVE != 0;
    return N;
  }
};

TEST_F(PoolTest, InitGivesFiveHundredTwelveFreeSlots) {
  EXPECT_EQ(POOL.MAXBULLET, 512);
  EXPECT_EQ(POOL.SHOOT, NBARRAGE::BARRAGE_SHOOT);
  EXPECT_EQ(POOL.COPY_BULLETS, NBARRAGE::BARRAGE_COPY_BULLETS);
  for (int I = 0; I < 512; ++I) ASSERT_EQ(POOL.P_BULLETS[I].MAXFRAME, 4) << "slot " << I;
  POOL.SHOOT(POOL);
  EXPECT_EQ(POOL_LIVE(), 0);
  EXPECT_EQ(POOL.P_BULLETS[0].ANIM, 0) << "a step of an empty pool changes nothing";
}

TEST_F(PoolTest, CopyFillsTheLowestPoolSlotsInTurretOrder) {
  for (int I : {3, 7}) {
    T.P_BULLETS[I].ACTIVE = -1;
    T.P_BULLETS[I].X = static_cast<float>(I);
    T.P_BULLETS[I].MINFRAME = 40 + I;
  }
  POOL.COPY_BULLETS(POOL, T);
  EXPECT_EQ(POOL_LIVE(), 2);
  EXPECT_EQ(POOL.P_BULLETS[0].X, 3.0f) << "turret slot 3 goes to pool slot 0";
  EXPECT_EQ(POOL.P_BULLETS[1].MINFRAME, 47) << "all fields are copied";
  EXPECT_EQ(T.P_BULLETS[3].ACTIVE, -1) << "the turret's bullets stay live";
  POOL.COPY_BULLETS(POOL, T);
  EXPECT_EQ(POOL_LIVE(), 4) << "a second copy copies the same bullets again";
  EXPECT_EQ(POOL.P_BULLETS[2].X, 3.0f);
}

TEST_F(PoolTest, FullPoolDropsTheRest) {
  for (int I = 0; I < 512; ++I) POOL.P_BULLETS[I].ACTIVE = -1;
  POOL.P_BULLETS[300].ACTIVE = 0;
  T.P_BULLETS[1].ACTIVE = T.P_BULLETS[2].ACTIVE = -1;
  T.P_BULLETS[1].X = 11.0f;
  POOL.COPY_BULLETS(POOL, T);
  EXPECT_EQ(POOL_LIVE(), 512);
  EXPECT_EQ(POOL.P_BULLETS[300].X, 11.0f) << "the only free slot takes the first bullet";
}

TEST_F(PoolTest, PoolAnimatesEveryEighthStepAndRetires) {
  BULLET_TYPE& B = POOL.P_BULLETS[0];
  B.ACTIVE = -1;
  B.X = B.Y = 100.0f;
  B.ANIM = 7;
  B.FRAME = 2;
  POOL.SHOOT(POOL);
  EXPECT_EQ(B.FRAME, 3) << "ANIM 8 advances the frame";
  for (int I = 0; I < 8; ++I) POOL.SHOOT(POOL);
  EXPECT_EQ(B.FRAME, 0) << "eight steps later it wraps to 0";
  EXPECT_EQ(B.COUNTER, 9);
  B.YV = -200.0f;
  POOL.SHOOT(POOL);
  EXPECT_EQ(B.ACTIVE, 0) << "a pool bullet leaves the same field";
  POOL.P_BULLETS[1].ACTIVE = -1;
  POOL.P_BULLETS[1].X = std::numeric_limits<float>::quiet_NaN();
  POOL.SHOOT(POOL);
  EXPECT_EQ(POOL.P_BULLETS[1].ACTIVE, 0) << "a position that is not a number frees a pool slot";
}

TEST_F(PoolTest, DestroyForgetsTheArray) {
  POOL.DESTROY(POOL);
  EXPECT_EQ(POOL.P_BULLETS, nullptr) << "the released array is forgotten";
  EXPECT_EQ(POOL.MAXBULLET, 0);
  EXPECT_EQ(POOL.INIT, nullptr) << "all four slots are cleared";
  EXPECT_EQ(POOL.SHOOT, nullptr);
  EXPECT_EQ(POOL.COPY_BULLETS, nullptr);
  NBARRAGE::BARRAGE_SHOOT(POOL);  // touches nothing
  NBARRAGE::BARRAGE_COPY_BULLETS(POOL, T);
  ReportCapture CAP;
  NBARRAGE::DESTROY(POOL);
  const std::string ERR = CAP.ERR_TEXT();
  EXPECT_EQ(ERR.rfind("(LEAKSCOPE) Invalid deallocate(barrage.p_bullets) [&H0] at turret_module:", 0), 0u)
      << "a second pool DESTROY hands a null block to the tracker, which reports it: " << ERR;
}
