// The designer plays a programme as the library does: a headless session builds a three-set
// programme, saves it with F6 and plays it with F5 from frame 66 to 125; a library cannon on the
// saved file matches the played cannon 0 field for field and bullet for bullet in every frame.
// The session's digest, the saved sets and the trace before the first programme key are
// pinned by the designer session programme_play in tests/golden/designer/.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <map>

#include <volley/volley.hpp>

#include "harness/trace.hpp"
#include "harness/trace_turret.hpp"
#include "run_program.hpp"
#include "view_files.hpp"

namespace {

TEST(VolleyeditProgramme, ScriptedSessionSavesAndPlaysTheProgrammeAsTheLibraryDoes) {
  const std::filesystem::path DIR = e2e::SCRATCH_DIR("volleyedit_programme", true);
  std::ofstream(DIR / "answers.txt") << "622";
  const std::string KEYS = VOLLEY_SOURCE_DIR "/tests/golden/designer/programme_play/play.keys";
  const e2e::RunResult R = e2e::RUN(
      {VOLLEY_RUN_DIR "/volleyedit", "--headless", "--trace", "trace.jsonl", "--keys", KEYS},
      DIR.string(), 120.0, false, {}, (DIR / "answers.txt").string());
  ASSERT_EQ(R.EXIT, 0) << R.ERR;
  std::map<int, std::string> LINES = e2e::TRACE_BY_FRAME(DIR / "trace.jsonl");

  volley::Cannon CANNON(volley::load_programme(DIR / "barrage.json"));
  for (int F = 66; F <= 125; ++F) {  // F5 at frame 66 puts a fresh turret on cannon 0
    if (F > 66) CANNON.step();
    harness::TraceWriter W;  // the turret as a trace line writes it
    std::string ERROR;
    ASSERT_TRUE(W.open((DIR / "turret.json").string(), ERROR)) << ERROR;
    harness::trace_turret(W, CANNON.turret());
    W.close();
    const std::string WANT = e2e::READ_FILE(DIR / "turret.json");
    const std::string GOT = LINES[F].substr(LINES[F].find("\"CANNON\":[") + 10, WANT.size());
    const auto [DIFF, _] = std::mismatch(WANT.begin(), WANT.end(), GOT.begin(), GOT.end());
    const std::size_t AT = DIFF - WANT.begin();
    ASSERT_EQ(GOT.substr(AT, 60), WANT.substr(AT, 60))
        << "frame " << F << ": cannon 0 differs from the library's at byte " << AT;
  }
  EXPECT_GT(CANNON.live_bullets(), 0) << "the played programme fires";
  std::filesystem::remove_all(DIR);
}

}  // namespace
