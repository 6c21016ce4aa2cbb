// Tests of the running designer on the memory screen: page layout of the menu bar and the
// cannons, the chooser's keys and bounds, and whole frames with F2, F4 and Escape.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <vector>

#include "display/draw2d.hpp"
#include "volleyedit/barrage_file.hpp"
#include "volleyedit/designer.hpp"
#include "volleyedit/draw.hpp"
#include "volleyedit/menu.hpp"

namespace {

namespace fs = std::filesystem;
using NDESIGNER::KEY;
using NDESIGNER::MENU;

uint8_t PIXEL(const uint8_t* PAGE, int X, int Y) {
  return PAGE[draw2d::HEADER_BYTES + static_cast<std::size_t>(Y) * 320 + X];
}

// Scripted key changes per frame: {frame, {key, down}}.
struct KEY_CHANGE {
  KEY K;
  bool DOWN;
};
std::multimap<int32_t, KEY_CHANGE> SCRIPT;

// A designer running headless in mode 0 inside a scratch directory holding the assets.
class DesignerRun : public ::testing::Test {
 protected:
  fs::path OLD_DIR, DIR;
  NDESIGNER::DESIGNER_TYPE* D = nullptr;

  void SetUp() override {
    OLD_DIR = fs::current_path();
    DIR = fs::temp_directory_path() /
          ("volleyedit_core_" + std::to_string(::getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(DIR);
    fs::create_directories(DIR);
    for (const char* NAME : {"korvane.pal", "kv_bullet.put", "tiny_font.put", "qzfntdg.put"})
      fs::create_symlink(fs::path(VOLLEY_RUN_DIR) / NAME, DIR / NAME);
    fs::current_path(DIR);

    draw2d::set_headless(true);
    SCRIPT.clear();
    NDESIGNER::FRAME_CLOCK = NDESIGNER::FRAME_CLOCK_TYPE{};
    NDESIGNER::FRAME_CLOCK.HOOKS.BEGIN_FRAME = [](int32_t F) {
      auto [FIRST, LAST] = SCRIPT.equal_range(F);
      for (auto IT = FIRST; IT != LAST; ++IT)
        draw2d::set_key(NDESIGNER::SCAN_CODE(IT->second.K), IT->second.DOWN);
    };
    NDESIGNER::U_KEY = {};
    NDESIGNER::D_KEY = {};
    D = new NDESIGNER::DESIGNER_TYPE;
    NDESIGNER::START(*D, {0, 8, 0});
  }

  void TearDown() override {
    NDESIGNER::SHUTDOWN(*D);
    delete D;
    for (int K = 0; K < NDESIGNER::KEY_COUNT; ++K)
      draw2d::set_key(NDESIGNER::SCAN_CODE(static_cast<KEY>(K)), false);
    draw2d::close_screen();
    NDESIGNER::FRAME_CLOCK = NDESIGNER::FRAME_CLOCK_TYPE{};
    fs::current_path(OLD_DIR);
    fs::remove_all(DIR);
  }

  // A press of K lasting one frame, starting at frame F.
  static void TAP(int32_t F, KEY K) {
    SCRIPT.insert({F, {K, true}});
    SCRIPT.insert({F + 1, {K, false}});
  }
  // Runs frames until the loop ends or N passes have run; returns the passes run.
  int RUN(int N) {
    int PASSES = 0;
    while (PASSES < N) {
      ++PASSES;
      if (!NDESIGNER::RUN_FRAME(*D)) break;
    }
    return PASSES;
  }
  void WRITE_FILE(const char* NAME, const std::vector<float>& VALUES) {
    std::ofstream OUT(DIR / NAME, std::ios::binary);
    OUT.write(reinterpret_cast<const char*>(VALUES.data()),
              static_cast<std::streamsize>(VALUES.size() * sizeof(float)));
  }
  // A barrage file like the start-up menu, with row ROW set to V.
  std::vector<float> MENU_WITH(int32_t ROW, float V) {
    std::vector<float> VALUES;
    for (int32_t K = 0; K < NDESIGNER::MENU_ROWS; ++K) VALUES.push_back(MENU[K].VALUE);
    VALUES[ROW] = V;
    return VALUES;
  }
};

TEST_F(DesignerRun, SoftwareModeReadsScanCodes) {
  EXPECT_EQ(NDESIGNER::DISPLAY_TYPE, 0) << "no OpenGL window: the library's scan codes";
  draw2d::set_key(draw2d::KEY_F3, true);
  EXPECT_NE(NDESIGNER::KEY_DOWN(KEY::F3), 0);
  draw2d::set_key(draw2d::KEY_F3, false);
  EXPECT_EQ(NDESIGNER::KEY_DOWN(KEY::F3), 0);
}

TEST_F(DesignerRun, HighlightBarOfRowThirtyThree) {
  uint8_t* PAGE = D->VIDEO.P_VPAGE;
  draw2d::box(PAGE, 0, 0, 319, 239, 0);
  NDESIGNER::DRAWMENU(PAGE, 33, NDESIGNER::HIGHLIGHT_COLOUR, D->FONT);
  EXPECT_EQ(PIXEL(PAGE, 130, 231), 156) << "the bar's top right corner";
  EXPECT_EQ(PIXEL(PAGE, 130, 237), 156) << "the bar's bottom right corner";
  EXPECT_EQ(PIXEL(PAGE, 131, 234), 0) << "131 pixels wide, no more";
  EXPECT_EQ(PIXEL(PAGE, 100, 230), 0) << "the bar starts at pixel row 231";
  EXPECT_EQ(PIXEL(PAGE, 100, 238), 0) << "and ends at 237";
  EXPECT_EQ(D->FONT.M_X, 0);
  EXPECT_EQ(D->FONT.M_Y, 238) << "the font is left below the last row number";
}

TEST_F(DesignerRun, StatisticsLeaveTheFontOnTheRightColumn) {
  NDESIGNER::DRAW_STATS(D->VIDEO.P_VPAGE, 0, D->FONT);
  EXPECT_EQ(D->FONT.M_X, 160);
  EXPECT_EQ(D->FONT.M_Y, 14);
  EXPECT_EQ(D->FONT.M_TEXT, "start rotation = 225");
}

TEST_F(DesignerRun, BulletFramesOutsideTheSheetAreSkipped) {
  uint8_t* PAGE = D->VIDEO.P_VPAGE;
  NBARRAGE::TURRET_TYPE C = NDESIGNER::CANNON[0];  // borrows cannon 0's bullet array
  for (int32_t J = 0; J < NBARRAGE::DEFAULT_MAXBULLET; ++J) C.P_BULLETS[J].ACTIVE = 0;
  C.X = 300.0f;
  C.Y = 200.0f;
  C.RADIUS = 0.0f;
  NBARRAGE::BULLET_TYPE& B = C.P_BULLETS[0];
  B = NBARRAGE::BULLET_TYPE{};
  B.ACTIVE = -1;
  B.X = 40.0f;
  B.Y = 40.0f;
  B.MINFRAME = 26;
  draw2d::box(PAGE, 0, 0, 319, 239, 0);
  NDESIGNER::DRAW_CANNON(PAGE, C, D->S_IMAGE);
  int LIT = 0;
  for (int Y = 40; Y < 60; ++Y)
    for (int X = 40; X < 60; ++X) LIT += PIXEL(PAGE, X, Y) != 0;
  EXPECT_GT(LIT, 0) << "a frame of the sheet is drawn at the bullet";

  draw2d::box(PAGE, 0, 0, 319, 239, 0);
  B.MINFRAME = 999;
  B.FRAME = 3;
  NDESIGNER::DRAW_CANNON(PAGE, C, D->S_IMAGE);
  LIT = 0;
  for (int Y = 0; Y < 240; ++Y)
    for (int X = 0; X < 280; ++X) LIT += PIXEL(PAGE, X, Y) != 0;
  EXPECT_EQ(LIT, 0) << "frame 1002 lies outside the sheet and is not drawn";
}

TEST_F(DesignerRun, EscapeAtTheEndOfAFrameLeavesTheLoop) {
  SCRIPT.insert({3, {KEY::ESCAPE, true}});
  EXPECT_EQ(RUN(10), 3) << "frame 3 still runs and presents, then the loop ends";
  EXPECT_EQ(NDESIGNER::FRAME_CLOCK.PRESENTED, 3);
}

TEST_F(DesignerRun, MissingLoadFileKeepsMenuAndCannon) {
  RUN(3);
  ASSERT_NE(NDESIGNER::CANNON[0].ROTATION, 225) << "the cannon has turned since start-up";
  TAP(4, KEY::F2);
  ::testing::internal::CaptureStderr();
  RUN(1);
  const std::string ERR = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(ERR.find("barrage2.vly"), std::string::npos) << ERR;
  EXPECT_FALSE(fs::exists(DIR / "barrage2.vly")) << "F2 does not create the file";
  EXPECT_EQ(MENU[19].VALUE, 128.0f) << "the menu is not wiped";
  EXPECT_NE(NDESIGNER::CANNON[0].ROTATION, 225) << "the menu was not applied to the cannon";
  EXPECT_EQ(NDESIGNER::CANNON[0].ACTIVE, -1);
}

TEST_F(DesignerRun, LoadAppliesTheFileInTheSameFrame) {
  WRITE_FILE("barrage2.vly", MENU_WITH(19, 7.0f));
  TAP(2, KEY::F2);
  RUN(2);
  EXPECT_EQ(MENU[19].VALUE, 7.0f);
  EXPECT_EQ(NDESIGNER::CANNON[0].MAXBULLET, 7);
  EXPECT_EQ(NDESIGNER::CANNON[0].ROTATION, 225) << "the start rotation is put back by the load";
  EXPECT_EQ(NDESIGNER::ROTATION_AI, -1) << "the file's switch is applied";
}

TEST_F(DesignerRun, SaveWritesTheMenu) {
  TAP(2, KEY::RIGHT);  // row 0: LISTINDEX 1 -> 2
  TAP(4, KEY::F1);
  RUN(5);
  std::ifstream IN(DIR / "barrage.vly", std::ios::binary);
  float VALUES[35] = {};
  IN.read(reinterpret_cast<char*>(VALUES), sizeof VALUES);
  EXPECT_EQ(IN.gcount(), 140);
  EXPECT_EQ(VALUES[0], 2.0f) << "the edited row is saved";
  EXPECT_EQ(VALUES[12], 225.0f);
}

TEST(DesignerChooserKeys, NumberStaysBetweenZeroAndNineHundredNinetyNine) {
  NDESIGNER::U_KEY = {};
  NDESIGNER::D_KEY = {};
  int32_t N = 0;
  NDESIGNER::CHOOSER_KEYS(N, 1, 0);
  EXPECT_EQ(N, 0) << "Up at 0 stays 0";
  NDESIGNER::CHOOSER_KEYS(N, 0, 1);
  EXPECT_EQ(N, 1);
  NDESIGNER::CHOOSER_KEYS(N, 0, 0);
  N = 999;
  NDESIGNER::CHOOSER_KEYS(N, 0, 1);
  EXPECT_EQ(N, 999) << "Down at 999 stays 999";
  NDESIGNER::CHOOSER_KEYS(N, 1, 0);
  EXPECT_EQ(N, 998);
  EXPECT_EQ(NDESIGNER::BARRAGE_NAME(0), "barrage_0.vly");
  EXPECT_EQ(NDESIGNER::BARRAGE_NAME(999), "barrage_999.vly") << "no leading zeros, no padding";
}

TEST_F(DesignerRun, ChooserStartsAtZeroOnEveryCall) {
  std::string NAME = "unchanged";
  TAP(1, KEY::DOWN);
  TAP(3, KEY::DOWN);
  SCRIPT.insert({5, {KEY::ENTER, true}});
  SCRIPT.insert({6, {KEY::ENTER, false}});
  EXPECT_EQ(NDESIGNER::LOAD_BARRAGE(D->VIDEO, NAME, D->FONT), -1) << "Enter confirms";
  EXPECT_EQ(NAME, "barrage_2.vly") << "two Down presses from 0";
  EXPECT_EQ(NDESIGNER::FRAME_CLOCK.PRESENTED, 5) << "one presented page per pass, Enter's included";
  SCRIPT.insert({7, {KEY::ENTER, true}});
  EXPECT_EQ(NDESIGNER::LOAD_BARRAGE(D->VIDEO, NAME, D->FONT), -1);
  EXPECT_EQ(NAME, "barrage_0.vly") << "the next call starts again at 0";
}

TEST_F(DesignerRun, ChooserDrawsItsBoxAndName) {
  std::string NAME;
  SCRIPT.insert({1, {KEY::ENTER, true}});
  NDESIGNER::LOAD_BARRAGE(D->VIDEO, NAME, D->FONT);
  EXPECT_EQ(PIXEL(D->VIDEO.P_VPAGE, 60, 60), 127) << "box corner";
  EXPECT_EQ(PIXEL(D->VIDEO.P_VPAGE, 160, 120), 127) << "opposite corner";
  EXPECT_EQ(D->FONT.M_TEXT, "barrage_0.vly");
  EXPECT_EQ(D->FONT.M_X, 100);
  EXPECT_EQ(D->FONT.M_Y, 90);
}

TEST_F(DesignerRun, EnterLoadsTheChosenFile) {
  WRITE_FILE("barrage_1.vly", MENU_WITH(22, 9.0f));
  TAP(2, KEY::F4);                      // the chooser opens in frame 2
  TAP(3, KEY::DOWN);                    // barrage_1.vly
  SCRIPT.insert({4, {KEY::ENTER, true}});
  SCRIPT.insert({5, {KEY::ENTER, false}});
  RUN(2);
  EXPECT_EQ(MENU[22].VALUE, 9.0f) << "the chosen file is loaded as F2 loads";
  EXPECT_EQ(NDESIGNER::CANNON[0].BULLETS_PER_SHOT, 9);
  EXPECT_EQ(D->CHOSEN, "barrage_1.vly");
  EXPECT_EQ(NDESIGNER::FRAME_CLOCK.PRESENTED, 5) << "frames 2-4 were chooser pages, 5 the loop's";
}

TEST_F(DesignerRun, EscapeCancelsWithoutQuitting) {
  WRITE_FILE("barrage_0.vly", MENU_WITH(22, 9.0f));
  TAP(2, KEY::F4);
  SCRIPT.insert({3, {KEY::ESCAPE, true}});  // held over several frames
  SCRIPT.insert({6, {KEY::ESCAPE, false}});
  EXPECT_EQ(RUN(8), 8) << "the Escape that closed the chooser does not end the designer";
  EXPECT_EQ(MENU[22].VALUE, 4.0f) << "nothing was loaded";
  EXPECT_EQ(D->CHOSEN, "") << "the name is unchanged";
  SCRIPT.insert({10, {KEY::ESCAPE, true}});
  EXPECT_EQ(RUN(10), 1) << "a new Escape press quits";
}

TEST_F(DesignerRun, LastFrameInsideTheChooserEndsTheRun) {
  NDESIGNER::FRAME_CLOCK.HOOKS.LAST_FRAME = [](int32_t F) { return F >= 4; };
  TAP(2, KEY::F4);
  EXPECT_EQ(RUN(20), 2) << "frame 2 opened the chooser and the run ended inside it";
  EXPECT_EQ(NDESIGNER::FRAME_CLOCK.PRESENTED, 4);
}

}  // namespace
