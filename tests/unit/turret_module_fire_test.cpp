// Engine tests: rotation rules, the shot clock, aiming, shot shapes, bullet motion, guards and
// the shared pool, for the build this file is compiled against (designer or player).
#include <climits>
#include <limits>

#include "tests/unit/turret_module_test_util.hpp"

using namespace volley_test;

namespace {

constexpr float NaN = std::numeric_limits<float>::quiet_NaN();

struct TURN { int32_t AI, MIN, MAX, DIR, SPEED, FROM, TO, DIR_AFTER; };

// One turn of the rule that CHANGE_ROTATION_AI(AI) binds, per case.
void CHECK_TURNS(TURRET_TYPE& T, std::initializer_list<TURN> CASES) {
  for (const TURN& C : CASES) {
    CHANGE_ROTATION_AI(T, C.AI);
    T.MINROTATION = C.MIN;
    T.MAXROTATION = C.MAX;
    T.ROTDIR = C.DIR;
    T.ROTSPEED = C.SPEED;
    T.ROTATION = C.FROM;
    T.ROTATE(T);
    EXPECT_EQ(T.ROTATION, C.TO) << "rule " << C.AI << " from " << C.FROM << " by " << C.SPEED
                                << " within " << C.MIN << ".." << C.MAX;
    EXPECT_EQ(T.ROTDIR, C.DIR_AFTER) << "direction after turning from " << C.FROM;
  }
}

// Steps the turret; returns the steps (1-based) on which a shot left, and the aim of each shot.
std::vector<int> SHOTS(TURRET_TYPE& T, int STEPS, std::vector<int32_t>& AIMS) {
  std::vector<int> V;
  for (int S = 1, BEFORE = LIVE(T.P_BULLETS); S <= STEPS; ++S) {
    STEP(T);
    if (LIVE(T.P_BULLETS) > BEFORE) {
      V.push_back(S);
      AIMS.push_back(T.ROTATION);
    }
    BEFORE = LIVE(T.P_BULLETS);
  }
  return V;
}

}  // namespace

TEST_F(TurretTest, RotationRulesWrapOrBounce) {
  CHECK_TURNS(T, {
      {0, 0, 360, 1, 3, 358, 1, 1},       // passes 360 and wraps to 1
      {0, 0, 360, 1, 3, 357, 360, 1},     // only values above MAXROTATION wrap
      {0, 0, 360, -1, 3, 1, 358, -1},     // below MINROTATION gains MAXROTATION
      {0, 90, 270, 1, 0, 600, 330, 1},    // each test is applied once
      {1, 90, 270, 1, 3, 268, 271, -1},   // bounce: not clamped, passes the limit and turns
      {1, 90, 270, -1, 3, 93, 90, -1},    // a value equal to a limit does not flip
      {2, 0, 360, 1, 3, 358, 1, 1},       // any value but 1 binds the wrapping rule
  });
}

TEST_F(TurretTest, RotationArithmeticWrapsInsteadOfOverflowing) {
  CHECK_TURNS(T, {{0, INT_MIN, INT_MAX, 1, 2, INT_MAX, INT_MIN + 1, 1},
                  {1, 10, 360, INT_MIN, -1, 0, INT_MIN, INT_MIN}});
}

TEST_F(TurretTest, ShotClockFollowsTheWaveAndSpawnDelays) {
  T.ROTATE = [](TURRET_TYPE& X) { X.ROTATION += 10; };  // SHOOT turns through the slot
  T.BULLETWAVEMAX = 2;
  T.BULLETWAVEMAXDELAY = 1;
  T.MAXSPAWNDELAY = 10;
  std::vector<int32_t> AIMS;
  EXPECT_EQ(SHOTS(T, 31, AIMS), (std::vector<int>{1, 3, 5, 16, 18, 20, 31}))
      << "shots within a wave are BULLETWAVEMAXDELAY + 1 apart, waves MAXSPAWNDELAY + 1";
  EXPECT_EQ(AIMS, (std::vector<int32_t>{10, 10, 10, 20, 20, 20, 30}))
      << "one turn per wave, before its first shot";
}

TEST_F(TurretTest, OnlyActiveZeroFreezesTheTurret) {
  BULLET_TYPE& B = T.P_BULLETS[5];
  B = {.X = 339.0f, .Y = 10.0f, .XV = 5.0f, .ACTIVE = -1, .MAXFRAME = 4};
  T.ACTIVE = 0;
  T.SPAWNDELAY = 3;
  for (int I = 0; I < 10; ++I) STEP(T);
  EXPECT_EQ(B.X, 339.0f) << "its bullets neither move nor expire";
  EXPECT_EQ(T.SPAWNDELAY, 3) << "the shot clock stands still";
  T.ACTIVE = 1;
  T.SPAWNDELAY = -40;
  T.SHOOT(T, 0);
  EXPECT_EQ(LIVE(T.P_BULLETS), 1) << "any non-zero ACTIVE is stepped; a negative delay fires";
}

TEST_F(TurretTest, RefreshTouchesOnlyFreeSlotsWhoseRunDiffers) {
  T.SPAWNDELAY = 5;
  T.CURRENT_MIN_FRAME = 12;
  T.BULLET_ENERGY = 3;
  T.P_BULLETS[1] = {.X = 50.0f, .Y = 50.0f, .ACTIVE = -1, .MAXFRAME = 4};
  T.SHOOT(T, -1);
  EXPECT_EQ(T.P_BULLETS[0].MINFRAME, 0) << "no refresh in a frame where a set was applied";
  T.SHOOT(T, 0);
  EXPECT_EQ(T.P_BULLETS[0].MINFRAME, 12) << "free slot refreshed";
  EXPECT_EQ(T.P_BULLETS[1].MINFRAME, 0) << "live bullets keep their look";
  T.BULLET_ENERGY = 99;
  T.SHOOT(T, 0);
  EXPECT_EQ(T.P_BULLETS[0].ENERGY, 3) << "a slot already on the turret's run is not touched";
}

TEST_F(TurretTest, AimPointsAtTheTargetInWholeDegrees) {
  AT(100.0f, 100.0f, 0.0f);
  T.TARGETING = -1;
  const struct { float TX, TY; int32_t EDIT, PLAY; } CASES[] = {
      {100, 50, 270, -90}, {100, 100, 0, 0}, {0, 0, 225, -135}, {200, 99, 359, -1}};
  for (const auto& C : CASES) {
    T.TARGETX = C.TX;
    T.TARGETY = C.TY;
    T.SPAWNDELAY = 0;
    T.BULLETCOUNTER = 0;
    T.SHOOT(T, 0);
    EXPECT_EQ(T.ROTATION, PLAYER_BUILD ? C.PLAY : C.EDIT)
        << "aim at (" << C.TX << ", " << C.TY << ")";
  }
}

TEST_F(TurretTest, AnchorPointsAreCopiedEveryStep) {
  COORD_TYPE POS{60.0f, 70.0f}, TGT{60.0f, 170.0f};
  T.SET_POSITION(T, &POS);
  T.SET_TARGET(T, &TGT);
  T.TARGETING = -1;
  T.XV = 1.0f;
  STEP(T);
  EXPECT_EQ(T.ROTATION, 90) << "aimed at the point straight below";
  EXPECT_EQ(T.X, 61.0f) << "copied from the position, then moved by XV";
  POS = {10.0f, 20.0f};
  STEP(T);
  EXPECT_EQ(T.X, 11.0f) << "the position is read again on every step";
}

TEST_F(TurretTest, UsesTheShortPiConstants) {
  // At 90 degrees the short pi leaves a cosine of about -1.7e-7 where the precise pi leaves
  // -4.4e-8: visible at a radius of 1000.
  AT(100.0f, 100.0f, 1000.0f);
  T.ROTATION = 90;
  SHOOTER_AI(T);
  const auto X_AT = [](double RAD) {
    return float(std::cos(double{float(90 * RAD)}) * 1000.0 + 100.0);
  };
  ASSERT_NE(X_AT(0.01745329444444444), X_AT(3.141592653589793 / 180))
      << "the case tells them apart";
  EXPECT_EQ(T.P_BULLETS[0].X, X_AT(0.01745329444444444))
      << "degrees become radians with 0.01745329444444444";
}

TEST_F(TurretTest, SingleBulletSitsOnTheCircleAndFliesAlongTheAim) {
  AT(100.0f, 50.0f, 10.0f);
  SHAPE(3, 1, 40, 0);  // the mode and the spread are ignored for a single bullet
  T.BULLETSPEED = static_cast<SPEED_TYPE>(2);
  SHOOTER_AI(T);
  const BULLET_TYPE& B = T.P_BULLETS[0];
  EXPECT_EQ(std::vector<float>({B.X, B.Y, B.XV, B.YV}), std::vector<float>({110, 50, 2, 0}))
      << "placed at RADIUS along ROTATION 0, flying at BULLETSPEED along the aim";
}

TEST_F(TurretTest, EveryWaveModePlacesItsAnglesAndSpeeds) {
  const struct { int32_t MODE, N, SPREAD, ROTATION; float DELTA; std::vector<int32_t> ANGLES;
                 std::vector<float> SPEEDS; int32_t COUNTER; } CASES[] = {
      {0, 3, 10, 90, 0, {85, 95, 105}, {1, 1, 1}, 0},       // odd count: half a step on
      {0, 4, 10, 90, 0, {75, 85, 95, 105}, {1, 1, 1, 1}, 0},
      {0, 2, 10, 0, 0, {-5, 5}, {1, 1}, 1},                  // only mode 4 scales odd shots
      {4, 2, 10, 0, 0, {-10, 10}, {1, 1}, 1},                // by BULLETOFFSET
      {4, 2, 10, 0, 0, {-5, 5}, {1, 1}, 2},
      {9, 2, 10, 0, 0, {-5, 5}, {1, 1}, 0},                  // unknown modes: the default fan
      {2, 3, 10, 0, 3, {10, 20, 30}, {2, 3, 4}, 0},          // a sweep to one side
      {3, 5, 0, 0, 2, {0, 0, 0, 0, 0}, {3, 2, 1, 2, 3}, 0},  // speed grows away from N / 2
      {3, 4, 0, 0, 2, {0, 0, 0, 0}, {3, 2, 1, 2}, 0},
      {5, 3, 30, 0, 1, {-15, 15, 45}, {2, 1, 2}, 0},         // a wall moving along the aim
  };
  T.BULLETSPEED = static_cast<SPEED_TYPE>(1);
  T.BULLETOFFSET = 2.0f;
  for (const auto& C : CASES) {
    AT(100.0f, 100.0f, 100.0f);
    SHAPE(C.MODE, C.N, C.SPREAD, C.ROTATION);
    T.BULLETSPEED_DELTA = C.DELTA;
    T.BULLETCOUNTER = C.COUNTER;
    SHOOTER_AI(T);
    ASSERT_EQ(LIVE(T.P_BULLETS), C.N) << "mode " << C.MODE;
    for (int J = 0; J < C.N; ++J) {
      const BULLET_TYPE& B = T.P_BULLETS[J];
      const double FLIGHT = (C.MODE == 5 ? C.ROTATION : C.ANGLES[J]) * 3.141592653589793 / 180;
      SCOPED_TRACE(testing::Message() << "mode " << C.MODE << ", N " << C.N << ", bullet " << J);
      EXPECT_NEAR(PLACED_ANGLE(T, B), C.ANGLES[J], 1e-3) << "placed at the fan angle";
      EXPECT_NEAR(B.XV, C.SPEEDS[J] * std::cos(FLIGHT), 1e-5) << "velocity along its flight";
      EXPECT_NEAR(B.YV, C.SPEEDS[J] * std::sin(FLIGHT), 1e-5) << "velocity along its flight";
    }
  }
}

TEST_F(TurretTest, FanStartRoundsHalvesToEven) {
  for (auto [ROTATION, FIRST] : {std::pair{90, 85}, {91, 87}}) {
    AT(100.0f, 100.0f, 100.0f);
    SHAPE(0, 4, 3, ROTATION);
    SHOOTER_AI(T);
    EXPECT_NEAR(PLACED_ANGLE(T, T.P_BULLETS[0]), FIRST, 1e-3)
        << "round(82.5) is 82, round(83.5) is 84: 3 steps on";
  }
}

TEST_F(TurretTest, WaveSpeedsRiseByTheDeltaPerShot) {
  SHAPE(0, 2, 0, 0);
  T.ROTSPEED = 0;
  T.BULLETSPEED = static_cast<SPEED_TYPE>(2);
  T.BULLETSPEED_DELTA = 0.5f;
  T.BULLETWAVEMAX = 2;
  T.BULLETWAVEMAXDELAY = 0;
  for (int I = 0; I < 3; ++I) STEP(T);
  std::vector<float> SPEEDS;
  for (int J = 0; J < 6; ++J) SPEEDS.push_back(T.P_BULLETS[J].XV);
  EXPECT_EQ(SPEEDS, std::vector<float>({2, 2, 2.5f, 2.5f, 3, 3}))
      << "shot k of the wave flies at BULLETSPEED + k * delta";
}

TEST_F(TurretTest, DefaultFanSlotRotationsAndDirectionFrames) {
  KIND(T) = 1;
  SHAPE(0, 2, 10, 0);
  SHOOTER_AI(T);
  const BULLET_TYPE* B = T.P_BULLETS;
  EXPECT_EQ(std::vector<int32_t>({B[0].ROTATION, B[1].ROTATION}),
            PLAYER_BUILD ? std::vector<int32_t>({265, 275}) : std::vector<int32_t>({355, 5}))
      << "the player: (-5 mod 360) + 270; the designer adds 360 before the remainder";
  EXPECT_EQ(B[0].MINFRAME, PLAYER_BUILD ? 0 : 23)
      << "floor(355 / 360 * 24); the player never applies direction frames";
}

TEST_F(TurretTest, SingleBulletDirectionIndexCanReachTwentyFour) {
  if constexpr (PLAYER_BUILD) GTEST_SKIP() << "the player build has no direction frames";
  KIND(T) = 1;
  T.P_BULLETS[0].MINFRAME = 100;
  T.ROTATION = 355;
  SHOOTER_AI(T);
  EXPECT_EQ(T.P_BULLETS[0].MINFRAME, 124) << "floor(23.667 + 0.5) = 24 is added to MINFRAME";
  SHAPE(3, 2, 20, 0);
  SHOOTER_AI(T);
  EXPECT_EQ(T.P_BULLETS[1].ROTATION, -10) << "mode 3 keeps the sign of the angle";
  EXPECT_EQ(T.P_BULLETS[1].MINFRAME, -1) << "floor(-0.667 + 0.5): -1, unbounded";
}

TEST_F(TurretTest, ShotFillsLowestFreeSlotsAndEmptyFansPlaceNothing) {
  for (int I = 0; I < DEFAULT_MAXBULLET; ++I) T.P_BULLETS[I].ACTIVE = I == 2 || I == 5 ? 0 : -1;
  SHAPE(0, 3, 10, 90);
  SHOOTER_AI(T);
  EXPECT_EQ(LIVE(T.P_BULLETS), DEFAULT_MAXBULLET) << "both free slots filled, the third dropped";
  EXPECT_LT(T.P_BULLETS[2].ROTATION, T.P_BULLETS[5].ROTATION) << "lowest free slots, fan order";
  for (int32_t MODE : {0, 2, 3, 5}) {
    FREE_ALL();
    SHAPE(MODE, -3, 3, 0);
    SHOOTER_AI(T);
    EXPECT_EQ(LIVE(T.P_BULLETS), 0) << "N = -3 places nothing in mode " << MODE;
  }
}

TEST_F(TurretTest, NewBulletKeepsTheAnimationOfItsSlot) {
  BULLET_TYPE& B = T.P_BULLETS[0];
  B = {.COUNTER = 7, .FRAME = 2, .MAXFRAME = 4, .ANIM = 3};
  AT(100.0f, 100.0f, 0.0f);
  STEP(T);
  EXPECT_EQ(B.ANIM, 4) << "ANIM is never reset: it counts across lives";
  EXPECT_EQ(B.FRAME, PLAYER_BUILD ? 2 : 3) << "the animation continues from the previous life";
}

TEST_F(TurretTest, BulletsAnimateAtTheBuildsPace) {
  BULLET_TYPE& B = T.P_BULLETS[0];
  B = {.X = 100.0f, .Y = 100.0f, .ACTIVE = -1, .MAXFRAME = 3};
  std::vector<int32_t> FRAMES;
  for (int S = 0; S < 16; ++S) {
    MOVE_BULLETS(T);
    FRAMES.push_back(B.FRAME);
  }
  EXPECT_EQ(FRAMES, PLAYER_BUILD
                        ? (std::vector<int32_t>{0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 2})
                        : (std::vector<int32_t>{0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 0, 0, 0, 0, 1}))
      << "the player advances a frame every 8 steps, the designer every 4, modulo MAXFRAME";
}

TEST_F(TurretTest, FieldBoundsAreIncludedAndBulletsMoveBeforeExpiring) {
  const struct { float X, Y, XV; int32_t ACTIVE; } CASES[] = {
      {340, 100, 0, -1}, {340.5f, 100, 0, 0}, {100, -70, 0, -1}, {100, 270, 0, -1},
      {-20, 100, 0, -1}, {100, 270.5f, 0, 0}, {-19, 100, -2, 0}, {341, 100, -2, -1}};
  for (int I = 0; I < 8; ++I)
    T.P_BULLETS[I] = {.X = CASES[I].X, .Y = CASES[I].Y, .XV = CASES[I].XV, .ACTIVE = -1};
  MOVE_BULLETS(T);
  for (int I = 0; I < 8; ++I)
    EXPECT_EQ(T.P_BULLETS[I].ACTIVE, CASES[I].ACTIVE)
        << "a bullet at (" << CASES[I].X << ", " << CASES[I].Y << ") moving by " << CASES[I].XV;
}

TEST_F(TurretTest, NotANumberFreesTheSlot) {
  T.P_BULLETS[0] = {.X = NaN, .Y = 10.0f, .ACTIVE = -1};
  T.P_BULLETS[1] = {.X = 10.0f, .Y = 10.0f, .YV = NaN, .ACTIVE = -1};
  MOVE_BULLETS(T);
  EXPECT_EQ(LIVE(T.P_BULLETS), 0) << "a position that is not a number frees the slot";
}

TEST_F(TurretTest, NonPositiveMaxFrameResetsFrame) {
  T.P_BULLETS[0] = {.X = 100.0f, .Y = 100.0f, .ACTIVE = -1, .FRAME = 2, .MAXFRAME = -3, .ANIM = 7};
  MOVE_BULLETS(T);
  EXPECT_EQ(T.P_BULLETS[0].FRAME, 0) << "MAXFRAME -3 has no frame but the first";
}

TEST_F(TurretTest, MaxBulletBeyondTheArrayNeverIndexesOutside) {
  TURRET_PARAM_TYPE S{.X = 100.0f, .Y = 100.0f, .ACTIVE = -1, .MAXBULLET = 100000,
                      .BULLETS_PER_SHOT = 300, .SPREAD_ROTATION = 1, .BULLET_MIN_FRAME = 2};
  ADD(T, S);
  STEP(T);  // refresh in LIST_MANAGE, shot, motion
  STEP(T);  // refresh in SHOOT
  EXPECT_EQ(LIVE(T.P_BULLETS), DEFAULT_MAXBULLET)
      << "every allocated slot filled, the rest dropped";
  BARRAGE_TYPE POOL{.INIT = INIT};
  POOL.INIT(POOL);
  POOL.COPY_BULLETS(POOL, T);
  EXPECT_EQ(LIVE(POOL.P_BULLETS, 512), DEFAULT_MAXBULLET)
      << "the copy stops at the allocated slots";
  POOL.DESTROY(POOL);
}

TEST_F(TurretTest, NegativeMaxBulletCoversNoSlot) {
  T.MAXBULLET = -5;
  T.P_BULLETS[0] = {.XV = 1.0f, .ACTIVE = -1};
  STEP(T);
  EXPECT_EQ(T.P_BULLETS[0].X, 0.0f) << "no slot is moved";
  EXPECT_EQ(LIVE(T.P_BULLETS), 1) << "no bullet is fired";
}

TEST_F(TurretTest, AbsurdSpreadAndOffsetStayDefined) {
  SHAPE(4, 6, INT_MAX, 0);
  T.BULLETCOUNTER = 1;
  T.BULLETOFFSET = std::numeric_limits<float>::infinity();
  SHOOTER_AI(T);  // the spread and the start angle convert to INT32_MIN; every step wraps
  EXPECT_EQ(LIVE(T.P_BULLETS), 6);
  EXPECT_EQ(T.P_BULLETS[1].ROTATION, PLAYER_BUILD ? 142 : -128)
      << "out-of-range conversions give INT32_MIN, as the x86 conversion does";
  SHAPE(2, 6, INT_MAX, INT_MAX);
  SHOOTER_AI(T);
  EXPECT_EQ(LIVE(T.P_BULLETS), 12) << "sweep angles wrap around instead of overflowing";
}

class PoolTest : public TurretTest {
 protected:
  BARRAGE_TYPE POOL{.INIT = INIT};
  void SetUp() override {
    TurretTest::SetUp();
    POOL.INIT(POOL);
  }
  void TearDown() override {
    if (POOL.DESTROY != nullptr) POOL.DESTROY(POOL);
    TurretTest::TearDown();
  }
};

TEST_F(PoolTest, CopyFillsTheLowestFreePoolSlotsInTurretOrder) {
  for (int I : {3, 7}) T.P_BULLETS[I] = {.X = float(I), .ACTIVE = -1, .MINFRAME = 40 + I};
  POOL.COPY_BULLETS(POOL, T);
  EXPECT_EQ(POOL.P_BULLETS[0].X, 3.0f) << "turret slot 3 goes to pool slot 0";
  EXPECT_EQ(POOL.P_BULLETS[1].MINFRAME, 47) << "all fields are copied";
  EXPECT_EQ(T.P_BULLETS[3].ACTIVE, -1) << "the turret's bullets stay live";
  for (int I = 0; I < 512; ++I) POOL.P_BULLETS[I].ACTIVE = I == 300 ? 0 : -1;
  POOL.COPY_BULLETS(POOL, T);
  EXPECT_EQ(POOL.P_BULLETS[300].X, 3.0f) << "the only free slot takes the first bullet";
}

TEST_F(PoolTest, PoolAnimatesEveryEighthStepAndRetires) {
  BULLET_TYPE& B = POOL.P_BULLETS[0];
  B = {.X = 100.0f, .Y = 100.0f, .ACTIVE = -1, .FRAME = 3, .MAXFRAME = 4, .ANIM = 7};
  POOL.SHOOT(POOL);
  EXPECT_EQ(B.FRAME, 0) << "ANIM 8 advances the frame, wrapping at MAXFRAME";
  B.YV = -200.0f;
  POOL.P_BULLETS[1] = {.X = NaN, .ACTIVE = -1};
  POOL.SHOOT(POOL);
  EXPECT_EQ(LIVE(POOL.P_BULLETS, 512), 0) << "pool bullets leave the same field; NaN frees too";
}

TEST_F(PoolTest, DestroyForgetsTheArray) {
  POOL.DESTROY(POOL);
  EXPECT_EQ(POOL.P_BULLETS, nullptr) << "the released array is forgotten";
  EXPECT_EQ(POOL.MAXBULLET, 0);
  BARRAGE_SHOOT(POOL);  // touches nothing
  BARRAGE_COPY_BULLETS(POOL, T);
  ReportCapture CAP;
  DESTROY(POOL);
  EXPECT_EQ(CAP.ERR_TEXT().rfind("(LEAKSCOPE) Invalid deallocate(barrage.p_bullets) [&H0]", 0), 0u)
      << "a second pool DESTROY hands a null block to the tracker: " << CAP.ERR_TEXT();
}
