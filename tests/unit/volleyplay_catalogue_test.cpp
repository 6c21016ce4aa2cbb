// Tests of the built-in barrage catalogue: every pattern's sets for both cannons, BARRAGE_8's
// wandering sets, and the two programmes the player builds from them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "leakscope/leakscope.hpp"
#include "volleyplay/barrage_catalogue.hpp"
#include "volleyplay/player.hpp"

namespace {

using NBARRAGE::TURRET_PARAM_TYPE;
using NBARRAGE::TURRET_TYPE;

// A pair of initialised turrets in one tracked-free block, as the player makes them.
class Pair {
 public:
  Pair() {
    for (TURRET_TYPE& T : RECORDS) {
      T = TURRET_TYPE{};
      T.INIT = NBARRAGE::INIT;
      T.INIT(T);
    }
    PTR = RECORDS;
  }
  ~Pair() {
    for (TURRET_TYPE& T : RECORDS) NBARRAGE::DESTROY(T);
  }
  // The sets in element I's list, in order.
  std::vector<TURRET_PARAM_TYPE> sets(int I) const {
    std::vector<TURRET_PARAM_TYPE> OUT;
    for (NBARRAGE::TURRET_PARAM_LIST* N = RECORDS[I].P_PARAMETERS; N != nullptr; N = N->NEXT) {
      if (N->DATA != nullptr) OUT.push_back(*N->DATA);
    }
    return OUT;
  }
  TURRET_TYPE RECORDS[2];
  TURRET_TYPE* PTR;
};

using BARRAGE_FN = void (*)(TURRET_TYPE*&, int32_t);
constexpr BARRAGE_FN BARRAGES[17] = {BARRAGE_0,  BARRAGE_1,  BARRAGE_2,  BARRAGE_3,  BARRAGE_4,  BARRAGE_5,
                                     BARRAGE_6,  BARRAGE_7,  BARRAGE_8,  BARRAGE_9,  BARRAGE_10, BARRAGE_11,
                                     BARRAGE_12, BARRAGE_13, BARRAGE_14, BARRAGE_15, BARRAGE_16};

bool SAME(const TURRET_PARAM_TYPE& A, const TURRET_PARAM_TYPE& B) {
  return std::memcmp(&A, &B, sizeof A) == 0;  // zero-filled records: padding-free, all 32-bit
}

// The first cannon's set of a pattern as published, written field by field.
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
  P.TARGETING = R.TGT;
  P.X = 280;
  P.Y = R.Y;
  P.TARGETY = R.TY;
  P.RADIUS = R.RAD;
  P.ROTATION = R.ROT;
  P.MINROTATION = R.MIN;
  P.MAXROTATION = R.MAX;
  P.ROTSPEED = R.SPD;
  P.ROTDIR = R.DIR;
  P.MAXSPAWNDELAY = R.MSD;
  P.MAXBULLET = 64;
  P.BULLETS_PER_SHOT = R.BPS;
  P.SPREAD_ROTATION = R.SPR;
  P.BULLETSPEED = R.BS;
  P.BULLETSPEED_DELTA = R.DELTA;
  P.BULLETOFFSET = R.OFFS;
  P.WAVEMODE = R.WM;
  P.BULLETWAVEMAX = R.WMX;
  P.BULLETWAVEMAXDELAY = R.WMD;
  P.BULLETSHOOT = -1;
  P.ROTATION_AI = R.AI;
  P.BULLET_MIN_FRAME = R.MINF;
  P.BULLET_NUM_FRAME = 4;
  return P;
}

// What the second cannon changes, applied to the first cannon's set.
TURRET_PARAM_TYPE EXPECTED_SECOND(int N, int32_t DELAY) {
  TURRET_PARAM_TYPE P = EXPECTED_FIRST(N, DELAY);
  switch (N) {
    case 1: P.ROTATION = 225; P.ROTDIR = -1; break;
    case 2:
      P.MAXSPAWNDELAY = 35; P.SPREAD_ROTATION = 15; P.BULLETSPEED_DELTA = 0.4f; P.BULLETOFFSET = 0;
      P.WAVEMODE = 0;
      break;
    case 3: P.ROTSPEED = 32; break;
    case 4: case 5: case 6: P.ROTDIR = 1; break;
    case 7: P.ROTATION = 0; P.ROTDIR = 1; break;
    case 8: case 9: P.ROTDIR = -1; break;
    case 10: P.ROTATION = 185; P.SPAWNDELAY = 20; break;
    case 11: P.ROTATION = 180; break;
    case 12: P.ROTATION = 90; break;
    case 13: P.Y = 0; P.TARGETY = 240; P.ROTDIR = -1; break;
    case 14: case 16: P.Y = 120; P.TARGETY = 240; break;
    case 15: P.Y = 120; P.TARGETY = 240; P.ROTDIR = -1; break;
    default: break;
  }
  return P;
}

TEST(BarrageCatalogue, EveryPatternAppendsThePublishedSetsToBothCannons) {
  for (int N = 0; N <= 16; ++N) {
    Pair PAIR;
    BARRAGES[N](PAIR.PTR, 37);
    const std::vector<TURRET_PARAM_TYPE> A = PAIR.sets(0), B = PAIR.sets(1);
    ASSERT_EQ(A.size(), N == 8 ? 15u : 1u) << "sets appended by BARRAGE_" << N << " to the first cannon";
    ASSERT_EQ(B.size(), A.size()) << "both cannons get as many sets from BARRAGE_" << N;
    EXPECT_TRUE(SAME(A[0], EXPECTED_FIRST(N, 37))) << "first cannon's set of BARRAGE_" << N;
    EXPECT_TRUE(SAME(B[0], EXPECTED_SECOND(N, 37))) << "second cannon's set of BARRAGE_" << N;
    EXPECT_EQ(PAIR.PTR, PAIR.RECORDS) << "the pair pointer is not changed";
  }
}

TEST(BarrageCatalogue, BarrageEightFormulasGiveThePublishedTable) {
  const int32_t FIRST[7] = {177, 166, 171, 192, 213, 218, 207};
  const int32_t SECOND[7] = {177, 158, 155, 168, 181, 178, 159};
  const double TARGETY[7] = {-0.6503, 0.5440, 0.9589, 0.0, -0.9589, -0.5440, 0.6503};
  for (int32_t I = 0; I < 7; ++I) {
    EXPECT_EQ(BARRAGE_8_ROTATION(I, false), FIRST[I]) << "first cannon's direction for I = " << I;
    EXPECT_EQ(BARRAGE_8_ROTATION(I, true), SECOND[I]) << "second cannon's direction for I = " << I;
    EXPECT_NEAR(BARRAGE_8_TARGETY(I), TARGETY[I], 5e-5) << "aim value for I = " << I;
  }
  EXPECT_EQ(BARRAGE_8_TARGETY(3), 0.0f) << "sin(0) is exactly 0";
}

TEST(BarrageCatalogue, BarrageEightAlternatesFiringAndPauseSets) {
  Pair PAIR;
  BARRAGE_8(PAIR.PTR, 400);
  const std::vector<TURRET_PARAM_TYPE> A = PAIR.sets(0), B = PAIR.sets(1);
  for (int32_t I = 0; I < 7; ++I) {
    const TURRET_PARAM_TYPE& FIRE_A = A[1 + 2 * I];
    const TURRET_PARAM_TYPE& FIRE_B = B[1 + 2 * I];
    EXPECT_EQ(FIRE_A.DELAY, 10) << "firing sets wait 10 frames, I = " << I;
    EXPECT_EQ(FIRE_A.ROTATION, BARRAGE_8_ROTATION(I, false));
    EXPECT_EQ(FIRE_A.ROTDIR, 1);
    EXPECT_EQ(FIRE_A.TARGETY, BARRAGE_8_TARGETY(I));
    EXPECT_EQ(FIRE_A.BULLETS_PER_SHOT, 1) << "a firing set fires single bullets";
    EXPECT_EQ(FIRE_A.ROTSPEED, 2);
    EXPECT_EQ(FIRE_A.MAXSPAWNDELAY, 1);
    EXPECT_EQ(FIRE_A.BULLETSPEED, 2);
    EXPECT_EQ(FIRE_A.MAXBULLET, 64) << "common values hold in the further sets";
    EXPECT_EQ(FIRE_A.BULLETSHOOT, -1) << "common values hold in the further sets";
    TURRET_PARAM_TYPE EXPECT_B = FIRE_A;
    EXPECT_B.ROTATION = BARRAGE_8_ROTATION(I, true);
    EXPECT_B.ROTDIR = -1;
    EXPECT_TRUE(SAME(FIRE_B, EXPECT_B)) << "the second cannon's firing set differs in ROTATION and ROTDIR only";
    TURRET_PARAM_TYPE PAUSE = FIRE_B;
    PAUSE.DELAY = 15;
    PAUSE.BULLETS_PER_SHOT = 0;
    EXPECT_TRUE(SAME(A[2 + 2 * I], PAUSE)) << "the first cannon's pause is the second cannon's set, I = " << I;
    EXPECT_TRUE(SAME(B[2 + 2 * I], PAUSE)) << "the second cannon's pause, I = " << I;
  }
}

TEST(BarrageCatalogue, BarrageEightPausesCarryTheSecondCannonsDirection) {
  Pair PAIR;
  BARRAGE_8(PAIR.PTR, 0);
  const std::vector<TURRET_PARAM_TYPE> A = PAIR.sets(0);
  EXPECT_EQ(A[4].ROTATION, 158) << "the first cannon's second pause holds the second cannon's 158, not 166";
  EXPECT_EQ(A[4].ROTDIR, -1) << "and its turning direction";
  EXPECT_EQ(A[4].BULLET_MIN_FRAME, 0) << "bullets in flight keep their look during a pause";
  EXPECT_EQ(A[4].BULLET_NUM_FRAME, 4);
  EXPECT_EQ(A[4].MAXBULLET, 64) << "bullets in flight keep moving during a pause";
}

TEST(PlayerProgrammes, EachCannonGetsThirtyOneSetsInTheStatedOrder) {
  PLAYER_TYPE P;
  PLAYER_CREATE_CANNONS(P);
  // The second set of each programme identifies its first visible pattern.
  const TURRET_TYPE* PAIRS[2] = {P.CANNON, P.CANNONS};
  for (int K = 0; K < 2; ++K) {
    for (int I = 0; I < 2; ++I) {
      int COUNT = 0;
      for (NBARRAGE::TURRET_PARAM_LIST* N = PAIRS[K][I].P_PARAMETERS; N != nullptr; N = N->NEXT) {
        if (N->DATA != nullptr) ++COUNT;
      }
      EXPECT_EQ(COUNT, 31) << "pair " << K << " cannon " << I << ": 16 single sets and BARRAGE_8's 15";
    }
  }
  // CANNON: BARRAGE_0 0, BARRAGE_16 10, BARRAGE_15 410, ...; CANNONS: BARRAGE_0 0, BARRAGE_1 10, BARRAGE_5 410.
  const TURRET_PARAM_TYPE* C1 = P.CANNON[0].P_PARAMETERS->NEXT->DATA;
  const TURRET_PARAM_TYPE* C2 = P.CANNON[0].P_PARAMETERS->NEXT->NEXT->DATA;
  EXPECT_TRUE(SAME(*C1, EXPECTED_FIRST(16, 10))) << "CANNON's second set is BARRAGE_16 with delay 10";
  EXPECT_TRUE(SAME(*C2, EXPECTED_FIRST(15, 410))) << "CANNON's third set is BARRAGE_15 with delay 410";
  const TURRET_PARAM_TYPE* S1 = P.CANNONS[1].P_PARAMETERS->NEXT->DATA;
  const TURRET_PARAM_TYPE* S2 = P.CANNONS[1].P_PARAMETERS->NEXT->NEXT->DATA;
  EXPECT_TRUE(SAME(*S1, EXPECTED_SECOND(1, 10))) << "CANNONS's second set is BARRAGE_1 with delay 10";
  EXPECT_TRUE(SAME(*S2, EXPECTED_SECOND(5, 410))) << "CANNONS's third set is BARRAGE_5 with delay 410";
  // Release as the player does, without a screen.
  for (TURRET_TYPE* PAIR : {P.CANNON, P.CANNONS}) {
    PAIR[0].DESTROY(PAIR[0]);
    PAIR[1].DESTROY(PAIR[1]);
    LEAKSCOPE_DEALLOCATE(PAIR, "test", __LINE__, "pair");
  }
}

}  // namespace
