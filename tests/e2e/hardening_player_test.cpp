// Hardening of the player: over its whole programme (6000 frames, past the last set on frame
// 5836) the tracker's count of live blocks never grows after start-up, and clean-up returns
// every block the run took.
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <string>

#include "display/draw2d.hpp"
#include "leakscope/leakscope.hpp"
#include "volleyplay/player.hpp"

namespace {

TEST(PlayerBlocks, LiveBlocksNeverGrowDuringTheProgramme) {
  char CWD[PATH_MAX];
  ASSERT_NE(getcwd(CWD, sizeof CWD), nullptr);
  ASSERT_EQ(chdir(VOLLEY_RUN_DIR), 0) << "the generated assets live in " << VOLLEY_RUN_DIR;
  draw2d::set_headless(true);
  const std::size_t BEFORE = LEAKSCOPE_COUNT();

  PLAYER_TYPE P;
  PLAYER_CREATE_CANNONS(P);
  PLAYER_OPEN(P);
  PLAYER_STEP(P);
  PLAYER_PRESENT();
  const std::size_t AFTER_START = LEAKSCOPE_COUNT();
  ASSERT_GT(AFTER_START, BEFORE) << "start-up holds the cannons, bullets, sets and the sheet";

  std::size_t PREVIOUS = AFTER_START;
  int32_t GREW_AT = 0;
  for (int32_t F = 2; F <= 6000 && GREW_AT == 0; ++F) {
    PLAYER_STEP(P);
    PLAYER_PRESENT();
    const std::size_t NOW = LEAKSCOPE_COUNT();
    if (NOW > PREVIOUS) GREW_AT = F;
    PREVIOUS = NOW;
  }
  EXPECT_EQ(GREW_AT, 0) << "a frame took a block it did not return (frame " << GREW_AT << ")";
  EXPECT_EQ(P.CANNON[0].LISTINDEX, 31) << "the run reached the last set of the programme";

  PLAYER_CLEAN_UP(P);
  draw2d::close_screen();
  draw2d::set_headless(false);
  EXPECT_EQ(LEAKSCOPE_COUNT(), BEFORE) << "clean-up returns every block of the run";
  ASSERT_EQ(chdir(CWD), 0);
}

}  // namespace
