// Tests of the designer's programme: the set keys at the edges of the list (one table),
// playing, which puts the edited cannon aside and brings it back unchanged, and loading, which
// replaces the programme only from a good file.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "volleyedit/menu.hpp"
#include "volleyedit/programme.hpp"
#include "tests/e2e/run_program.hpp"

namespace {

using NDESIGNER::CANNON;
using NDESIGNER::KEY;
using NDESIGNER::MENU;
using NDESIGNER::PROGRAMME;

constexpr int32_t ROW_MAXBULLET = 19;  // tells the sets apart
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
  // One frame of the programme keys with K held, then one with none.
  void PRESS(KEY K) {
    for (KEY HELD : {K, KEY::COUNT}) {
      HELD_KEY = HELD;
      NDESIGNER::PROGRAMME_KEYS([](KEY R) { return R == HELD_KEY ? 1 : 0; });
    }
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
    for (float MARK : {10.0f, 20.0f, 30.0f}) {  // three sets, each edited: menu, then cannon
      if (MARK > 10.0f) PRESS(KEY::INSERT);
      MENU[ROW_MAXBULLET].VALUE = MARK;
      NDESIGNER::MENU_TO_CANNON(CANNON[0], ROW_MAXBULLET);
    }
    for (KEY K : C.KEYS) PRESS(K);
    EXPECT_EQ(PROGRAMME.CURRENT + 1, C.SET) << C.WHAT;
    NDESIGNER::STORE_CURRENT_SET();
    std::vector<int32_t> MARKS;
    for (const auto& S : PROGRAMME.SETS) MARKS.push_back(S.MAXBULLET);
    EXPECT_EQ(MARKS, C.MARKS) << C.WHAT;
    EXPECT_EQ(CANNON[0].MAXBULLET, C.MARKS[C.SET - 1]) << C.WHAT << ": the set on cannon 0";
  }
}

TEST_F(ProgrammeEdits, PlayingPutsTheEditedCannonAsideAndBringsItBackUnchanged) {
  PRESS(KEY::INSERT);
  PROGRAMME.SETS[0].ROTDIR = 5;  // beyond its row's limits, as a loaded file may hold
  const NBARRAGE::TURRET_TYPE BEFORE = CANNON[0];
  const std::vector<NBARRAGE::BULLET_TYPE> SLOTS(BEFORE.P_BULLETS, BEFORE.P_BULLETS + 128);
  PRESS(KEY::F5);
  EXPECT_TRUE(NDESIGNER::HELD_BACK_WHILE_PLAYING(KEY::RIGHT)) << "edits wait while it plays";
  EXPECT_EQ(CANNON[0].P_PARAMETERS->DATA->ROTDIR, 5) << "a fresh turret plays the sets as held";
  for (int F = 0; F < 30; ++F) CANNON[0].SHOOT(CANNON[0], CANNON[0].LIST_MANAGE(CANNON[0], 0, 0));
  PRESS(KEY::F5);
  EXPECT_EQ(std::memcmp(&CANNON[0], &BEFORE, sizeof BEFORE), 0) << "the record as it was";
  EXPECT_EQ(std::memcmp(BEFORE.P_BULLETS, SLOTS.data(), SLOTS.size() * sizeof SLOTS[0]), 0)
      << "its bullets as they were";
  PRESS(KEY::PAGEUP);
  EXPECT_EQ(CANNON[0].ROTDIR, 1) << "a selected set is limited as a loaded file is";
}

TEST_F(ProgrammeEdits, LoadReplacesTheProgrammeOnlyFromAGoodFile) {
  namespace fs = std::filesystem;
  const fs::path BACK = fs::current_path();
  const fs::path DIR = fs::temp_directory_path() / ("volleyedit_programme_" + std::to_string(getpid()));
  fs::create_directories(DIR);
  fs::current_path(DIR);
  PRESS(KEY::INSERT);
  PRESS(KEY::END);
  PRESS(KEY::F6);
  const std::string SAVED = e2e::READ_FILE("barrage.json");
  PRESS(KEY::DELETE);
  PRESS(KEY::F7);
  EXPECT_FALSE(fs::exists("barrage2.json")) << "a missing file is not created";
  std::ofstream("barrage2.json") << R"({"format": "volley-programme", "version": 1,
      "sets": [{"DELAY": 5}, {"MAXBULLET": 129}]})";
  PRESS(KEY::F7);
  EXPECT_EQ(PROGRAMME.SETS.size(), 1u) << "a bad file changes nothing";
  fs::copy_file("barrage.json", "barrage2.json", fs::copy_options::overwrite_existing);
  PRESS(KEY::F7);
  EXPECT_EQ(PROGRAMME.SETS.size(), 2u) << "the saved programme comes back";
  EXPECT_EQ(PROGRAMME.SETS[1].DELAY, 10);
  PRESS(KEY::F6);
  EXPECT_EQ(e2e::READ_FILE("barrage.json"), SAVED) << "and saves to the same text";
  fs::current_path(BACK);
  fs::remove_all(DIR);
}

}  // namespace
