// The capture keys in real windows under Xvfb, pressed by xdotool: F12 writes volley_0001.png,
// F11 twice writes volley_0001.gif, in the designer's OpenGL mode and in the player with
// --capture-keys; both files must decode with libpng and giflib.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "decode.hpp"
#include "run_program.hpp"

namespace {

namespace fs = std::filesystem;

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
  const char* DISPLAY = std::getenv("DISPLAY");
  if (DISPLAY == nullptr || *DISPLAY == '\0')
    GTEST_SKIP() << "no X display (scripts/test.sh provides one)";
  ASSERT_EQ(std::system("command -v xdotool > /dev/null"), 0)
      << "xdotool is installed by scripts/setup.sh";
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

}  // namespace
