// Engine tests: turret lifecycle and the timed parameter list, for the build this file is
// compiled against (designer or player).
#include "tests/unit/turret_module_test_util.hpp"

using namespace volley_test;

// ---- Lifecycle ----------------------------------------------------------------------------

TEST_F(TurretTest, FreeSlotsHaveMaxFrameFour) {
  ASSERT_NE(T.P_BULLETS, nullptr);
  EXPECT_EQ(T.MAXBULLET, PLAYER_BUILD ? 64 : 128) << "INIT sizes the array from the build's default";
  for (int32_t I = 0; I < DEFAULT_MAXBULLET; ++I) {
    const BULLET_TYPE& B = T.P_BULLETS[I];
    ASSERT_TRUE(B.ACTIVE == 0 && B.MAXFRAME == 4 && B.ENERGY == 10 && B.DEATH_ID == 1 && B.MINFRAME == 0)
        << "slot " << I << " starts free with MAXFRAME 4 (not CURRENT_NUM_FRAME), ENERGY 10, DEATH_ID 1";
  }
  EXPECT_EQ((std::vector<int32_t>{T.ACTIVE, T.SPAWNDELAY, T.MAXROTATION, T.ROTSPEED, T.ROTDIR,
                                  T.MAXSPAWNDELAY, T.BULLETWAVEMAXDELAY, T.SPREAD_ROTATION, T.CURRENT_NUM_FRAME}),
            (std::vector<int32_t>{-1, 0, 360, 3, 1, 3, 2, 3, 1}))
      << "defaults: active, fires at once, SPREAD_ROTATION follows ROTSPEED, own frame count 1";
  EXPECT_EQ(T.BULLETOFFSET, 1.0f);
  EXPECT_EQ(T.BULLETSPEED, static_cast<SPEED_TYPE>(PLAYER_BUILD ? 2 : 1.5))
      << "the player's integer speed is 1.5 rounded half to even";
  ASSERT_NE(T.P_PARAMETERS, nullptr);
  EXPECT_TRUE(T.P_NODE == T.P_PARAMETERS && T.P_PARAMETERS->DATA == nullptr && T.P_PARAMETERS->NEXT == nullptr)
      << "a new list is one empty node under the cursor";
}

TEST(TurretSetDefaults, ClearsTheBorrowedPoints) {
  COORD_TYPE P{}, Q{};
  TURRET_TYPE T{};
  T.P_POSITION = &P, T.P_TARGET = &Q;
  T.BULLETWAVEMAX = 5, KIND(T) = 1, T.ROTSPEED = 11, T.SPREAD_ROTATION = 40;
  SET_DEFAULTS(T);
  EXPECT_EQ(T.BULLETWAVEMAX, 5) << "SET_DEFAULTS does not touch BULLETWAVEMAX";
  EXPECT_EQ(KIND(T), 1) << "nor the bullet kind";
  EXPECT_EQ(T.SPREAD_ROTATION, 3) << "SPREAD_ROTATION is set from the new ROTSPEED";
  EXPECT_EQ(T.P_TARGET, nullptr) << "the aim point is detached";
  EXPECT_EQ(T.P_POSITION, PLAYER_BUILD ? &P : nullptr) << "only the designer's build detaches the position";
}

TEST(TurretDestroy, ReleasesEverythingAndClearsTheSlots) {
  const std::size_t BEFORE = LEAKSCOPE_COUNT();
  COORD_TYPE P{}, Q{};
  TURRET_TYPE T{};
  T.INIT = [](TURRET_TYPE& X) { INIT(X); };
  auto* OWN = T.INIT;
  T.INIT(T);
  EXPECT_EQ(T.INIT, OWN) << "INIT never writes the INIT slot";
  ADD(T, MAKE_SET(0)), ADD(T, MAKE_SET(0));
  T.SET_POSITION(T, &P), T.SET_TARGET(T, &Q);
  T.ROTATION = 77;
  EXPECT_EQ(LEAKSCOPE_COUNT(), BEFORE + 6) << "bullets, three nodes and two sets";
  T.DESTROY(T);
  EXPECT_EQ(LEAKSCOPE_COUNT(), BEFORE) << "DESTROY releases the array and the whole list";
  EXPECT_TRUE(T.P_BULLETS == nullptr && T.P_PARAMETERS == nullptr && T.P_NODE == nullptr && T.P_TARGET == nullptr)
      << "the owned blocks, the cursor and the aim point are forgotten";
  EXPECT_TRUE(T.DESTROY == nullptr && T.SHOOT == nullptr && T.ROTATE == nullptr && T.LIST_ADD == nullptr &&
              T.LIST_MANAGE == nullptr && T.SET_TARGET == nullptr && T.SET_POSITION == nullptr)
      << "the seven slots bound by INIT are cleared";
  EXPECT_EQ(T.ROTATION, 77) << "other fields keep their values";
  EXPECT_EQ(T.INIT, PLAYER_BUILD ? OWN : nullptr) << "only the designer's DESTROY clears the INIT slot";
  EXPECT_EQ(T.P_POSITION, PLAYER_BUILD ? &P : nullptr) << "only the designer's DESTROY clears P_POSITION";
  TURRET_TYPE NEVER{};
  ReportCapture CAP;
  DESTROY(T), DESTROY(NEVER);
  EXPECT_EQ(CAP.ERR_TEXT(), "") << "a second DESTROY, or one before INIT, releases nothing";
}

// ---- The list procedures ------------------------------------------------------------------

// PARAM_DESTROY's release is pinned by TurretDestroy.ReleasesEverythingAndClearsTheSlots.
TEST(ParamList, AddKeepsTheOrderAndAnEmptyLastNode) {
  TURRET_PARAM_LIST* L = PARAM_CREATE();
  TURRET_PARAM_TYPE* A = PARAM_ADD(L);
  TURRET_PARAM_TYPE* B = PARAM_ADD(L);
  TURRET_PARAM_LIST* SECOND = PARAM_GETNEXT(L);
  EXPECT_TRUE(PARAM_GETDATA(L) == A && PARAM_GETDATA(SECOND) == B)
      << "sets stay in the order they were added";
  EXPECT_TRUE(PARAM_GETLAST(L) == SECOND->NEXT && SECOND->NEXT->DATA == nullptr)
      << "n sets make n + 1 nodes, the last one empty";
  PARAM_DESTROY(L);
  TURRET_PARAM_TYPE* S = PARAM_ADD(L);
  EXPECT_TRUE(S != nullptr && L == nullptr) << "adding to a null list returns the set unlinked";
  LEAKSCOPE_DEALLOCATE(S, "test", __LINE__, "s");
}

// ---- LIST_MANAGE --------------------------------------------------------------------------

TEST_F(TurretTest, ListAppliesOneSetPerCallAfterItsDelay) {
  const struct {
    std::vector<int32_t> DELAYS;
    std::vector<int> APPLIED;
  } CASES[] = {{{}, {}}, {{0}, {1}}, {{3}, {4}}, {{2, 0}, {3, 4}}, {{2, 0, -5}, {3, 4, 5}}};
  for (const auto& C : CASES) {
    RESTART();
    for (int32_t D : C.DELAYS) ADD(T, MAKE_SET(D));
    std::vector<int> APPLIED;
    for (int CALL = 1; CALL <= 8; ++CALL)
      if (T.LIST_MANAGE(T, 0, 0) == -1) APPLIED.push_back(CALL);
    EXPECT_EQ(APPLIED, C.APPLIED) << C.DELAYS.size() << " sets: delay d applies d + 1 calls after its predecessor";
    EXPECT_EQ(T.LISTINDEX, static_cast<int32_t>(C.DELAYS.size()));
  }
  ADD(T, MAKE_SET(1));
  EXPECT_EQ(T.LIST_MANAGE(T, 0, 0), 0);
  EXPECT_EQ(T.LIST_MANAGE(T, 0, 0), -1) << "a set added after the list finished goes under the cursor";
}

TEST_F(TurretTest, AppliedSetCopiesItsFields) {
  COORD_TYPE TGT{};
  T.SET_TARGET(T, &TGT);
  KIND(T) = 7;
  TURRET_PARAM_TYPE S = MAKE_SET(0);
#define SAME_NAMED(F)                                                                               \
  F(TARGETING) F(X) F(Y) F(XV) F(YV) F(TARGETX) F(TARGETY) F(ACTIVE) F(RADIUS) F(ROTATION)          \
  F(MINROTATION) F(MAXROTATION) F(ROTSPEED) F(ROTDIR) F(SPAWNDELAY) F(MAXSPAWNDELAY) F(MAXBULLET)   \
  F(BULLET_ENERGY) F(BULLET_DEATH_ID) F(BULLETS_PER_SHOT) F(SPREAD_ROTATION) F(BULLETSPEED)         \
  F(BULLETSPEED_DELTA) F(BULLETOFFSET) F(WAVEMODE) F(BULLETCOUNTER) F(BULLETWAVEMAX) F(BULLETWAVEMAXDELAY)
#define SET_FIELD(N) S.N = static_cast<decltype(S.N)>(V++);
#define CHECK_FIELD(N) EXPECT_EQ(T.N, static_cast<decltype(T.N)>(V++)) << #N " is copied";
  int V = 20;
  SAME_NAMED(SET_FIELD)
  S.BULLET_MIN_FRAME = 24, S.BULLET_NUM_FRAME = 6, KIND(S) = 1;
  TURRET_PARAM_TYPE* P = &S;
  T.LIST_ADD(T, P), S.ROTATION = 99;  // the caller may change its own set after adding it
  ASSERT_EQ(T.LIST_MANAGE(T, 0, 0), -1);
  V = 20;
  SAME_NAMED(CHECK_FIELD)
  EXPECT_EQ(S.DELAY, 0) << "the stored copy was applied: the caller's set is not counted down";
  EXPECT_EQ(T.P_PARAMETERS->DATA->DELAY, -1) << "the stored copy is left at -1";
  EXPECT_TRUE(T.CURRENT_MIN_FRAME == 24 && T.CURRENT_NUM_FRAME == 6) << "the two frame fields go to CURRENT_*";
  EXPECT_EQ(T.P_TARGET, &TGT) << "a set has no points: the turret's stay";
  EXPECT_EQ(KIND(T), PLAYER_BUILD ? 7 : 1)
      << "only the designer's LIST_MANAGE copies the bullet kind";
}

TEST_F(TurretTest, AppliedSetRebindsRotationRestylesFreeSlotsAndTakesCoordinates) {
  BULLET_TYPE& LIVE_B = T.P_BULLETS[2];
  LIVE_B.ACTIVE = -1;
  TURRET_PARAM_TYPE S = MAKE_SET(0);
  S.ROTATION_AI = 1, S.BULLET_MIN_FRAME = 8, S.BULLET_NUM_FRAME = 3, S.BULLET_ENERGY = 55, S.BULLET_DEATH_ID = 9;
  S.X = 5.0f, S.Y = 6.0f;
  ADD(T, S);
  S.ROTATION_AI = 0, ADD(T, S);
  ASSERT_EQ(T.LIST_MANAGE(T, 40, 0), -1);
  EXPECT_EQ(T.ROTATE, ROTATE2) << "ROTATION_AI 1 binds the bouncing rule";
  const BULLET_TYPE& F = T.P_BULLETS[0];
  EXPECT_TRUE(F.MINFRAME == 8 && F.MAXFRAME == 3 && F.ENERGY == 55) << "free slots take the set's look";
  EXPECT_EQ(F.DEATH_ID, 1) << "LIST_MANAGE leaves DEATH_ID to SHOOT's refresh";
  EXPECT_TRUE(LIVE_B.MINFRAME == 0 && LIVE_B.MAXFRAME == 4 && LIVE_B.ENERGY == 10) << "a live bullet keeps its look";
  EXPECT_TRUE(T.X == 40.0f && T.Y == 6.0f) << "a non-zero X replaces the set's X, Y 0 leaves the set's Y";
  ASSERT_EQ(T.LIST_MANAGE(T, 0, -7), -1);
  EXPECT_EQ(T.ROTATE, ROTATE) << "ROTATION_AI 0 binds the wrapping rule again";
  EXPECT_TRUE(T.X == 5.0f && T.Y == -7.0f) << "and the other way round";
}

TEST_F(TurretTest, SetWithMaxBulletZeroFreezesBulletsUntilRaised) {
  T.P_BULLETS[0] = {.X = 100.0f, .XV = 1.0f, .ACTIVE = -1};
  TURRET_PARAM_TYPE S = MAKE_SET(0);
  S.MAXBULLET = 0, S.SPAWNDELAY = 100, ADD(T, S);
  S.DELAY = 2, S.MAXBULLET = 10, ADD(T, S);
  for (int I = 0; I < 3; ++I) STEP(T);
  EXPECT_EQ(T.P_BULLETS[0].X, 100.0f) << "MAXBULLET 0: no pass covers any slot";
  STEP(T);  // the second set raises MAXBULLET again
  EXPECT_EQ(T.P_BULLETS[0].X, 101.0f) << "the bullet moves again once MAXBULLET covers it";
}
