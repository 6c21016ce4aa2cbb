// volleyview end to end, headless: every key and the mouse from key scripts, checked through
// the trace (a paused cannon holds still, Period moves it one frame, R returns to set 0 frame
// 0, the pointer turns an aimed set), the capture keys, a file that does not load, and the
// command lines that are refused.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "decode.hpp"
#include "run_program.hpp"
#include "view_files.hpp"

namespace {

namespace fs = std::filesystem;

class VolleyviewRun : public ::testing::Test {
 protected:
  fs::path DIR;
  e2e::RunResult R;
  std::map<int, std::string> TRACE;

  void SetUp() override {
    DIR = e2e::SCRATCH_DIR("volleyview_e2e", true);
    fs::create_directory(DIR / "p");
  }
  void TearDown() override { fs::remove_all(DIR); }

  void WRITE(const fs::path& NAME, const std::string& TEXT) { std::ofstream(DIR / NAME) << TEXT; }
  // Runs volleyview headless in DIR with KEYS as its key script and a trace.
  void RUN(const std::string& KEYS, std::vector<std::string> ARGS) {
    WRITE("run.keys", KEYS);
    ARGS.insert(ARGS.begin(), {std::string(VOLLEY_RUN_DIR) + "/volleyview", "--headless", "--keys",
                               "run.keys", "--trace", "trace.jsonl"});
    R = e2e::RUN(ARGS, DIR.string(), 60.0);
    TRACE = e2e::TRACE_BY_FRAME(DIR / "trace.jsonl");
  }
  std::string AT(int F, const std::string& NAME) { return e2e::FIELD(TRACE[F], NAME); }
  std::string CANNON(int F, const std::string& NAME) { return e2e::CANNON_FIELD(TRACE[F], NAME); }
};

TEST_F(VolleyviewRun, KeysDriveFilesPauseStepAndRestart) {
  WRITE("p/a.json", e2e::PROGRAMME_JSON({e2e::SET_JSON({})}));
  WRITE("p/b.json",
        e2e::PROGRAMME_JSON({e2e::SET_JSON({{"ROTDIR", "-1"}}), e2e::SET_JSON({{"DELAY", "30"}})}));
  fs::copy_file(DIR / "p/a.json", DIR / "p/ignored.txt");
  std::string KEYS;
  for (const auto& [F, K] : std::vector<std::pair<int, const char*>>{{10, "P"},
                                                                     {16, "Period"},
                                                                     {20, "P"},
                                                                     {30, "R"},
                                                                     {40, "PageDown"},
                                                                     {45, "PageUp"},
                                                                     {50, "PageUp"},
                                                                     {55, "H"},
                                                                     {60, "F12"},
                                                                     {62, "F11"},
                                                                     {70, "F11"}})
    KEYS += std::to_string(F) + " " + K + " down\n" + std::to_string(F + 1) + " " + K + " up\n";
  RUN(KEYS + "80 Escape down\n", {"p"});
  ASSERT_EQ(R.EXIT, 0) << R.ERR;
  ASSERT_EQ(TRACE.rbegin()->first, 80) << "Escape ends the run in its frame";
  EXPECT_EQ(AT(1, "file"), "\"p/a.json\"") << "files play in name order; other names are left out";
  EXPECT_EQ(AT(1, "files"), "2");

  EXPECT_EQ(AT(12, "paused"), "true");
  EXPECT_EQ(e2e::CANNONS(TRACE[9]), e2e::CANNONS(TRACE[15]))
      << "a paused run holds every bullet still";
  EXPECT_EQ(std::stoi(AT(16, "set_frame")), std::stoi(AT(15, "set_frame")) + 1)
      << "Period steps one frame";
  EXPECT_NE(e2e::CANNONS(TRACE[16]), e2e::CANNONS(TRACE[15]));
  EXPECT_EQ(e2e::CANNONS(TRACE[16]), e2e::CANNONS(TRACE[19])) << "and only one";
  EXPECT_EQ(AT(20, "paused"), "false");
  EXPECT_EQ(std::stoi(AT(29, "set_frame")), 19) << "steps on frames 2 to 9, 16 and 20 to 29";

  EXPECT_EQ(AT(30, "set") + "/" + AT(30, "set_frame"), "0/0") << "R returns to set 0 frame 0";
  EXPECT_EQ(CANNON(30, "LISTINDEX"), "0");
  EXPECT_EQ(e2e::FIELD(TRACE[30], "bullets"), "[]") << "the fresh cannon has fired nothing";
  EXPECT_EQ(AT(31, "set") + "/" + AT(31, "set_frame"), "1/1");

  EXPECT_EQ(AT(40, "file"), "\"p/b.json\"") << "PageDown: the next file";
  EXPECT_EQ(AT(44, "sets"), "2");
  EXPECT_EQ(CANNON(44, "ROTDIR"), "-1") << "the next file's programme plays";
  EXPECT_EQ(AT(45, "file"), "\"p/a.json\"") << "PageUp: the previous file";
  EXPECT_EQ(AT(50, "file"), "\"p/b.json\"") << "PageUp from the first file wraps round to the last";
  EXPECT_EQ(AT(54, "overlay") + AT(55, "overlay"), "truefalse") << "H hides the overlay";

  EXPECT_NE(R.OUT.find("wrote volley_0001.png\nrecording volley_0001.gif\nwrote volley_0001.gif\n"),
            std::string::npos)
      << R.OUT;
  EXPECT_EQ(e2e::PNG_WIDTH((DIR / "volley_0001.png").string()), 320u)
      << "F12: the page, decoded by libpng";
  EXPECT_EQ(e2e::GIF_FRAMES((DIR / "volley_0001.gif").string()), 8)
      << "F11 to F11: frames 62 to 69";
  EXPECT_NE(R.OUT.find("(LEAKSCOPE) All memory deallocated"), std::string::npos)
      << "every cannon made by a restart or a file switch is released: " << R.OUT;
}

TEST_F(VolleyviewRun, PointerAimsAnAimedSetAndADragMovesTheCannon) {
  WRITE("p/aimed.json",
        e2e::PROGRAMME_JSON({e2e::SET_JSON({{"TARGETING", "-1"}, {"ROTSPEED", "0"}})}));
  RUN("5 MOUSE 10 10\n40 MOUSE 310 230\n70 MOUSE 50 60\n70 MouseLeft down\n75 MouseLeft up\n",
      {"--frames", "80", "p"});
  ASSERT_EQ(R.EXIT, 0) << R.ERR;
  EXPECT_EQ(CANNON(4, "P_TARGET"), "false") << "no pointer yet: the set's own target";
  EXPECT_EQ(CANNON(35, "TARGETX") + "," + CANNON(35, "TARGETY"), "10,10")
      << "the pointer is the target";
  const int UP_LEFT = std::stoi(CANNON(35, "ROTATION"));
  const int DOWN_RIGHT = std::stoi(CANNON(65, "ROTATION"));
  EXPECT_TRUE(UP_LEFT > 180 && UP_LEFT < 270) << "aimed up and left of the cannon: " << UP_LEFT;
  EXPECT_TRUE(DOWN_RIGHT > 0 && DOWN_RIGHT < 90) << "aimed down and right: " << DOWN_RIGHT;
  EXPECT_EQ(CANNON(69, "X"), "160");
  EXPECT_EQ(CANNON(72, "X") + "," + CANNON(72, "Y"), "50,60") << "a left drag moves the cannon";
  EXPECT_EQ(CANNON(79, "X") + "," + CANNON(79, "Y"), "50,60") << "where it was dropped";
}

TEST_F(VolleyviewRun, AFileThatDoesNotLoadIsShownInRedAndReportedOnce) {
  WRITE("p/good.json", e2e::PROGRAMME_JSON({e2e::SET_JSON({})}));
  WRITE("p/worse.json", e2e::PROGRAMME_JSON({e2e::SET_JSON({{"MAXBULLET", "500"}})}));
  RUN("5 PageDown down\n6 PageDown up\n",
      {"--frames", "40", "--png", "shot%d.png", "--png-every", "39", "p"});
  ASSERT_EQ(R.EXIT, 0) << R.ERR;
  const std::size_t AT_NAME = R.ERR.find("worse.json");
  ASSERT_NE(AT_NAME, std::string::npos) << "standard error names the file: " << R.ERR;
  EXPECT_NE(R.ERR.find("MAXBULLET"), std::string::npos) << "and the field: " << R.ERR;
  EXPECT_EQ(R.ERR.find("worse.json", AT_NAME + 1), std::string::npos) << "once: " << R.ERR;
  EXPECT_EQ(AT(40, "file"), "\"p/worse.json\"");
  EXPECT_EQ(e2e::CANNONS(TRACE[40]), "\"cannons\":[]}") << "nothing plays: no version ever loaded";
  unsigned W = 0;
  const std::vector<uint8_t> RGBA = e2e::PNG_RGBA((DIR / "shot40.png").string(), W);
  int RED = 0;
  for (std::size_t I = 0; I + 3 < RGBA.size(); I += 4)
    RED += RGBA[I] > 200 && RGBA[I + 1] < 80 && RGBA[I + 2] < 80;
  EXPECT_GT(RED, 100) << "the error is written in red on the page";
}

TEST_F(VolleyviewRun, RefusedCommandLinesExitTwo) {
  const std::string VIEW = std::string(VOLLEY_RUN_DIR) + "/volleyview";
  const struct {
    std::vector<std::string> ARGS;
    const char* SAYS;
  } CASES[] = {{{VIEW, "--headless", "--frames", "3", "p"}, "no pattern file (.vly or .json) in p"},
               {{VIEW, "--headless", "--frames", "3"}, "in the current directory"},
               {{VIEW, "--scale", "9", "p"}, "--scale needs a whole number from 1 to 8, not '9'"},
               {{VIEW, "--headless", "p"}, "--headless needs --frames N"},
               {{VIEW, "--capture-keys", "p"}, "unknown option --capture-keys"}};
  for (const auto& C : CASES) {
    const e2e::RunResult X = e2e::RUN(C.ARGS, DIR.string(), 30.0);
    EXPECT_EQ(X.EXIT, 2) << C.SAYS;
    EXPECT_NE(X.ERR.find(C.SAYS), std::string::npos) << "stderr: " << X.ERR;
  }
  const e2e::RunResult HELP = e2e::RUN({VIEW, "--help"}, DIR.string(), 30.0);
  EXPECT_EQ(HELP.EXIT, 0);
  EXPECT_NE(HELP.OUT.find("PageUp, PageDown"), std::string::npos) << HELP.OUT;
}

}  // namespace
