// Engine tests that the scenarios cannot express: the lifecycle of turrets, lists and the pool
// (pointers, bound slots, blocks in the tracker).
#include "tests/unit/turret_module_test_util.hpp"

using namespace volley_test;

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
  TURRET_PARAM_TYPE S{};
  for (TURRET_PARAM_TYPE* X : {&S, &S}) T.LIST_ADD(T, X);
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

TEST_F(PoolTest, DestroyForgetsTheArray) {
  POOL.DESTROY(POOL);
  EXPECT_EQ(POOL.P_BULLETS, nullptr) << "the released array is forgotten";
  EXPECT_EQ(POOL.MAXBULLET, 0);
  BARRAGE_SHOOT(POOL);  // touches nothing
  BARRAGE_COPY_BULLETS(POOL, T);
  ReportCapture CAP;
  DESTROY(POOL);
  EXPECT_EQ(CAP.ERR_TEXT().rfind("(LEAKSCOPE) Invalid deallocate(barrage.p_bullets) [&H0]", 0), 0u)
      << "a second pool DESTROY hands a null block to the tracker: " << CAP.ERR_TEXT();
}
