// volleyview in a real window under Xvfb, playing a directory of three files while the test
// edits one of them as an editor saves (a temporary file renamed over it): the new values play
// within 30 frames; a version that does not parse leaves the last good one playing and is
// named on standard error; the fixed file plays again; a deleted file leaves the list.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>

#include "run_program.hpp"
#include "view_files.hpp"

namespace {

namespace fs = std::filesystem;

TEST(VolleyviewWindow, ReloadsFilesSavedThroughARenameAndSurvivesABrokenOne) {
  const char* DISPLAY = std::getenv("DISPLAY");
  if (DISPLAY == nullptr || *DISPLAY == '\0')
    GTEST_SKIP() << "no X display (scripts/test.sh provides one)";
  ASSERT_EQ(std::system("command -v xdotool > /dev/null"), 0)
      << "xdotool is installed by scripts/setup.sh";
  const fs::path DIR = e2e::SCRATCH_DIR("volleyview_window", true);
  fs::create_directory(DIR / "p");
  const std::string GOOD =
      e2e::READ_FILE(std::string(VOLLEY_SOURCE_DIR) + "/tests/golden/sessions/view_keys/p/a.json");
  const auto RADIUS = [&GOOD](const char* R) {
    return std::regex_replace(GOOD, std::regex("RADIUS\": 10"), "RADIUS\": " + std::string(R));
  };
  e2e::SAVE_BY_RENAME(DIR / "p/a.json", RADIUS("10"));
  e2e::SAVE_BY_RENAME(DIR / "p/b.json", RADIUS("11"));
  e2e::SAVE_BY_RENAME(DIR / "p/c.json", RADIUS("12"));

  // Each step waits for what the trace shows, then acts; SEEN tells the story on failure.
  int STEP = 0, WAITED = 0, SAVED_AT = 0, RELOADED_AT = 0, BROKEN_AT = 0;
  std::string SEEN, WINDOW;
  const auto LAST = [&DIR](std::map<int, std::string>& T) {
    T = e2e::TRACE_BY_FRAME(DIR / "trace.jsonl");
    return T.empty() ? 0 : T.rbegin()->first;
  };
  const auto POLL = [&](pid_t PID) {
    std::map<int, std::string> T;
    const int F = LAST(T);
    const std::string R = F > 0 ? e2e::CANNON_FIELD(T[F], "RADIUS") : "";
    ++WAITED;
    if (STEP == 0 && F >= 30) {
      SAVED_AT = F;
      e2e::SAVE_BY_RENAME(DIR / "p/a.json", RADIUS("25"));
      SEEN += "frame " + std::to_string(F) + ": saved RADIUS 25\n";
      STEP = 1;
    } else if (STEP == 1 && R == "25") {
      RELOADED_AT = F;
      e2e::SAVE_BY_RENAME(DIR / "p/a.json", "{\"format\": \"volley-programme\", \"sets\": [");
      SEEN += "frame " + std::to_string(F) + ": RADIUS 25 plays; saved a broken file\n";
      STEP = 2, WAITED = 0;
    } else if (STEP == 2 && WAITED == 20) {
      BROKEN_AT = F;
      e2e::SAVE_BY_RENAME(DIR / "p/a.json", RADIUS("40"));
      SEEN += "frame " + std::to_string(F) + ": RADIUS " + R + " after a second; saved RADIUS 40\n";
      STEP = 3;
    } else if (STEP == 3 && R == "40") {
      fs::remove(DIR / "p/c.json");
      SEEN += "frame " + std::to_string(F) + ": RADIUS 40 plays; removed c.json\n";
      STEP = 4;
    } else if (STEP == 4 && e2e::FIELD(T[F], "files") == "2") {
      SEEN += "frame " + std::to_string(F) + ": two files left; Escape\n";
      WINDOW =
          e2e::CAPTURE("xdotool search --pid " + std::to_string(PID) + " 2>/dev/null | head -n 1");
      while (!WINDOW.empty() && WINDOW.back() == '\n') WINDOW.pop_back();
      STEP = 5, WAITED = 0;
    } else if (STEP == 5 && !WINDOW.empty() && WAITED % 20 == 1) {
      e2e::CAPTURE("xdotool keydown --window " + WINDOW +
                   " Escape; sleep 0.2; xdotool keyup --window " + WINDOW + " Escape");
    }
  };
  const e2e::RunResult RUN =
      e2e::RUN({std::string(VOLLEY_RUN_DIR) + "/volleyview", "--trace", "trace.jsonl", "p"},
               DIR.string(), 90.0, false, POLL);
  e2e::CAPTURE("xdotool keyup Escape");  // no key is left down for the next test
  std::map<int, std::string> T;
  const int END = LAST(T);
  const std::string STORY = SEEN + "last frame " + std::to_string(END) + "\n--- stderr\n" + RUN.ERR;
  ASSERT_FALSE(RUN.TIMED_OUT) << STORY;
  EXPECT_EQ(RUN.EXIT, 0) << STORY;
  EXPECT_EQ(STEP, 5) << STORY;
  EXPECT_LE(RELOADED_AT - SAVED_AT, 30) << "the new values play within 30 frames\n" << STORY;
  EXPECT_EQ(e2e::CANNON_FIELD(T[BROKEN_AT], "RADIUS"), "25") << "the last good version plays on\n"
                                                             << STORY;
  EXPECT_GT(std::stoi(e2e::FIELD(T[BROKEN_AT], "set_frame")), 40) << "and it was not restarted\n"
                                                                  << STORY;
  EXPECT_NE(RUN.ERR.find("p/a.json"), std::string::npos) << "stderr names the file\n" << STORY;
  if (!HasFailure()) fs::remove_all(DIR);
}

}  // namespace
