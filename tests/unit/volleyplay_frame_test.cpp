// Tests of the player's frame loop on the memory screen: the programme timing, the permanent
// switch to the fixed anchor (the anchors' curves are pinned by the golden traces), which cannons
// are stepped, what is drawn, and the tracker's count of live blocks (constant over the whole
// programme, back to the start-up count after clean-up).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "draw2d/draw2d.hpp"
#include "leakscope/leakscope.hpp"
#include "volleyplay/player.hpp"

namespace {

using NBARRAGE::TURRET_TYPE;

class PlayerLoop : public ::testing::Test {
 protected:
  void SetUp() override {
    OLD_DIR = std::filesystem::current_path();
    std::filesystem::current_path(VOLLEY_RUN_DIR);  // the generated assets live there
    draw2d::set_headless(true);
    BEFORE = LEAKSCOPE_COUNT();
    PLAYER_CREATE_CANNONS(P);
    PLAYER_OPEN(P);
  }
  void TearDown() override {
    PLAYER_CLEAN_UP(P);
    draw2d::close_screen();
    draw2d::set_headless(false);
    EXPECT_EQ(LEAKSCOPE_COUNT(), BEFORE) << "clean-up returns every block of the run";
    std::filesystem::current_path(OLD_DIR);
  }
  // One pass of the loop (without the key test).
  void frame() {
    PLAYER_STEP(P);
    PLAYER_PRESENT();
    ++F;
  }
  static bool any_live(const TURRET_TYPE& T) {
    return std::any_of(T.P_BULLETS, T.P_BULLETS + NBARRAGE::DEFAULT_MAXBULLET,
                       [](auto& B) { return B.ACTIVE != 0; });
  }
  // Whether any pixel of the visible page in the W x H box at (X, Y) is lit.
  static bool any_lit(int X, int Y, int W, int H) {
    const uint8_t* PAGE = draw2d::visible_buffer() + draw2d::HEADER_BYTES;
    bool LIT = false;
    for (int R = Y; R < Y + H; ++R)
      LIT = LIT || std::any_of(PAGE + R * 320 + X, PAGE + R * 320 + X + W,
                               [](uint8_t C) { return C != 0; });
    return LIT;
  }
  PLAYER_TYPE P;
  int32_t F = 0;  // frames run so far
  std::size_t BEFORE = 0;
  std::filesystem::path OLD_DIR;
};

TEST_F(PlayerLoop, ProgrammesKeepTheirTimetableWithAConstantBlockCount) {
  TURRET_TYPE* ALL[4] = {&P.CANNON[0], &P.CANNON[1], &P.CANNONS[0], &P.CANNONS[1]};
  int32_t APPLIED_AT[4][32] = {};  // frame on which each cannon's LISTINDEX reached n
  int32_t FIRST_BULLET[4] = {};
  std::size_t BLOCKS = 0;
  int32_t GREW_AT = 0;
  while (F < 6000) {
    frame();
    if (F > 1 && LEAKSCOPE_COUNT() > BLOCKS && GREW_AT == 0) GREW_AT = F;
    BLOCKS = LEAKSCOPE_COUNT();
    for (int K = 0; K < 4; ++K) {
      const int32_t L = ALL[K]->LISTINDEX;
      ASSERT_LE(L, 31) << "no programme holds more than 31 sets";
      if (APPLIED_AT[K][L] == 0) APPLIED_AT[K][L] = F;
      if (FIRST_BULLET[K] == 0 && any_live(*ALL[K])) FIRST_BULLET[K] = F;
    }
    // The anchor test runs before the seventh set is applied (2027); the switch moves both
    // cannons of the pair on frame 2028 (their positions are in the golden trace).
    for (int I = 0; I < 2 && (F == 2027 || F == 2028); ++I)
      EXPECT_EQ(P.CANNON[I].P_POSITION, F == 2027 ? &P.POSITION : &P.POSITION2)
          << "frame " << F << ", cannon " << I;
  }
  EXPECT_EQ(GREW_AT, 0) << "a frame after the first took a block it did not return (frame "
                        << GREW_AT << ")";
  for (int K = 0; K < 4; ++K) {
    EXPECT_EQ(APPLIED_AT[K][1], 1) << "cannon " << K << " applies BARRAGE_0 on frame 1";
    EXPECT_EQ(APPLIED_AT[K][2], 12)
        << "cannon " << K << " starts its first visible pattern on frame 12";
    EXPECT_EQ(APPLIED_AT[K][31], 5836) << "cannon " << K << " reaches its last set on frame 5836";
  }
  EXPECT_EQ(APPLIED_AT[0][7], 2027) << "CANNON applies its seventh set (BARRAGE_12) on frame 2027";
  EXPECT_EQ(FIRST_BULLET[0], 12) << "BARRAGE_16 fires on the frame it is applied";
  EXPECT_EQ(P.CANNON[0].P_POSITION, &P.POSITION2) << "the switch is never undone";
  EXPECT_EQ(P.CANNONS[0].P_POSITION, &P.POSITION3) << "CANNONS keeps its moving anchor";
  EXPECT_TRUE(any_live(P.CANNON[0])) << "the last pattern keeps firing after the programme ends";
}

TEST_F(PlayerLoop, OnlyCannonsHoldingMinusOneAreSteppedOrDrawn) {
  for (int I = 0; I < 30; ++I) frame();
  TURRET_TYPE* ALL[4] = {&P.CANNON[0], &P.CANNON[1], &P.CANNONS[0], &P.CANNONS[1]};
  for (TURRET_TYPE* T : ALL) T->ACTIVE = 1;  // non-zero, but not -1
  const int32_t SPAWN = P.CANNON[0].SPAWNDELAY;
  const float BX = P.CANNON[0].P_BULLETS[0].X;
  frame();
  EXPECT_EQ(P.CANNON[0].SPAWNDELAY, SPAWN) << "a cannon holding 1 is not stepped";
  EXPECT_EQ(P.CANNON[0].P_BULLETS[0].X, BX) << "its bullets do not move";
  EXPECT_FALSE(any_lit(0, 0, 320, 240)) << "nothing is drawn for cannons that are not stepped";
}

TEST_F(PlayerLoop, BulletsAreDrawnByTheirTopLeftCornerAndOutOfSheetFramesDrawNothing) {
  for (int I = 0; I < 12; ++I) frame();
  // Keep one cannon with one motionless bullet that cannot be joined by another shot.
  P.CANNON[1].ACTIVE = P.CANNONS[0].ACTIVE = P.CANNONS[1].ACTIVE = 0;
  TURRET_TYPE& T = P.CANNON[0];
  for (int32_t I = 0; I < NBARRAGE::DEFAULT_MAXBULLET; ++I) T.P_BULLETS[I].ACTIVE = 0;
  T.SPAWNDELAY = 1000;
  NBARRAGE::BULLET_TYPE& B = T.P_BULLETS[0];
  B = NBARRAGE::BULLET_TYPE{100.0f, 50.0f, 0.0f, 0.0f, -1, 0, 0, 0, 15, 4, 1, 0, 0};
  frame();
  const uint8_t* SPRITE = IMAGE_FRAME(P.IMAGE, 15);
  ASSERT_NE(SPRITE, nullptr) << "bullet.put holds frame 15";
  const uint8_t* PAGE = draw2d::visible_buffer() + draw2d::HEADER_BYTES;
  const int W = draw2d::width_of(SPRITE), H = draw2d::height_of(SPRITE);
  ASSERT_TRUE(std::any_of(SPRITE + draw2d::HEADER_BYTES, SPRITE + draw2d::HEADER_BYTES + W * H,
                          [](uint8_t C) { return C != 0; }))
      << "the sprite has visible pixels";
  for (int Y = 0; Y < H; ++Y)
    ASSERT_EQ(std::vector<uint8_t>(PAGE + (50 + Y) * 320 + 100, PAGE + (50 + Y) * 320 + 100 + W),
              std::vector<uint8_t>(SPRITE + draw2d::HEADER_BYTES + Y * W,
                                   SPRITE + draw2d::HEADER_BYTES + (Y + 1) * W))
        << "sprite row " << Y << " lands at (100, 50) + its offset";

  B.MINFRAME = 100000;  // far beyond the sheet
  frame();
  EXPECT_FALSE(any_lit(100, 50, W, H)) << "a frame outside the sheet draws nothing";
}

}  // namespace
