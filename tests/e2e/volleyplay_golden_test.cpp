// Golden traces of the player: a headless traced run must reproduce the checked-in JSON lines
// (tests/golden/), checked line by line by the shared golden check.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../unit/golden.hpp"
#include "run_program.hpp"

namespace {

// Runs the player with ARGS plus "--trace <file>" and compares the trace with GOLDEN.
void CHECK_GOLDEN(const std::string& GOLDEN, std::vector<std::string> ARGS) {
  const std::string TRACE = std::string(VOLLEY_BINARY_DIR) + "/" + GOLDEN + ".actual";
  ARGS.insert(ARGS.begin(), std::string(VOLLEY_RUN_DIR) + "/volleyplay");
  ARGS.push_back("--trace");
  ARGS.push_back(TRACE);
  const e2e::RunResult R = e2e::RUN(ARGS, VOLLEY_RUN_DIR, 120.0);
  ASSERT_FALSE(R.TIMED_OUT) << "a headless run must end by itself";
  ASSERT_EQ(R.EXIT, 0) << R.ERR;
  volley_test::EXPECT_GOLDEN(GOLDEN, e2e::READ_FILE(TRACE));
}

TEST(VolleyplayGolden, FirstFramesUpToTheFirstPatterns) {
  // Frames 1-11 run the idle sets; 12-14 show the first shots of BARRAGE_16 and BARRAGE_1.
  CHECK_GOLDEN("volleyplay_frames_1_14.jsonl", {"--headless", "--frames", "14"});
}

TEST(VolleyplayGolden, FramesAroundTheAnchorSwitch) {
  // CANNON applies its seventh set on frame 2027 and moves to the fixed anchor on 2028.
  CHECK_GOLDEN("volleyplay_frames_2026_2029.jsonl",
               {"--headless", "--frames", "2029", "--trace-from", "2026", "--trace-to", "2029"});
}

}  // namespace
