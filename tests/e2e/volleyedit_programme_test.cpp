// End-to-end run of the designer's programme keys: a scripted headless session builds a
// three-set programme, saves it with F6 and plays it with F5. The trace before the first
// programme key must equal the designer's trace without them (a golden file); the saved file
// must load through the library; and a library cannon on it must match the played cannon 0
// field for field and bullet for bullet in every frame of the play.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <volley/volley.hpp>

#include "harness/trace.hpp"
#include "harness/trace_turret.hpp"
#include "run_program.hpp"

namespace {

namespace fs = std::filesystem;

const std::string GOLDEN = std::string(VOLLEY_SOURCE_DIR) + "/tests/golden/";
constexpr int FIRST_PROGRAMME_KEY = 20;  // frames of the session script
constexpr int PLAY_FROM = 66, PLAY_TO = 125, LAST_FRAME = 130;

std::vector<std::string> LINES_OF(const fs::path& FILE) {
  std::vector<std::string> LINES;
  std::ifstream IN(FILE);
  for (std::string L; std::getline(IN, L);) LINES.push_back(L);
  return LINES;
}

// The turret as a trace line writes it.
std::string TURRET_JSON(const NBARRAGE::TURRET_TYPE& T) {
  char* TEXT = nullptr;
  std::size_t SIZE = 0;
  std::FILE* OUT = open_memstream(&TEXT, &SIZE);
  harness::TraceWriter W;
  W.attach(OUT);
  harness::trace_turret(W, T);
  W.close();
  std::fclose(OUT);
  std::string S(TEXT, SIZE);
  std::free(TEXT);
  return S;
}

// Where A and B first differ, with a little context of each.
std::string FIRST_DIFFERENCE(const std::string& A, const std::string& B) {
  std::size_t AT = 0;
  while (AT < A.size() && AT < B.size() && A[AT] == B[AT]) ++AT;
  const std::size_t FROM = AT < 40 ? 0 : AT - 40;
  return "at byte " + std::to_string(AT) + "\n  expected ..." + A.substr(FROM, 100) +
         "\n  actual   ..." + B.substr(FROM, 100);
}

TEST(VolleyeditProgramme, ScriptedSessionSavesAndPlaysTheProgrammeAsTheLibraryDoes) {
  const fs::path DIR = e2e::SCRATCH_DIR("volleyedit_programme", true);
  std::ofstream(DIR / "answers.txt") << "622";
  const e2e::RunResult R =
      e2e::RUN({std::string(VOLLEY_RUN_DIR) + "/volleyedit", "--headless", "--keys",
                GOLDEN + "volleyedit_programme.keys", "--trace", "trace.jsonl"},
               DIR.string(), 120.0, false, {}, (DIR / "answers.txt").string());
  ASSERT_EQ(R.EXIT, 0) << R.ERR;
  EXPECT_NE(R.ERR.find("All memory deallocated"), std::string::npos) << R.ERR;
  const std::vector<std::string> LINES = LINES_OF(DIR / "trace.jsonl");
  ASSERT_EQ(LINES.size(), static_cast<std::size_t>(LAST_FRAME)) << "Escape ends the last frame";

  // The frames before the first programme key are the designer's own, byte for byte.
  std::string PREFIX;
  for (int F = 1; F < FIRST_PROGRAMME_KEY; ++F) PREFIX += LINES[F - 1] + "\n";
  const std::string WANT = e2e::READ_FILE(GOLDEN + "volleyedit_programme_prefix.jsonl");
  EXPECT_TRUE(PREFIX == WANT) << FIRST_DIFFERENCE(WANT, PREFIX);
  const std::string& INSERTED = LINES[FIRST_PROGRAMME_KEY - 1];
  EXPECT_EQ(INSERTED.substr(INSERTED.rfind(",\"set\"")), ",\"set\":2,\"sets\":2,\"playing\":false}")
      << "from Insert on, the trace shows the programme";

  // The saved programme, read by the library.
  const volley::Programme P = volley::load_programme(DIR / "barrage.json");
  ASSERT_EQ(P.size(), 3u);
  std::vector<std::vector<int32_t>> GOT;  // per set: DELAY, min frame, bullet type, rotation rule
  for (const volley::Set& S : P)
    GOT.push_back({S.DELAY, S.BULLET_MIN_FRAME, S.BULLET_TYPE, S.ROTATION_AI});
  EXPECT_EQ(GOT, (std::vector<std::vector<int32_t>>{{0, 27, 1, 1}, {20, 27, 0, 1}, {10, 28, 0, 1}}))
      << "the edits and delays of the three saved sets";

  // F5 at frame 66 puts a fresh turret on cannon 0, stepped from frame 67 on.
  volley::Cannon CANNON(P);
  for (int F = PLAY_FROM; F <= PLAY_TO; ++F) {
    if (F > PLAY_FROM) CANNON.step();
    const std::string& LINE = LINES[F - 1];
    const std::size_t AT = LINE.find("\"CANNON\":[") + 10;
    const std::string EXPECTED = TURRET_JSON(CANNON.turret());
    const std::string ACTUAL = LINE.substr(AT, EXPECTED.size());
    ASSERT_TRUE(ACTUAL == EXPECTED) << "frame " << F << ": cannon 0 differs from the library's "
                                        << FIRST_DIFFERENCE(EXPECTED, ACTUAL);
    ASSERT_NE(LINE.find("\"playing\":true}"), std::string::npos) << "frame " << F;
  }
  EXPECT_GT(CANNON.live_bullets(), 0) << "the played programme fires";
  EXPECT_NE(LINES[PLAY_TO].find("\"playing\":false}"), std::string::npos) << "F5 again edits";

  fs::remove_all(DIR);
}

}  // namespace
