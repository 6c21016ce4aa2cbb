// Tests of the built-in barrage catalogue: every pattern's sets for both cannons, BARRAGE_8's
// wandering sets, and the two programmes the player builds from them.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "leakscope/leakscope.hpp"
#include "volleyplay/barrage_catalogue.hpp"
#include "volleyplay/player.hpp"

namespace {

using NBARRAGE::TURRET_PARAM_TYPE;
using NBARRAGE::TURRET_TYPE;

// A pair of initialised turrets, as the player makes them (but not in a tracked block).
struct Pair {
  TURRET_TYPE RECORDS[2];
  TURRET_TYPE* PTR = RECORDS;
  Pair() {
    for (TURRET_TYPE& T : RECORDS) T = TURRET_TYPE{}, T.INIT = NBARRAGE::INIT, T.INIT(T);
  }
  ~Pair() {
    for (TURRET_TYPE& T : RECORDS) NBARRAGE::DESTROY(T);
  }
};

// The sets in a cannon's list, in order.
std::vector<TURRET_PARAM_TYPE> SETS(const TURRET_TYPE& T) {
  std::vector<TURRET_PARAM_TYPE> OUT;
  for (NBARRAGE::TURRET_PARAM_LIST* N = T.P_PARAMETERS; N != nullptr; N = N->NEXT)
    if (N->DATA != nullptr) OUT.push_back(*N->DATA);
  return OUT;
}

using BARRAGE_FN = void (*)(TURRET_TYPE*&, int32_t);
constexpr BARRAGE_FN BARRAGES[17] = {BARRAGE_0,  BARRAGE_1,  BARRAGE_2,  BARRAGE_3,  BARRAGE_4,  BARRAGE_5,
                                     BARRAGE_6,  BARRAGE_7,  BARRAGE_8,  BARRAGE_9,  BARRAGE_10, BARRAGE_11,
                                     BARRAGE_12, BARRAGE_13, BARRAGE_14, BARRAGE_15, BARRAGE_16};

bool SAME(const TURRET_PARAM_TYPE& A, const TURRET_PARAM_TYPE& B) {
  return std::memcmp(&A, &B, sizeof A) == 0;  // zero-filled records: padding-free, all 32-bit
}

// The first cannon's set of each pattern, written out field by field.
TURRET_PARAM_TYPE EXPECTED_FIRST(int N, int32_t DELAY) {
  struct ROW {
    int32_t TGT;
    float Y, TY, RAD;
    int32_t ROT, MIN, MAX, SPD, DIR, AI, MSD, BPS, SPR, BS;
    float DELTA, OFFS;
    int32_t WM, WMX, WMD, MINF;
  };
  static const ROW T[17] = {
      {},
      {0, 100, 0, 10, 135, 90, 270, 8, 1, 1, 4, 3, 25, 4, 0, 1.3f, 4, 0, 3, 15},
      {0, 100, 0, 10, 180, 0, 360, 0, 1, 0, 40, 6, 10, 2, 0, 0.5f, 4, 3, 4, 12},
      {0, 100, 0, 0, 180, 90, 270, 16, -1, 1, 1, 1, 0, 4, -0.3f, 10, 0, 3, 1, 4},
      {0, 100, 0, 0, 180, 160, 200, 4, -1, 1, 10, 2, 16, 2, -0.21f, 10, 0, 5, 1, 4},
      {0, 100, 0, 0, 180, 160, 200, 4, -1, 1, 10, 3, 1, 3, 0.0911f, 10, 4, 5, 2, 0},
      {0, 100, 0, 0, 180, 160, 200, 4, -1, 1, 1, 2, 35, 3, 0.0911f, 10, 0, 1, 1, 15},
      {0, 100, 0, 0, 180, 0, 359, 5, -1, 0, 7, 4, 90, 2, 0, 0, 0, 0, 0, 12},
      {0, 100, 120, 0, 180, 0, 359, 3, 1, 0, 1, 1, 0, 2, 0, 0, 0, 0, 0, 0},
      {0, 100, 120, 0, 180, 110, 250, 20, 1, 1, 10, 6, 2, 2, -0.75f, 0, 2, 0, 1, 4},
      {0, 100, 120, 0, 180, 90, 270, 15, 1, 1, 10, 4, 3, 3, 0.05f, 0, 2, 0, 1, 0},
      {0, 100, 0, 10, 0, 0, 360, 8, 1, 0, 1, 1, 90, 4, 0, 1, 0, 0, 2, 15},
      {0, 100, 0, 10, 0, 0, 360, 15, 1, 0, 20, 3, 50, 3, -0.3f, 1, 2, 4, 2, 12},
      {-1, 239, 0, 10, 180, 0, 360, 3, 1, 0, 20, 7, 1, 3, -0.43f, 1, 3, 0, 0, 4},
      {-1, 80, 0, 10, 180, 0, 360, 3, 1, 0, 40, 10, 36, 3, 0.743f, 1, 5, 0, 0, 4},
      {-1, 80, 0, 20, 180, 0, 360, 5, 1, 0, 25, 3, 15, 2, -0.3f, 1, 0, 2, 4, 0},
      {-1, 80, 0, 10, 180, 0, 360, 3, 1, 0, 40, 16, 22, 4, 0, 1, 5, 2, 6, 4},
  };
  TURRET_PARAM_TYPE P{};
  P.DELAY = DELAY;
  P.ACTIVE = -1;
  if (N == 0) return P;
  const auto& R = T[N];
  P.TARGETING = R.TGT, P.X = 280, P.Y = R.Y, P.TARGETY = R.TY, P.RADIUS = R.RAD;
  P.ROTATION = R.ROT, P.MINROTATION = R.MIN, P.MAXROTATION = R.MAX, P.ROTSPEED = R.SPD, P.ROTDIR = R.DIR;
  P.MAXSPAWNDELAY = R.MSD, P.MAXBULLET = 64, P.BULLETS_PER_SHOT = R.BPS, P.SPREAD_ROTATION = R.SPR;
  P.BULLETSPEED = R.BS, P.BULLETSPEED_DELTA = R.DELTA, P.BULLETOFFSET = R.OFFS, P.WAVEMODE = R.WM;
  P.BULLETWAVEMAX = R.WMX, P.BULLETWAVEMAXDELAY = R.WMD, P.BULLETSHOOT = -1, P.ROTATION_AI = R.AI;
  P.BULLET_MIN_FRAME = R.MINF, P.BULLET_NUM_FRAME = 4;
  return P;
}

// What the second cannon changes, applied to the first cannon's set.
TURRET_PARAM_TYPE EXPECTED_SECOND(int N, int32_t DELAY) {
  TURRET_PARAM_TYPE P = EXPECTED_FIRST(N, DELAY);
  switch (N) {
    case 1: P.ROTATION = 225, P.ROTDIR = -1; break;
    case 2: P.MAXSPAWNDELAY = 35, P.SPREAD_ROTATION = 15, P.BULLETSPEED_DELTA = 0.4f, P.BULLETOFFSET = 0, P.WAVEMODE = 0; break;
    case 3: P.ROTSPEED = 32; break;
    case 4: case 5: case 6: P.ROTDIR = 1; break;
    case 7: P.ROTATION = 0, P.ROTDIR = 1; break;
    case 8: case 9: P.ROTDIR = -1; break;
    case 10: P.ROTATION = 185, P.SPAWNDELAY = 20; break;
    case 11: P.ROTATION = 180; break;
    case 12: P.ROTATION = 90; break;
    case 13: P.Y = 0, P.TARGETY = 240, P.ROTDIR = -1; break;
    case 14: case 16: P.Y = 120, P.TARGETY = 240; break;
    case 15: P.Y = 120, P.TARGETY = 240, P.ROTDIR = -1; break;
    default: break;
  }
  return P;
}

TEST(BarrageCatalogue, EveryPatternAppendsItsSetsToBothCannonsFieldByField) {
  for (int N = 0; N <= 16; ++N) {
    Pair PAIR;
    BARRAGES[N](PAIR.PTR, 37);
    const std::vector<TURRET_PARAM_TYPE> A = SETS(PAIR.RECORDS[0]), B = SETS(PAIR.RECORDS[1]);
    ASSERT_EQ(A.size(), N == 8 ? 15u : 1u) << "sets appended by BARRAGE_" << N << " to the first cannon";
    ASSERT_EQ(B.size(), A.size()) << "both cannons get as many sets from BARRAGE_" << N;
    EXPECT_TRUE(SAME(A[0], EXPECTED_FIRST(N, 37))) << "first cannon's set of BARRAGE_" << N;
    EXPECT_TRUE(SAME(B[0], EXPECTED_SECOND(N, 37))) << "second cannon's set of BARRAGE_" << N;
    EXPECT_EQ(PAIR.PTR, PAIR.RECORDS) << "the pair pointer is not changed";
  }
}

// BARRAGE_8's further sets: seven firing sets, each followed by a pause that carries the
// second cannon's direction on both cannons.
TEST(BarrageCatalogue, BarrageEightPausesCarryTheSecondCannonsDirection) {
  const int32_t FIRST[7] = {177, 166, 171, 192, 213, 218, 207};
  const int32_t SECOND[7] = {177, 158, 155, 168, 181, 178, 159};
  const double TARGETY[7] = {-0.6503, 0.5440, 0.9589, 0.0, -0.9589, -0.5440, 0.6503};
  Pair PAIR;
  BARRAGE_8(PAIR.PTR, 400);
  const std::vector<TURRET_PARAM_TYPE> A = SETS(PAIR.RECORDS[0]), B = SETS(PAIR.RECORDS[1]);
  for (int32_t I = 0; I < 7; ++I) {
    SCOPED_TRACE("I = " + std::to_string(I));
    EXPECT_NEAR(A[1 + 2 * I].TARGETY, TARGETY[I], 5e-5) << "the aim value";
    // A firing set is the first set waiting 10 frames, turned to its direction and turning slower.
    TURRET_PARAM_TYPE FIRE_A = EXPECTED_FIRST(8, 10);
    FIRE_A.ROTATION = FIRST[I], FIRE_A.ROTSPEED = 2, FIRE_A.TARGETY = A[1 + 2 * I].TARGETY;
    EXPECT_TRUE(SAME(A[1 + 2 * I], FIRE_A)) << "the first cannon's firing set";
    TURRET_PARAM_TYPE FIRE_B = FIRE_A;
    FIRE_B.ROTATION = SECOND[I];
    FIRE_B.ROTDIR = -1;
    EXPECT_TRUE(SAME(B[1 + 2 * I], FIRE_B)) << "the second cannon's firing set differs in ROTATION and ROTDIR only";
    TURRET_PARAM_TYPE PAUSE = FIRE_B;
    PAUSE.DELAY = 15;
    PAUSE.BULLETS_PER_SHOT = 0;
    EXPECT_TRUE(SAME(A[2 + 2 * I], PAUSE)) << "the first cannon's pause is the second cannon's set";
    EXPECT_TRUE(SAME(B[2 + 2 * I], PAUSE)) << "the second cannon's pause";
  }
  EXPECT_EQ(A[1 + 2 * 3].TARGETY, 0.0f) << "sin(0) is exactly 0 (I = 3)";
}

TEST(PlayerProgrammes, EachCannonGetsThirtyOneSetsInTheStatedOrder) {
  PLAYER_TYPE P;
  PLAYER_CREATE_CANNONS(P);
  for (const TURRET_TYPE* PAIR : {P.CANNON, P.CANNONS})
    for (int I = 0; I < 2; ++I)
      EXPECT_EQ(SETS(PAIR[I]).size(), 31u) << "16 single sets and BARRAGE_8's 15";
  // The second and third sets identify the first visible patterns.
  const std::vector<TURRET_PARAM_TYPE> C = SETS(P.CANNON[0]), S = SETS(P.CANNONS[1]);
  EXPECT_TRUE(SAME(C[1], EXPECTED_FIRST(16, 10))) << "CANNON's second set is BARRAGE_16 with delay 10";
  EXPECT_TRUE(SAME(C[2], EXPECTED_FIRST(15, 410))) << "CANNON's third set is BARRAGE_15 with delay 410";
  EXPECT_TRUE(SAME(S[1], EXPECTED_SECOND(1, 10))) << "CANNONS's second set is BARRAGE_1 with delay 10";
  EXPECT_TRUE(SAME(S[2], EXPECTED_SECOND(5, 410))) << "CANNONS's third set is BARRAGE_5 with delay 410";
  // Release as the player does, without a screen.
  for (TURRET_TYPE* PAIR : {P.CANNON, P.CANNONS}) {
    PAIR[0].DESTROY(PAIR[0]);
    PAIR[1].DESTROY(PAIR[1]);
    LEAKSCOPE_DEALLOCATE(PAIR, "test", __LINE__, "pair");
  }
}

}  // namespace
