// Tests of the designer's programme: the set keys at the edges of the list (one table), the
// delay keys, and playing, which puts the edited cannon aside and brings it back unchanged.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <vector>

#include "volleyedit/menu.hpp"
#include "volleyedit/programme.hpp"
#include "volleyedit/stats.hpp"

namespace {

using NDESIGNER::CANNON;
using NDESIGNER::KEY;
using NDESIGNER::MENU;
using NDESIGNER::PROGRAMME;

constexpr int32_t ROW_MAXBULLET = 19;  // tells the sets apart in these tests
KEY HELD_KEY = KEY::COUNT;

class ProgrammeEdits : public ::testing::Test {
 protected:
  NBARRAGE::TURRET_PARAM_TYPE PARAMETERS{};
  void SetUp() override {
    NDESIGNER::CREATE_CANNONS(PARAMETERS);
    NDESIGNER::START_PROGRAMME();
  }
  void TearDown() override {
    NDESIGNER::STOP_PLAYING();
    NDESIGNER::DESTROY_CANNONS();
  }
  // K held for N frames of the programme keys, then one frame with no key.
  void PRESS(KEY K, int N = 1) {
    HELD_KEY = K;
    for (int F = 0; F < N; ++F) NDESIGNER::PROGRAMME_KEYS([](KEY R) { return R == HELD_KEY ? 1 : 0; });
    HELD_KEY = KEY::COUNT;
    NDESIGNER::PROGRAMME_KEYS([](KEY) { return 0; });
  }
  // Three sets told apart by MAXBULLET 10, 20 and 30, the third one current.
  void THREE_SETS() {
    for (float MARK : {10.0f, 20.0f, 30.0f}) {
      if (MARK > 10.0f) PRESS(KEY::INSERT);
      MENU[ROW_MAXBULLET].VALUE = MARK;  // an edit: the menu, then the cannon
      NDESIGNER::MENU_TO_CANNON(CANNON[0], ROW_MAXBULLET);
    }
  }
  std::vector<int32_t> MARKS() {
    NDESIGNER::STORE_CURRENT_SET();
    std::vector<int32_t> OUT;
    for (const auto& S : PROGRAMME.SETS) OUT.push_back(S.MAXBULLET);
    return OUT;
  }
};

TEST_F(ProgrammeEdits, SelectInsertAndRemoveAtTheEdges) {
  struct CASE {
    const char* WHAT;
    std::vector<KEY> KEYS;
    int32_t SET;                 // current set, from 1
    std::vector<int32_t> MARKS;  // MAXBULLET of every set
  };
  const CASE CASES[] = {
      {"PageDown on the last set stays", {KEY::PAGEDOWN}, 3, {10, 20, 30}},
      {"PageUp stores the menu, then shows the set before", {KEY::PAGEUP}, 2, {10, 20, 30}},
      {"PageUp on the first set stays", {KEY::PAGEUP, KEY::PAGEUP, KEY::PAGEUP}, 1, {10, 20, 30}},
      {"Delete of the last set selects the one before", {KEY::DELETE}, 2, {10, 20}},
      {"Delete in the middle selects the next", {KEY::PAGEUP, KEY::DELETE}, 2, {10, 30}},
      {"Delete never removes the only set", {KEY::DELETE, KEY::DELETE, KEY::DELETE}, 1, {10}},
      {"Insert copies the current set after it", {KEY::PAGEUP, KEY::PAGEUP, KEY::INSERT}, 2,
       {10, 10, 20, 30}},
  };
  for (const CASE& C : CASES) {
    TearDown();
    SetUp();
    THREE_SETS();
    for (KEY K : C.KEYS) PRESS(K);
    EXPECT_EQ(PROGRAMME.CURRENT + 1, C.SET) << C.WHAT;
    EXPECT_EQ(MARKS(), C.MARKS) << C.WHAT;
    const int32_t SHOWN = C.MARKS[C.SET - 1];
    EXPECT_EQ(MENU[ROW_MAXBULLET].VALUE, static_cast<float>(SHOWN)) << C.WHAT << ": the menu";
    EXPECT_EQ(CANNON[0].MAXBULLET, SHOWN) << C.WHAT << ": the selected set reaches cannon 0";
    EXPECT_TRUE(PROGRAMME.SHOWN) << C.WHAT << ": a programme that had three sets is shown";
  }
}

TEST_F(ProgrammeEdits, SelectedSetsAreLimitedAsALoadedFileIs) {
  PRESS(KEY::INSERT);
  PROGRAMME.SETS[0].ROTDIR = 5;
  PROGRAMME.SETS[0].ROTATION_AI = 1;
  PRESS(KEY::PAGEUP);
  EXPECT_EQ(MENU[16].VALUE, 1.0f) << "ROTDIR is held to its row's limit of 1";
  EXPECT_EQ(CANNON[0].ROTDIR, 1);
  EXPECT_EQ(NDESIGNER::ROTATION_AI, 1) << "the set's rotation rule becomes the switch";
  EXPECT_EQ(CANNON[0].ROTATE, &NBARRAGE::ROTATE2);
}

TEST_F(ProgrammeEdits, DelayStepsByTenAndStaysAtOrAboveZero) {
  EXPECT_FALSE(PROGRAMME.SHOWN) << "one set and no programme key: nothing is shown";
  PRESS(KEY::END, 6);
  EXPECT_EQ(PROGRAMME.SETS[0].DELAY, 20) << "End held six frames acts on the first and sixth";
  PRESS(KEY::HOME);
  PRESS(KEY::HOME);
  PRESS(KEY::HOME);
  EXPECT_EQ(PROGRAMME.SETS[0].DELAY, 0) << "Home never goes below 0";
  PROGRAMME.SETS[0].DELAY = std::numeric_limits<int32_t>::max() - 5;
  PRESS(KEY::END);
  EXPECT_EQ(PROGRAMME.SETS[0].DELAY, std::numeric_limits<int32_t>::max()) << "no overflow";
  EXPECT_FALSE(PROGRAMME.SHOWN) << "delays of a one-set programme are not shown";
}

TEST_F(ProgrammeEdits, PlayingPutsTheEditedCannonAsideAndBringsItBackUnchanged) {
  PRESS(KEY::INSERT);
  PROGRAMME.SETS[0].DELAY = 7;
  const NBARRAGE::TURRET_TYPE BEFORE = CANNON[0];
  std::vector<NBARRAGE::BULLET_TYPE> SLOTS(CANNON[0].P_BULLETS,
                                           CANNON[0].P_BULLETS + NBARRAGE::DEFAULT_MAXBULLET);
  PRESS(KEY::F5);
  ASSERT_TRUE(PROGRAMME.PLAYING);
  EXPECT_NE(CANNON[0].P_BULLETS, BEFORE.P_BULLETS) << "a fresh turret plays";
  EXPECT_EQ(CANNON[0].LISTINDEX, 0) << "nothing applied before the first step";
  int32_t LISTED = 0;
  for (auto* N = CANNON[0].P_PARAMETERS; N->NEXT != nullptr; N = N->NEXT) ++LISTED;
  EXPECT_EQ(LISTED, 2) << "every set is in the timed list";
  EXPECT_EQ(CANNON[0].P_PARAMETERS->DATA->DELAY, 7) << "with its own delay";
  EXPECT_TRUE(NDESIGNER::HELD_BACK_WHILE_PLAYING(KEY::RIGHT)) << "edits wait while it plays";
  EXPECT_FALSE(NDESIGNER::HELD_BACK_WHILE_PLAYING(KEY::ESCAPE));
  for (int F = 0; F < 30; ++F) CANNON[0].SHOOT(CANNON[0], CANNON[0].LIST_MANAGE(CANNON[0], 0, 0));

  PRESS(KEY::F5);
  EXPECT_FALSE(PROGRAMME.PLAYING);
  EXPECT_FALSE(NDESIGNER::HELD_BACK_WHILE_PLAYING(KEY::RIGHT));
  EXPECT_EQ(std::memcmp(&CANNON[0], &BEFORE, sizeof BEFORE), 0) << "the record as it was";
  EXPECT_EQ(std::memcmp(CANNON[0].P_BULLETS, SLOTS.data(), SLOTS.size() * sizeof SLOTS[0]), 0)
      << "its bullets as they were";
}

TEST(ProgrammeStats, LinesNameTheSetItsDelayAndTheMode) {
  EXPECT_EQ(NDESIGNER::PROGRAMME_TEXT(0, 2, 3, 20, false), "set 2 of 3");
  EXPECT_EQ(NDESIGNER::PROGRAMME_TEXT(1, 2, 3, 20, false), "delay 20");
  EXPECT_EQ(NDESIGNER::PROGRAMME_TEXT(2, 2, 3, 20, false), "editing");
  EXPECT_EQ(NDESIGNER::PROGRAMME_TEXT(2, 2, 3, 20, true), "playing");
}

}  // namespace
