// Engine tests: turret lifecycle and the timed parameter list, for the build this file is
// compiled against (designer or player).
#include "tests/unit/turret_module_test_util.hpp"

using namespace volley_test;

namespace {

int COUNT_NODES(NBARRAGE::TURRET_PARAM_LIST* P) {
  int N = 0;
  for (; P != nullptr; P = P->NEXT) ++N;
  return N;
}

// A set that any turret can run: it keeps firing with the defaults' look.
TURRET_PARAM_TYPE MAKE_SET(int32_t DELAY) {
  TURRET_PARAM_TYPE S{};
  S.DELAY = DELAY;
  S.ACTIVE = -1;
  S.MAXROTATION = 360;
  S.MAXBULLET = NBARRAGE::DEFAULT_MAXBULLET;
  S.BULLETS_PER_SHOT = 1;
  S.BULLET_NUM_FRAME = 1;
  return S;
}

void ADD(TURRET_TYPE& T, TURRET_PARAM_TYPE S) {
  TURRET_PARAM_TYPE* P = &S;
  T.LIST_ADD(T, P);
}

}  // namespace

// ---- INIT, SET_DEFAULTS ------------------------------------------------------------------

TEST_F(TurretTest, FreeSlotsHaveMaxFrameFour) {
  ASSERT_NE(T.P_BULLETS, nullptr);
  EXPECT_EQ(T.MAXBULLET, PLAYER_BUILD ? 64 : 128) << "INIT sizes the array from the build's default";
  for (int32_t I = 0; I < NBARRAGE::DEFAULT_MAXBULLET; ++I) {
    const BULLET_TYPE& B = T.P_BULLETS[I];
    ASSERT_EQ(B.ACTIVE, 0) << "slot " << I << " starts free";
    ASSERT_EQ(B.MAXFRAME, 4) << "free slots get MAXFRAME 4, not CURRENT_NUM_FRAME";
    ASSERT_EQ(B.ENERGY, 10) << "slot " << I;
    ASSERT_EQ(B.DEATH_ID, 1) << "slot " << I;
    ASSERT_EQ(B.MINFRAME, 0) << "slot " << I;
  }
  EXPECT_EQ(T.CURRENT_NUM_FRAME, 1) << "the turret's own frame count stays 1";
  EXPECT_EQ(T.P_NODE, T.P_PARAMETERS) << "the cursor starts on the first node";
  ASSERT_NE(T.P_PARAMETERS, nullptr);
  EXPECT_EQ(T.P_PARAMETERS->DATA, nullptr) << "a new list is one empty node";
  EXPECT_EQ(T.P_PARAMETERS->NEXT, nullptr) << "a new list is one empty node";
}

TEST_F(TurretTest, InitStoresTheDefaults) {
  EXPECT_EQ(T.ACTIVE, -1) << "a ready turret is active";
  EXPECT_EQ(T.SPAWNDELAY, 0) << "so the first SHOOT fires at once";
  EXPECT_EQ(T.MAXROTATION, 360);
  EXPECT_EQ(T.ROTSPEED, 3);
  EXPECT_EQ(T.ROTDIR, 1);
  EXPECT_EQ(T.MAXSPAWNDELAY, 3);
  EXPECT_EQ(T.BULLETWAVEMAXDELAY, 2);
  EXPECT_EQ(T.SPREAD_ROTATION, 3) << "SPREAD_ROTATION follows ROTSPEED";
  EXPECT_EQ(T.BULLETOFFSET, 1.0f);
  if constexpr (PLAYER_BUILD) {
    EXPECT_EQ(T.BULLETSPEED, 2) << "the player's integer speed is 1.5 rounded half to even";
  } else {
    EXPECT_EQ(T.BULLETSPEED, 1.5f);
  }
  EXPECT_EQ(T.INIT, static_cast<void (*)(TURRET_TYPE&)>(NBARRAGE::INIT)) << "INIT leaves its own slot alone";
  EXPECT_EQ(T.LIST_MANAGE, NBARRAGE::LIST_MANAGE);
  EXPECT_EQ(T.ROTATE, NBARRAGE::ROTATE) << "the wrapping rule is the default binding";
}

TEST(TurretInit, LeavesTheOwnersInitSlotAlone) {
  static int CALLS = 0;
  TURRET_TYPE T{};
  T.INIT = [](TURRET_TYPE& X) {
    ++CALLS;
    NBARRAGE::INIT(X);
  };
  auto* OWN = T.INIT;
  T.INIT(T);
  EXPECT_EQ(CALLS, 1);
  EXPECT_EQ(T.INIT, OWN) << "INIT never writes the INIT slot";
  T.DESTROY(T);
}

TEST(TurretSetDefaults, KeepsWaveMaxBulletKindAndOwnedBlocks) {
  TURRET_TYPE T{};
  NBARRAGE::SET_DEFAULTS(T);
  EXPECT_EQ(T.BULLETWAVEMAX, 0) << "kept from the zero fill";
  EXPECT_EQ(KIND(T), 0) << "kept from the zero fill";

  T.BULLETWAVEMAX = 5;
  KIND(T) = 1;
  T.ROTSPEED = 11;
  T.SPREAD_ROTATION = 40;
  NBARRAGE::SET_DEFAULTS(T);
  EXPECT_EQ(T.BULLETWAVEMAX, 5) << "SET_DEFAULTS does not touch BULLETWAVEMAX";
  EXPECT_EQ(KIND(T), 1) << "SET_DEFAULTS does not touch the bullet kind";
  EXPECT_EQ(T.SPREAD_ROTATION, 3) << "SPREAD_ROTATION is set from the new ROTSPEED";
  EXPECT_EQ(T.P_BULLETS, nullptr);
}

TEST(TurretSetDefaults, ClearsTheBorrowedPoints) {
  COORD_TYPE P{}, Q{};
  TURRET_TYPE T{};
  T.P_POSITION = &P;
  T.P_TARGET = &Q;
  NBARRAGE::SET_DEFAULTS(T);
  EXPECT_EQ(T.P_TARGET, nullptr) << "the aim point is detached";
  if constexpr (PLAYER_BUILD) {
    EXPECT_EQ(T.P_POSITION, &P) << "the player's build keeps P_POSITION";
  } else {
    EXPECT_EQ(T.P_POSITION, nullptr) << "the designer's build detaches the position too";
  }
}

// ---- DESTROY ------------------------------------------------------------------------------

TEST(TurretDestroy, ReleasesEverythingAndClearsTheSlots) {
  const std::size_t BEFORE = LEAKSCOPE_COUNT();
  COORD_TYPE P{}, Q{};
  TURRET_TYPE T{};
  T.INIT = NBARRAGE::INIT;
  T.INIT(T);
  ADD(T, MAKE_SET(0));
  ADD(T, MAKE_SET(0));
  T.SET_POSITION(T, &P);
  T.SET_TARGET(T, &Q);
  T.ROTATION = 77;
  EXPECT_EQ(LEAKSCOPE_COUNT(), BEFORE + 6) << "bullets, three nodes and two sets";
  T.DESTROY(T);
  EXPECT_EQ(LEAKSCOPE_COUNT(), BEFORE) << "DESTROY releases the array and the whole list";
  EXPECT_EQ(T.P_BULLETS, nullptr);
  EXPECT_EQ(T.P_PARAMETERS, nullptr);
  EXPECT_EQ(T.P_NODE, nullptr);
  EXPECT_EQ(T.P_TARGET, nullptr);
  EXPECT_EQ(T.DESTROY, nullptr);
  EXPECT_EQ(T.SHOOT, nullptr);
  EXPECT_EQ(T.ROTATE, nullptr);
  EXPECT_EQ(T.LIST_ADD, nullptr);
  EXPECT_EQ(T.LIST_MANAGE, nullptr);
  EXPECT_EQ(T.SET_TARGET, nullptr);
  EXPECT_EQ(T.SET_POSITION, nullptr);
  EXPECT_EQ(T.ROTATION, 77) << "other fields keep their values";
  if constexpr (PLAYER_BUILD) {
    EXPECT_NE(T.INIT, nullptr) << "the player's DESTROY leaves the INIT slot";
    EXPECT_EQ(T.P_POSITION, &P) << "the player's DESTROY leaves P_POSITION";
  } else {
    EXPECT_EQ(T.INIT, nullptr) << "the INIT slot is null after DESTROY although INIT never wrote it";
    EXPECT_EQ(T.P_POSITION, nullptr);
  }
}

TEST(TurretDestroy, SecondDestroyAndNeverInitialisedReleaseNothing) {
  ReportCapture CAP;
  TURRET_TYPE T{};
  NBARRAGE::DESTROY(T);  // INIT never ran
  T.INIT = NBARRAGE::INIT;
  T.INIT(T);
  T.DESTROY(T);
  NBARRAGE::DESTROY(T);
  EXPECT_EQ(CAP.ERR_TEXT(), "") << "a second DESTROY releases nothing, so nothing is reported";
  EXPECT_EQ(T.P_BULLETS, nullptr);
}

TEST(TurretDestroy, DestroyedTurretCanBeMadeReadyAgain) {
  TURRET_TYPE T{};
  T.INIT = NBARRAGE::INIT;
  T.INIT(T);
  T.DESTROY(T);
  T.INIT = NBARRAGE::INIT;
  T.INIT(T);
  ASSERT_NE(T.SHOOT, nullptr);
  STEP(T);
  EXPECT_EQ(LIVE_COUNT(T), 1) << "a re-initialised turret fires on its first step";
  T.DESTROY(T);
}

// ---- The list procedures ------------------------------------------------------------------

TEST(ParamList, AddFillsTheEndNodeAndAppendsAnEmptyOne) {
  NBARRAGE::TURRET_PARAM_LIST* L = NBARRAGE::PARAM_CREATE();
  TURRET_PARAM_TYPE* A = NBARRAGE::PARAM_ADD(L);
  TURRET_PARAM_TYPE* B = NBARRAGE::PARAM_ADD(L);
  EXPECT_EQ(COUNT_NODES(L), 3) << "n sets make n + 1 nodes";
  EXPECT_EQ(NBARRAGE::PARAM_GETDATA(L), A) << "sets stay in the order they were added";
  NBARRAGE::TURRET_PARAM_LIST* SECOND = NBARRAGE::PARAM_GETNEXT(L);
  EXPECT_EQ(NBARRAGE::PARAM_GETDATA(SECOND), B);
  NBARRAGE::TURRET_PARAM_LIST* LAST = NBARRAGE::PARAM_GETLAST(L);
  EXPECT_EQ(LAST->DATA, nullptr) << "the list ends with one empty node";
  EXPECT_EQ(LAST, SECOND->NEXT);
  EXPECT_EQ(B->DELAY, 0) << "a new set is zero-filled";

  const std::size_t BEFORE = LEAKSCOPE_COUNT();
  NBARRAGE::PARAM_DESTROY(L);
  EXPECT_EQ(LEAKSCOPE_COUNT(), BEFORE - 5) << "three nodes and two sets are released";
  EXPECT_EQ(L, nullptr) << "PARAM_DESTROY clears the head";
  NBARRAGE::PARAM_DESTROY(L);  // a null list: nothing happens
}

TEST(ParamList, NullListGivesNullsAndAnUnlinkedSet) {
  NBARRAGE::TURRET_PARAM_LIST* L = nullptr;
  EXPECT_EQ(NBARRAGE::PARAM_GETFIRST(L), nullptr);
  EXPECT_EQ(NBARRAGE::PARAM_GETNEXT(L), nullptr);
  EXPECT_EQ(NBARRAGE::PARAM_GETLAST(L), nullptr);
  EXPECT_EQ(NBARRAGE::PARAM_GETDATA(L), nullptr);
  TURRET_PARAM_TYPE* S = NBARRAGE::PARAM_ADD(L);
  ASSERT_NE(S, nullptr);
  EXPECT_EQ(L, nullptr) << "the set is returned to the caller, unlinked";
  LEAKSCOPE_DEALLOCATE(S, "test", __LINE__, "s");
}

// ---- LIST_MANAGE timing -------------------------------------------------------------------

TEST_F(TurretTest, EmptyListReturnsZeroAndChangesNothing) {
  T.ROTATION = 5;
  EXPECT_EQ(T.LIST_MANAGE(T, 0, 0), 0) << "an empty programme applies nothing";
  EXPECT_EQ(T.LISTINDEX, 0);
  EXPECT_EQ(T.ROTATION, 5);
}

TEST_F(TurretTest, SetWithDelayZeroIsAppliedOnTheFirstCallOnly) {
  TURRET_PARAM_TYPE S = MAKE_SET(0);
  S.ROTATION = 45;
  TURRET_PARAM_TYPE* P = &S;
  T.LIST_ADD(T, P);
  S.ROTATION = 99;  // the caller may change its own set after adding it
  EXPECT_EQ(T.LIST_MANAGE(T, 0, 0), -1) << "DELAY 0 applies on the first call";
  EXPECT_EQ(T.ROTATION, 45) << "the stored copy was applied, not the caller's set";
  EXPECT_EQ(S.DELAY, 0) << "the caller's set is not counted down";
  EXPECT_EQ(T.P_PARAMETERS->DATA->DELAY, -1) << "the stored copy is left at -1";
  for (int I = 0; I < 5; ++I) EXPECT_EQ(T.LIST_MANAGE(T, 0, 0), 0) << "a finished list applies nothing";
  EXPECT_EQ(T.LISTINDEX, 1);
}

TEST_F(TurretTest, SetWithDelayThreeIsAppliedOnTheFourthCall) {
  ADD(T, MAKE_SET(3));
  EXPECT_EQ(T.LIST_MANAGE(T, 0, 0), 0);
  EXPECT_EQ(T.LIST_MANAGE(T, 0, 0), 0);
  EXPECT_EQ(T.LIST_MANAGE(T, 0, 0), 0);
  EXPECT_EQ(T.LISTINDEX, 0);
  EXPECT_EQ(T.LIST_MANAGE(T, 0, 0), -1) << "DELAY d applies on call d + 1";
  EXPECT_EQ(T.LISTINDEX, 1);
}

TEST_F(TurretTest, DelaysAreRelativeAndOneSetIsAppliedPerCall) {
  ADD(T, MAKE_SET(2));
  ADD(T, MAKE_SET(0));
  ADD(T, MAKE_SET(-5));
  std::vector<int> APPLIED;
  for (int CALL = 1; CALL <= 8; ++CALL)
    if (T.LIST_MANAGE(T, 0, 0) == -1) APPLIED.push_back(CALL);
  EXPECT_EQ(APPLIED, (std::vector<int>{3, 4, 5}))
      << "delays 2, 0, -5 apply on calls 3, 4 and 5: one set per call, countdown after the predecessor";
  EXPECT_EQ(T.LISTINDEX, 3);
}

TEST_F(TurretTest, SetAddedAfterTheListFinishedIsReached) {
  ADD(T, MAKE_SET(0));
  EXPECT_EQ(T.LIST_MANAGE(T, 0, 0), -1);
  EXPECT_EQ(T.LIST_MANAGE(T, 0, 0), 0);
  ADD(T, MAKE_SET(1));
  EXPECT_EQ(T.LIST_MANAGE(T, 0, 0), 0);
  EXPECT_EQ(T.LIST_MANAGE(T, 0, 0), -1) << "the new set went into the node under the cursor";
}

TEST_F(TurretTest, AppliedSetCopiesItsFields) {
  COORD_TYPE TGT{};
  T.SET_TARGET(T, &TGT);
  KIND(T) = 7;
  TURRET_PARAM_TYPE S = MAKE_SET(0);
  S.TARGETING = -1;
  S.X = 10.5f;
  S.Y = 20.25f;
  S.XV = 1.0f;
  S.YV = -1.0f;
  S.TARGETX = 3.0f;
  S.TARGETY = 4.0f;
  S.RADIUS = 12.0f;
  S.ROTATION = 30;
  S.MINROTATION = 10;
  S.MAXROTATION = 200;
  S.ROTSPEED = 5;
  S.ROTDIR = -1;
  S.SPAWNDELAY = 6;
  S.MAXSPAWNDELAY = 9;
  S.MAXBULLET = 20;
  S.BULLET_ENERGY = 33;
  S.BULLET_DEATH_ID = 4;
  S.BULLETS_PER_SHOT = 7;
  S.SPREAD_ROTATION = 13;
  S.BULLETSPEED = static_cast<SPEED_TYPE>(3);
  S.BULLETSPEED_DELTA = 0.25f;
  S.BULLETOFFSET = 2.0f;
  S.WAVEMODE = 4;
  S.BULLETCOUNTER = 2;
  S.BULLETWAVEMAX = 3;
  S.BULLETWAVEMAXDELAY = 8;
  KIND(S) = 1;
  S.BULLET_MIN_FRAME = 24;
  S.BULLET_NUM_FRAME = 6;
  ADD(T, S);
  ASSERT_EQ(T.LIST_MANAGE(T, 0, 0), -1);
  EXPECT_EQ(T.TARGETING, -1);
  EXPECT_EQ(T.X, 10.5f);
  EXPECT_EQ(T.Y, 20.25f);
  EXPECT_EQ(T.YV, -1.0f);
  EXPECT_EQ(T.TARGETY, 4.0f);
  EXPECT_EQ(T.RADIUS, 12.0f);
  EXPECT_EQ(T.ROTATION, 30);
  EXPECT_EQ(T.MINROTATION, 10);
  EXPECT_EQ(T.MAXROTATION, 200);
  EXPECT_EQ(T.ROTDIR, -1);
  EXPECT_EQ(T.SPAWNDELAY, 6);
  EXPECT_EQ(T.MAXSPAWNDELAY, 9);
  EXPECT_EQ(T.MAXBULLET, 20);
  EXPECT_EQ(T.BULLET_DEATH_ID, 4);
  EXPECT_EQ(T.BULLETS_PER_SHOT, 7);
  EXPECT_EQ(T.SPREAD_ROTATION, 13);
  EXPECT_EQ(T.BULLETSPEED, static_cast<SPEED_TYPE>(3));
  EXPECT_EQ(T.BULLETSPEED_DELTA, 0.25f);
  EXPECT_EQ(T.BULLETOFFSET, 2.0f);
  EXPECT_EQ(T.WAVEMODE, 4);
  EXPECT_EQ(T.BULLETCOUNTER, 2);
  EXPECT_EQ(T.BULLETWAVEMAX, 3);
  EXPECT_EQ(T.BULLETWAVEMAXDELAY, 8);
  EXPECT_EQ(T.CURRENT_MIN_FRAME, 24) << "BULLET_MIN_FRAME goes to CURRENT_MIN_FRAME";
  EXPECT_EQ(T.CURRENT_NUM_FRAME, 6) << "BULLET_NUM_FRAME goes to CURRENT_NUM_FRAME";
  EXPECT_EQ(T.P_TARGET, &TGT) << "a set has no points: the turret's stay";
  if constexpr (PLAYER_BUILD) {
    EXPECT_EQ(KIND(T), 7) << "the player's LIST_MANAGE does not copy BULLETSHOOT";
  } else {
    EXPECT_EQ(KIND(T), 1) << "the designer's LIST_MANAGE copies BULLET_TYPE";
  }
}

TEST_F(TurretTest, RotationAiOfEachSetRebindsTheRotateSlot) {
  TURRET_PARAM_TYPE S = MAKE_SET(0);
  S.ROTATION_AI = 1;
  ADD(T, S);
  S.ROTATION_AI = 0;
  ADD(T, S);
  ASSERT_EQ(T.LIST_MANAGE(T, 0, 0), -1);
  EXPECT_EQ(T.ROTATE, NBARRAGE::ROTATE2) << "ROTATION_AI 1 binds the bouncing rule";
  ASSERT_EQ(T.LIST_MANAGE(T, 0, 0), -1);
  EXPECT_EQ(T.ROTATE, NBARRAGE::ROTATE) << "ROTATION_AI 0 binds the wrapping rule again";
}

TEST_F(TurretTest, FreeSlotsTakeTheNewLookAndLiveBulletsKeepTheirs) {
  BULLET_TYPE& LIVE = T.P_BULLETS[2];
  LIVE.ACTIVE = -1;
  LIVE.X = LIVE.Y = 100.0f;
  TURRET_PARAM_TYPE S = MAKE_SET(0);
  S.BULLET_MIN_FRAME = 8;
  S.BULLET_NUM_FRAME = 3;
  S.BULLET_ENERGY = 55;
  S.BULLET_DEATH_ID = 9;
  ADD(T, S);
  ASSERT_EQ(T.LIST_MANAGE(T, 0, 0), -1);
  EXPECT_EQ(T.P_BULLETS[0].MINFRAME, 8);
  EXPECT_EQ(T.P_BULLETS[0].MAXFRAME, 3);
  EXPECT_EQ(T.P_BULLETS[0].ENERGY, 55);
  EXPECT_EQ(T.P_BULLETS[0].DEATH_ID, 1) << "LIST_MANAGE leaves DEATH_ID to SHOOT's refresh";
  EXPECT_EQ(LIVE.MINFRAME, 0) << "a live bullet keeps its look";
  EXPECT_EQ(LIVE.MAXFRAME, 4);
  EXPECT_EQ(LIVE.ENERGY, 10);
}

TEST_F(TurretTest, NonZeroCoordinatesReplaceTheSetsPosition) {
  TURRET_PARAM_TYPE S = MAKE_SET(0);
  S.X = 5.0f;
  S.Y = 6.0f;
  ADD(T, S);
  ADD(T, S);
  ASSERT_EQ(T.LIST_MANAGE(T, 40, 0), -1);
  EXPECT_EQ(T.X, 40.0f) << "a non-zero X replaces the set's X";
  EXPECT_EQ(T.Y, 6.0f) << "Y 0 leaves the set's Y";
  ASSERT_EQ(T.LIST_MANAGE(T, 0, -7), -1);
  EXPECT_EQ(T.X, 5.0f);
  EXPECT_EQ(T.Y, -7.0f);
}

TEST_F(TurretTest, SetWithMaxBulletZeroFreezesBulletsUntilRaised) {
  T.P_BULLETS[0].ACTIVE = -1;
  T.P_BULLETS[0].X = 100.0f;
  T.P_BULLETS[0].XV = 1.0f;
  TURRET_PARAM_TYPE S = MAKE_SET(0);
  S.MAXBULLET = 0;
  S.SPAWNDELAY = 100;
  ADD(T, S);
  S.DELAY = 2;
  S.MAXBULLET = 10;
  ADD(T, S);
  STEP(T);
  STEP(T);
  EXPECT_EQ(T.P_BULLETS[0].X, 100.0f) << "MAXBULLET 0: no pass covers any slot";
  STEP(T);
  EXPECT_EQ(T.P_BULLETS[0].X, 100.0f);
  STEP(T);  // the second set raises MAXBULLET again
  EXPECT_EQ(T.P_BULLETS[0].X, 101.0f) << "the bullet moves again once MAXBULLET covers it";
}
