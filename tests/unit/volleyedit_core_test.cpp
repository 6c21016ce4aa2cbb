// Tests of the running designer on the memory screen: the tracker's count of live blocks over
// a long session, the cannons' drawing and the chooser's bounds
// (tests/golden/designer_chooser.txt).
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "draw2d/draw2d.hpp"
#include "leakscope/leakscope.hpp"
#include "tests/e2e/run_program.hpp"
#include "tests/unit/golden.hpp"
#include "volleyedit/designer.hpp"
#include "volleyedit/draw.hpp"
#include "volleyedit/menu.hpp"

// Records are built with designated initializers; the fields left out are zero, on purpose.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace fs = std::filesystem;
using NDESIGNER::KEY;

static void SET(KEY K, bool DOWN) { draw2d::set_key(NDESIGNER::SCAN_CODE(K), DOWN); }

// A designer running headless in mode 0 inside a scratch directory holding the assets. Over a
// long editing session the tracker's count of live blocks never grows: every 40 frames one
// action of the key map is pressed for 12 frames (edits on moving rows, the switch, rounding,
// saves, loads of what was saved, the chooser confirmed). Then the cannons' drawing skips a
// bullet frame outside the sheet.
TEST(DesignerRun, KeepsItsBlocksOverALongSessionAndSkipsFramesOutsideTheSheet) {
  const fs::path OLD_DIR = fs::current_path(), DIR = e2e::SCRATCH_DIR("volleyedit_core", true);
  fs::current_path(DIR);
  draw2d::set_headless(true);
  NDESIGNER::FRAME_CLOCK = NDESIGNER::FRAME_CLOCK_TYPE{};
  NDESIGNER::U_KEY = NDESIGNER::D_KEY = {};
  const auto D = std::make_unique<NDESIGNER::DESIGNER_TYPE>();
  NDESIGNER::START(*D, {0, 8, 0});
  static constexpr KEY CYCLE[] = {KEY::DOWN, KEY::RIGHT, KEY::LEFT, KEY::TAB, KEY::F3, KEY::F1,
                                  KEY::F2,   KEY::RIGHT, KEY::UP,   KEY::F4,  KEY::ENTER};
  NDESIGNER::FRAME_CLOCK.HOOKS.BEGIN_FRAME = [](int32_t F) {
    for (KEY OTHER : CYCLE) SET(OTHER, false);
    if (F % 40 < 12) SET(CYCLE[(F / 40) % std::size(CYCLE)], true);
    if (F % 400 == 300)
      fs::copy_file("barrage.vly", "barrage2.vly", fs::copy_options::overwrite_existing);
  };
  bool RAN = NDESIGNER::RUN_FRAME(*D);
  std::size_t PREVIOUS = LEAKSCOPE_COUNT();
  int32_t F = 2, GREW_AT = 0;
  for (; F <= 4000 && RAN && GREW_AT == 0; ++F) {
    RAN = NDESIGNER::RUN_FRAME(*D);
    if (LEAKSCOPE_COUNT() > PREVIOUS) GREW_AT = F;
    PREVIOUS = LEAKSCOPE_COUNT();
  }
  EXPECT_TRUE(RAN) << "nothing in the cycle quits, but frame " << F - 1 << " ended the run";
  EXPECT_EQ(GREW_AT, 0) << "the first frame in which a block was taken and not returned";
  EXPECT_TRUE(fs::exists("barrage.vly")) << "the cycle saved at least once";

  // one live bullet at (40, 40) in cannon 0's array (the cannon lies at x 280); only the
  // top-left 100 x 100 pixels are counted
  uint8_t* const PAGE = D->VIDEO.P_VPAGE;
  NBARRAGE::TURRET_TYPE& C = NDESIGNER::CANNON[0];
  for (int32_t J = 0; J < NBARRAGE::DEFAULT_MAXBULLET; ++J) C.P_BULLETS[J].ACTIVE = 0;
  for (const int32_t MINFRAME : {26, 999}) {  // frame 3 + 999 lies outside the sheet
    C.P_BULLETS[0] = {.X = 40.0f, .Y = 40.0f, .ACTIVE = -1, .FRAME = 3, .MINFRAME = MINFRAME};
    draw2d::box(PAGE, 0, 0, 319, 239, 0);
    NDESIGNER::DRAW_CANNON(PAGE, C, D->S_IMAGE);
    int LIT = 0;
    for (int I = 0; I < 100 * 320; ++I) LIT += I % 320 < 100 && PAGE[4 + I] != 0;
    EXPECT_EQ(LIT > 0, MINFRAME == 26) << "a bullet frame is drawn only when the sheet holds it";
  }
  NDESIGNER::SHUTDOWN(*D);
  for (int K = 0; K < NDESIGNER::KEY_COUNT; ++K) SET(static_cast<KEY>(K), false);
  draw2d::close_screen();
  NDESIGNER::FRAME_CLOCK = NDESIGNER::FRAME_CLOCK_TYPE{};
  fs::current_path(OLD_DIR);
  fs::remove_all(DIR);
}

// designer_chooser.txt: a number and the key pressed once (after a frame with both keys up) =>
// the number and the file it names.
TEST(DesignerChooserKeys, NumberStaysBetweenZeroAndNineHundredNinetyNine) {
  volley_test::EXPECT_GOLDEN_TABLE("designer_chooser.txt", [](const std::string& PRESS) {
    int32_t N = std::stoi(PRESS);
    NDESIGNER::U_KEY = NDESIGNER::D_KEY = {};
    NDESIGNER::CHOOSER_KEYS(N, 0, 0);
    NDESIGNER::CHOOSER_KEYS(N, PRESS.ends_with("Up"), PRESS.ends_with("Down"));
    return NDESIGNER::BARRAGE_NAME(N);
  });
}
