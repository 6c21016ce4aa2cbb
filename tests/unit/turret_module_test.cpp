// Engine tests: turret lifecycle and the timed parameter list, for the build this file is
// compiled against (designer or player).
#include "tests/unit/turret_module_test_util.hpp"

using namespace volley_test;

TEST_F(TurretTest, FreeSlotsHaveMaxFrameFour) {
  EXPECT_EQ(T.MAXBULLET, PLAYER_BUILD ? 64 : 128) << "INIT sizes the array from the build";
  for (int32_t I = 0; I < DEFAULT_MAXBULLET; ++I) {
    ASSERT_EQ(T.P_BULLETS[I].ACTIVE, 0) << "slot " << I << " starts free";
    ASSERT_EQ(T.P_BULLETS[I].MAXFRAME, 4) << "slot " << I << ": 4, not CURRENT_NUM_FRAME";
  }
  EXPECT_EQ(T.BULLETSPEED, static_cast<SPEED_TYPE>(PLAYER_BUILD ? 2 : 1.5))
      << "the player's integer speed is 1.5 rounded half to even";
}

TEST(TurretSetDefaults, ClearsTheBorrowedPoints) {
  COORD_TYPE P{}, Q{};
  TURRET_TYPE T{.P_POSITION = &P, .P_TARGET = &Q};
  T.BULLETWAVEMAX = 5;
  SET_DEFAULTS(T);
  EXPECT_EQ(T.BULLETWAVEMAX, 5) << "SET_DEFAULTS does not touch BULLETWAVEMAX";
  EXPECT_EQ(T.P_TARGET, nullptr) << "the aim point is detached";
  EXPECT_EQ(T.P_POSITION, PLAYER_BUILD ? &P : nullptr) << "only the designer detaches the position";
}

TEST(TurretDestroy, ReleasesEverythingAndClearsTheSlots) {
  const std::size_t BEFORE = LEAKSCOPE_COUNT();
  COORD_TYPE P{};
  void (*const OWN)(TURRET_TYPE&) = INIT;
  TURRET_TYPE T{.INIT = OWN};
  T.INIT(T);
  ADD(T, MAKE_SET(0));
  ADD(T, MAKE_SET(0));
  T.SET_POSITION(T, &P);
  EXPECT_EQ(LEAKSCOPE_COUNT(), BEFORE + 6) << "bullets, three nodes and two sets";
  T.DESTROY(T);
  EXPECT_EQ(LEAKSCOPE_COUNT(), BEFORE) << "DESTROY releases the array and the whole list";
  EXPECT_EQ(T.P_NODE, nullptr) << "the cursor is forgotten";
  EXPECT_EQ(T.LIST_MANAGE, nullptr) << "the slots bound by INIT are cleared";
  EXPECT_EQ(T.INIT, PLAYER_BUILD ? OWN : nullptr) << "only the designer clears the INIT slot";
  EXPECT_EQ(T.P_POSITION, PLAYER_BUILD ? &P : nullptr) << "only the designer clears P_POSITION";
  ReportCapture CAP;
  DESTROY(T);
  EXPECT_EQ(CAP.ERR_TEXT(), "") << "a second DESTROY releases nothing";
}

TEST(ParamList, AddKeepsTheOrderAndAnEmptyLastNode) {
  TURRET_PARAM_LIST* L = PARAM_CREATE();
  TURRET_PARAM_TYPE* A = PARAM_ADD(L);
  TURRET_PARAM_TYPE* B = PARAM_ADD(L);
  TURRET_PARAM_LIST* SECOND = PARAM_GETNEXT(L);
  EXPECT_EQ(PARAM_GETDATA(L), A) << "sets stay in the order they were added";
  EXPECT_EQ(PARAM_GETDATA(SECOND), B);
  EXPECT_EQ(PARAM_GETLAST(L)->DATA, nullptr) << "n sets make n + 1 nodes, the last one empty";
  PARAM_DESTROY(L);
  TURRET_PARAM_TYPE* S = PARAM_ADD(L);
  EXPECT_EQ(L, nullptr) << "adding to a null list returns the set unlinked";
  LEAKSCOPE_DEALLOCATE(S, "test", __LINE__, "s");
}

TEST_F(TurretTest, ListAppliesOneSetPerCallAfterItsDelay) {
  for (int32_t D : {2, 0, -5}) ADD(T, MAKE_SET(D));
  std::vector<int> APPLIED;
  for (int CALL = 1; CALL <= 8; ++CALL)
    if (T.LIST_MANAGE(T, 0, 0) == -1) APPLIED.push_back(CALL);
  EXPECT_EQ(APPLIED, (std::vector<int>{3, 4, 5})) << "delay d applies d + 1 calls after the last";
  ADD(T, MAKE_SET(1));
  EXPECT_EQ(T.LIST_MANAGE(T, 0, 0), 0);
  EXPECT_EQ(T.LIST_MANAGE(T, 0, 0), -1) << "a set added after the end goes under the cursor";
  EXPECT_EQ(T.LISTINDEX, 4);
}

TEST_F(TurretTest, AppliedSetCopiesItsFields) {
  KIND(T) = 7;
  TURRET_PARAM_TYPE S{.X = 5.0f, .Y = 6.0f, .ACTIVE = -1, .MAXBULLET = DEFAULT_MAXBULLET,
                      .BULLET_ENERGY = 55, .SPREAD_ROTATION = 33, .BULLETWAVEMAXDELAY = 9,
                      .ROTATION_AI = 1, .BULLET_MIN_FRAME = 24, .BULLET_NUM_FRAME = 6};
  KIND(S) = 1;
  ADD(T, S);
  S.ROTATION_AI = 0;
  ADD(T, S);
  T.P_BULLETS[2].ACTIVE = -1;
  ASSERT_EQ(T.LIST_MANAGE(T, 40, 0), -1);
  EXPECT_EQ(T.SPREAD_ROTATION, 33);
  EXPECT_EQ(T.BULLETWAVEMAXDELAY, 9);
  EXPECT_EQ(T.CURRENT_MIN_FRAME, 24) << "the frame fields go to CURRENT_*";
  EXPECT_EQ(T.P_PARAMETERS->DATA->DELAY, -1) << "the stored copy is counted down to -1";
  EXPECT_EQ(KIND(T), PLAYER_BUILD ? 7 : 1) << "only the designer copies the bullet kind";
  EXPECT_EQ(T.ROTATE, ROTATE2) << "ROTATION_AI 1 binds the bouncing rule";
  EXPECT_EQ(T.P_BULLETS[0].ENERGY, 55) << "free slots take the set's look";
  EXPECT_EQ(T.P_BULLETS[2].ENERGY, 10) << "a live bullet keeps its look";
  EXPECT_EQ(T.X, 40.0f) << "a non-zero X replaces the set's X";
  EXPECT_EQ(T.Y, 6.0f) << "Y 0 leaves the set's Y";
  ASSERT_EQ(T.LIST_MANAGE(T, 0, 0), -1);
  EXPECT_EQ(T.ROTATE, ROTATE) << "ROTATION_AI 0 binds the wrapping rule again";
}

TEST_F(TurretTest, SetWithMaxBulletZeroFreezesBulletsUntilRaised) {
  T.P_BULLETS[0] = {.X = 100.0f, .XV = 1.0f, .ACTIVE = -1};
  TURRET_PARAM_TYPE S = MAKE_SET(0);
  S.MAXBULLET = 0;
  S.SPAWNDELAY = 100;
  ADD(T, S);
  S.DELAY = 2;
  S.MAXBULLET = 10;
  ADD(T, S);
  for (int I = 0; I < 3; ++I) STEP(T);
  EXPECT_EQ(T.P_BULLETS[0].X, 100.0f) << "MAXBULLET 0: no pass covers any slot";
  STEP(T);
  EXPECT_EQ(T.P_BULLETS[0].X, 101.0f) << "the bullet moves again once MAXBULLET covers it";
}
