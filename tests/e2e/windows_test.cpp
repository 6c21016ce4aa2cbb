// The programs in real windows under Xvfb, driven by xdotool: one test per scenario file
// tests/golden/windows/SUITE.NAME.scn. A scenario runs in a scratch directory (linked to the
// designer's and the player's assets) as a list of steps, one per line ('#' starts a comment):
//   stdin TEXT               standard input of the program (empty by default)
//   save PATH SOURCE         writes tests/golden/SOURCE to PATH through a temporary file and a
//                            rename, as editors save;  remove PATH  deletes PATH
//   run PROGRAM ARGS...      starts the program; the steps below run while it runs
//   window WxH               waits for its window, which must be W x H pixels
//   frame N                  waits until trace.jsonl (--trace trace.jsonl) holds frame N
//   wait SECONDS             waits
//   keys KEY...              presses each key a quarter of a second, the window focused
//   press-until KEY FILE     presses KEY once a second until FILE exists
//   trace FIELD VALUE [N]    waits until the last trace line shows FIELD = VALUE (a field of
//                            the first cannon: cannon.FIELD), at most N frames after the last
//                            save or remove
//   counting FIELD           FIELD has risen by one a frame since the last save or remove
//   quit KEY                 presses KEY once a second until the program ends with code 0;
//                            the steps below check what it left:
//   out TEXT, err TEXT       standard output, error holds TEXT
//   png FILE WIDTH           FILE decodes with libpng, WIDTH pixels wide (0: no such file)
//   gif FILE FRAMES          FILE decodes with giflib, at least FRAMES frames
//   trail F1,F2 V1,V2 ...    the values of fields F1, F2 in the trace lines that have them,
//                            repeats left out, are V1,V2 then ...
//   multiple FILE FIELD N    the last FIELD in FILE is a positive multiple of N
// A failure prints the steps taken (and how many polls of about 50 ms each took), the step the
// program ended in, the X window tree while no window was found, and the program's output.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "decode.hpp"
#include "run_program.hpp"
#include "view_files.hpp"

namespace {

namespace fs = std::filesystem;
const fs::path GOLDEN = fs::path(VOLLEY_SOURCE_DIR) / "tests/golden";

struct Step {
  int LINE = 0;
  std::string TEXT;            // the line as written
  std::vector<std::string> A;  // its words: the step's name, then its arguments
};

// The first line of what xdotool with ARGS prints.
std::string XDOTOOL(const std::string& ARGS) {
  std::string S = e2e::CAPTURE("xdotool " + ARGS + " 2>/dev/null | head -n 1");
  while (!S.empty() && S.back() == '\n') S.pop_back();
  return S;
}

struct Scenario : ::testing::Test {
  explicit Scenario(fs::path SCENARIO) : FILE(std::move(SCENARIO)) {}
  fs::path FILE, DIR;
  std::string WINDOW, TREE, STORY, PROBLEMS, KEYS;
  e2e::RunResult R;
  std::map<int, std::string> TRACE;
  int TICK = 0, CHANGED_AT = 0;

  int FRAME() {
    TRACE = e2e::TRACE_BY_FRAME(DIR / "trace.jsonl");
    return TRACE.empty() ? 0 : TRACE.rbegin()->first;
  }
  std::string FIELD(int F, const std::string& NAME) {
    if (NAME.rfind("cannon.", 0) == 0) return e2e::CANNON_FIELD(TRACE[F], NAME.substr(7));
    return e2e::FIELD(TRACE[F], NAME);
  }
  void CHECK(const Step& S, bool OK, const std::string& GOT) {
    if (!OK) PROBLEMS += "line " + std::to_string(S.LINE) + ", " + S.TEXT + ": " + GOT + "\n";
  }
  void PRESS(const std::string& KEY) {
    KEYS += " " + KEY;
    e2e::CAPTURE("timeout 5 xdotool windowfocus --sync " + WINDOW + " 2>/dev/null; xdotool " +
                 "keydown " + KEY + "; sleep 0.25; xdotool keyup " + KEY + "; sleep 0.25");
  }

  // One tick of step S (about every 50 ms while the program runs); true when it is done.
  bool DO(const Step& S, pid_t PID) {
    const std::vector<std::string>& A = S.A;
    const std::string& V = A[0];
    const std::string REST = S.TEXT.substr(std::min(S.TEXT.size(), V.size() + 1));
    const int T = TICK++;
    if (V == "stdin") {
      std::ofstream(DIR / "stdin.txt") << REST;
    } else if (V == "save" || V == "remove") {
      CHANGED_AT = FRAME();
      fs::create_directories((DIR / A[1]).parent_path());
      if (V == "save") e2e::SAVE_BY_RENAME(DIR / A[1], e2e::READ_FILE(GOLDEN / A[2]));
      if (V == "remove") fs::remove(DIR / A[1]);
    } else if (V == "window") {
      if (WINDOW.empty()) WINDOW = XDOTOOL("search --onlyvisible --pid " + std::to_string(PID));
      if (WINDOW.empty()) TREE = e2e::CAPTURE("xwininfo -root -tree 2>&1 | head -n 40");
      if (WINDOW.empty()) return false;
      const std::string SIZE = XDOTOOL("getwindowgeometry --shell " + WINDOW +
                                       " | sed -n 's/^WIDTH=//p;s/^HEIGHT=//p' | paste -sd x");
      CHECK(S, SIZE == A[1], "the window is " + SIZE);
    } else if (V == "frame") {
      return FRAME() >= std::stoi(A[1]);
    } else if (V == "wait") {
      return T >= std::stod(A[1]) * 20;
    } else if (V == "keys") {
      for (std::size_t I = 1; I < A.size(); ++I) PRESS(A[I]);
    } else if (V == "press-until" || V == "quit") {
      if (V == "press-until" && fs::exists(DIR / A[2])) return true;
      if (T % 20 == 10) PRESS(A[1]);
      return false;
    } else if (V == "trace" || V == "counting") {
      const int F = FRAME();
      const std::string NOW = FIELD(F, A[1]), THEN = FIELD(CHANGED_AT, A[1]);
      const std::string GOT = "frame " + std::to_string(F) + " shows " + NOW + ", frame " +
                              std::to_string(CHANGED_AT) + " (the last change) " + THEN;
      if (V == "trace" && NOW != A[2]) return false;
      if (V == "trace" && A.size() > 3) CHECK(S, F - CHANGED_AT <= std::stoi(A[3]), GOT);
      const int ROSE = std::atoi(NOW.c_str()) - std::atoi(THEN.c_str());
      if (V == "counting") CHECK(S, ROSE == F - CHANGED_AT, GOT);
    } else if (V == "out" || V == "err") {
      CHECK(S, (V == "out" ? R.OUT : R.ERR).find(REST) != std::string::npos, "not printed");
    } else if (V == "png" || V == "gif") {
      const int N = V == "png" ? int(e2e::PNG_WIDTH(DIR / A[1])) : e2e::GIF_FRAMES(DIR / A[1]);
      const bool OK = V == "png" ? N == std::stoi(A[2]) : N >= std::stoi(A[2]);
      CHECK(S, OK, "it decodes as " + std::to_string(N));
    } else if (V == "trail") {
      std::string GOT;
      FRAME();
      for (const auto& [F, LINE] : TRACE) {
        std::istringstream NAMES(A[1]);
        std::string NOW;
        for (std::string NAME; std::getline(NAMES, NAME, ',');) NOW += "," + e2e::FIELD(LINE, NAME);
        NOW[0] = ' ';
        if (NOW[1] != ',' && !GOT.ends_with(NOW)) GOT += NOW;
      }
      CHECK(S, GOT == REST.substr(A[1].size()), "the trace shows" + GOT);
    } else if (V == "multiple") {
      const std::string TEXT = e2e::READ_FILE(DIR / A[1]);
      const int N = std::atoi(e2e::FIELD(TEXT, A[2], TEXT.rfind("\"" + A[2] + "\":")).c_str());
      CHECK(S, N > 0 && N % std::stoi(A[3]) == 0, "it is " + std::to_string(N));
    } else {
      CHECK(S, false, "no such step");
    }
    return true;
  }

  void TestBody() override {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no X display (scripts/test.sh has one)";
    ASSERT_EQ(std::system("command -v xdotool > /dev/null"), 0)
        << "xdotool is installed by scripts/setup.sh";
    // In the OpenGL modes LeakSanitizer's exit scan crashes on Mesa's software-renderer threads
    // (a sanitizer build only); the tracker's report still checks our own blocks.
    const char* ASAN = std::getenv("ASAN_OPTIONS");
    setenv("ASAN_OPTIONS", (std::string(ASAN ? ASAN : "") + ":detect_leaks=0").c_str(), 1);
    DIR = e2e::SCRATCH_DIR("window", true);
    for (const char* NAME : {"qz.pal", "bullet.put"})
      fs::create_symlink(fs::path(VOLLEY_RUN_DIR) / NAME, DIR / NAME);
    std::ofstream(DIR / "stdin.txt").close();
    std::vector<Step> STEPS;
    std::ifstream IN(FILE);
    for (Step S{}; std::getline(IN, S.TEXT); S.A.clear()) {
      std::istringstream WORDS(S.TEXT);
      ++S.LINE;
      for (std::string W; WORDS >> W;) S.A.push_back(W);
      if (!S.A.empty() && S.A[0][0] != '#') STEPS.push_back(S);
    }

    std::size_t I = 0;
    for (; I < STEPS.size() && STEPS[I].A[0] != "run"; ++I) DO(STEPS[I], 0);
    ASSERT_LT(I, STEPS.size()) << FILE << " has no run step";
    std::vector<std::string> ARGS(STEPS[I].A.begin() + 1, STEPS[I].A.end());
    ARGS[0] = std::string(VOLLEY_RUN_DIR) + "/" + ARGS[0];
    const auto POLL = [&](pid_t PID) {
      if (I >= STEPS.size() || !DO(STEPS[I], PID)) return;
      STORY += "done after " + std::to_string(TICK) + " polls: " + STEPS[I++].TEXT + "\n";
      TICK = 0;
    };
    ++I;
    R = e2e::RUN(ARGS, DIR.string(), 90.0, false, POLL, (DIR / "stdin.txt").string());
    if (!KEYS.empty()) e2e::CAPTURE("xdotool keyup" + KEYS);  // no key is left down afterwards
    const std::string NOW = I < STEPS.size() ? STEPS[I].TEXT : "the end";
    STORY = "window " + (WINDOW.empty() ? "never found; X window tree:\n" + TREE : WINDOW) + "\n" +
            STORY + "ended during: " + NOW + "\n--- stdout\n" + R.OUT + "--- stderr\n" + R.ERR;
    ASSERT_FALSE(R.TIMED_OUT) << STORY;
    EXPECT_EQ(R.EXIT, 0) << STORY;
    ASSERT_EQ(NOW.substr(0, 5), "quit ") << "the program ended before its quit step\n" << STORY;
    for (++I; I < STEPS.size(); ++I) DO(STEPS[I], 0);
    EXPECT_EQ(PROBLEMS, "") << STORY;
    if (!HasFailure()) fs::remove_all(DIR);
  }
};

// One test per scenario: the file SUITE.NAME.scn is the test SUITE.NAME.
const bool REGISTERED = [] {
  for (const fs::directory_entry& E : fs::directory_iterator(GOLDEN / "windows")) {
    const fs::path FILE = E.path();
    const std::string NAME = FILE.stem().string();
    const std::size_t DOT = NAME.find('.');
    if (FILE.extension() == ".scn")
      ::testing::RegisterTest(NAME.substr(0, DOT).c_str(), NAME.substr(DOT + 1).c_str(), nullptr,
                              nullptr, FILE.c_str(), 1, [FILE] { return new Scenario(FILE); });
  }
  return true;
}();

}  // namespace
