// End-to-end runs of the player without a window. tests/golden/volleyplay_runs.txt holds
// command lines and, after "=>", how the run ends: its exit code and what it writes on standard
// output and error. Standard input is a pipe that never closes, so a run that waited for a key
// would time out. One line leaves build/artifacts/volleyplay_600.gif to look at; the recorder's
// frame choice and delays are pinned by the harness tests, and here the player's own moving
// page must reach the file.
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "../unit/golden.hpp"
#include "run_program.hpp"

namespace {

// TEXT's first line (a carriage return shown as \r) and how many line breaks TEXT holds.
std::string SUMMARY(std::string TEXT) {
  const auto BREAKS = std::count(TEXT.begin(), TEXT.end(), '\n');
  TEXT.resize(std::min(TEXT.find('\n'), TEXT.size()));
  for (std::size_t AT; (AT = TEXT.find('\r')) != std::string::npos;) TEXT.replace(AT, 1, "\\r");
  return "'" + TEXT + "' and " + std::to_string(BREAKS) + " line breaks";
}

TEST(VolleyplayRun, HeadlessRunsAndRefusedCommandLinesEndWithoutReadingInput) {
  mkdir(VOLLEY_BINARY_DIR "/artifacts", 0755);
  volley_test::EXPECT_GOLDEN_TABLE("volleyplay_runs.txt", [](const std::string& ARGS) {
    std::vector<std::string> ARGV{std::string(VOLLEY_RUN_DIR) + "/volleyplay"};
    std::istringstream WORDS(ARGS);
    for (std::string W; WORDS >> W;) ARGV.push_back(W);
    const e2e::RunResult R = e2e::RUN(ARGV, VOLLEY_RUN_DIR, 240.0, true);
    return R.TIMED_OUT ? "timed out" : "exit " + std::to_string(R.EXIT) + "; out " +
                                           SUMMARY(R.OUT) + "; err " + SUMMARY(R.ERR);
  });
  GifFileType* G = DGifOpenFileName(VOLLEY_BINARY_DIR "/artifacts/volleyplay_600.gif", nullptr);
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
