// volleypattern and volleyview end to end: each session in tests/golden/sessions/<name>/ is a
// list of command lines (file `run`) played in a scratch copy of its files; what they print,
// their exit codes, a digest of every trace frame and the images they write are compared with
// tests/golden/sessions/<name>.out.
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <zlib.h>

#include <set>
#include <sstream>

#include "decode.hpp"
#include "run_program.hpp"
#include "tests/unit/golden.hpp"
#include "view_files.hpp"

namespace {

namespace fs = std::filesystem;

// One line per frame: the view's state, the first cannon and whether any bullet moved.
std::string DIGEST(const fs::path& TRACE) {
  std::string OUT, BEFORE;
  for (const auto& [F, LINE] : e2e::TRACE_BY_FRAME(TRACE)) {
    OUT += std::to_string(F);
    for (const char* K : {"file", "files", "sets", "set", "set_frame", "paused", "overlay"})
      OUT += std::string(" ") + K + "=" + e2e::FIELD(LINE, K);
    for (const char* K :
         {"LISTINDEX", "ROTDIR", "X", "Y", "ROTATION", "P_TARGET", "TARGETX", "TARGETY"})
      OUT += std::string(" ") + K + "=" + e2e::CANNON_FIELD(LINE, K);
    std::size_t BULLETS = 0;
    for (std::size_t AT = LINE.find("{\"slot\""); AT != std::string::npos;
         AT = LINE.find("{\"slot\"", AT + 1))
      ++BULLETS;
    OUT += " bullets=" + std::to_string(BULLETS);
    OUT += e2e::CANNONS(LINE) == BEFORE ? " still\n" : "\n";
    BEFORE = e2e::CANNONS(LINE);
  }
  return OUT;
}

// A PNG: its width and how many pixels are red; a GIF: frames and the CRC of the last one.
std::string IMAGE(const fs::path& P) {
  if (P.extension() == ".png") {
    unsigned W = 0;
    const std::vector<uint8_t> RGBA = e2e::PNG_RGBA(P.string(), W);
    int RED = 0;
    for (std::size_t I = 0; I + 3 < RGBA.size(); I += 4)
      RED += RGBA[I] > 200 && RGBA[I + 1] < 80 && RGBA[I + 2] < 80;
    return " width " + std::to_string(W) + ", red pixels " + std::to_string(RED);
  }
  GifFileType* G = DGifOpenFileName(P.c_str(), nullptr);
  if (G == nullptr || DGifSlurp(G) != GIF_OK || G->ImageCount == 0) return " does not decode";
  const SavedImage& LAST = G->SavedImages[G->ImageCount - 1];
  const uLong SIZE = LAST.ImageDesc.Width * LAST.ImageDesc.Height;
  std::ostringstream S;
  S << " " << G->SWidth << "x" << G->SHeight << ", " << G->ImageCount << " frames, last crc "
    << std::hex << crc32(0, LAST.RasterBits, SIZE);
  DGifCloseFile(G, nullptr);
  return S.str();
}

void SESSION(const std::string& NAME) {
  const fs::path DIR = e2e::SCRATCH_DIR("session", true);
  const fs::path FROM = fs::path(VOLLEY_SOURCE_DIR) / "tests/golden/sessions" / NAME;
  fs::copy(FROM, DIR, fs::copy_options::recursive);
  fs::create_directories(DIR / "p");
  std::ifstream RUN(FROM / "run");
  std::string LINE, OUT;
  while (std::getline(RUN, LINE)) {
    if (LINE.empty() || LINE[0] == '#') continue;
    OUT += "$ " + LINE + "\n";
    std::vector<std::string> ARGS;
    std::istringstream WORDS(LINE);
    for (std::string W; WORDS >> W;) ARGS.push_back(W);
    if (ARGS[0] == "same" || ARGS[0] == "size") {
      const std::string A = e2e::READ_FILE((DIR / ARGS[1]).string());
      const bool SAME = ARGS[0] == "same" && A == e2e::READ_FILE((DIR / ARGS[2]).string());
      OUT += ARGS[0] == "size" ? std::to_string(A.size()) + "\n" : SAME ? "same\n" : "differ\n";
      continue;
    }
    std::set<fs::path> OLD;
    for (const auto& E : fs::directory_iterator(DIR)) OLD.insert(E.path());
    ARGS[0] = std::string(VOLLEY_RUN_DIR) + "/" + ARGS[0];
    const e2e::RunResult R = e2e::RUN(ARGS, DIR.string(), 60.0);
    OUT += "exit " + std::to_string(R.EXIT) + "\n";
    for (const auto& [PREFIX, TEXT] : {std::pair{"out: ", R.OUT}, std::pair{"err: ", R.ERR}}) {
      std::istringstream LINES(TEXT);
      for (std::string L; std::getline(LINES, L);) OUT += PREFIX + L + "\n";
    }
    std::set<fs::path> IMAGES;
    for (const auto& E : fs::directory_iterator(DIR)) {
      const std::string X = E.path().extension().string();
      if (!OLD.contains(E.path()) && (X == ".png" || X == ".gif")) IMAGES.insert(E.path());
    }
    for (const fs::path& P : IMAGES) OUT += P.filename().string() + IMAGE(P) + "\n";
    if (fs::exists(DIR / "trace.jsonl")) OUT += DIGEST(DIR / "trace.jsonl");
    fs::remove(DIR / "trace.jsonl");
  }
  volley_test::EXPECT_GOLDEN("sessions/" + NAME + ".out", OUT);
  if (!::testing::Test::HasFailure()) fs::remove_all(DIR);
}

TEST(VolleypatternRun, ConvertCheckJoinInfoRenderAndBadUsage) { SESSION("pattern"); }
TEST(VolleyviewRun, KeysDriveFilesPauseStepAndRestart) { SESSION("view_keys"); }
TEST(VolleyviewRun, PointerAimsAnAimedSetAndADragMovesTheCannon) { SESSION("view_pointer"); }
TEST(VolleyviewRun, AFileThatDoesNotLoadIsShownInRedAndReportedOnce) { SESSION("view_broken"); }
TEST(VolleyviewRun, RefusedCommandLinesExitTwo) { SESSION("view_refused"); }

}  // namespace
