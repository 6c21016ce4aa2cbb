// Engine tests: rotation rules, the shot clock, aiming, shot shapes, bullet motion, guards and
// the shared pool, for the build this file is compiled against (designer or player).
#include <climits>
#include <limits>

#include "tests/unit/turret_module_test_util.hpp"

using namespace volley_test;

namespace {

constexpr float NaN = std::numeric_limits<float>::quiet_NaN();

struct TURN { int32_t AI, MIN, MAX, DIR, SPEED, FROM, TO, DIR_AFTER; const char* WHY; };

// One turn of the rule that CHANGE_ROTATION_AI(AI) binds, per case.
void CHECK_TURNS(TURRET_TYPE& T, std::initializer_list<TURN> CASES) {
  for (const TURN& C : CASES) {
    CHANGE_ROTATION_AI(T, C.AI);
    T.MINROTATION = C.MIN, T.MAXROTATION = C.MAX, T.ROTDIR = C.DIR, T.ROTSPEED = C.SPEED, T.ROTATION = C.FROM;
    T.ROTATE(T);
    EXPECT_TRUE(T.ROTATION == C.TO && T.ROTDIR == C.DIR_AFTER) << C.WHY << ": got " << T.ROTATION << ", " << T.ROTDIR;
  }
}

// Steps the turret; returns the steps (1-based) on which a shot left, and the aim of each shot.
std::vector<int> SHOTS(TURRET_TYPE& T, int STEPS, std::vector<int32_t>& AIMS) {
  std::vector<int> V;
  for (int S = 1, BEFORE = LIVE(T.P_BULLETS); S <= STEPS; ++S) {
    STEP(T);
    if (LIVE(T.P_BULLETS) > BEFORE) V.push_back(S), AIMS.push_back(T.ROTATION);
    BEFORE = LIVE(T.P_BULLETS);
  }
  return V;
}

}  // namespace

// ---- Rotation rules -----------------------------------------------------------------------

TEST_F(TurretTest, RotationRulesWrapOrBounce) {
  CHECK_TURNS(T, {
      {0, 0, 360, 1, 3, 358, 1, 1, "358 + 3 passes 360 and wraps to 1"},
      {0, 0, 360, 1, 3, 357, 360, 1, "only values above MAXROTATION wrap: 360 stays"},
      {0, 0, 360, -1, 3, 1, 358, -1, "-2 is below MINROTATION 0 and gains MAXROTATION"},
      {0, 90, 270, 1, 3, 269, 272, 1, "the wrap distance is MAXROTATION: 2 is below 90 and gains 270"},
      {0, 90, 270, 1, 0, 600, 330, 1, "each test is applied once: 600 - 270 stays above the limit"},
      {1, 90, 270, 1, 3, 268, 271, -1, "bounce: not clamped, the aim passes the limit and turns"},
      {1, 90, 270, -1, 3, 271, 268, -1, "and comes back on the next turn"},
      {1, 90, 270, -1, 3, 93, 90, -1, "a value equal to a limit does not flip"},
      {-1, 0, 360, 1, 3, 358, 1, 1, "ROTATION_AI -1 binds the wrapping rule"},
      {2, 0, 360, 1, 3, 358, 1, 1, "any value but 1 binds the wrapping rule"},
  });
}

TEST_F(TurretTest, RotationArithmeticWrapsInsteadOfOverflowing) {
  CHECK_TURNS(T, {{0, INT_MIN, INT_MAX, 1, 2, INT_MAX, INT_MIN + 1, 1, "two's complement wrap, never undefined"},
                  {1, 10, 360, INT_MIN, -1, 0, INT_MIN, INT_MIN, "INT_MIN * -1 and -INT_MIN wrap"}});
}

TEST_F(TurretTest, ReboundRotateSlotTakesEffectThroughTheRecord) {
  T.ROTATE = [](TURRET_TYPE& X) { X.ROTATION = 123; };
  STEP(T);
  EXPECT_EQ(T.ROTATION, 123) << "SHOOT calls the turret's ROTATE slot, not the engine's rule";
  EXPECT_EQ(T.P_BULLETS[0].ROTATION, SLOT_ROT(123, 123)) << "and fires along the result";
}

// ---- Shot clock ---------------------------------------------------------------------------

TEST_F(TurretTest, ShotClockFollowsTheWaveAndSpawnDelays) {
  std::vector<int32_t> AIMS;
  EXPECT_EQ(SHOTS(T, 10, AIMS), (std::vector<int>{1, 5, 9})) << "defaults: at once, then every MAXSPAWNDELAY + 1";
  EXPECT_EQ(AIMS, (std::vector<int32_t>{3, 6, 9})) << "ROTSPEED degrees per wave, turned before the shot";
  FREE_ALL(), AIMS.clear();
  T.ROTATION = T.SPAWNDELAY = 0, T.ROTSPEED = 10;
  T.BULLETWAVEMAX = 2, T.BULLETWAVEMAXDELAY = 1, T.MAXSPAWNDELAY = 10;
  EXPECT_EQ(SHOTS(T, 31, AIMS), (std::vector<int>{1, 3, 5, 16, 18, 20, 31}))
      << "shots within a wave are BULLETWAVEMAXDELAY + 1 apart, waves MAXSPAWNDELAY + 1";
  EXPECT_EQ(AIMS, (std::vector<int32_t>{10, 10, 10, 20, 20, 20, 30})) << "one turn per wave";
}

TEST_F(TurretTest, OnlyActiveZeroFreezesTheTurret) {
  BULLET_TYPE& B = T.P_BULLETS[5];
  B = {.X = 339.0f, .Y = 10.0f, .XV = 5.0f, .ACTIVE = -1, .MAXFRAME = 4};
  T.ACTIVE = 0, T.SPAWNDELAY = 3;
  for (int I = 0; I < 10; ++I) STEP(T);
  EXPECT_TRUE(B.X == 339.0f && B.ACTIVE == -1 && B.ANIM == 0) << "its bullets neither move, expire nor animate";
  EXPECT_EQ(T.SPAWNDELAY, 3) << "the shot clock stands still";
  T.ACTIVE = 1, T.SPAWNDELAY = -40, T.SHOOT(T, 0);
  EXPECT_EQ(LIVE(T.P_BULLETS), 1) << "any non-zero ACTIVE is stepped; a negative delay fires at once";
  EXPECT_EQ(T.SPAWNDELAY, 3) << "the wave's last shot loads MAXSPAWNDELAY";
}

TEST_F(TurretTest, RefreshTouchesOnlyFreeSlotsWhoseRunDiffers) {
  T.SPAWNDELAY = 5, T.SHOOT(T, 0);
  EXPECT_EQ(T.P_BULLETS[0].MAXFRAME, 4) << "MINFRAME 0 equals CURRENT_MIN_FRAME: the slot keeps MAXFRAME 4";
  T.CURRENT_MIN_FRAME = 12, T.CURRENT_NUM_FRAME = 2, T.BULLET_ENERGY = 3, T.BULLET_DEATH_ID = 7;
  T.P_BULLETS[1] = {.X = 50.0f, .Y = 50.0f, .ACTIVE = -1, .MAXFRAME = 4}, T.SHOOT(T, -1);
  const BULLET_TYPE& F = T.P_BULLETS[0];
  EXPECT_EQ(F.MINFRAME, 0) << "no refresh in a frame where a set was applied";
  T.SHOOT(T, 0);
  EXPECT_TRUE(F.MINFRAME == 12 && F.MAXFRAME == 2 && F.ENERGY == 3 && F.DEATH_ID == 7) << "free slot refreshed";
  EXPECT_EQ(T.P_BULLETS[1].MINFRAME, 0) << "live bullets keep their look";
  T.BULLET_ENERGY = 99, T.SHOOT(T, 0);
  EXPECT_EQ(F.ENERGY, 3) << "a slot already on the turret's run is not touched";
}

// ---- Aiming -------------------------------------------------------------------------------

TEST_F(TurretTest, AimPointsAtTheTargetInWholeDegrees) {
  AT(100.0f, 100.0f), T.TARGETING = -1;
  const struct { float TX, TY; int32_t EDIT, PLAY; const char* WHAT; } CASES[] = {
      {100, 150, 90, 90, "straight below"},     {100, 50, 270, -90, "straight above"},
      {50, 100, 180, 180, "straight left"},     {150, 100, 0, 0, "straight right"},
      {100, 100, 0, 0, "on the turret"},        {0, 0, 225, -135, "up and left"},
      {200, 101, 1, 1, "just below the right"}, {200, 99, 359, -1, "just above the right"},
  };
  for (const auto& C : CASES) {
    T.TARGETX = C.TX, T.TARGETY = C.TY, T.SPAWNDELAY = T.BULLETCOUNTER = 0, T.SHOOT(T, 0);
    EXPECT_EQ(T.ROTATION, PLAYER_BUILD ? C.PLAY : C.EDIT) << C.WHAT;
  }
}

TEST_F(TurretTest, AnchorPointsAreCopiedEveryStep) {
  COORD_TYPE POS{60.0f, 70.0f}, TGT{60.0f, 170.0f};
  T.SET_POSITION(T, &POS), T.SET_TARGET(T, &TGT);
  T.TARGETING = -1, T.XV = 1.0f, STEP(T);
  EXPECT_TRUE(T.TARGETX == 60.0f && T.TARGETY == 170.0f && T.ROTATION == 90) << "aimed at the point straight below";
  EXPECT_EQ(T.X, 61.0f) << "copied from the position, then moved by XV";
  POS = {10.0f, 20.0f}, STEP(T);
  EXPECT_TRUE(T.X == 11.0f && T.Y == 20.0f) << "the position is read again on every step";
}

TEST_F(TurretTest, UsesTheShortPiConstants) {
  // At 90 degrees the short pi leaves a cosine of about -1.7e-7 where the precise pi leaves
  // -4.4e-8: visible at a radius of 1000.
  AT(100.0f, 100.0f, 1000.0f), T.ROTATION = 90, SHOOTER_AI(T);
  const auto X_AT = [](double RAD) { return float(std::cos(double{float(90 * RAD)}) * 1000.0 + 100.0); };
  ASSERT_NE(X_AT(0.01745329444444444), X_AT(3.141592653589793 / 180)) << "the case must tell the constants apart";
  EXPECT_EQ(T.P_BULLETS[0].X, X_AT(0.01745329444444444)) << "degrees become radians with 0.01745329444444444";
}

// ---- Shot shapes --------------------------------------------------------------------------

TEST_F(TurretTest, SingleBulletSitsOnTheCircleAndFliesAlongTheAim) {
  AT(100.0f, 50.0f, 10.0f);
  SHAPE(3, 1, 40, 0);  // the mode and the spread are ignored for a single bullet
  T.BULLETSPEED = static_cast<SPEED_TYPE>(2), SHOOTER_AI(T);
  const BULLET_TYPE& B = T.P_BULLETS[0];
  EXPECT_TRUE(B.ACTIVE == -1 && B.X == 110.0f && B.Y == 50.0f) << "placed at RADIUS along ROTATION 0";
  EXPECT_TRUE(B.XV == 2.0f && B.YV == 0.0f) << "flying at BULLETSPEED along the aim";
  EXPECT_EQ(B.ROTATION, SLOT_ROT(0, 0));
}

TEST_F(TurretTest, EveryWaveModePlacesItsAnglesAndSpeeds) {
  const struct { int32_t MODE, N, SPREAD, ROTATION; float DELTA; std::vector<int32_t> ANGLES;
                 std::vector<float> SPEEDS; const char* WHAT; int32_t COUNTER = 0; } CASES[] = {
      {0, 3, 10, 90, 0, {85, 95, 105}, {1, 1, 1}, "default fan, odd count: shifted half a step"},
      {0, 2, 10, 0, 0, {-5, 5}, {1, 1}, "only mode 4 scales the spread on odd shots", 1},
      {4, 2, 10, 0, 0, {-10, 10}, {1, 1}, "mode 4, odd shot: the spread is scaled by BULLETOFFSET", 1},
      {4, 2, 10, 0, 0, {-5, 5}, {1, 1}, "mode 4, even shot: the plain spread", 2},
      {0, 4, 10, 90, 0, {75, 85, 95, 105}, {1, 1, 1, 1}, "default fan, even count: symmetric"},
      {9, 2, 10, 0, 0, {-5, 5}, {1, 1}, "an unknown mode takes the default fan"},
      {-1, 2, 10, 0, 0, {-5, 5}, {1, 1}, "so does a negative one"},
      {2, 3, 10, 0, 3, {10, 20, 30}, {2, 3, 4}, "mode 2 sweeps to one side, speeds rising evenly"},
      {3, 5, 0, 0, 2, {0, 0, 0, 0, 0}, {3, 2, 1, 2, 3}, "mode 3: speed grows with distance from bullet N / 2"},
      {3, 4, 0, 0, 2, {0, 0, 0, 0}, {3, 2, 1, 2}, "mode 3, N = 4: the profile centres on bullet 2"},
      {5, 3, 30, 0, 1, {-15, 15, 45}, {2, 1, 2}, "mode 5: a wall starting on the fan, moving along the aim"},
  };
  AT(100.0f, 100.0f, 100.0f);
  T.BULLETSPEED = static_cast<SPEED_TYPE>(1), T.BULLETOFFSET = 2.0f;
  for (const auto& C : CASES) {
    FREE_ALL(), SHAPE(C.MODE, C.N, C.SPREAD, C.ROTATION);
    T.BULLETSPEED_DELTA = C.DELTA, T.BULLETCOUNTER = C.COUNTER;
    SHOOTER_AI(T);
    ASSERT_EQ(LIVE(T.P_BULLETS), C.N) << C.WHAT;
    for (int J = 0; J < C.N; ++J) {
      const BULLET_TYPE& B = T.P_BULLETS[J];
      const int32_t A = C.ANGLES[J];
      const double FLIGHT = (C.MODE == 5 ? C.ROTATION : A) * 3.141592653589793 / 180;
      const bool FAN = C.MODE != 2 && C.MODE != 3 && C.MODE != 5;
      SCOPED_TRACE(testing::Message() << C.WHAT << ", bullet " << J);
      EXPECT_NEAR(PLACED_ANGLE(T, B), A, 1e-3) << "placed at the fan angle";
      EXPECT_NEAR(B.XV, C.SPEEDS[J] * std::cos(FLIGHT), 1e-5) << "velocity along its flight at its speed";
      EXPECT_NEAR(B.YV, C.SPEEDS[J] * std::sin(FLIGHT), 1e-5) << "velocity along its flight at its speed";
      EXPECT_EQ(B.ROTATION, SLOT_ROT(FAN ? (A + 360) % 360 : A % 360, A)) << "the default fan adds 360 first";
    }
  }
}

TEST_F(TurretTest, FanStartRoundsHalvesToEven) {
  AT(100.0f, 100.0f, 100.0f);
  for (auto [ROTATION, FIRST] : {std::pair{90, 85}, {91, 87}}) {
    FREE_ALL(), SHAPE(0, 4, 3, ROTATION), SHOOTER_AI(T);
    EXPECT_NEAR(PLACED_ANGLE(T, T.P_BULLETS[0]), FIRST, 1e-3) << "round(82.5) is 82, round(83.5) is 84: 3 steps on";
  }
}

TEST_F(TurretTest, WaveSpeedsRiseByTheDeltaPerShot) {
  SHAPE(0, 2, 0, 0);  // the default fan uses the wave speed too
  T.ROTSPEED = 0, T.BULLETSPEED = static_cast<SPEED_TYPE>(2), T.BULLETSPEED_DELTA = 0.5f;
  T.BULLETWAVEMAX = 2, T.BULLETWAVEMAXDELAY = 0;
  for (int I = 0; I < 3; ++I) STEP(T);
  const float SPEEDS[] = {2.0f, 2.0f, 2.5f, 2.5f, 3.0f, 3.0f};
  for (int J = 0; J < 6; ++J)
    EXPECT_FLOAT_EQ(T.P_BULLETS[J].XV, SPEEDS[J]) << "shot " << J / 2 << " of the wave: BULLETSPEED + k * delta";
}

TEST_F(TurretTest, DefaultFanSlotRotationsAndDirectionFrames) {
  KIND(T) = 1, SHAPE(0, 2, 10, 0), SHOOTER_AI(T);
  const BULLET_TYPE* B = T.P_BULLETS;
  if constexpr (PLAYER_BUILD) {
    EXPECT_TRUE(B[0].ROTATION == 265 && B[1].ROTATION == 275) << "(-5 mod 360) + 270, without adding 360 first";
    EXPECT_EQ(B[0].MINFRAME, 0) << "the player never applies direction frames";
  } else {
    EXPECT_TRUE(B[0].ROTATION == 355 && B[1].ROTATION == 5) << "the default fan adds 360 before the remainder";
    EXPECT_TRUE(B[0].MINFRAME == 23 && B[1].MINFRAME == 0) << "floor(355 / 360 * 24), floor(5 / 360 * 24)";
  }
}

TEST_F(TurretTest, SingleBulletDirectionIndexCanReachTwentyFour) {
  if constexpr (PLAYER_BUILD) GTEST_SKIP() << "the player build has no direction frames";
  KIND(T) = 1;
  T.P_BULLETS[0].MINFRAME = 100, T.ROTATION = 355, SHOOTER_AI(T);
  EXPECT_EQ(T.P_BULLETS[0].MINFRAME, 124) << "floor(23.667 + 0.5) = 24 is added to MINFRAME";
  T.ROTATION = 352, SHOOTER_AI(T);
  EXPECT_EQ(T.P_BULLETS[1].MINFRAME, 23) << "floor(23.467 + 0.5)";
  KIND(T) = -1, SHOOTER_AI(T);
  EXPECT_EQ(T.P_BULLETS[2].MINFRAME, 0) << "only the kind 1 picks direction frames";
  KIND(T) = 1, SHAPE(3, 2, 20, 0), SHOOTER_AI(T);
  EXPECT_EQ(T.P_BULLETS[3].ROTATION, -10) << "mode 3 keeps the sign of the angle";
  EXPECT_TRUE(T.P_BULLETS[3].MINFRAME == -1 && T.P_BULLETS[4].MINFRAME == 1) << "floor(-0.667 + 0.5): -1, unbounded";
}

TEST_F(TurretTest, ShotFillsLowestFreeSlotsAndDropsTheRest) {
  for (int I = 0; I < DEFAULT_MAXBULLET; ++I) T.P_BULLETS[I].ACTIVE = (I == 0 || I == 2 || I == 5 || I == 6) ? 0 : -1;
  SHAPE(0, 3, 10, 90), SHOOTER_AI(T);
  const BULLET_TYPE* B = T.P_BULLETS;
  EXPECT_EQ(B[6].ACTIVE, 0) << "the highest free slot is left";
  EXPECT_TRUE(B[0].ROTATION < B[2].ROTATION && B[2].ROTATION < B[5].ROTATION) << "lowest free slots, in fan order";
}

TEST_F(TurretTest, EmptyFansAndZeroDirection) {
  for (int32_t N : {0, -3})
    for (int32_t MODE : {0, 2, 3, 5}) {
      SHAPE(MODE, N, 3, 0), SHOOTER_AI(T);
      EXPECT_EQ(LIVE(T.P_BULLETS), 0) << "N = " << N << " places nothing in mode " << MODE;
    }
  SHAPE(0, 4, 3, 40), T.ROTDIR = 0, SHOOTER_AI(T);
  for (int J = 0; J < 4; ++J) EXPECT_EQ(T.P_BULLETS[J].ROTATION, SLOT_ROT(40, 40)) << "ROTDIR 0 stacks the fan";
}

TEST_F(TurretTest, NewBulletKeepsTheAnimationOfItsSlot) {
  BULLET_TYPE& B = T.P_BULLETS[0];
  B = {.COUNTER = 7, .FRAME = 2, .MAXFRAME = 4, .ANIM = 3};
  AT(100.0f, 100.0f), STEP(T);
  EXPECT_TRUE(B.COUNTER == 8 && B.ANIM == 4) << "COUNTER and ANIM are never reset: they count across lives";
  EXPECT_EQ(B.FRAME, PLAYER_BUILD ? 2 : 3) << "the animation continues from the previous life";
}

// ---- Bullet motion ------------------------------------------------------------------------

TEST_F(TurretTest, BulletsAnimateAtTheBuildsPace) {
  BULLET_TYPE& B = T.P_BULLETS[0];
  B = {.X = 100.0f, .Y = 100.0f, .ACTIVE = -1, .MAXFRAME = 3};
  std::vector<int32_t> FRAMES;
  for (int S = 0; S < 16; ++S) MOVE_BULLETS(T), FRAMES.push_back(B.FRAME);
  EXPECT_EQ(FRAMES, PLAYER_BUILD ? (std::vector<int32_t>{0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 2})
                                 : (std::vector<int32_t>{0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 0, 0, 0, 0, 1}))
      << "the player advances a frame every 8 steps, the designer every 4, modulo MAXFRAME";
}

TEST_F(TurretTest, FieldBoundsAreIncludedAndBulletsMoveBeforeExpiring) {
  const struct { float X, Y, XV; bool LIVE; const char* WHAT; } CASES[] = {
      {340, 100, 0, true, "x = 340 stays"},     {340.5f, 100, 0, false, "x = 340.5 leaves"},
      {100, -70, 0, true, "y = -70 stays"},     {100, 270, 0, true, "y = 270 stays"},
      {-20, 100, 0, true, "x = -20 stays"},     {100, 270.5f, 0, false, "y = 270.5 leaves"},
      {-19, 100, -2, false, "moved past -20 first"}, {341, 100, -2, true, "moved back in first"},
  };
  for (int I = 0; I < 8; ++I) T.P_BULLETS[I] = {.X = CASES[I].X, .Y = CASES[I].Y, .XV = CASES[I].XV, .ACTIVE = -1};
  MOVE_BULLETS(T);
  for (int I = 0; I < 8; ++I) EXPECT_EQ(T.P_BULLETS[I].ACTIVE != 0, CASES[I].LIVE) << CASES[I].WHAT;
}

TEST_F(TurretTest, NotANumberFreesTheSlot) {
  T.P_BULLETS[0] = {.X = NaN, .Y = 10.0f, .ACTIVE = -1};
  T.P_BULLETS[1] = {.X = 10.0f, .Y = 10.0f, .YV = NaN, .ACTIVE = -1};
  MOVE_BULLETS(T);
  EXPECT_TRUE(T.P_BULLETS[0].ACTIVE == 0 && T.P_BULLETS[1].ACTIVE == 0)
      << "a position that is not a number frees the slot, and so does a velocity that makes it one";
}

TEST_F(TurretTest, NonPositiveMaxFrameResetsFrame) {
  for (int32_t MAXFRAME : {0, -3}) {
    T.P_BULLETS[0] = {.X = 100.0f, .Y = 100.0f, .ACTIVE = -1, .FRAME = 2, .MAXFRAME = MAXFRAME, .ANIM = 7};
    MOVE_BULLETS(T);
    EXPECT_EQ(T.P_BULLETS[0].FRAME, 0) << "MAXFRAME " << MAXFRAME << " has no frame but the first";
  }
}

// ---- Guards -------------------------------------------------------------------------------

TEST_F(TurretTest, MaxBulletBeyondTheArrayNeverIndexesOutside) {
  TURRET_PARAM_TYPE S = MAKE_SET(0);
  S.X = S.Y = 100.0f, S.MAXBULLET = 100000, S.BULLETS_PER_SHOT = 300, S.SPREAD_ROTATION = 1, S.BULLET_MIN_FRAME = 2;
  ADD(T, S);
  STEP(T);  // refresh in LIST_MANAGE, shot, motion
  STEP(T);  // refresh in SHOOT
  EXPECT_EQ(LIVE(T.P_BULLETS), DEFAULT_MAXBULLET) << "every allocated slot filled, the rest dropped";
  BARRAGE_TYPE POOL{.INIT = INIT};
  POOL.INIT(POOL), POOL.COPY_BULLETS(POOL, T);
  EXPECT_EQ(LIVE(POOL.P_BULLETS, 512), DEFAULT_MAXBULLET) << "the copy stops at the allocated slots";
  POOL.DESTROY(POOL);
}

TEST_F(TurretTest, NegativeMaxBulletCoversNoSlot) {
  T.MAXBULLET = -5, T.P_BULLETS[0] = {.XV = 1.0f, .ACTIVE = -1};
  STEP(T);
  EXPECT_EQ(T.P_BULLETS[0].X, 0.0f) << "no slot is moved";
  EXPECT_EQ(LIVE(T.P_BULLETS), 1) << "no bullet is fired";
}

TEST_F(TurretTest, AbsurdSpreadAndOffsetStayDefined) {
  SHAPE(4, 6, INT_MAX, 0);
  T.BULLETCOUNTER = 1, T.BULLETOFFSET = std::numeric_limits<float>::infinity();
  SHOOTER_AI(T);  // the spread and the start angle convert to INT32_MIN; every step wraps
  EXPECT_EQ(LIVE(T.P_BULLETS), 6);
  EXPECT_EQ(T.P_BULLETS[0].ROTATION, SLOT_ROT(0, 0)) << "INT32_MIN * 2 wraps to 0";
  EXPECT_EQ(T.P_BULLETS[1].ROTATION, SLOT_ROT(-128, INT32_MIN))
      << "out-of-range conversions give INT32_MIN, as the x86 conversion does";
  SHAPE(2, 6, INT_MAX, INT_MAX), SHOOTER_AI(T);
  EXPECT_EQ(LIVE(T.P_BULLETS), 12) << "sweep angles wrap around instead of overflowing";
}

// ---- Shared pool --------------------------------------------------------------------------

class PoolTest : public TurretTest {
 protected:
  BARRAGE_TYPE POOL{.INIT = INIT};
  void SetUp() override { TurretTest::SetUp(), POOL.INIT(POOL); }
  void TearDown() override { if (POOL.DESTROY != nullptr) POOL.DESTROY(POOL); TurretTest::TearDown(); }
};

TEST_F(PoolTest, CopyFillsTheLowestFreePoolSlotsInTurretOrder) {
  EXPECT_EQ(POOL.MAXBULLET, 512);
  for (int I = 0; I < 512; ++I) ASSERT_TRUE(POOL.P_BULLETS[I].ACTIVE == 0 && POOL.P_BULLETS[I].MAXFRAME == 4) << I;
  for (int I : {3, 7}) T.P_BULLETS[I] = {.X = float(I), .ACTIVE = -1, .MINFRAME = 40 + I, .MAXFRAME = 4};
  POOL.COPY_BULLETS(POOL, T);
  EXPECT_EQ(LIVE(POOL.P_BULLETS, 512), 2);
  EXPECT_EQ(POOL.P_BULLETS[0].X, 3.0f) << "turret slot 3 goes to pool slot 0";
  EXPECT_EQ(POOL.P_BULLETS[1].MINFRAME, 47) << "all fields are copied";
  EXPECT_EQ(T.P_BULLETS[3].ACTIVE, -1) << "the turret's bullets stay live";
  POOL.COPY_BULLETS(POOL, T);
  EXPECT_TRUE(LIVE(POOL.P_BULLETS, 512) == 4 && POOL.P_BULLETS[2].X == 3.0f) << "a second copy copies them again";
  for (int I = 0; I < 512; ++I) POOL.P_BULLETS[I].ACTIVE = I == 300 ? 0 : -1;
  POOL.COPY_BULLETS(POOL, T);
  EXPECT_EQ(POOL.P_BULLETS[300].X, 3.0f) << "the only free slot takes the first bullet, the rest is dropped";
}

TEST_F(PoolTest, PoolAnimatesEveryEighthStepAndRetires) {
  BULLET_TYPE& B = POOL.P_BULLETS[0];
  B = {.X = 100.0f, .Y = 100.0f, .ACTIVE = -1, .FRAME = 2, .MAXFRAME = 4, .ANIM = 7};
  POOL.SHOOT(POOL);
  EXPECT_EQ(B.FRAME, 3) << "ANIM 8 advances the frame";
  for (int I = 0; I < 8; ++I) POOL.SHOOT(POOL);
  EXPECT_TRUE(B.FRAME == 0 && B.COUNTER == 9) << "eight steps later it wraps to 0";
  B.YV = -200.0f, POOL.P_BULLETS[1] = {.X = NaN, .ACTIVE = -1};
  POOL.SHOOT(POOL);
  EXPECT_TRUE(B.ACTIVE == 0 && POOL.P_BULLETS[1].ACTIVE == 0) << "pool bullets leave the same field; NaN frees too";
}

TEST_F(PoolTest, DestroyForgetsTheArray) {
  POOL.DESTROY(POOL);
  EXPECT_TRUE(POOL.P_BULLETS == nullptr && POOL.MAXBULLET == 0) << "the released array is forgotten";
  EXPECT_TRUE(POOL.INIT == nullptr && POOL.SHOOT == nullptr && POOL.COPY_BULLETS == nullptr) << "slots cleared";
  BARRAGE_SHOOT(POOL), BARRAGE_COPY_BULLETS(POOL, T);  // touch nothing
  ReportCapture CAP;
  DESTROY(POOL);
  EXPECT_EQ(CAP.ERR_TEXT().rfind("(LEAKSCOPE) Invalid deallocate(barrage.p_bullets) [&H0] at turret_module:", 0), 0u)
      << "a second pool DESTROY hands a null block to the tracker, which reports it";
}
