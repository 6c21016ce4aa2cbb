// Tests of the designer's key repeat (on the first frame of a hold and every fifth frame after
// it), its start-up answers and the rotation switch on live cannons: a loaded switch and Tab.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/unit/golden.hpp"
#include "volleyedit/designer_state.hpp"
#include "volleyedit/menu.hpp"

namespace {

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
  EXPECT_EQ(REPEAT_FRAMES(FRESH, {1, 1, 1, 0, 1, 1, 1, 1, 1, 1}), (std::vector<int>{1, 5, 10}))
      << "a hold acts in its first frame and every fifth after it, a new press at once";
  // The chooser keeps its key values from one call to the next: a key still held when the next
  // call starts continues its countdown instead of acting at once.
  NDESIGNER::REPEAT_KEY K = FRESH;
  NDESIGNER::STEP_REPEAT(K, 1);
  EXPECT_EQ(REPEAT_FRAMES(K, {1, 1, 1, 1, 1}), (std::vector<int>{5}))
      << "a hold continued across calls acts five frames after its first";
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

TEST(DesignerStartUp, AnswersSelectModeDepthAndFullScreen) {
  EXPECT_EQ(NDESIGNER::ANSWER_VALUE('4'), 4);
  EXPECT_EQ(NDESIGNER::ANSWER_VALUE(-1), 0) << "end of input answers 0";
  std::string TABLE;  // every answer to the three questions, the digits 0 to 9 for the first
  for (int32_t CHOICE = 0; CHOICE <= 9; ++CHOICE)
    for (int32_t FCHOICE = 0; FCHOICE <= 2; ++FCHOICE)
      for (int32_t BCHOICE = 0; BCHOICE <= 2; ++BCHOICE) {
        const auto S = NDESIGNER::SCREEN_SETTINGS(CHOICE, FCHOICE, BCHOICE);
        TABLE += std::to_string(CHOICE) + " " + std::to_string(FCHOICE) + " " +
                 std::to_string(BCHOICE) + ": mode " + std::to_string(S.SCREEN_MODE) + ", " +
                 std::to_string(S.BITS_PER_PIXEL) + " bits, full screen " +
                 std::to_string(S.FULL_SCREEN) + "\n";
      }
  volley_test::EXPECT_GOLDEN("designer_startup.txt", TABLE);
}

}  // namespace
