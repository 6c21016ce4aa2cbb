// Hardening of the command line: a --png pattern may pad the frame number to 32 places at most;
// a wider field (which made expanding a name take seconds) is refused.
#include <gtest/gtest.h>

#include <string>

#include "harness/options.hpp"

namespace {

TEST(HardeningOptions, FieldWidthIsLimitedToThirtyTwo) {
  EXPECT_TRUE(harness::valid_frame_pattern("f%032d.png"));
  EXPECT_EQ(harness::frame_file_name("f%032d.png", 7), "f" + std::string(31, '0') + "7.png")
      << "a 32-place field is expanded in full";
  EXPECT_FALSE(harness::valid_frame_pattern("f%033d.png")) << "33 places are refused";
  EXPECT_FALSE(harness::valid_frame_pattern("shot%88888805d.png"))
      << "a width of millions is refused, not padded";
  EXPECT_FALSE(harness::valid_frame_pattern("%-999999999u.png")) << "after a flag too";
}

}  // namespace
