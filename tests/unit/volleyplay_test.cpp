// Tests of the player's frame loop on the memory screen. tests/golden/volleyplay_timetable.txt
// lists, over 6000 frames, every set each cannon applies (its delay and non-zero fields: the
// two programmes together hold every pattern of the catalogue for both cannons of a pair,
// BARRAGE_8's pauses included), every anchor change, when each cannon's bullets come and go,
// and the tracker's block count, which must stay constant. The test listener in test_main
// checks that clean-up returns every block.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "draw2d/draw2d.hpp"
#include "leakscope/leakscope.hpp"
#include "tests/unit/golden.hpp"
#include "volleyplay/player.hpp"

namespace {

using NBARRAGE::TURRET_PARAM_TYPE;
using NBARRAGE::TURRET_TYPE;

// A set's non-zero fields after DELAY, as one line (the record is 34 fields of 32 bits).
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
  for (int K = 1; K < 34; ++K) {
    float F;
    std::memcpy(&F, &WORDS[K], sizeof F);
    char VALUE[32];
    std::snprintf(VALUE, sizeof VALUE, FLOAT_FIELDS[K] == 'f' ? "%.9g" : "%.0f",
                  FLOAT_FIELDS[K] == 'f' ? double{F} : WORDS[K] * 1.0);
    if (WORDS[K] != 0) LINE += std::string(" ") + FIELDS[K] + "=" + VALUE;
  }
  return LINE;
}

// The player on the memory screen, with the generated assets.
class PlayerLoop : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("VOLLEY_DATA_DIR", VOLLEY_RUN_DIR, 1);
    draw2d::set_headless(true);
    PLAYER_CREATE_CANNONS(P);
    PLAYER_OPEN(P);
  }
  void TearDown() override {
    PLAYER_CLEAN_UP(P);
    draw2d::close_screen();
  }
  // N passes of the loop (without the key test).
  void run(int N) {
    for (int I = 0; I < N; ++I) {
      PLAYER_STEP(P);
      PLAYER_PRESENT();
    }
  }
  PLAYER_TYPE P;
};

bool LIVE(const TURRET_TYPE& T) {
  return std::any_of(T.P_BULLETS, T.P_BULLETS + NBARRAGE::DEFAULT_MAXBULLET,
                     [](auto& B) { return B.ACTIVE != 0; });
}

// The number of lit pixels of the visible page in the W x H box at (X, Y).
long LIT(int X, int Y, int W, int H) {
  const uint8_t* PAGE = draw2d::visible_buffer() + draw2d::HEADER_BYTES;
  long N = 0;
  for (const uint8_t* ROW = PAGE + Y * 320 + X; ROW < PAGE + (Y + H) * 320; ROW += 320)
    N += W - std::count(ROW, ROW + W, 0);
  return N;
}

TEST_F(PlayerLoop, ProgrammesKeepTheirTimetableWithAConstantBlockCount) {
  const TURRET_TYPE* ALL[4] = {&P.CANNON[0], &P.CANNON[1], &P.CANNONS[0], &P.CANNONS[1]};
  std::vector<TURRET_PARAM_TYPE> LIST[4];  // the sets as built (applying one counts its DELAY down)
  for (int K = 0; K < 4; ++K)
    for (NBARRAGE::TURRET_PARAM_LIST* N = ALL[K]->P_PARAMETERS; N->DATA != nullptr; N = N->NEXT)
      LIST[K].push_back(*N->DATA);
  const NBARRAGE::COORD_TYPE* AT[3] = {&P.POSITION, &P.POSITION2, &P.POSITION3};
  const char* const ANCHOR[4] = {"POSITION", "POSITION2", "POSITION3", "another"};
  std::string LOG, LAST[5];
  for (int F = 1; F <= 6000; ++F) {
    run(1);
    for (int K = 0; K < 4; ++K) {
      const TURRET_TYPE& T = *ALL[K];
      const TURRET_PARAM_TYPE& S = LIST[K].at(static_cast<std::size_t>(T.LISTINDEX - 1));
      const std::string NOW = "set " + std::to_string(T.LISTINDEX) + " DELAY=" +
                              std::to_string(S.DELAY) + TEXT(S) + ", anchor " +
                              ANCHOR[std::find(AT, AT + 3, T.P_POSITION) - AT] +
                              (LIVE(T) ? ", bullets" : "");
      if (NOW != LAST[K]) LOG += "frame " + std::to_string(F) + " cannon " +
                                 std::to_string(K) + ": " + NOW + "\n";
      LAST[K] = NOW;
    }
    const std::string BLOCKS = "blocks " + std::to_string(LEAKSCOPE_COUNT());
    if (BLOCKS != LAST[4]) LOG += "frame " + std::to_string(F) + ": " + BLOCKS + "\n";
    LAST[4] = BLOCKS;
  }
  volley_test::EXPECT_GOLDEN("volleyplay_timetable.txt", LOG);
}

// One cannon keeps one motionless bullet; the others hold 1 (non-zero, but not -1).
TEST_F(PlayerLoop, BulletsAreDrawnByTheirTopLeftCornerAndOutOfSheetFramesDrawNothing) {
  run(30);
  TURRET_TYPE& T = P.CANNON[0];
  for (TURRET_TYPE* OTHER : {&P.CANNON[1], &P.CANNONS[0], &P.CANNONS[1]}) OTHER->ACTIVE = 1;
  std::fill_n(T.P_BULLETS, NBARRAGE::DEFAULT_MAXBULLET, NBARRAGE::BULLET_TYPE{});
  T.SPAWNDELAY = 1000;
  NBARRAGE::BULLET_TYPE& B = T.P_BULLETS[0] = {100.0f, 50.0f, 0, 0, -1, 0, 0, 0, 15, 4, 1, 0, 0};
  const TURRET_TYPE HELD = P.CANNON[1];
  ASSERT_TRUE(LIVE(HELD)) << "the held cannon has bullets that would show";
  run(1);
  EXPECT_EQ(P.CANNON[1].SPAWNDELAY, HELD.SPAWNDELAY) << "a cannon holding 1 is not stepped";
  EXPECT_EQ(P.CANNON[1].P_BULLETS[0].X, HELD.P_BULLETS[0].X) << "its bullets do not move";
  const uint8_t* SPRITE = IMAGE_FRAME(P.IMAGE, 15);
  ASSERT_NE(SPRITE, nullptr) << "bullet.put holds frame 15";
  const uint8_t *PAGE = draw2d::visible_buffer() + draw2d::HEADER_BYTES + 50 * 320 + 100,
                *PIXELS = SPRITE + draw2d::HEADER_BYTES;
  const int W = draw2d::width_of(SPRITE), H = draw2d::height_of(SPRITE);
  ASSERT_GT(LIT(100, 50, W, H), 0) << "the sprite has visible pixels";
  for (int Y = 0; Y < H; ++Y)
    ASSERT_EQ(std::vector(PAGE + Y * 320, PAGE + Y * 320 + W),
              std::vector(PIXELS + Y * W, PIXELS + (Y + 1) * W))
        << "sprite row " << Y << " lands at (100, 50)";
  B.MINFRAME = 100000;  // far beyond the sheet
  run(1);
  const int R = static_cast<int>(T.RADIUS) + 1, X = static_cast<int>(T.X) - R;
  EXPECT_EQ(LIT(0, 0, 320, 240), LIT(X, int(T.Y) - R, 2 * R + 1, 2 * R + 1))
      << "the cannon's circle is all that is drawn: nothing of a frame outside the sheet, "
         "nothing of the cannons holding 1";
}

}  // namespace
