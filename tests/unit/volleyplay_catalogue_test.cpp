// Tests of the built-in barrage catalogue: every pattern's sets for both cannons against the
// reviewed golden file (BARRAGE_8's pauses included), and the two programmes the player builds.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "leakscope/leakscope.hpp"
#include "tests/unit/golden.hpp"
#include "volleyplay/barrage_catalogue.hpp"
#include "volleyplay/player.hpp"

namespace {

using NBARRAGE::TURRET_PARAM_TYPE;
using NBARRAGE::TURRET_TYPE;

// A pair of initialised turrets, as the player makes them (but not in a tracked block).
struct Pair {
  TURRET_TYPE RECORDS[2]{};
  TURRET_TYPE* PTR = RECORDS;
  explicit Pair(void (*BARRAGE)(TURRET_TYPE*&, int32_t), int32_t DELAY) {
    for (TURRET_TYPE& T : RECORDS) {
      T.INIT = NBARRAGE::INIT;
      T.INIT(T);
    }
    BARRAGE(PTR, DELAY);
  }
  ~Pair() {
    for (TURRET_TYPE& T : RECORDS) T.DESTROY(T);
  }
};

// The sets in a cannon's list, in order.
std::vector<TURRET_PARAM_TYPE> SETS(const TURRET_TYPE& T) {
  std::vector<TURRET_PARAM_TYPE> OUT;
  for (NBARRAGE::TURRET_PARAM_LIST* N = T.P_PARAMETERS; N != nullptr; N = N->NEXT)
    if (N->DATA != nullptr) OUT.push_back(*N->DATA);
  return OUT;
}

// A set as one line of its non-zero fields (the record is 34 fields of 32 bits, no padding).
const char* const FIELDS[] = {
    "DELAY", "TARGETING", "X", "Y", "XV", "YV", "TARGETX", "TARGETY", "ACTIVE", "RADIUS",
    "ROTATION", "MINROTATION", "MAXROTATION", "ROTSPEED", "ROTDIR", "SPAWNDELAY",
    "MAXSPAWNDELAY", "MAXBULLET", "BULLET_ENERGY", "BULLET_DEATH_ID", "BULLETS_PER_SHOT",
    "SPREAD_ROTATION", "BULLETSPEED", "BULLETSPEED_DELTA", "BULLETOFFSET", "WAVEMODE",
    "BULLETCOUNTER", "BULLETWAVEMAX", "BULLETWAVEMAXDELAY", "BULLETSHOOT", "ROTATION_AI",
    "BULLET_MODE_AI", "BULLET_MIN_FRAME", "BULLET_NUM_FRAME"};
const std::string FLOAT_FIELDS = "..ffffff.f.............ff.........";
static_assert(sizeof(TURRET_PARAM_TYPE) == sizeof FIELDS / sizeof FIELDS[0] * 4);

std::string TEXT(const TURRET_PARAM_TYPE& S) {
  int32_t WORDS[34];
  std::memcpy(WORDS, &S, sizeof WORDS);
  std::string LINE;
  for (int K = 0; K < 34; ++K) {
    if (WORDS[K] == 0) continue;
    float F;
    std::memcpy(&F, &WORDS[K], sizeof F);
    char VALUE[32];
    if (FLOAT_FIELDS[K] == 'f') {
      std::snprintf(VALUE, sizeof VALUE, "%.9g", double{F});
    } else {
      std::snprintf(VALUE, sizeof VALUE, "%d", WORDS[K]);
    }
    LINE += std::string(" ") + FIELDS[K] + "=" + VALUE;
  }
  return LINE;
}

using BARRAGE_FN = void (*)(TURRET_TYPE*&, int32_t);
constexpr BARRAGE_FN BARRAGES[17] = {
    BARRAGE_0, BARRAGE_1, BARRAGE_2,  BARRAGE_3,  BARRAGE_4,  BARRAGE_5,  BARRAGE_6,
    BARRAGE_7, BARRAGE_8, BARRAGE_9,  BARRAGE_10, BARRAGE_11, BARRAGE_12, BARRAGE_13,
    BARRAGE_14, BARRAGE_15, BARRAGE_16};

}  // namespace

TEST(BarrageCatalogue, EveryPatternAppendsTheGoldenSetsToBothCannons) {
  std::string ALL;
  for (int N = 0; N <= 16; ++N) {
    Pair PAIR(BARRAGES[N], 37);
    EXPECT_EQ(PAIR.PTR, PAIR.RECORDS) << "BARRAGE_" << N << " does not change the pair pointer";
    for (int C = 0; C < 2; ++C) {
      const std::vector<TURRET_PARAM_TYPE> S = SETS(PAIR.RECORDS[C]);
      for (std::size_t I = 0; I < S.size(); ++I)
        ALL += "BARRAGE_" + std::to_string(N) + " cannon " + std::to_string(C) + " set " +
               std::to_string(I) + ":" + TEXT(S[I]) + "\n";
    }
  }
  volley_test::EXPECT_GOLDEN("barrage_catalogue.txt", ALL);
}

TEST(PlayerProgrammes, EachCannonGetsThirtyOneSetsInTheStatedOrder) {
  PLAYER_TYPE P;
  PLAYER_CREATE_CANNONS(P);
  for (const TURRET_TYPE* PAIR : {P.CANNON, P.CANNONS})
    for (int I = 0; I < 2; ++I)
      EXPECT_EQ(SETS(PAIR[I]).size(), 31u) << "16 single sets and BARRAGE_8's 15";
  // The second and third sets identify the first visible patterns.
  const Pair B16(BARRAGE_16, 10), B15(BARRAGE_15, 410), B1(BARRAGE_1, 10), B5(BARRAGE_5, 410);
  EXPECT_EQ(TEXT(SETS(P.CANNON[0])[1]), TEXT(SETS(B16.RECORDS[0])[0])) << "BARRAGE_16, delay 10";
  EXPECT_EQ(TEXT(SETS(P.CANNON[0])[2]), TEXT(SETS(B15.RECORDS[0])[0])) << "BARRAGE_15, delay 410";
  EXPECT_EQ(TEXT(SETS(P.CANNONS[1])[1]), TEXT(SETS(B1.RECORDS[1])[0])) << "BARRAGE_1, delay 10";
  EXPECT_EQ(TEXT(SETS(P.CANNONS[1])[2]), TEXT(SETS(B5.RECORDS[1])[0])) << "BARRAGE_5, delay 410";
  for (TURRET_TYPE* PAIR : {P.CANNON, P.CANNONS}) {  // released as the player does
    PAIR[0].DESTROY(PAIR[0]);
    PAIR[1].DESTROY(PAIR[1]);
    LEAKSCOPE_DEALLOCATE(PAIR, "test", __LINE__, "pair");
  }
}
