// Tests of the designer's key rules (auto-repeat on the first frame of a hold and every fifth
// frame after it, press detection that ignores holding), its start-up answers and its menu keys
// on live cannons: wrap of the selection, edits reaching cannon 0, Tab, F3 and a loaded switch.
#include <gtest/gtest.h>

#include <cstring>
#include <tuple>
#include <vector>

#include "volleyedit/designer_state.hpp"
#include "volleyedit/menu.hpp"

namespace {

using NDESIGNER::ACTIVEINDEX;
using NDESIGNER::CANNON;
using NDESIGNER::KEY;
using NDESIGNER::MENU;

// Frames (1-based) in which the action ran, for a key whose state per frame is given.
std::vector<int> REPEAT_FRAMES(NDESIGNER::REPEAT_KEY K, const std::vector<int>& STATES) {
  std::vector<int> ACTED;
  for (std::size_t F = 0; F < STATES.size(); ++F)
    if (NDESIGNER::STEP_REPEAT(K, STATES[F])) ACTED.push_back(static_cast<int>(F) + 1);
  return ACTED;
}

TEST(KeyRepeat, ActsOnTheFirstFrameOfAHoldAndEveryFifthAfter) {
  const NDESIGNER::REPEAT_KEY FRESH{0, 0, NDESIGNER::REPEAT_READY_START};
  EXPECT_EQ(REPEAT_FRAMES(FRESH, std::vector<int>(11, 1)), (std::vector<int>{1, 6, 11}))
      << "a key held for 11 frames acts on frames 1, 6 and 11";
  EXPECT_EQ(REPEAT_FRAMES(FRESH, {1, 1, 1, 0, 1, 1, 1, 1, 1, 1}), (std::vector<int>{1, 5, 10}))
      << "after one frame up the next press acts in its first frame";
  // The chooser keeps its key values from one call to the next: a key still held when the next
  // call starts continues its countdown instead of acting at once.
  NDESIGNER::REPEAT_KEY K = FRESH;
  NDESIGNER::STEP_REPEAT(K, 1);
  EXPECT_EQ(REPEAT_FRAMES(K, {1, 1, 1, 1, 1}), (std::vector<int>{5}))
      << "a hold continued across calls acts five frames after its first";
}

TEST(KeyPress, ActsOnlyOnTheFrameTheKeyGoesDown) {
  NDESIGNER::PRESS_KEY K{0, 0};
  EXPECT_TRUE(NDESIGNER::STEP_PRESS(K, 1));
  EXPECT_FALSE(NDESIGNER::STEP_PRESS(K, 1)) << "holding does not repeat";
  EXPECT_FALSE(NDESIGNER::STEP_PRESS(K, 0));
  EXPECT_TRUE(NDESIGNER::STEP_PRESS(K, 1)) << "a new press acts again";
}

int32_t HELD[NDESIGNER::KEY_COUNT];

class DesignerTest : public ::testing::Test {
 protected:
  NBARRAGE::TURRET_PARAM_TYPE PARAMETERS{};
  NDESIGNER::EDIT_KEYS_TYPE KEYS{};
  void SetUp() override {
    NDESIGNER::CREATE_CANNONS(PARAMETERS);
    NDESIGNER::RESET_KEYS(KEYS);
  }
  void TearDown() override { NDESIGNER::DESTROY_CANNONS(); }

  // A press of K: one frame of the menu keys with K held, one with nothing held.
  void TAP(KEY K) {
    for (int DOWN : {1, 0}) {
      std::memset(HELD, 0, sizeof HELD);
      HELD[static_cast<int>(K)] = DOWN;
      NDESIGNER::MENU_KEYS(KEYS, [](KEY R) { return HELD[static_cast<int>(R)]; });
    }
  }
};

TEST_F(DesignerTest, SelectionWrapsBothWays) {
  TAP(KEY::UP);
  EXPECT_EQ(ACTIVEINDEX, 33) << "Up on row 0 selects row 33";
  TAP(KEY::DOWN);
  EXPECT_EQ(ACTIVEINDEX, 0) << "Down on row 33 selects row 0; row 34 is never selected";
}

TEST_F(DesignerTest, EditsReachCannonZeroAtOnceWithTheStartRotation) {
  ACTIVEINDEX = 22;
  TAP(KEY::RIGHT);
  EXPECT_EQ(MENU[22].VALUE, 5.0f);
  EXPECT_EQ(CANNON[0].BULLETS_PER_SHOT, 5) << "the edit reaches the cannon in the same frame";
  ACTIVEINDEX = 12;
  MENU[12].VALUE = 89.0f;
  TAP(KEY::RIGHT);
  EXPECT_EQ(CANNON[0].ROTATION, 90) << "editing row 12 turns the cannon at once";
  CANNON[0].ROTATION = 200;  // the cannon turns as it runs
  ACTIVEINDEX = 10;
  TAP(KEY::RIGHT);
  EXPECT_EQ(CANNON[0].ACTIVE, 0) << "row 10 at 0 switches cannon 0 off";
  EXPECT_EQ(CANNON[0].ROTATION, 90) << "any edit turns it back to the start rotation";
  TAP(KEY::LEFT);
  EXPECT_EQ(CANNON[0].ACTIVE, -1);
}

// A loaded switch is rounded half to even and applied (1 selects the bouncing rule); Tab negates
// it.
TEST_F(DesignerTest, TabNegatesTheSwitchWithoutOverflow) {
  struct CASE { float LOADED; int32_t APPLIED, AFTER; const char* WHY; };
  const CASE CASES[] = {
      {-1.0f, -1, 1, "-1 becomes 1, the bouncing rule"},
      {1.0f, 1, -1, "and back to -1"},
      {0.5f, 0, 0, "a loaded 0.5 rounds to 0 and stays 0"},
      {-0.5f, 0, 0, "-0.5 rounds to 0"},
      {-3.0e9f, INT32_MIN, INT32_MIN, "a huge switch saturates; its negation wraps to itself"}};
  for (const CASE& C : CASES) {
    MENU[34].VALUE = C.LOADED;  // as a load leaves it
    NDESIGNER::APPLY_LOADED_MENU();
    EXPECT_EQ(NDESIGNER::ROTATION_AI, C.APPLIED) << C.WHY;
    EXPECT_EQ(CANNON[0].ROTATE, C.APPLIED == 1 ? NBARRAGE::ROTATE2 : NBARRAGE::ROTATE)
        << "loaded: " << C.WHY;
    TAP(KEY::TAB);
    EXPECT_EQ(NDESIGNER::ROTATION_AI, C.AFTER) << C.WHY;
    EXPECT_EQ(MENU[34].VALUE, static_cast<float>(C.AFTER)) << "row 34 mirrors the switch";
    EXPECT_EQ(CANNON[0].ROTATE, C.AFTER == 1 ? NBARRAGE::ROTATE2 : NBARRAGE::ROTATE) << C.WHY;
  }
}

TEST_F(DesignerTest, F3RoundsTheSelectedRowDownWithoutClamping) {
  // Towards minus infinity; F3 does not clamp.
  for (const auto& [ROW, FROM, TO] :
       {std::tuple{24, 4.3f, 4.0f}, {6, -2.3f, -3.0f}, {19, 140.5f, 140.0f}}) {
    ACTIVEINDEX = ROW;
    MENU[ROW].VALUE = FROM;
    TAP(KEY::F3);
    EXPECT_EQ(MENU[ROW].VALUE, TO) << "row " << ROW;
  }
  EXPECT_EQ(CANNON[0].MAXBULLET, 140) << "F3 applies the menu to the cannon";
  EXPECT_EQ(MENU[23].VALUE, 25.0f) << "other rows are untouched";
}

TEST(DesignerStartUp, AnswersSelectModeDepthAndFullScreen) {
  EXPECT_EQ(NDESIGNER::ANSWER_VALUE('4'), 4);
  EXPECT_EQ(NDESIGNER::ANSWER_VALUE(-1), 0) << "end of input answers 0";
  struct CASE { int32_t CHOICE, FCHOICE, BCHOICE, MODE, BITS, FULL; const char* WHY; };
  const CASE CASES[] = {{6, 2, 1, 0, 8, 0, "answer 6 is the unscaled mode 0, always 8-bit"},
                        {4, 1, 1, 4, 16, 1, "4, 1, 1: 16-bit full-screen OpenGL"},
                        {5, 3, 2, 5, 32, 0, "only answer 1 asks for full screen"},
                        {9, 0, 0, 1, 8, 0, "7 to 9 fall back to filter 1, 8-bit"}};
  for (const CASE& C : CASES) {
    const auto S = NDESIGNER::SCREEN_SETTINGS(C.CHOICE, C.FCHOICE, C.BCHOICE);
    EXPECT_EQ(std::vector<int32_t>({S.SCREEN_MODE, S.BITS_PER_PIXEL, S.FULL_SCREEN}),
              std::vector<int32_t>({C.MODE, C.BITS, C.FULL}))
        << "mode, depth, full screen: " << C.WHY;
  }
}

}  // namespace
