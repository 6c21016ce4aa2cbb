// Golden traces of the player: a headless traced run must reproduce the checked-in JSON lines
// byte for byte. tools/regen_goldens.sh writes them with the same arguments; review its diff
// like a code change.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "run_program.hpp"

namespace {

// Runs the player with ARGS plus "--trace <file>" and compares the trace with GOLDEN.
void CHECK_GOLDEN(const std::string& GOLDEN, std::vector<std::string> ARGS) {
  const std::string ACTUAL_PATH = std::string(VOLLEY_BINARY_DIR) + "/" + GOLDEN + ".actual";
  ARGS.insert(ARGS.begin(), std::string(VOLLEY_RUN_DIR) + "/volleyplay");
  ARGS.push_back("--trace");
  ARGS.push_back(ACTUAL_PATH);
  const e2e::RunResult R = e2e::RUN(ARGS, VOLLEY_RUN_DIR, 120.0);
  ASSERT_FALSE(R.TIMED_OUT) << "a headless run must end by itself";
  ASSERT_EQ(R.EXIT, 0) << R.ERR;
  const std::string WANT = e2e::READ_FILE(std::string(VOLLEY_SOURCE_DIR) + "/tests/golden/" + GOLDEN);
  const std::string GOT = e2e::READ_FILE(ACTUAL_PATH);
  ASSERT_FALSE(WANT.empty()) << "golden file " << GOLDEN
                             << " is missing; run tools/regen_goldens.sh build";
  if (GOT != WANT) {
    const auto AT = std::mismatch(GOT.begin(), GOT.end(), WANT.begin(), WANT.end()).first - GOT.begin();
    const auto FROM = std::max<std::ptrdiff_t>(AT - 60, 0);
    FAIL() << "the trace differs from the golden file in line " << std::count(GOT.begin(), GOT.begin() + AT, '\n') + 1
           << "\n  golden: ..." << WANT.substr(FROM, 120) << "\n  actual: ..." << GOT.substr(FROM, 120)
           << "\nactual trace kept in " << ACTUAL_PATH;
  }
  std::remove(ACTUAL_PATH.c_str());
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
