// End-to-end runs of the volleyedit program: headless sessions with the start-up answers on
// standard input and keys from a script, checked through the trace and the saved file bytes;
// refused option combinations; and the start-up screenshot of mode 1.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path PROGRAM = fs::path(VOLLEY_RUN_DIR) / "volleyedit";

std::string READ_TEXT(const fs::path& P) {
  std::ifstream IN(P, std::ios::binary);
  std::stringstream S;
  S << IN.rdbuf();
  return S.str();
}

std::vector<float> READ_FLOATS(const fs::path& P) {
  const std::string BYTES = READ_TEXT(P);
  std::vector<float> V(BYTES.size() / 4);
  std::memcpy(V.data(), BYTES.data(), V.size() * 4);  // little-endian like the file
  return V;
}

// The trace line of frame F.
std::string TRACE_LINE(const fs::path& TRACE, int F) {
  std::ifstream IN(TRACE);
  const std::string KEY = "{\"frame\":" + std::to_string(F) + ",";
  for (std::string LINE; std::getline(IN, LINE);)
    if (LINE.rfind(KEY, 0) == 0) return LINE;
  return {};
}

// The 35 menu values of a trace line.
std::vector<float> MENU_OF(const std::string& LINE) {
  std::vector<float> V;
  std::size_t AT = LINE.find("\"menu\":[");
  if (AT == std::string::npos) return V;
  const char* P = LINE.c_str() + AT + 8;
  while (*P != ']' && *P != '\0') {
    char* END = nullptr;
    V.push_back(std::strtof(P, &END));
    P = END;
    if (*P == ',') ++P;
  }
  return V;
}

// Text of the first member NAME of cannon 0 (cannon fields come before its bullets).
std::string CANNON0(const std::string& LINE, const std::string& NAME) {
  const std::size_t START = LINE.find("\"CANNON\":[{");
  if (START == std::string::npos) return {};
  const std::string KEY = "\"" + NAME + "\":";
  const std::size_t AT = LINE.find(KEY, START);
  if (AT == std::string::npos) return {};
  const std::size_t FROM = AT + KEY.size();
  return LINE.substr(FROM, LINE.find_first_of(",}", FROM) - FROM);
}

float F32(const std::string& TEXT) { return std::strtof(TEXT.c_str(), nullptr); }

class VolleyeditRun : public ::testing::Test {
 protected:
  fs::path DIR;
  std::string OUT, ERR;

  void SetUp() override {
    DIR = fs::temp_directory_path() /
          ("volleyedit_e2e_" + std::to_string(::getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(DIR);
    fs::create_directories(DIR);
    for (const char* NAME : {"korvane.pal", "kv_bullet.put", "tiny_font.put", "qzfntdg.put"})
      fs::create_symlink(fs::path(VOLLEY_RUN_DIR) / NAME, DIR / NAME);
  }
  void TearDown() override { fs::remove_all(DIR); }

  // Runs the program in DIR with ANSWERS on standard input; returns its exit code.
  int RUN(const std::string& ANSWERS, const std::string& ARGS) {
    const std::string CMD = "cd '" + DIR.string() + "' && printf '" + ANSWERS + "' | timeout 120 '" +
                            PROGRAM.string() + "' " + ARGS + " >out.txt 2>err.txt";
    const int STATUS = std::system(CMD.c_str());
    OUT = READ_TEXT(DIR / "out.txt");
    ERR = READ_TEXT(DIR / "err.txt");
    return WIFEXITED(STATUS) ? WEXITSTATUS(STATUS) : -1;
  }
  void WRITE(const char* NAME, const std::string& TEXT) { std::ofstream(DIR / NAME) << TEXT; }
};

// Lines of a key script: a tap is one frame down, up the next frame; a hold lasts N frames.
struct SCRIPT_TEXT {
  std::string TEXT;
  void TAP(int F, const char* K) { HOLD(F, K, 1); }
  void HOLD(int F, const char* K, int N) {
    TEXT += std::to_string(F) + " " + K + " down\n";
    TEXT += std::to_string(F + N) + " " + K + " up\n";
  }
};

TEST_F(VolleyeditRun, ScriptedSessionEditsSavesAndLoadsBack) {
  // Session 1: edit five rows and the switch, save with F1, try F2 before barrage2.vly exists.
  SCRIPT_TEXT S;
  S.TEXT = "# edit, save, failed load, quit\n\n";
  S.TAP(2, "Right");           // row 0 LISTINDEX 1 -> 2
  S.HOLD(5, "Down", 51);       // acts on frames 5, 10, ..., 55: row 11
  S.TAP(60, "Left");           // RADIUS 10 -> 9
  S.HOLD(65, "Down", 11);      // three moves: row 14
  S.TAP(80, "Left");           // MAXROTATION 359 -> 358
  for (int F = 85; F <= 93; F += 2) S.TAP(F, "Down");  // row 19
  S.HOLD(95, "Left", 11);      // MAXBULLET 128 -> 125
  for (int F = 110; F <= 118; F += 2) S.TAP(F, "Down");  // row 24
  S.TAP(120, "Right");         // BULLETSPEED 4 -> 4.1 -> 4.2
  S.TAP(122, "Right");
  S.TAP(125, "Tab");           // rotation switch -1 -> 1
  S.TAP(135, "F1");
  S.TAP(140, "F2");
  S.TEXT += "145 Escape down\n";
  WRITE("session1.keys", S.TEXT);
  ASSERT_EQ(RUN("622", "--headless --keys session1.keys --trace t1.jsonl"), 0) << ERR;
  EXPECT_NE(ERR.find("\"barrage2.vly\" not found"), std::string::npos) << "F2 said why: " << ERR;
  EXPECT_FALSE(fs::exists(DIR / "barrage2.vly")) << "the failed load created no file";
  EXPECT_NE(ERR.find("All memory deallocated"), std::string::npos) << "clean tracker report";
  EXPECT_NE(OUT.find("Choose the number of your scale filter..."), std::string::npos);
  EXPECT_NE(TRACE_LINE(DIR / "t1.jsonl", 145), "") << "frame 145 ran and was traced";
  EXPECT_EQ(TRACE_LINE(DIR / "t1.jsonl", 146), "") << "Escape in frame 145 ended the run";

  // The saved bytes are the start-up menu with exactly the edited rows changed.
  std::vector<float> EXPECTED = MENU_OF(TRACE_LINE(DIR / "t1.jsonl", 1));
  ASSERT_EQ(EXPECTED.size(), 35u);
  EXPECT_EQ(EXPECTED[12], 225.0f);
  EXPECT_EQ(EXPECTED[34], -1.0f);
  EXPECT_EQ(EXPECTED[19], 128.0f);
  EXPECTED[0] = 2.0f;
  EXPECTED[11] = 9.0f;
  EXPECTED[14] = 358.0f;
  EXPECTED[19] = 125.0f;
  volatile float SPEED = 4.0f;  // the two steps are 32-bit float sums
  SPEED = SPEED + 0.1f;
  SPEED = SPEED + 0.1f;
  EXPECTED[24] = SPEED;
  EXPECTED[34] = 1.0f;
  ASSERT_EQ(fs::file_size(DIR / "barrage.vly"), 140u);
  const std::vector<float> SAVED = READ_FLOATS(DIR / "barrage.vly");
  for (int K = 0; K < 35; ++K) EXPECT_EQ(SAVED[K], EXPECTED[K]) << "saved row " << K;
  EXPECT_EQ(MENU_OF(TRACE_LINE(DIR / "t1.jsonl", 145)), EXPECTED) << "the last frame's menu";

  // Session 2: the saved file copied to barrage2.vly and loaded with F2 in mode 1.
  fs::copy_file(DIR / "barrage.vly", DIR / "barrage2.vly");
  WRITE("session2.keys", "3 F2 down\n4 F2 up\n6 Escape down\n");
  ASSERT_EQ(RUN("122", "--headless --keys session2.keys --trace t2.jsonl"), 0) << ERR;
  const std::string BEFORE = TRACE_LINE(DIR / "t2.jsonl", 2);
  const std::string LOADED = TRACE_LINE(DIR / "t2.jsonl", 3);
  ASSERT_NE(LOADED, "");
  EXPECT_NE(MENU_OF(BEFORE), EXPECTED) << "before F2 the start-up menu";
  EXPECT_EQ(MENU_OF(LOADED), EXPECTED) << "F2 loads exactly the saved values";
  EXPECT_NE(LOADED.find("\"rotation_ai\":1,"), std::string::npos);
  EXPECT_EQ(CANNON0(LOADED, "ROTATE"), "\"ROTATE2\"") << "switch 1 selects the bouncing rule";
  EXPECT_EQ(CANNON0(LOADED, "LISTINDEX"), "2");
  EXPECT_EQ(F32(CANNON0(LOADED, "RADIUS")), 9.0f);
  EXPECT_EQ(CANNON0(LOADED, "MAXROTATION"), "358");
  EXPECT_EQ(CANNON0(LOADED, "MAXBULLET"), "125");
  EXPECT_EQ(F32(CANNON0(LOADED, "BULLETSPEED")), EXPECTED[24]);
  EXPECT_EQ(CANNON0(LOADED, "ROTATION"), "225") << "the load puts the start rotation back";
  EXPECT_EQ(READ_FLOATS(DIR / "barrage2.vly"), SAVED) << "loading does not change the file";
  EXPECT_NE(ERR.find("All memory deallocated"), std::string::npos);
}

TEST_F(VolleyeditRun, EndOfInputAnswersTheDefaults) {
  ASSERT_EQ(RUN("", "--headless --frames 3 --trace t.jsonl"), 0) << ERR;
  const std::string LINE = TRACE_LINE(DIR / "t.jsonl", 3);
  EXPECT_NE(LINE, "") << "three frames ran with the default answers";
  EXPECT_EQ(TRACE_LINE(DIR / "t.jsonl", 4), "") << "--frames 3 ends after frame 3";
  EXPECT_NE(OUT.find("16 bits or 32 bits"), std::string::npos) << "all three questions asked";
}

TEST_F(VolleyeditRun, HeadlessRunThatCannotEndIsRefused) {
  WRITE("noescape.keys", "2 Down down\n3 Down up\n");
  EXPECT_EQ(RUN("", "--headless --keys noescape.keys"), 2) << "no --frames and no Escape";
  EXPECT_NE(ERR.find("--frames"), std::string::npos) << ERR;
  EXPECT_EQ(OUT.find("Choose the number"), std::string::npos) << "refused before the questions";
}

TEST_F(VolleyeditRun, BadScriptLineNamesFileAndLine) {
  WRITE("bad.keys", "# fine\n2 Down down\n3 Sideways down\n");
  EXPECT_EQ(RUN("", "--headless --frames 5 --keys bad.keys"), 2);
  EXPECT_NE(ERR.find("bad.keys:3"), std::string::npos) << "file and line: " << ERR;
}

TEST_F(VolleyeditRun, ScreenshotOfModeOneAfterStartUp) {
  const fs::path ARTIFACTS = fs::path(VOLLEY_BINARY_DIR) / "artifacts";
  fs::create_directories(ARTIFACTS);
  const fs::path PATTERN = ARTIFACTS / "volleyedit_mode1_%d.png";
  ASSERT_EQ(RUN("122", "--headless --frames 2 --png '" + PATTERN.string() + "' --png-every 1"), 0)
      << ERR;
  const fs::path FRAME2 = ARTIFACTS / "volleyedit_mode1_2.png";
  ASSERT_TRUE(fs::exists(FRAME2));
  const fs::path SHOT = ARTIFACTS / "volleyedit_mode1.png";
  fs::copy_file(FRAME2, SHOT, fs::copy_options::overwrite_existing);
  fs::remove(ARTIFACTS / "volleyedit_mode1_1.png");
  fs::remove(FRAME2);
  const std::string PNG = READ_TEXT(SHOT);
  ASSERT_GT(PNG.size(), 24u);
  EXPECT_EQ(PNG.substr(1, 3), "PNG");
  auto BE32 = [&PNG](std::size_t AT) {
    return (static_cast<uint32_t>(static_cast<uint8_t>(PNG[AT])) << 24) |
           (static_cast<uint32_t>(static_cast<uint8_t>(PNG[AT + 1])) << 16) |
           (static_cast<uint32_t>(static_cast<uint8_t>(PNG[AT + 2])) << 8) |
           static_cast<uint32_t>(static_cast<uint8_t>(PNG[AT + 3]));
  };
  EXPECT_EQ(BE32(16), 640u) << "mode 1 presents the page doubled";
  EXPECT_EQ(BE32(20), 480u);
}

}  // namespace
