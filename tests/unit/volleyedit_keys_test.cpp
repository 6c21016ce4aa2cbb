// Tests of the designer's key rules: auto-repeat on the first frame of a hold and every fifth
// frame after it, and press detection that ignores holding.
#include <gtest/gtest.h>

#include <vector>

#include "volleyedit/keys.hpp"

namespace {

using NDESIGNER::PRESS_KEY;
using NDESIGNER::REPEAT_KEY;

// Frames (1-based) in which the action ran, for a key whose state per frame is given.
std::vector<int> REPEAT_FRAMES(REPEAT_KEY K, const std::vector<int>& STATES) {
  std::vector<int> ACTED;
  for (std::size_t F = 0; F < STATES.size(); ++F)
    if (NDESIGNER::STEP_REPEAT(K, STATES[F])) ACTED.push_back(static_cast<int>(F) + 1);
  return ACTED;
}

constexpr REPEAT_KEY FRESH{0, 0, NDESIGNER::REPEAT_READY_START};

TEST(KeyRepeat, HoldActsOnFramesOneSixAndEleven) {
  EXPECT_EQ(REPEAT_FRAMES(FRESH, std::vector<int>(11, 1)), (std::vector<int>{1, 6, 11}))
      << "a key held for 11 frames acts three times";
}

TEST(KeyRepeat, ReleaseForOneFrameActsAtOnceOnThePress) {
  const std::vector<int> STATES = {1, 1, 1, 0, 1, 1, 1, 1, 1, 1};
  EXPECT_EQ(REPEAT_FRAMES(FRESH, STATES), (std::vector<int>{1, 5, 10}))
      << "after one frame up the next press acts in its first frame";
}

TEST(KeyRepeat, HoldingAcrossCallsIsNotANewPress) {
  // The chooser keeps its key values from one call to the next: a key still held when the next
  // call starts continues its countdown instead of acting at once.
  REPEAT_KEY K = FRESH;
  EXPECT_TRUE(NDESIGNER::STEP_REPEAT(K, 1)) << "first frame of the hold";
  EXPECT_FALSE(NDESIGNER::STEP_REPEAT(K, 1));
  EXPECT_FALSE(NDESIGNER::STEP_REPEAT(K, 1)) << "a continued hold does not act again at once";
  EXPECT_EQ(K.READY, 2) << "two frames into the hold, three to go";
}

TEST(KeyPress, ActsOnlyOnTheFrameTheKeyGoesDown) {
  PRESS_KEY K{0, 0};
  EXPECT_TRUE(NDESIGNER::STEP_PRESS(K, 1));
  EXPECT_FALSE(NDESIGNER::STEP_PRESS(K, 1)) << "holding does not repeat";
  EXPECT_FALSE(NDESIGNER::STEP_PRESS(K, 0));
  EXPECT_TRUE(NDESIGNER::STEP_PRESS(K, 1)) << "a new press acts again";
}

}  // namespace
