// End-to-end runs of the player without a window. tests/golden/volleyplay_runs.txt holds
// command lines and, after "=>", how the run ends: its exit code and what it writes on standard
// output and error. Standard input is a pipe that never closes, so a run that waited for a key
// would time out. A 600-frame GIF is kept as an artifact to look at.
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "../unit/golden.hpp"
#include "run_program.hpp"

namespace {

// TEXT as its number of lines, the first and the last (a carriage return shown as \r).
std::string SUMMARY(std::string TEXT) {
  for (std::size_t AT; (AT = TEXT.find('\r')) != std::string::npos;) TEXT.replace(AT, 1, "\\r");
  std::vector<std::string> L;
  std::istringstream IN(TEXT);
  for (std::string LINE; std::getline(IN, LINE);) L.push_back(LINE);
  if (L.empty()) return "nothing";
  return std::to_string(L.size()) + " lines, '" + L.front() + "'" +
         (L.size() > 1 ? " to '" + L.back() + "'" : "");
}

e2e::RunResult PLAY(const std::string& ARGS, double TIMEOUT_S) {
  std::vector<std::string> ARGV{std::string(VOLLEY_RUN_DIR) + "/volleyplay"};
  std::istringstream WORDS(ARGS);
  for (std::string W; WORDS >> W;) ARGV.push_back(W);
  return e2e::RUN(ARGV, VOLLEY_RUN_DIR, TIMEOUT_S, true);
}

TEST(VolleyplayRun, HeadlessRunsAndRefusedCommandLinesEndWithoutReadingInput) {
  volley_test::EXPECT_GOLDEN_TABLE("volleyplay_runs.txt", [](const std::string& ARGS) {
    const e2e::RunResult R = PLAY(ARGS, 60.0);
    return R.TIMED_OUT ? "timed out" : "exit " + std::to_string(R.EXIT) + "; out " +
                                           SUMMARY(R.OUT) + "; err " + SUMMARY(R.ERR);
  });
}

// The recorder's frame choice and delays are pinned by the harness tests; here the player's
// own page goes into the file.
TEST(VolleyplayRun, SixHundredFrameGifShowsBulletsMoving) {
  const std::string DIR = std::string(VOLLEY_BINARY_DIR) + "/artifacts";
  mkdir(DIR.c_str(), 0755);
  const std::string GIF = DIR + "/volleyplay_600.gif";
  ASSERT_EQ(PLAY("--headless --frames 600 --gif-every 2 --gif " + GIF, 240.0).EXIT, 0);
  GifFileType* G = DGifOpenFileName(GIF.c_str(), nullptr);
  ASSERT_NE(G, nullptr) << "the artifact must open";
  ASSERT_EQ(DGifSlurp(G), GIF_OK) << "the artifact must decode";
  ASSERT_EQ(G->ImageCount, 300) << "frames 1, 3, ..., 599 are recorded";
  int DIFFERING = 0;
  for (int I = 1; I < G->ImageCount; ++I)
    DIFFERING += std::memcmp(G->SavedImages[I].RasterBits, G->SavedImages[I - 1].RasterBits,
                             320 * 240) != 0;
  EXPECT_GT(DIFFERING, 290) << "consecutive frames differ: the bullets move";
  DGifCloseFile(G, nullptr);
}

}  // namespace
