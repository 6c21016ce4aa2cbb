// End-to-end runs of the volleyedit program: headless sessions with the start-up answers on
// standard input and keys from a script, checked through the trace and the saved file bytes,
// and the start-up screenshot of mode 1.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "decode.hpp"
#include "run_program.hpp"

namespace {

namespace fs = std::filesystem;

// The trace line of frame F.
std::string TRACE_LINE(const fs::path& TRACE, int F) {
  std::ifstream IN(TRACE);
  for (std::string LINE; std::getline(IN, LINE);)
    if (LINE.rfind("{\"frame\":" + std::to_string(F) + ",", 0) == 0) return LINE;
  return {};
}

// The 35 menu values of a trace line.
std::vector<float> MENU_OF(const std::string& LINE) {
  std::vector<float> V;
  const std::size_t AT = LINE.find("\"menu\":[");
  if (AT == std::string::npos) return V;
  for (const char* P = LINE.c_str() + AT + 8; *P != ']' && *P != '\0';) {
    char* END = nullptr;
    V.push_back(std::strtof(P, &END));
    P = END + (*END == ',');
  }
  return V;
}

// Text of the first member NAME of cannon 0 (cannon fields come before its bullets).
std::string CANNON0(const std::string& LINE, const std::string& NAME) {
  const std::size_t AT = LINE.find("\"" + NAME + "\":", LINE.find("\"CANNON\":[{"));
  if (AT == std::string::npos) return {};
  const std::size_t FROM = AT + NAME.size() + 3;
  return LINE.substr(FROM, LINE.find_first_of(",}", FROM) - FROM);
}

class VolleyeditRun : public ::testing::Test {
 protected:
  fs::path DIR;
  std::string OUT, ERR;

  void SetUp() override { DIR = e2e::SCRATCH_DIR("volleyedit_e2e", true); }
  void TearDown() override { fs::remove_all(DIR); }

  // Runs the program in DIR with ANSWERS on standard input; returns its exit code.
  int RUN(const std::string& ANSWERS, std::vector<std::string> ARGS) {
    WRITE("answers.txt", ANSWERS);
    ARGS.insert(ARGS.begin(), std::string(VOLLEY_RUN_DIR) + "/volleyedit");
    const e2e::RunResult R = e2e::RUN(ARGS, DIR, 120.0, false, {}, (DIR / "answers.txt").string());
    OUT = R.OUT, ERR = R.ERR;
    return R.EXIT;
  }
  void WRITE(const char* NAME, const std::string& TEXT) { std::ofstream(DIR / NAME) << TEXT; }
};

TEST_F(VolleyeditRun, ScriptedSessionEditsSavesAndLoadsBack) {
  // Session 1: edit five rows and the switch, save with F1. A tap is one frame down, up the
  // next; a hold lasts N frames.
  std::string KEYS = "# edit, save, quit\n\n";
  auto HOLD = [&KEYS](int F, const char* K, int N) {
    KEYS += std::to_string(F) + " " + K + " down\n" + std::to_string(F + N) + " " + K + " up\n";
  };
  HOLD(2, "Right", 1);   // row 0 LISTINDEX 1 -> 2
  HOLD(5, "Down", 51);   // acts on frames 5, 10, ..., 55: row 11
  HOLD(60, "Left", 1);   // RADIUS 10 -> 9
  HOLD(65, "Down", 11);  // three moves: row 14
  HOLD(80, "Left", 1);   // MAXROTATION 359 -> 358
  for (int F = 85; F <= 93; F += 2) HOLD(F, "Down", 1);  // row 19
  HOLD(95, "Left", 11);  // MAXBULLET 128 -> 125
  for (int F = 110; F <= 118; F += 2) HOLD(F, "Down", 1);  // row 24
  HOLD(120, "Right", 1);  // BULLETSPEED 4 -> 4.1 -> 4.2
  HOLD(122, "Right", 1);
  HOLD(125, "Tab", 1);  // rotation switch -1 -> 1
  HOLD(135, "F1", 1);
  WRITE("session1.keys", KEYS + "145 Escape down\n");
  ASSERT_EQ(RUN("622", {"--headless", "--keys", "session1.keys", "--trace", "t1.jsonl"}), 0) << ERR;
  EXPECT_NE(ERR.find("All memory deallocated"), std::string::npos) << "clean tracker report";
  EXPECT_NE(OUT.find("Choose the number of your scale filter..."), std::string::npos);
  EXPECT_NE(TRACE_LINE(DIR / "t1.jsonl", 145), "") << "frame 145 ran and was traced";
  EXPECT_EQ(TRACE_LINE(DIR / "t1.jsonl", 146), "") << "Escape in frame 145 ended the run";

  // The saved bytes are the start-up menu with exactly the edited rows changed.
  std::vector<float> EXPECTED = MENU_OF(TRACE_LINE(DIR / "t1.jsonl", 1));
  ASSERT_EQ(EXPECTED.size(), 35u);
  EXPECT_EQ(EXPECTED[19], 128.0f) << "start-up value of the edited MAXBULLET";
  EXPECTED[0] = 2.0f, EXPECTED[11] = 9.0f, EXPECTED[14] = 358.0f, EXPECTED[19] = 125.0f;
  volatile float SPEED = 4.0f;  // the two steps are 32-bit float sums
  SPEED = SPEED + 0.1f;
  EXPECTED[24] = SPEED + 0.1f;
  EXPECTED[34] = 1.0f;
  const std::string SAVED = e2e::READ_FILE(DIR / "barrage.vly");
  ASSERT_EQ(SAVED.size(), 140u);
  EXPECT_EQ(SAVED, std::string(reinterpret_cast<const char*>(EXPECTED.data()), 140))
      << "saved bytes";
  EXPECT_EQ(MENU_OF(TRACE_LINE(DIR / "t1.jsonl", 145)), EXPECTED) << "the last frame's menu";

  // Session 2: the saved file copied to barrage2.vly and loaded with F2 in mode 1.
  fs::copy_file(DIR / "barrage.vly", DIR / "barrage2.vly");
  WRITE("session2.keys", "3 F2 down\n4 F2 up\n6 Escape down\n");
  ASSERT_EQ(RUN("122", {"--headless", "--keys", "session2.keys", "--trace", "t2.jsonl"}), 0) << ERR;
  const std::string LOADED = TRACE_LINE(DIR / "t2.jsonl", 3);
  EXPECT_NE(MENU_OF(TRACE_LINE(DIR / "t2.jsonl", 2)), EXPECTED) << "before F2 the start-up menu";
  EXPECT_EQ(MENU_OF(LOADED), EXPECTED) << "F2 loads exactly the saved values";
  EXPECT_NE(LOADED.find("\"rotation_ai\":1,"), std::string::npos);
  EXPECT_EQ(CANNON0(LOADED, "ROTATE"), "\"ROTATE2\"") << "switch 1 selects the bouncing rule";
  EXPECT_EQ(CANNON0(LOADED, "MAXBULLET"), "125") << "the loaded menu reaches the cannon";
  EXPECT_EQ(CANNON0(LOADED, "ROTATION"), "225") << "the load puts the start rotation back";
  EXPECT_EQ(e2e::READ_FILE(DIR / "barrage2.vly"), SAVED) << "loading does not change the file";
}

TEST_F(VolleyeditRun, ScreenshotOfTheDefaultModeOneAfterStartUp) {
  // End of input answers every question with the defaults: filter 1, the page doubled.
  const fs::path ARTIFACTS = fs::path(VOLLEY_BINARY_DIR) / "artifacts";
  fs::create_directories(ARTIFACTS);
  const std::string PATTERN = (ARTIFACTS / "volleyedit_mode1_%d.png").string();
  ASSERT_EQ(RUN("", {"--headless", "--frames", "2", "--png", PATTERN, "--png-every", "1"}), 0)
      << ERR;
  EXPECT_NE(OUT.find("16 bits or 32 bits"), std::string::npos) << "all three questions asked";
  EXPECT_FALSE(fs::exists(ARTIFACTS / "volleyedit_mode1_3.png")) << "--frames 2 ends after frame 2";
  const fs::path SHOT = ARTIFACTS / "volleyedit_mode1.png";
  ASSERT_TRUE(fs::exists(ARTIFACTS / "volleyedit_mode1_2.png"));
  fs::rename(ARTIFACTS / "volleyedit_mode1_2.png", SHOT);
  fs::remove(ARTIFACTS / "volleyedit_mode1_1.png");
  const std::string PNG = e2e::READ_FILE(SHOT);
  ASSERT_GT(PNG.size(), 24u);
  EXPECT_EQ(PNG.substr(1, 3), "PNG");
  EXPECT_EQ(PNG.substr(16, 8), std::string("\0\0\x02\x80\0\0\x01\xE0", 8))
      << "640 x 480: mode 1 doubles the page";
}

TEST_F(VolleyeditRun, CaptureKeysWriteWhatTheModeShows) {
  WRITE("capture.keys", "2 F12 down\n3 F12 up\n4 F11 down\n5 F11 up\n9 F11 down\n10 F11 up\n12 Escape down\n");
  ASSERT_EQ(RUN("622", {"--headless", "--keys", "capture.keys"}), 0) << ERR;
  EXPECT_NE(OUT.find("wrote volley_0001.png\nrecording volley_0001.gif\nwrote volley_0001.gif\n"),
            std::string::npos) << OUT;
  EXPECT_EQ(e2e::PNG_WIDTH((DIR / "volley_0001.png").string()), 320u) << "mode 6 shows the page 1:1";
  EXPECT_EQ(e2e::GIF_FRAMES((DIR / "volley_0001.gif").string()), 5) << "frames 4 to 8";
}

}  // namespace
