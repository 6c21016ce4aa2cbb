// Golden traces of the player: a headless traced run must reproduce the checked-in JSON lines
// (tests/golden/), checked line by line by the shared golden check. tools/regen_goldens.sh
// writes them with the same arguments.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../unit/golden.hpp"
#include "run_program.hpp"

namespace {

// Frames 1-11 run the idle sets and 12-14 show the first shots of BARRAGE_16 and BARRAGE_1;
// CANNON applies its seventh set on frame 2027 and moves to the fixed anchor on 2028.
TEST(VolleyplayGolden, FirstPatternsAndTheAnchorSwitch) {
  const std::vector<std::string> RUNS[] = {
      {"volleyplay_frames_1_14.jsonl", "--frames", "14"},
      {"volleyplay_frames_2026_2029.jsonl", "--frames", "2029", "--trace-from", "2026",
       "--trace-to", "2029"}};
  for (std::vector<std::string> ARGS : RUNS) {
    const std::string GOLDEN = ARGS[0], TRACE = VOLLEY_BINARY_DIR "/" + GOLDEN + ".actual";
    ARGS[0] = VOLLEY_RUN_DIR "/volleyplay";
    ARGS.insert(ARGS.end(), {"--headless", "--trace", TRACE});
    const e2e::RunResult R = e2e::RUN(ARGS, VOLLEY_RUN_DIR, 120.0);
    ASSERT_EQ(R.EXIT, 0) << GOLDEN << " (-1: timed out or killed): " << R.ERR;
    volley_test::EXPECT_GOLDEN(GOLDEN, e2e::READ_FILE(TRACE));
  }
}

}  // namespace
