// The player in a real window (under the Xvfb display of the test command): a key sent by an
// X client ends the run, and the tracker reports a clean exit. Standard input is /dev/null, so
// the tracker's key wait at exit reads end of input instead of waiting.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "run_program.hpp"

namespace {

TEST(VolleyplayWindow, AKeyFromAnXClientEndsTheRunCleanly) {
  const char* DISPLAY = std::getenv("DISPLAY");
  if (DISPLAY == nullptr || *DISPLAY == '\0')
    GTEST_SKIP() << "no X display (scripts/test.sh provides one)";
  ASSERT_EQ(std::system("command -v xdotool > /dev/null"), 0)
      << "xdotool is installed by scripts/setup.sh";

  std::string WINDOW;
  int PRESSES = 0;
  // Once the window is found, one press every second (in case one came too early).
  const auto POLL = [&WINDOW, &PRESSES, TICK = 0](pid_t PID) mutable {
    if (WINDOW.empty()) {
      WINDOW =
          e2e::CAPTURE("xdotool search --pid " + std::to_string(PID) + " 2>/dev/null | head -n 1");
      while (!WINDOW.empty() && WINDOW.back() == '\n') WINDOW.pop_back();
    } else if (TICK++ % 20 == 0) {
      ++PRESSES;
      e2e::CAPTURE("xdotool key --window " + WINDOW + " space 2>/dev/null");
    }
  };
  const e2e::RunResult R =
      e2e::RUN({std::string(VOLLEY_RUN_DIR) + "/volleyplay"}, VOLLEY_RUN_DIR, 60.0, false, POLL);
  ASSERT_FALSE(R.TIMED_OUT) << "the window (" << (WINDOW.empty() ? "never found" : WINDOW)
                            << ") did not end on a key; presses sent: " << PRESSES;
  EXPECT_GT(PRESSES, 0) << "the run ended before any key was sent";
  EXPECT_EQ(R.EXIT, 0) << R.ERR;
  EXPECT_NE(R.OUT.find("(LEAKSCOPE) All memory deallocated"), std::string::npos)
      << "the tracker reports a clean exit; output was: " << R.OUT;
}

}  // namespace
