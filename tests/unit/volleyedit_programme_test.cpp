// Tests of the designer's programme: playing puts the edited cannon aside and brings it back
// unchanged (the set keys at the edges of the list are a session in tests/golden/designer/).
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "volleyedit/menu.hpp"
#include "volleyedit/programme.hpp"

using NDESIGNER::CANNON;
using NDESIGNER::KEY;

static KEY HELD_KEY = KEY::COUNT;

// One frame of the programme keys with K held, then one with none.
static void PRESS(KEY K) {
  for (KEY HELD : {K, KEY::COUNT}) {
    HELD_KEY = HELD;
    NDESIGNER::PROGRAMME_KEYS([](KEY R) { return int32_t{R == HELD_KEY}; });
  }
}

TEST(ProgrammeEdits, PlayingPutsTheEditedCannonAsideAndBringsItBackUnchanged) {
  NBARRAGE::TURRET_PARAM_TYPE PARAMETERS{};
  NDESIGNER::CREATE_CANNONS(PARAMETERS);
  NDESIGNER::START_PROGRAMME();
  PRESS(KEY::INSERT);
  NDESIGNER::PROGRAMME.SETS[0].ROTDIR = 5;  // beyond its row's limits, as a loaded file may hold
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
  NDESIGNER::STOP_PLAYING();
  NDESIGNER::DESTROY_CANNONS();
}
