// Tests of the running designer on the memory screen: the cannons' drawing, the chooser's
// bounds, files a load must leave alone, and the tracker's count of live blocks over a long
// session.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>

#include "draw2d/draw2d.hpp"
#include "leakscope/leakscope.hpp"
#include "tests/e2e/run_program.hpp"
#include "volleyedit/barrage_file.hpp"
#include "volleyedit/designer.hpp"
#include "volleyedit/draw.hpp"
#include "volleyedit/menu.hpp"

namespace {

namespace fs = std::filesystem;
using NDESIGNER::KEY;

void SET(KEY K, bool DOWN) { draw2d::set_key(NDESIGNER::SCAN_CODE(K), DOWN); }
void WRITE(const fs::path& P, const std::string& BYTES) {
  std::ofstream(P, std::ios::binary) << BYTES;
}

// A designer running headless in mode 0 inside a scratch directory holding the assets.
class DesignerRun : public ::testing::Test {
 protected:
  fs::path OLD_DIR, DIR;
  NDESIGNER::DESIGNER_TYPE* D = nullptr;
  std::function<void(int32_t)> KEYS;  // sets the keys of each frame

  void SetUp() override {
    OLD_DIR = fs::current_path();
    DIR = e2e::SCRATCH_DIR("volleyedit_core", true);
    fs::current_path(DIR);
    draw2d::set_headless(true);
    NDESIGNER::FRAME_CLOCK = NDESIGNER::FRAME_CLOCK_TYPE{};
    NDESIGNER::FRAME_CLOCK.HOOKS.BEGIN_FRAME = [this](int32_t F) {
      if (KEYS) KEYS(F);
    };
    NDESIGNER::U_KEY = NDESIGNER::D_KEY = {};
    D = new NDESIGNER::DESIGNER_TYPE;
    NDESIGNER::START(*D, {0, 8, 0});
  }

  void TearDown() override {
    NDESIGNER::SHUTDOWN(*D);
    delete D;
    for (int K = 0; K < NDESIGNER::KEY_COUNT; ++K) SET(static_cast<KEY>(K), false);
    draw2d::close_screen();
    NDESIGNER::FRAME_CLOCK = NDESIGNER::FRAME_CLOCK_TYPE{};
    fs::current_path(OLD_DIR);
    fs::remove_all(DIR);
  }

};

TEST_F(DesignerRun, BulletFramesOutsideTheSheetAreSkipped) {
  uint8_t* PAGE = D->VIDEO.P_VPAGE;
  NBARRAGE::TURRET_TYPE C = NDESIGNER::CANNON[0];  // borrows cannon 0's bullet array
  for (int32_t J = 0; J < NBARRAGE::DEFAULT_MAXBULLET; ++J) C.P_BULLETS[J].ACTIVE = 0;
  C.X = 300.0f, C.Y = 200.0f, C.RADIUS = 0.0f;
  NBARRAGE::BULLET_TYPE& B = C.P_BULLETS[0];
  B = NBARRAGE::BULLET_TYPE{};
  B.ACTIVE = -1, B.X = B.Y = 40.0f;
  for (const int32_t MINFRAME : {26, 999}) {  // frame 3 + 999 lies outside the sheet
    B.MINFRAME = MINFRAME, B.FRAME = 3;
    draw2d::box(PAGE, 0, 0, 319, 239, 0);
    NDESIGNER::DRAW_CANNON(PAGE, C, D->S_IMAGE);
    int LIT = 0;
    for (int Y = 0; Y < 240; ++Y)
      for (int X = 0; X < 280; ++X) LIT += PAGE[draw2d::HEADER_BYTES + Y * 320 + X] != 0;
    EXPECT_EQ(LIT > 0, MINFRAME == 26) << "a frame is drawn only when the sheet holds it";
  }
}

TEST_F(DesignerRun, LoadLeavesShortLongAndReadOnlyFilesUntouched) {
  struct CASE { const char* WHAT; std::size_t SIZE; bool READ_ONLY; };
  KEYS = [](int32_t F) { SET(KEY::F2, F % 3 == 1); };  // F2 in the first of every three frames
  for (const CASE& C : {CASE{"short", 6, false}, CASE{"read-only", 140, true}}) {
    SCOPED_TRACE(C.WHAT);
    fs::remove("barrage2.vly");
    std::string BYTES(C.SIZE, '\0');
    for (std::size_t I = 0; I < C.SIZE; ++I) BYTES[I] = static_cast<char>(C.SIZE + 13 * I);
    WRITE("barrage2.vly", BYTES);
    // any write would move the time
    const auto OLD_TIME = fs::last_write_time("barrage2.vly") - std::chrono::hours(24);
    fs::last_write_time("barrage2.vly", OLD_TIME);
    if (C.READ_ONLY) fs::permissions("barrage2.vly", fs::perms::owner_read);
    const fs::perms MODE = fs::status("barrage2.vly").permissions();
    for (int I = 0; I < 3; ++I) ASSERT_TRUE(NDESIGNER::RUN_FRAME(*D));
    EXPECT_EQ(e2e::READ_FILE("barrage2.vly"), BYTES) << "F2 changed the file's bytes";
    EXPECT_EQ(fs::last_write_time("barrage2.vly"), OLD_TIME) << "F2 wrote to the file";
    EXPECT_EQ(fs::status("barrage2.vly").permissions(), MODE) << "F2 changed the file's mode";
  }
}

TEST(DesignerChooserKeys, NumberStaysBetweenZeroAndNineHundredNinetyNine) {
  NDESIGNER::U_KEY = NDESIGNER::D_KEY = {};
  // From, Up, Down -> to; each press follows a frame with both keys up.
  for (const auto [FROM, UP, DOWN, TO] :
       {std::array{0, 1, 0, 0}, {0, 0, 1, 1}, {999, 0, 1, 999}, {999, 1, 0, 998}}) {
    int32_t N = FROM;
    NDESIGNER::CHOOSER_KEYS(N, UP, DOWN);
    EXPECT_EQ(N, TO) << "from " << FROM << (UP ? " Up" : " Down");
    NDESIGNER::CHOOSER_KEYS(N, 0, 0);
  }
  EXPECT_EQ(NDESIGNER::BARRAGE_NAME(999), "barrage_999.vly") << "no leading zeros, no padding";
}

TEST_F(DesignerRun, LiveBlocksNeverGrowOverALongEditingSession) {
  // Every 40 frames one action of the key map, pressed for 12 frames: edits on moving rows,
  // the switch, rounding, saves, loads of what was saved, and the chooser confirmed.
  const KEY CYCLE[] = {KEY::DOWN, KEY::RIGHT, KEY::LEFT, KEY::TAB, KEY::F3, KEY::F1,
                       KEY::F2,   KEY::RIGHT, KEY::UP,   KEY::F4, KEY::ENTER};
  KEYS = [&CYCLE](int32_t F) {
    for (KEY OTHER : CYCLE) SET(OTHER, false);
    if (F % 40 < 12) SET(CYCLE[(F / 40) % std::size(CYCLE)], true);
    if (F % 400 == 300)
      fs::copy_file("barrage.vly", "barrage2.vly", fs::copy_options::overwrite_existing);
  };
  ASSERT_TRUE(NDESIGNER::RUN_FRAME(*D));
  std::size_t PREVIOUS = LEAKSCOPE_COUNT();
  int32_t GREW_AT = 0;
  for (int32_t F = 2; F <= 4000 && GREW_AT == 0; ++F) {
    ASSERT_TRUE(NDESIGNER::RUN_FRAME(*D)) << "nothing in the cycle quits (frame " << F << ")";
    if (LEAKSCOPE_COUNT() > PREVIOUS) GREW_AT = F;
    PREVIOUS = LEAKSCOPE_COUNT();
  }
  EXPECT_EQ(GREW_AT, 0) << "a frame took a block it did not return (frame " << GREW_AT << ")";
  EXPECT_TRUE(fs::exists("barrage.vly")) << "the cycle saved at least once";
}

}  // namespace
