// draw2d window back-end under a real X display (Xvfb in CI): a display that cannot be reached
// opens no screen, and keys sent by the X server reach key_state and inkey. What the window
// shows is checked through the display's software modes (SoftwareWindow).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "draw2d/draw2d.hpp"

namespace {

struct Draw2dWindow : ::testing::Test {
  void SetUp() override {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display (scripts/test.sh runs Xvfb)";
    draw2d::set_headless(false);
  }
  void TearDown() override { draw2d::close_screen(); }
};

bool run(const std::string& COMMAND) { return std::system(COMMAND.c_str()) == 0; }

TEST_F(Draw2dWindow, UnreachableDisplayIsAFailureToOpen) {
  setenv("DISPLAY", ":31999", 1);  // no X server there
  unsetenv("SDL_VIDEODRIVER");
  EXPECT_FALSE(draw2d::open_screen(320, 240, 8, 1, 0))
      << "no silent fall-back to a window that nobody sees";
  EXPECT_FALSE(draw2d::screen_is_open());
}

TEST_F(Draw2dWindow, KeysFromTheXServerReachKeyStateAndInkey) {
  if (!run("command -v xdotool >/dev/null")) GTEST_SKIP() << "xdotool is not installed";
  ASSERT_TRUE(draw2d::open_screen(320, 240, 8, 1, 0));
  draw2d::sleep_ms(100);
  const std::string WIN = "$(xdotool search --sync --onlyvisible --pid " +
                          std::to_string(getpid()) + " | head -n 1)";
  ASSERT_TRUE(run("W=" + WIN + " && xdotool keydown --window $W Up key --window $W x F1"))
      << "xdotool could not send keys";
  bool HELD = false;
  std::vector<std::string> GOT;
  for (int I = 0; I < 100 && (!HELD || GOT.size() < 3); ++I) {
    draw2d::sleep_ms(10);
    HELD = HELD || draw2d::key_state(draw2d::KEY_UP) != 0;
    for (std::string K; !(K = draw2d::inkey()).empty();) GOT.push_back(K);
  }
  run("xdotool keyup --window " + WIN + " Up");
  EXPECT_TRUE(HELD) << "a held Up arrow reads as scan code 72";
  EXPECT_EQ(GOT, (std::vector<std::string>{std::string("\0H", 2), "x", std::string("\0;", 2)}))
      << "Up queues NUL and scan code 72, x its character, F1 NUL and scan code 59";
}

}  // namespace
