// Headless designer sessions: each tests/golden/designer/<name>.keys holds one or more runs of
// volleyedit, each begun by a line "#! run ANSWERS [ARGUMENTS]" (the start-up answers, "-" for
// none, and any further arguments) and followed by its
// key script; "#! copy FROM TO" copies a file of the scratch directory (or else of
// tests/golden/) before the next run.
// A digest of every run must equal tests/golden/designer/<name>.txt: the exit code, each frame
// in which the selection, the rotation switch, the programme, a menu row or a setting of
// cannon 0 changed (with cannon 0's rotation when the menu changed), the last frame, the
// program's output and the files it left.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <string>

#include "decode.hpp"
#include "run_program.hpp"
#include "tests/unit/golden.hpp"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

const fs::path SESSIONS = fs::path(VOLLEY_SOURCE_DIR) / "tests/golden/designer";

// Cannon 0's fields that move on their own while the designer runs.
const std::set<std::string> MOVING = {"ROTATION", "SPAWNDELAY", "BULLETCOUNTER", "bullets"};

// The watched values of a trace line, by name.
std::map<std::string, std::string> WATCHED(const json& LINE) {
  std::map<std::string, std::string> V;
  for (const auto& [KEY, VALUE] : LINE.items())
    if (!VALUE.is_structured() && KEY != "frame") V[KEY] = VALUE.dump();
  for (std::size_t ROW = 0; ROW < LINE["menu"].size(); ++ROW)
    V["menu[" + std::to_string(ROW) + "]"] = LINE["menu"][ROW].dump();
  for (const auto& [KEY, VALUE] : LINE["CANNON"][0].items())
    if (MOVING.count(KEY) == 0) V["cannon0." + KEY] = VALUE.dump();
  return V;
}

// The digest of a run's trace: changes frame by frame.
std::string TRACE_DIGEST(const fs::path& TRACE) {
  std::ostringstream OUT;
  std::ifstream IN(TRACE);
  std::map<std::string, std::string> BEFORE;
  int LAST = 0;
  for (std::string TEXT; std::getline(IN, TEXT);) {
    const json LINE = json::parse(TEXT);
    const int F = LINE["frame"];
    EXPECT_EQ(F, LAST + 1) << "one trace line per frame";
    const auto NOW = WATCHED(LINE);
    std::string CHANGES;
    bool MENU_CHANGED = false;
    for (const auto& [KEY, VALUE] : NOW)
      if (LAST == 0 ? KEY.rfind("menu", 0) != 0 : BEFORE[KEY] != VALUE) {
        CHANGES += " " + KEY + "=" + VALUE;
        MENU_CHANGED = MENU_CHANGED || KEY.rfind("menu", 0) == 0;
      }
    if (MENU_CHANGED) CHANGES += " (rotation " + LINE["CANNON"][0]["ROTATION"].dump() + ")";
    if (!CHANGES.empty()) OUT << "frame " << F << ":" << CHANGES << "\n";
    BEFORE = NOW;
    LAST = F;
  }
  OUT << "last frame " << LAST << "\n";
  return OUT.str();
}

// The files the run left: barrage files as floats, programmes as text, others by size.
std::string FILES_DIGEST(const fs::path& DIR) {
  std::set<fs::path> NAMES;
  for (const auto& E : fs::directory_iterator(DIR))
    if (E.is_regular_file() && !E.is_symlink()) NAMES.insert(E.path().filename());
  std::ostringstream OUT;
  for (const fs::path& NAME : NAMES) {
    if (NAME.extension() == ".keys" || NAME == "trace.jsonl" || NAME == "answers.txt") continue;
    const std::string BYTES = e2e::READ_FILE(DIR / NAME);
    OUT << "file " << NAME.string();
    if (NAME.extension() != ".png" && NAME.extension() != ".gif")
      OUT << ", " << BYTES.size() << " bytes";
    if (NAME.extension() == ".vly") {
      for (std::size_t AT = 0; AT + 4 <= BYTES.size(); AT += 4) {
        float V;
        std::memcpy(&V, BYTES.data() + AT, 4);
        char TEXT[32];
        std::snprintf(TEXT, sizeof TEXT, " %.9g", double{V});
        OUT << TEXT;
      }
    } else if (NAME.extension() == ".png") {
      OUT << ", " << e2e::PNG_WIDTH((DIR / NAME).string()) << " pixels wide";
    } else if (NAME.extension() == ".gif") {
      OUT << ", " << e2e::GIF_FRAMES((DIR / NAME).string()) << " frames";
    } else if (NAME.extension() == ".json") {
      OUT << ": " << json::parse(BYTES).dump();
    }
    OUT << "\n";
  }
  return OUT.str();
}

// Runs every run of the session NAME in a scratch directory; returns the digest.
std::string RUN_SESSION(const std::string& NAME) {
  const fs::path DIR = e2e::SCRATCH_DIR("volleyedit_session", true);
  std::ifstream IN(SESSIONS / (NAME + ".keys"));
  std::vector<std::vector<std::string>> RUNS;  // answers, keys, further arguments
  std::ostringstream DIGEST;
  auto RUN_ALL = [&]() {
    for (std::size_t I = 0; I < RUNS.size(); ++I) {
      std::ofstream(DIR / "answers.txt") << (RUNS[I][0] == "-" ? "" : RUNS[I][0]);
      std::ofstream(DIR / "run.keys") << RUNS[I][1];
      std::vector<std::string> ARGS = {std::string(VOLLEY_RUN_DIR) + "/volleyedit", "--headless",
                                       "--keys", "run.keys", "--trace", "trace.jsonl"};
      ARGS.insert(ARGS.end(), RUNS[I].begin() + 2, RUNS[I].end());
      const e2e::RunResult R =
          e2e::RUN(ARGS, DIR.string(), 120.0, false, {}, (DIR / "answers.txt").string());
      DIGEST << "== run, answers " << RUNS[I][0] << ": exit " << R.EXIT << "\n"
             << TRACE_DIGEST(DIR / "trace.jsonl") << "-- standard output\n"
             << R.OUT << "-- standard error\n"
             << R.ERR << (R.ERR.ends_with('\n') ? "" : "\n") << FILES_DIGEST(DIR);
    }
    RUNS.clear();
  };
  for (std::string LINE; std::getline(IN, LINE);) {
    std::istringstream WORDS(LINE);
    std::string MARK, WHAT, A, B;
    WORDS >> MARK >> WHAT >> A;
    if (MARK == "#!" && WHAT == "run") {
      RUNS.push_back({A, ""});
      while (WORDS >> B) RUNS.back().push_back(B);
    }
    if (MARK == "#!" && WHAT == "copy") {
      RUN_ALL();
      WORDS >> B;
      const fs::path FROM = fs::exists(DIR / A) ? DIR / A : SESSIONS.parent_path() / A;
      fs::copy_file(FROM, DIR / B, fs::copy_options::overwrite_existing);
      DIGEST << "== copied " << A << " to " << B << "\n";
    }
    if (MARK != "#!" && !RUNS.empty()) RUNS.back()[1] += LINE + "\n";
  }
  RUN_ALL();
  fs::remove_all(DIR);
  return DIGEST.str();
}

class DesignerSession : public ::testing::TestWithParam<std::string> {};

TEST_P(DesignerSession, MatchesItsGoldenDigest) {
  volley_test::EXPECT_GOLDEN("designer/" + GetParam() + ".txt", RUN_SESSION(GetParam()));
}

std::vector<std::string> SESSION_NAMES() {
  std::set<std::string> NAMES;
  for (const auto& E : fs::directory_iterator(SESSIONS))
    if (E.path().extension() == ".keys") NAMES.insert(E.path().stem().string());
  return {NAMES.begin(), NAMES.end()};
}

INSTANTIATE_TEST_SUITE_P(Golden, DesignerSession, ::testing::ValuesIn(SESSION_NAMES()),
                         [](const auto& P) { return P.param; });

}  // namespace
