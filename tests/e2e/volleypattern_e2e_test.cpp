// volleypattern end to end: convert both ways, check, join and info, render to a GIF read back
// with giflib and compared with the page the designer's drawing makes, and the exit codes.
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <sstream>

#include "barrage/cannon_draw.hpp"
#include "display/draw2d.hpp"
#include "run_program.hpp"
#include "volley/volley.hpp"

namespace {

namespace fs = std::filesystem;

const std::string TOOL = std::string(VOLLEY_RUN_DIR) + "/volleypattern";

const char* const PROGRAMME = R"({"format": "volley-programme", "version": 1, "sets": [
  {"X": 160, "Y": 120, "ACTIVE": -1, "RADIUS": 10, "ROTATION": 135, "MAXROTATION": 359,
   "ROTSPEED": 8, "ROTDIR": 1, "MAXSPAWNDELAY": 4, "MAXBULLET": 128, "BULLETS_PER_SHOT": 4,
   "SPREAD_ROTATION": 25, "BULLETSPEED": 4, "BULLETOFFSET": 1.3, "BULLETWAVEMAXDELAY": 3,
   "BULLET_TYPE": 1, "BULLET_MIN_FRAME": 26, "BULLET_NUM_FRAME": 1},
  {"DELAY": 20, "X": 100, "Y": 60, "ACTIVE": -1, "RADIUS": 4, "MAXROTATION": 359,
   "ROTSPEED": 3, "ROTDIR": -1, "MAXSPAWNDELAY": 2, "MAXBULLET": 128, "BULLETS_PER_SHOT": 8,
   "SPREAD_ROTATION": 45, "BULLETSPEED": 1.5, "WAVEMODE": 3, "BULLET_MIN_FRAME": 4,
   "BULLET_NUM_FRAME": 8}]})";

class VolleypatternRun : public ::testing::Test {
 protected:
  fs::path DIR;
  void SetUp() override {
    DIR = e2e::SCRATCH_DIR("volleypattern", true);
    std::ofstream(DIR / "p.json") << PROGRAMME;
  }
  void TearDown() override { fs::remove_all(DIR); }
  e2e::RunResult RUN(std::vector<std::string> ARGS) {
    ARGS.insert(ARGS.begin(), TOOL);
    return e2e::RUN(ARGS, DIR.string(), 60.0);
  }
};

TEST_F(VolleypatternRun, ConvertsBothWaysAndRefusesBadUsage) {
  // Only the first set: a .vly file holds one.
  const volley::Programme P = volley::load_programme(DIR / "p.json");
  volley::save_programme({P[0]}, DIR / "first.json");
  const e2e::RunResult TO_VLY = RUN({"convert", "first.json", "a.vly"});
  ASSERT_EQ(TO_VLY.EXIT, 0) << TO_VLY.ERR;
  EXPECT_EQ(fs::file_size(DIR / "a.vly"), 140u);
  ASSERT_EQ(RUN({"convert", "a.vly", "b.json"}).EXIT, 0);
  ASSERT_EQ(RUN({"convert", "b.json", "b.vly"}).EXIT, 0);
  EXPECT_EQ(e2e::READ_FILE((DIR / "b.vly").string()), e2e::READ_FILE((DIR / "a.vly").string()));

  const e2e::RunResult TWO = RUN({"convert", "p.json", "p.vly"});
  EXPECT_EQ(TWO.EXIT, 1);
  EXPECT_EQ(TWO.ERR, "volleypattern: p.vly: a .vly file holds one set, the programme has 2\n");
  const e2e::RunResult HELP = RUN({"--help"});
  EXPECT_EQ(HELP.EXIT, 0);
  EXPECT_NE(HELP.OUT.find("volleypattern render FILE --frames N"), std::string::npos);
  const std::vector<std::vector<std::string>> BAD = {
      {}, {"bogus"}, {"convert", "p.json"}, {"join", "p.json"},
      {"render", "p.json", "--frames", "0", "--gif", "x.gif"},
      {"render", "p.json", "--frames", "5", "--png", "x.png"}};
  for (const auto& ARGS : BAD) {
    const e2e::RunResult R = RUN(ARGS);
    EXPECT_EQ(R.EXIT, 2) << "arguments: " << ::testing::PrintToString(ARGS);
    EXPECT_NE(R.ERR.find("usage:"), std::string::npos) << ::testing::PrintToString(ARGS);
  }
}

TEST_F(VolleypatternRun, CheckPrintsOneLinePerBadFile) {
  std::ofstream(DIR / "bad.json") << R"({"format": "volley-programme", "version": 3, "sets": []})";
  const e2e::RunResult GOOD = RUN({"check", "p.json"});
  EXPECT_EQ(GOOD.EXIT, 0);
  EXPECT_EQ(GOOD.ERR, "");
  const e2e::RunResult R = RUN({"check", "bad.json", "p.json", "none.vly"});
  EXPECT_EQ(R.EXIT, 1);
  EXPECT_EQ(R.ERR,
            "volleypattern: bad.json: unknown version 3 (version 1 is read)\n"
            "volleypattern: none.vly: cannot read: No such file or directory\n");
}

TEST_F(VolleypatternRun, JoinSetsDelaysAndInfoReportsStartsAndPeak) {
  const volley::Programme P = volley::load_programme(DIR / "p.json");
  volley::Programme Q = {P[1]};
  Q[0].DELAY = 0;
  volley::save_programme(Q, DIR / "s.vly");
  const e2e::RunResult JOIN = RUN({"join", "s.vly:30", "p.json", "-o", "j.json"});
  ASSERT_EQ(JOIN.EXIT, 0) << JOIN.ERR;
  const volley::Programme J = volley::load_programme(DIR / "j.json");
  ASSERT_EQ(J.size(), 3u);
  EXPECT_EQ(J[0].DELAY, 30) << "FRAMES became the joined set's DELAY";
  EXPECT_EQ(J[2].DELAY, 20) << "sets of a programme keep their DELAY";

  // The peak over the frames info runs (until the last set starts, then 600 more).
  volley::Cannon C(J);
  int PEAK = 0;
  for (int F = 1; F <= 31 + 1 + 21 + 600; ++F) {
    C.step();
    PEAK = std::max(PEAK, C.live_bullets());
  }
  const e2e::RunResult INFO = RUN({"info", "j.json"});
  ASSERT_EQ(INFO.EXIT, 0) << INFO.ERR;
  std::istringstream LINES(INFO.OUT);
  std::string LINE;
  std::vector<std::string> GOT;
  while (std::getline(LINES, LINE)) GOT.push_back(LINE);
  ASSERT_EQ(GOT.size(), 5u) << INFO.OUT;
  EXPECT_EQ(GOT[0], "j.json: 3 sets");
  EXPECT_EQ(GOT[1], "set 1: starts at frame 31 (DELAY 30)");
  EXPECT_EQ(GOT[2], "set 2: starts at frame 32 (DELAY 0)");
  EXPECT_EQ(GOT[3], "set 3: starts at frame 53 (DELAY 20)");
  EXPECT_EQ(GOT[4].rfind("peak live bullets: " + std::to_string(PEAK) + " at frame ", 0), 0u)
      << GOT[4];
}

TEST_F(VolleypatternRun, RenderRecordsThePagesTheDesignerDraws) {
  const e2e::RunResult R = RUN({"render", "p.json", "--frames", "40", "--gif", "r.gif", "--png",
                                "r%02d.png"});
  ASSERT_EQ(R.EXIT, 0) << R.ERR;
  EXPECT_TRUE(fs::exists(DIR / "r01.png"));
  EXPECT_TRUE(fs::exists(DIR / "r40.png"));

  // The page of frame 40 drawn here with the designer's cannon drawing.
  IMAGETYPE SHEET{};
  SHEET.INIT = IMAGE_INIT;
  SHEET.INIT(SHEET);
  SHEET.M_FILENAME = std::string(VOLLEY_RUN_DIR) + "/kv_bullet.put";
  SHEET.LOAD(SHEET);
  uint8_t* PAGE = draw2d::create_buffer(320, 240);
  {
    volley::Cannon C(volley::load_programme(DIR / "p.json"));
    for (int F = 1; F <= 40; ++F) C.step();
    NDESIGNER::DRAW_CANNON(PAGE, C.turret(), SHEET);
  }
  int CODE = 0;
  GifFileType* G = DGifOpenFileName((DIR / "r.gif").c_str(), &CODE);
  ASSERT_NE(G, nullptr) << GifErrorString(CODE);
  ASSERT_EQ(DGifSlurp(G), GIF_OK) << "the GIF must decode";
  EXPECT_EQ(G->SWidth, 320);
  EXPECT_EQ(G->SHeight, 240);
  ASSERT_EQ(G->ImageCount, 40);
  const uint8_t* LAST = G->SavedImages[39].RasterBits;
  const uint8_t* WANT = PAGE + draw2d::HEADER_BYTES;
  EXPECT_EQ(std::memcmp(LAST, WANT, 320 * 240), 0) << "frame 40 is the designer's drawing";
  EXPECT_GT(std::count_if(LAST, LAST + 320 * 240, [](uint8_t V) { return V != 0; }), 100)
      << "bullets are drawn";
  DGifCloseFile(G, nullptr);
  draw2d::free_buffer(PAGE);
  SHEET.DESTROY(SHEET);

  fs::remove(DIR / "kv_bullet.put");
  const e2e::RunResult NO_SHEET = RUN({"render", "p.json", "--frames", "2", "--gif", "n.gif"});
  EXPECT_EQ(NO_SHEET.EXIT, 1);
  EXPECT_EQ(NO_SHEET.ERR, "volleypattern: cannot read kv_bullet.put in the working directory\n");
}

}  // namespace
