// The programs end to end: each session tests/golden/<group>/<name>/ holds a file `run` of
// command lines played in a scratch copy of the directory (with links to the assets). A command
// may begin "printf TEXT |" (its standard input; empty otherwise). "same A B" compares two files,
// "cp A B" copies a file; "quiet NAME..." leaves trace values (JSON pointers, with all they
// hold) out of later digests.
// For each run tests/golden/<group>/<name>.out holds the exit code, standard output and error,
// and every file written or changed: a trace (.jsonl) as the values that changed frame by frame
// (a bullet list as its size and checksum) and its last frame, a .vly file as its floats, JSON
// on one line, a PNG as its width and red pixels, a GIF as its frames and checksum; others by
// size.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <iomanip>
#include <iterator>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "decode.hpp"
#include "run_program.hpp"
#include "tests/unit/golden.hpp"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using NAMES = std::set<std::string>;
using VALUES = std::map<std::string, std::string>;
const fs::path GOLDEN = fs::path(VOLLEY_SOURCE_DIR) / "tests/golden";

template <class BYTES> std::string CRC(const BYTES& B) {
  return std::to_string(crc32(0, reinterpret_cast<const Bytef*>(B.data()), B.size()));
}

void FLATTEN(const json& J, const std::string& NAME, const NAMES& QUIET, VALUES& OUT) {
  if (QUIET.contains(NAME)) return;
  if (J.is_structured() && !NAME.ends_with("/bullets")) {
    for (const auto& [K, V] : J.items()) FLATTEN(V, NAME + "/" + K, QUIET, OUT);
    return;
  }
  const std::string TEXT = J.dump();
  OUT[NAME] = J.is_array() ? std::to_string(J.size()) + " crc " + CRC(TEXT) : TEXT;
}

std::string TRACE_DIGEST(const std::string& TEXT, const NAMES& QUIET) {
  std::istringstream IN(TEXT);
  std::string OUT;
  VALUES BEFORE;
  for (std::string LINE; std::getline(IN, LINE);) {
    VALUES NOW;
    FLATTEN(json::parse(LINE), "", QUIET, NOW);
    std::string CHANGES;
    for (const auto& [K, V] : BEFORE)
      if (!NOW.contains(K)) CHANGES += " " + K + " gone";
    for (const auto& [K, V] : NOW)
      if (K != "/frame" && BEFORE[K] != V) CHANGES += " " + K + "=" + V;
    if (!CHANGES.empty()) OUT += "frame " + NOW["/frame"] + ":" + CHANGES + "\n";
    BEFORE = NOW;
  }
  return OUT + "last frame " + BEFORE["/frame"] + "\n";
}

std::string DESCRIBE(const fs::path& P, const std::string& BYTES, const NAMES& QUIET) {
  const std::string X = P.extension().string();
  if (X == ".jsonl") return ", trace:\n" + TRACE_DIGEST(BYTES, QUIET);
  if (X == ".json") return ": " + json::parse(BYTES, nullptr, false).dump() + "\n";
  if (X == ".gif")
    return ", " + std::to_string(e2e::GIF_FRAMES(P)) + " frames, crc " + CRC(BYTES) + "\n";
  std::ostringstream S;
  S << std::setprecision(9);
  if (X != ".png") S << ", " << BYTES.size() << " bytes";
  std::vector<float> FLOATS(X == ".vly" ? BYTES.size() / 4 : 0);
  if (!FLOATS.empty()) std::memcpy(FLOATS.data(), BYTES.data(), FLOATS.size() * 4);
  for (const float V : FLOATS) S << " " << V;
  unsigned WIDTH = 0;
  const std::vector<uint8_t> RGBA = X == ".png" ? e2e::PNG_RGBA(P, WIDTH) : std::vector<uint8_t>{};
  int RED = 0;
  for (std::size_t I = 0; I + 3 < RGBA.size(); I += 4)
    RED += RGBA[I] > 200 && RGBA[I + 1] < 80 && RGBA[I + 2] < 80;
  if (X == ".png") S << ", width " << WIDTH << ", red pixels " << RED;
  return S.str() + "\n";
}

std::map<fs::path, std::string> FILES(const fs::path& DIR) {
  std::map<fs::path, std::string> OUT;
  for (const auto& E : fs::directory_iterator(DIR))
    if (E.is_regular_file() && E.path() != DIR / ".in") OUT[E.path()] = e2e::READ_FILE(E.path());
  return OUT;
}

void SESSION(const std::string& NAME, const std::string& GROUP = "sessions") {
  const fs::path DIR = e2e::SCRATCH_DIR("session", true);
  const fs::path FROM = GOLDEN / GROUP / NAME;
  fs::copy(FROM, DIR, fs::copy_options::recursive);
  std::ifstream RUN(FROM / "run");
  std::string LINE, OUT;
  NAMES QUIET;
  while (std::getline(RUN, LINE)) {
    std::istringstream WORDS(LINE);
    std::vector<std::string> ARGS{std::istream_iterator<std::string>(WORDS), {}};
    if (ARGS.empty() || ARGS[0][0] == '#') continue;
    OUT += "$ " + LINE + "\n";
    if (ARGS[0] == "quiet") {
      QUIET.insert(ARGS.begin() + 1, ARGS.end());
    } else if (ARGS[0] == "cp") {
      fs::copy_file(DIR / ARGS[1], DIR / ARGS[2], fs::copy_options::overwrite_existing);
    } else if (ARGS[0] == "same") {
      const bool SAME = e2e::READ_FILE(DIR / ARGS[1]) == e2e::READ_FILE(DIR / ARGS[2]);
      OUT += SAME ? "same\n" : "differ\n";
    } else {
      const bool PIPE = ARGS[0] == "printf";
      std::ofstream(DIR / ".in") << (PIPE ? ARGS[1] : "");
      ARGS.erase(ARGS.begin(), ARGS.begin() + (PIPE ? 3 : 0));
      ARGS[0] = std::string(VOLLEY_RUN_DIR) + "/" + ARGS[0];
      const std::map<fs::path, std::string> OLD = FILES(DIR);
      const e2e::RunResult R = e2e::RUN(ARGS, DIR.string(), 120.0, false, {}, DIR / ".in");
      OUT += "exit " + std::to_string(R.EXIT) + "\n";
      for (const auto& [PREFIX, TEXT] : {std::pair{"out: ", R.OUT}, std::pair{"err: ", R.ERR}}) {
        std::istringstream LINES(TEXT);
        for (std::string L; std::getline(LINES, L);) OUT += PREFIX + L + "\n";
      }
      for (const auto& [P, BYTES] : FILES(DIR))
        if (!OLD.contains(P) || OLD.at(P) != BYTES)
          OUT += P.filename().string() + DESCRIBE(P, BYTES, QUIET);
    }
  }
  volley_test::EXPECT_GOLDEN(GROUP + "/" + NAME + ".out", OUT);
  if (!::testing::Test::HasFailure()) fs::remove_all(DIR);
}

TEST(VolleypatternRun, ConvertCheckJoinInfoRenderAndBadUsage) { SESSION("pattern"); }
TEST(VolleyviewRun, KeysDriveFilesPauseStepAndRestart) { SESSION("view_keys"); }
TEST(VolleyviewRun, PointerAimsAnAimedSetAndADragMovesTheCannon) { SESSION("view_pointer"); }
TEST(VolleyviewRun, AFileThatDoesNotLoadIsShownInRedAndReportedOnce) { SESSION("view_broken"); }
TEST(VolleyviewRun, RefusedCommandLinesExitTwo) { SESSION("view_refused"); }

class DesignerSession : public ::testing::TestWithParam<std::string> {};

TEST_P(DesignerSession, MatchesItsGoldenDigest) { SESSION(GetParam(), "designer"); }

NAMES DESIGNER_SESSIONS() {
  NAMES FOUND;
  for (const auto& E : fs::directory_iterator(GOLDEN / "designer"))
    if (E.is_directory()) FOUND.insert(E.path().filename().string());
  return FOUND;
}

INSTANTIATE_TEST_SUITE_P(Golden, DesignerSession, ::testing::ValuesIn(DESIGNER_SESSIONS()),
                         [](const auto& P) { return P.param; });

}  // namespace
