// Tests of the designer's start-up state and its menu keys on live cannons: wrap of the
// selection, edits reaching cannon 0, Tab, F3 and applying a loaded menu.
#include <gtest/gtest.h>

#include <cstring>

#include "volleyedit/barrage_file.hpp"
#include "volleyedit/designer_state.hpp"
#include "volleyedit/menu.hpp"

namespace {

using NDESIGNER::ACTIVEINDEX;
using NDESIGNER::CANNON;
using NDESIGNER::KEY;
using NDESIGNER::MENU;

int32_t HELD[NDESIGNER::KEY_COUNT];
int32_t READ_HELD(KEY K) { return HELD[static_cast<int>(K)]; }

class DesignerTest : public ::testing::Test {
 protected:
  NBARRAGE::TURRET_PARAM_TYPE PARAMETERS{};
  NDESIGNER::EDIT_KEYS_TYPE KEYS{};
  void SetUp() override {
    std::memset(HELD, 0, sizeof HELD);
    NDESIGNER::CREATE_CANNONS(PARAMETERS);
    NDESIGNER::RESET_KEYS(KEYS);
  }
  void TearDown() override { NDESIGNER::DESTROY_CANNONS(); }

  // One frame of the menu keys with KEY held (or nothing held for KEY::COUNT).
  void FRAME(KEY K = KEY::COUNT) {
    std::memset(HELD, 0, sizeof HELD);
    if (K != KEY::COUNT) HELD[static_cast<int>(K)] = 1;
    NDESIGNER::MENU_KEYS(KEYS, READ_HELD);
  }
  // A press: one frame down, one frame up.
  void TAP(KEY K) {
    FRAME(K);
    FRAME();
  }
};

TEST_F(DesignerTest, StartUpFillsTheMenuFromTheSteppedCannon) {
  EXPECT_EQ(CANNON[0].LISTINDEX, 1) << "the first step applied cannon 0's set";
  EXPECT_EQ(CANNON[0].X, 280.0f);
  EXPECT_EQ(CANNON[0].ACTIVE, -1);
  EXPECT_EQ(CANNON[1].ACTIVE, 0) << "cannon 1 is switched off";
  EXPECT_EQ(CANNON[1].LISTINDEX, 0) << "cannon 1 is never stepped";
  EXPECT_EQ(MENU[0].VALUE, 1.0f) << "LISTINDEX after the first step";
  EXPECT_EQ(MENU[12].VALUE, 225.0f) << "start rotation from the set built last";
  EXPECT_EQ(MENU[34].VALUE, -1.0f);
  EXPECT_EQ(MENU[19].VALUE, 128.0f);
  EXPECT_EQ(MENU[22].VALUE, 4.0f);
  EXPECT_EQ(MENU[26].VALUE, 1.3f);
  EXPECT_EQ(MENU[32].VALUE, 26.0f);
  EXPECT_EQ(MENU[4].VALUE, 0.0f) << "rows 2 to 5 stay 0";
  EXPECT_EQ(ACTIVEINDEX, 0);
  EXPECT_EQ(NDESIGNER::ROTATION_AI, -1);
  EXPECT_EQ(CANNON[0].ROTATE, NBARRAGE::ROTATE) << "the switch is not applied until Tab or F2";
}

TEST_F(DesignerTest, StartUpMenuSavesTheKnownBytes) {
  float VALUES[NDESIGNER::BARRAGE_VALUES];
  for (int32_t K = 0; K < NDESIGNER::BARRAGE_VALUES; ++K) VALUES[K] = MENU[K].VALUE;
  uint8_t BYTES[NDESIGNER::BARRAGE_BYTES];
  NDESIGNER::ENCODE_BARRAGE(VALUES, BYTES);
  const uint8_t F225[4] = {0x00, 0x00, 0x61, 0x43}, FM1[4] = {0x00, 0x00, 0x80, 0xBF};
  EXPECT_EQ(std::memcmp(BYTES + 48, F225, 4), 0) << "225.0 at offset 48";
  EXPECT_EQ(std::memcmp(BYTES + 136, FM1, 4), 0) << "-1.0 at offset 136";
}

TEST_F(DesignerTest, SelectionWrapsBothWays) {
  TAP(KEY::UP);
  EXPECT_EQ(ACTIVEINDEX, 33) << "Up on row 0 selects row 33";
  TAP(KEY::DOWN);
  EXPECT_EQ(ACTIVEINDEX, 0) << "Down on row 33 selects row 0; row 34 is never selected";
  TAP(KEY::DOWN);
  EXPECT_EQ(ACTIVEINDEX, 1);
}

TEST_F(DesignerTest, HeldDownRepeatsEveryFifthFrame) {
  for (int F = 0; F < 11; ++F) FRAME(KEY::DOWN);
  EXPECT_EQ(ACTIVEINDEX, 3) << "held for 11 frames: moves on frames 1, 6 and 11";
}

TEST_F(DesignerTest, RightEditsTheSelectedRowAndTheCannonAtOnce) {
  ACTIVEINDEX = 22;
  TAP(KEY::RIGHT);
  EXPECT_EQ(MENU[22].VALUE, 5.0f);
  EXPECT_EQ(CANNON[0].BULLETS_PER_SHOT, 5) << "the edit reaches the cannon in the same frame";
  TAP(KEY::LEFT);
  TAP(KEY::LEFT);
  EXPECT_EQ(CANNON[0].BULLETS_PER_SHOT, 3);
}

TEST_F(DesignerTest, EveryEditPutsTheStartRotationBack) {
  ACTIVEINDEX = 12;
  MENU[12].VALUE = 89.0f;
  TAP(KEY::RIGHT);
  EXPECT_EQ(CANNON[0].ROTATION, 90) << "editing row 12 turns the cannon at once";
  CANNON[0].ROTATION = 200;  // the cannon turns as it runs
  ACTIVEINDEX = 22;
  TAP(KEY::RIGHT);
  EXPECT_EQ(CANNON[0].ROTATION, 90) << "any edit turns it back to the start rotation";
}

TEST_F(DesignerTest, ActiveRowSwitchesCannonZeroOff) {
  ACTIVEINDEX = 10;
  TAP(KEY::RIGHT);
  EXPECT_EQ(CANNON[0].ACTIVE, 0) << "row 10 at 0 switches cannon 0 off";
  TAP(KEY::LEFT);
  EXPECT_EQ(CANNON[0].ACTIVE, -1);
}

TEST_F(DesignerTest, TabAlternatesTheSwitchAndRebindsTheRule) {
  TAP(KEY::TAB);
  EXPECT_EQ(NDESIGNER::ROTATION_AI, 1);
  EXPECT_EQ(MENU[34].VALUE, 1.0f) << "row 34 mirrors the switch";
  EXPECT_EQ(CANNON[0].ROTATE, NBARRAGE::ROTATE2) << "1 selects the bouncing rule";
  FRAME(KEY::TAB);
  FRAME(KEY::TAB);
  EXPECT_EQ(NDESIGNER::ROTATION_AI, -1) << "held Tab acts once; the second press returns to -1";
  EXPECT_EQ(CANNON[0].ROTATE, NBARRAGE::ROTATE);
}

TEST_F(DesignerTest, TabLeavesALoadedZeroAtZero) {
  MENU[34].VALUE = 0.0f;
  NDESIGNER::APPLY_LOADED_MENU();
  TAP(KEY::TAB);
  EXPECT_EQ(NDESIGNER::ROTATION_AI, 0) << "-0 is 0";
}

TEST_F(DesignerTest, TabOnTheLowestSwitchValueDoesNotOverflow) {
  MENU[34].VALUE = -3.0e9f;
  NDESIGNER::APPLY_LOADED_MENU();
  EXPECT_EQ(NDESIGNER::ROTATION_AI, INT32_MIN) << "a huge loaded switch saturates";
  TAP(KEY::TAB);
  EXPECT_EQ(NDESIGNER::ROTATION_AI, INT32_MIN) << "its negation wraps to itself";
}

TEST_F(DesignerTest, RoundDownAppliesToTheSelectedRow) {
  ACTIVEINDEX = 24;
  MENU[24].VALUE = 4.3f;
  TAP(KEY::F3);
  EXPECT_EQ(MENU[24].VALUE, 4.0f);
  EXPECT_EQ(CANNON[0].BULLETSPEED, 4.0f) << "F3 applies the menu to the cannon";
  EXPECT_EQ(MENU[23].VALUE, 25.0f) << "other rows are untouched";
}

TEST_F(DesignerTest, LoadedSwitchRoundsHalfToEven) {
  MENU[34].VALUE = 1.0f;
  NDESIGNER::APPLY_LOADED_MENU();
  EXPECT_EQ(CANNON[0].ROTATE, NBARRAGE::ROTATE2) << "a file holding 1.0 selects the bouncing rule";
  MENU[34].VALUE = 0.5f;
  NDESIGNER::APPLY_LOADED_MENU();
  EXPECT_EQ(NDESIGNER::ROTATION_AI, 0) << "0.5 rounds to 0";
  EXPECT_EQ(CANNON[0].ROTATE, NBARRAGE::ROTATE);
  MENU[34].VALUE = -0.5f;
  NDESIGNER::APPLY_LOADED_MENU();
  EXPECT_EQ(NDESIGNER::ROTATION_AI, 0) << "-0.5 rounds to 0";
  MENU[19].VALUE = 2.5f;
  NDESIGNER::APPLY_LOADED_MENU();
  EXPECT_EQ(CANNON[0].MAXBULLET, 2) << "2.5 loaded into row 19 gives MAXBULLET 2";
}

TEST(DesignerStartUp, AnswersSelectModeDepthAndFullScreen) {
  EXPECT_EQ(NDESIGNER::ANSWER_VALUE('4'), 4);
  EXPECT_EQ(NDESIGNER::ANSWER_VALUE('x'), 0) << "a non-digit answers 0";
  EXPECT_EQ(NDESIGNER::ANSWER_VALUE(-1), 0) << "end of input answers 0";
  auto S = NDESIGNER::SCREEN_SETTINGS(0, 0, 0);
  EXPECT_EQ(S.SCREEN_MODE, 1) << "the default is filter 1";
  EXPECT_EQ(S.BITS_PER_PIXEL, 8);
  EXPECT_EQ(S.FULL_SCREEN, 0);
  S = NDESIGNER::SCREEN_SETTINGS(6, 2, 1);
  EXPECT_EQ(S.SCREEN_MODE, 0) << "answer 6 is the unscaled mode 0";
  EXPECT_EQ(S.BITS_PER_PIXEL, 8) << "software modes are always 8-bit";
  S = NDESIGNER::SCREEN_SETTINGS(4, 1, 1);
  EXPECT_EQ(S.SCREEN_MODE, 4);
  EXPECT_EQ(S.BITS_PER_PIXEL, 16) << "4, 1, 1: 16-bit full-screen OpenGL";
  EXPECT_EQ(S.FULL_SCREEN, 1);
  S = NDESIGNER::SCREEN_SETTINGS(5, 3, 2);
  EXPECT_EQ(S.BITS_PER_PIXEL, 32);
  EXPECT_EQ(S.FULL_SCREEN, 0) << "only answer 1 asks for full screen";
  EXPECT_EQ(NDESIGNER::SCREEN_SETTINGS(9, 0, 0).SCREEN_MODE, 1) << "7 to 9 fall back to filter 1";
}

}  // namespace
