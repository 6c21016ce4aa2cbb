// Shared main of the test programs: no key wait at exit, and every test doubles as a leak
// test (it must return every block it took from the allocation tracker).
#include <gtest/gtest.h>

#include "leakscope/leakscope.hpp"

namespace {

class LeakCheck : public ::testing::EmptyTestEventListener {
  std::size_t BEFORE = 0;
  void OnTestStart(const ::testing::TestInfo&) override { BEFORE = LEAKSCOPE_COUNT(); }
  void OnTestEnd(const ::testing::TestInfo&) override {
    EXPECT_EQ(LEAKSCOPE_COUNT(), BEFORE) << "the test left blocks in the allocation tracker";
  }
};

}  // namespace

int main(int argc, char** argv) {
  LEAKSCOPE_SET_EXIT_WAIT(false);
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::UnitTest::GetInstance()->listeners().Append(new LeakCheck);
  return RUN_ALL_TESTS();
}
