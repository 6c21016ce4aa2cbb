// The programs in real windows under Xvfb, driven by xdotool. The capture keys: F12 writes
// volley_0001.png, F11 twice writes volley_0001.gif, in the designer's OpenGL mode and in the
// player with --capture-keys; both files must decode with libpng and giflib. volleyview plays
// a directory of three files while the test edits one of them as an editor saves (a temporary
// file renamed over it): the new values play within 30 frames; a version that does not parse
// leaves the last good one playing and is named on standard error; the fixed file plays
// again; a deleted file leaves the list.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "decode.hpp"
#include "run_program.hpp"
#include "view_files.hpp"

namespace {

namespace fs = std::filesystem;

// Skips the test without an X display; fails it without xdotool.
void NEED_X() {
  const char* DISPLAY = std::getenv("DISPLAY");
  if (DISPLAY == nullptr || *DISPLAY == '\0')
    GTEST_SKIP() << "no X display (scripts/test.sh provides one)";
  ASSERT_EQ(std::system("command -v xdotool > /dev/null"), 0)
      << "xdotool is installed by scripts/setup.sh";
}

// Runs ARGS in a scratch directory with STDIN on standard input. Once the window shows, holds
// F12 until the PNG is there, F11 until the GIF is there, F11 again after a second and a half,
// and then QUIT once a second until the program ends.
e2e::RunResult PRESS_CAPTURE_KEYS(const std::vector<std::string>& ARGS, const fs::path& DIR,
                                  const std::string& STDIN, const std::string& QUIT,
                                  std::string& SEEN) {
  std::ofstream(DIR / "stdin.txt") << STDIN;
  std::string WINDOW;
  int TICK = 0, STEP = 0;
  const auto POLL = [&](pid_t PID) {
    if (WINDOW.empty()) {
      WINDOW = e2e::CAPTURE("xdotool search --onlyvisible --pid " + std::to_string(PID) +
                            " 2>/dev/null | head -n 1");
      if (WINDOW.empty())
        WINDOW = e2e::CAPTURE(
            "xdotool search --onlyvisible --name '^(Volley|GLFW Window)$' 2>/dev/null | head -n 1");
      while (!WINDOW.empty() && WINDOW.back() == '\n') WINDOW.pop_back();
      return;
    }
    const auto KEY = [&](const char* UP_DOWN, const std::string& K) {
      e2e::CAPTURE("xdotool windowfocus --sync " + WINDOW + " 2>/dev/null; xdotool " + UP_DOWN +
                   " " + K);
      SEEN += std::string(UP_DOWN) + " " + K + " at tick " + std::to_string(TICK) + "\n";
    };
    // A press that came before the window listened makes no file: it is pressed again.
    ++TICK;
    const int T = TICK % 20;
    if (STEP == 0 && fs::exists(DIR / "volley_0001.png")) STEP = 1, TICK = 0;
    if (STEP == 1 && fs::exists(DIR / "volley_0001.gif")) STEP = 2, TICK = 0;
    if (STEP == 2 && TICK == 30) STEP = 3, TICK = 0;
    const char* K = STEP == 0 ? "F12" : STEP == 1 || STEP == 3 ? "F11" : nullptr;
    if (STEP == 3 && TICK == 16) STEP = 4;  // the second F11 is released
    if (STEP == 4) K = QUIT.c_str();
    if (K != nullptr && T == 10) KEY("keydown", K);
    if (K != nullptr && T == 15) KEY("keyup", K);
  };
  e2e::RunResult R = e2e::RUN(ARGS, DIR.string(), 60.0, false, POLL, (DIR / "stdin.txt").string());
  e2e::CAPTURE("xdotool keyup " + QUIT);  // no key is left down for the next test
  SEEN = "window: " + (WINDOW.empty() ? std::string("never found") : WINDOW) + "\n" + SEEN;
  return R;
}

// Runs a program in a scratch directory, presses the capture keys and checks both files.
void EXPECT_TWO_CAPTURES(const std::vector<std::string>& ARGS, const std::string& STDIN,
                         const std::string& QUIT) {
  NEED_X();
  if (::testing::Test::IsSkipped() || ::testing::Test::HasFatalFailure()) return;
  const fs::path DIR = e2e::SCRATCH_DIR("capture_window", true);
  for (const char* NAME : {"qz.pal", "bullet.put"})
    fs::create_symlink(fs::path(VOLLEY_RUN_DIR) / NAME, DIR / NAME);
  std::string SEEN;
  const e2e::RunResult R = PRESS_CAPTURE_KEYS(ARGS, DIR, STDIN, QUIT, SEEN);
  ASSERT_FALSE(R.TIMED_OUT) << SEEN << "--- stdout\n" << R.OUT << "--- stderr\n" << R.ERR;
  EXPECT_EQ(R.EXIT, 0) << R.ERR;
  for (const char* LINE :
       {"wrote volley_0001.png", "recording volley_0001.gif", "wrote volley_0001.gif"})
    EXPECT_NE(R.OUT.find(LINE), std::string::npos) << "prints '" << LINE << "'\n" << SEEN << R.OUT;
  EXPECT_GT(e2e::PNG_WIDTH(DIR / "volley_0001.png"), 0u) << "the snapshot decodes; kept in " << DIR;
  EXPECT_GT(e2e::GIF_FRAMES(DIR / "volley_0001.gif"), 5)
      << "the GIF decodes and holds about a second";
  EXPECT_FALSE(fs::exists(DIR / "volley_0002.png")) << "one press, one file";
  if (!::testing::Test::HasFailure()) fs::remove_all(DIR);
}

TEST(CaptureWindow, DesignerCapturesInAnOpenGlMode) {
  EXPECT_TWO_CAPTURES({std::string(VOLLEY_RUN_DIR) + "/volleyedit"}, "522", "Escape");
}

TEST(CaptureWindow, PlayerCapturesWithCaptureKeysOn) {
  EXPECT_TWO_CAPTURES({std::string(VOLLEY_RUN_DIR) + "/volleyplay", "--capture-keys"}, "", "space");
}

TEST(VolleyviewWindow, ReloadsFilesSavedThroughARenameAndSurvivesABrokenOne) {
  NEED_X();
  if (IsSkipped() || HasFatalFailure()) return;
  const fs::path DIR = e2e::SCRATCH_DIR("volleyview_window", true);
  fs::create_directory(DIR / "p");
  const std::string GOOD =
      e2e::READ_FILE(std::string(VOLLEY_SOURCE_DIR) + "/tests/golden/sessions/view_keys/p/a.json");
  const auto RADIUS = [&GOOD](const char* R) {
    std::string TEXT = GOOD;
    const std::string FROM = "RADIUS\": 10";
    for (auto AT = TEXT.find(FROM); AT != std::string::npos; AT = TEXT.find(FROM, AT + 1))
      TEXT.replace(AT, FROM.size(), "RADIUS\": " + std::string(R));
    return TEXT;
  };
  for (const char* NAME : {"a", "b", "c"})
    e2e::SAVE_BY_RENAME(DIR / "p" / (NAME + std::string(".json")), RADIUS("10"));

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
