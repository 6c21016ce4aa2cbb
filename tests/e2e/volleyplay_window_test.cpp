// The player in a real window (under the Xvfb display of the test command): the window is the
// 320 x 240 screen times --scale, a key sent by an X client ends the run, and the tracker
// reports a clean exit. Standard input is /dev/null, so the tracker's key wait at exit reads
// end of input instead of waiting. A failure prints the X window tree and the program's output.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include "run_program.hpp"

namespace {

struct Case {
  std::vector<std::string> ARGS;
  std::string SIZE;
};

void PrintTo(const Case& C, std::ostream* OUT) { *OUT << C.SIZE; }

struct VolleyplayWindow : ::testing::TestWithParam<Case> {};

TEST_P(VolleyplayWindow, OpensAtTheScreenSizeTimesTheScale) {
  const char* DISPLAY = std::getenv("DISPLAY");
  if (DISPLAY == nullptr || *DISPLAY == '\0')
    GTEST_SKIP() << "no X display (scripts/test.sh provides one)";
  ASSERT_EQ(std::system("command -v xdotool > /dev/null"), 0)
      << "xdotool is installed by scripts/setup.sh";

  std::string WINDOW, SIZE, TREE;
  int PRESSES = 0;
  // Once the window is found, its size is read and a key pressed every second (in case one came
  // too early). Until then the X window tree is kept to show what there was.
  const auto POLL = [&, TICK = 0](pid_t PID) mutable {
    if (WINDOW.empty()) {
      WINDOW =
          e2e::CAPTURE("xdotool search --pid " + std::to_string(PID) + " 2>/dev/null | head -n 1");
      while (!WINDOW.empty() && WINDOW.back() == '\n') WINDOW.pop_back();
      if (WINDOW.empty()) TREE = e2e::CAPTURE("xwininfo -root -tree 2>&1 | head -n 40");
    } else if (TICK++ % 20 == 0) {
      if (SIZE.empty()) {
        SIZE = e2e::CAPTURE("xdotool getwindowgeometry --shell " + WINDOW +
                            " | sed -n 's/^WIDTH=//p;s/^HEIGHT=//p' | paste -sd x");
        while (!SIZE.empty() && SIZE.back() == '\n') SIZE.pop_back();
      }
      ++PRESSES;
      e2e::CAPTURE("xdotool key --window " + WINDOW + " space 2>/dev/null");
    }
  };
  std::vector<std::string> ARGV = {std::string(VOLLEY_RUN_DIR) + "/volleyplay"};
  ARGV.insert(ARGV.end(), GetParam().ARGS.begin(), GetParam().ARGS.end());
  const e2e::RunResult R = e2e::RUN(ARGV, VOLLEY_RUN_DIR, 60.0, false, POLL);
  // A press whose window closed on it may leave the key down on the server (xdotool stops at
  // the closed window before the release), where it would repeat into the next test's window.
  e2e::CAPTURE("xdotool keyup space 2>/dev/null");
  const std::string SEEN = "\nX window tree while none was found:\n" + TREE +
                           "\nstdout:\n" + R.OUT + "\nstderr:\n" + R.ERR;
  ASSERT_FALSE(R.TIMED_OUT) << "the window (" << (WINDOW.empty() ? "never found" : WINDOW)
                            << ") did not end on a key; presses sent: " << PRESSES << SEEN;
  EXPECT_EQ(SIZE, GetParam().SIZE) << "window size" << SEEN;
  EXPECT_GT(PRESSES, 0) << "the run ended before any key was sent" << SEEN;
  EXPECT_EQ(R.EXIT, 0) << SEEN;
  EXPECT_NE(R.OUT.find("(LEAKSCOPE) All memory deallocated"), std::string::npos)
      << "the tracker reports a clean exit" << SEEN;
}

INSTANTIATE_TEST_SUITE_P(Scales, VolleyplayWindow,
                         ::testing::Values(Case{{}, "320x240"}, Case{{"--scale", "3"}, "960x720"}),
                         [](const auto& I) { return I.param.ARGS.empty() ? "Plain" : "Scale3"; });

}  // namespace
