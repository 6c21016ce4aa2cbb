// Tests of the designer's key repeat (on the first frame of a hold and every fifth frame after
// it), its start-up answers and the rotation switch on live cannons: a loaded switch and Tab.
// The cases and their outcomes are golden tables in tests/golden/.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "tests/unit/golden.hpp"
#include "volleyedit/designer_state.hpp"
#include "volleyedit/menu.hpp"
#include "volleyedit/number_format.hpp"

using NDESIGNER::CANNON, NDESIGNER::FORMAT_FLOAT, NDESIGNER::KEY, NDESIGNER::MENU;

// designer_key_repeat.txt: a key's state frame by frame ("+" a frame of an earlier call of the
// chooser, which keeps its key values from one call to the next) => the frames that act.
TEST(KeyRepeat, ActsOnTheFirstFrameOfAHoldAndEveryFifthAfter) {
  volley_test::EXPECT_GOLDEN_TABLE("designer_key_repeat.txt", [](const std::string& STATES) {
    NDESIGNER::REPEAT_KEY K{0, 0, NDESIGNER::REPEAT_READY_START};
    std::string ACTED = "acts in frames";
    for (std::size_t F = 0; F < STATES.size(); ++F)
      if (NDESIGNER::STEP_REPEAT(K, STATES[F] != '0') && STATES[F] != '+')
        ACTED += " " + std::to_string(F + 1);
    return ACTED;
  });
}

// designer_rotation_switch.txt: row 34 as a load leaves it => the switch once the loaded menu
// is applied (rounded half to even; 1 selects the bouncing rule), then after a press of Tab,
// which negates it, with row 34 (which mirrors the switch) and cannon 0's rule.
TEST(DesignerTest, TabNegatesTheSwitchWithoutOverflow) {
  NBARRAGE::TURRET_PARAM_TYPE PARAMETERS{};
  NDESIGNER::CREATE_CANNONS(PARAMETERS);
  volley_test::EXPECT_GOLDEN_TABLE("designer_rotation_switch.txt", [](const std::string& ROW) {
    const auto SWITCH = [] {
      return std::to_string(NDESIGNER::ROTATION_AI) + " (row 34 " + FORMAT_FLOAT(MENU[34].VALUE) +
             (CANNON[0].ROTATE == NBARRAGE::ROTATE2 ? ", bouncing rule)" : ", plain rule)");
    };
    MENU[34].VALUE = std::stof(ROW);
    NDESIGNER::APPLY_LOADED_MENU();
    const std::string LOADED = SWITCH();
    NDESIGNER::EDIT_KEYS_TYPE KEYS{};
    NDESIGNER::RESET_KEYS(KEYS);
    NDESIGNER::MENU_KEYS(KEYS, [](KEY K) { return int32_t{K == KEY::TAB}; });
    NDESIGNER::MENU_KEYS(KEYS, [](KEY) { return int32_t{0}; });
    return "applied " + LOADED + ", after Tab " + SWITCH();
  });
  NDESIGNER::DESTROY_CANNONS();
}

// designer_startup.txt: the answers to the three questions (mode, full screen, depth) => the
// screen settings. Answers read from the console, and end of input, are sessions in
// tests/golden/designer/.
TEST(DesignerStartUp, AnswersSelectModeDepthAndFullScreen) {
  volley_test::EXPECT_GOLDEN_TABLE("designer_startup.txt", [](const std::string& ANSWERS) {
    int32_t CHOICE = 0, FCHOICE = 0, BCHOICE = 0;
    std::istringstream(ANSWERS) >> CHOICE >> FCHOICE >> BCHOICE;
    const auto S = NDESIGNER::SCREEN_SETTINGS(CHOICE, FCHOICE, BCHOICE);
    return "mode " + std::to_string(S.SCREEN_MODE) + ", " + std::to_string(S.BITS_PER_PIXEL) +
           " bits, full screen " + std::to_string(S.FULL_SCREEN);
  });
}
