// End-to-end run of the designer's programme keys: a scripted headless session builds a
// three-set programme, saves it with F6 and plays it with F5. The trace before the first
// programme key must equal the designer's trace without them (a golden file); the saved file
// must load through the library; and a library cannon on it must match the played cannon 0
// field for field and bullet for bullet in every frame of the play. F7 leaves the programme
// alone when the file is bad and loads the saved one in a second session.
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
  auto RUN = [&DIR](const std::string& KEYS) {
    return e2e::RUN({std::string(VOLLEY_RUN_DIR) + "/volleyedit", "--headless", "--keys", KEYS,
                     "--trace", "trace.jsonl"},
                    DIR.string(), 120.0, false, {}, (DIR / "answers.txt").string());
  };
  // F7 near the end of the session finds a programme whose second set asks too much.
  std::ofstream(DIR / "barrage2.json")
      << R"({"format": "volley-programme", "version": 1, "sets": [{}, {"MAXBULLET": 129}]})";
  const e2e::RunResult R = RUN(GOLDEN + "volleyedit_programme.keys");
  ASSERT_EQ(R.EXIT, 0) << R.ERR;
  EXPECT_NE(R.ERR.find("All memory deallocated"), std::string::npos) << R.ERR;
  EXPECT_NE(R.ERR.find("barrage2.json: set 2, field MAXBULLET"), std::string::npos) << R.ERR;
  std::vector<std::string> LINES = LINES_OF(DIR / "trace.jsonl");
  ASSERT_EQ(LINES.size(), static_cast<std::size_t>(LAST_FRAME)) << "Escape ends the last frame";
  EXPECT_NE(LINES.back().find("\"set\":3,\"sets\":3"), std::string::npos)
      << "a bad file changes nothing";

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

  // The saved programme loaded with F7 in a new session: its first set is in the menu.
  fs::copy_file(DIR / "barrage.json", DIR / "barrage2.json", fs::copy_options::overwrite_existing);
  std::ofstream(DIR / "load.keys") << "2 F7 down\n3 F7 up\n4 Escape down\n";
  ASSERT_EQ(RUN((DIR / "load.keys").string()).EXIT, 0);
  LINES = LINES_OF(DIR / "trace.jsonl");
  ASSERT_EQ(LINES.size(), 4u);
  EXPECT_NE(LINES[1].find("],\"set\":1,\"sets\":3,\"playing\":false}"), std::string::npos)
      << LINES[1].substr(LINES[1].rfind("\"menu\""));
  EXPECT_NE(LINES[1].find(",1,27,1,1],\"set\""), std::string::npos) << "set 1's frames and rule";
  fs::remove_all(DIR);
}

}  // namespace
