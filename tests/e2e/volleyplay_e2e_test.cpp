// End-to-end runs of the player without a window: exit codes and the tracker's report, the
// harness options as a user meets them, and a 600-frame GIF kept as an artifact to look at.
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <string>
#include <vector>

#include "run_program.hpp"

namespace {

e2e::RunResult PLAY(std::vector<std::string> ARGS, double TIMEOUT_S = 60.0,
                    bool OPEN_STDIN = false) {
  ARGS.insert(ARGS.begin(), std::string(VOLLEY_RUN_DIR) + "/volleyplay");
  return e2e::RUN(ARGS, VOLLEY_RUN_DIR, TIMEOUT_S, OPEN_STDIN);
}

TEST(VolleyplayRun, HeadlessRunEndsCleanlyWithoutReadingInput) {
  // Standard input is a pipe that never closes: a run that waited for a key would time out.
  const e2e::RunResult R = PLAY({"--headless", "--frames", "30"}, 60.0, true);
  ASSERT_FALSE(R.TIMED_OUT) << "a headless run must not wait for a key";
  EXPECT_EQ(R.EXIT, 0);
  EXPECT_NE(R.OUT.find("(LEAKSCOPE) All memory deallocated\n"), std::string::npos)
      << "every block is released; output was: " << R.OUT;
  EXPECT_NE(R.ERR.find("(LEAKSCOPE) All memory deallocated\r"), std::string::npos)
      << "the report also goes to standard error, ending in a carriage return";
}

TEST(VolleyplayRun, BadOptionsAndUnwritableFilesExitTwoBeforeTheRunStarts) {
  // Without --headless a started run would open a window and wait for a key: these end at once.
  const std::vector<std::string> CASES[] = {{"--frames", "0"},
                                            {"--trace", "/nonexistent-dir/t.jsonl"},
                                            {"--gif", "/nonexistent-dir/a.gif"},
                                            {"--png", "/nonexistent-dir/f%d.png"}};
  for (const auto& ARGS : CASES) {
    SCOPED_TRACE(ARGS[0] + " " + ARGS[1]);
    const e2e::RunResult R = PLAY(ARGS, 20.0);
    ASSERT_FALSE(R.TIMED_OUT) << "the run must not start";
    EXPECT_EQ(R.EXIT, 2) << "a usage error";
    EXPECT_EQ(R.ERR.rfind("volleyplay: ", 0), 0u) << "the first line names the program: " << R.ERR;
    const bool BAD_OPTION = ARGS[0] == "--frames";
    EXPECT_NE(R.ERR.find(BAD_OPTION ? "option --frames" : "/nonexistent-dir/"), std::string::npos)
        << "and the option or the file";
    EXPECT_EQ(R.ERR.find("usage: volleyplay") != std::string::npos, BAD_OPTION)
        << "a bad option's usage follows";
    EXPECT_EQ(R.OUT.find("usage:"), std::string::npos) << "standard output gets no usage";
  }
  const e2e::RunResult H = PLAY({"--help"});
  EXPECT_EQ(H.EXIT, 0) << "--help is not an error";
  EXPECT_EQ(H.OUT.rfind("usage: volleyplay", 0), 0u)
      << "--help prints the usage on standard output";
}

TEST(VolleyplayRun, SixHundredFrameGifShowsBulletsMoving) {
  const std::string DIR = std::string(VOLLEY_BINARY_DIR) + "/artifacts";
  mkdir(DIR.c_str(), 0755);
  const std::string GIF = DIR + "/volleyplay_600.gif";
  const e2e::RunResult R =
      PLAY({"--headless", "--frames", "600", "--gif", GIF, "--gif-every", "2"}, 240.0);
  ASSERT_EQ(R.EXIT, 0) << R.ERR;
  int CODE = 0;
  GifFileType* G = DGifOpenFileName(GIF.c_str(), &CODE);
  ASSERT_NE(G, nullptr) << GifErrorString(CODE);
  ASSERT_EQ(DGifSlurp(G), GIF_OK) << "the artifact must decode";
  ASSERT_EQ(G->ImageCount, 300) << "frames 1, 3, ..., 599 are recorded";
  int SUM = 0, DIFFERING = 0;
  for (int I = 0; I < G->ImageCount; ++I) {
    GraphicsControlBlock GCB{};
    DGifSavedExtensionToGCB(G, I, &GCB);
    SUM += GCB.DelayTime;
    const uint8_t* A = G->SavedImages[I].RasterBits;
    if (I > 0 && std::memcmp(A, G->SavedImages[I - 1].RasterBits, 320 * 240) != 0) ++DIFFERING;
  }
  EXPECT_EQ(SUM, 1000) << "600 frames at 60 per second last 10 s";
  EXPECT_GT(DIFFERING, 290) << "consecutive frames differ: the bullets move";
  DGifCloseFile(G, nullptr);
}

}  // namespace
