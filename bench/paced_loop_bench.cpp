// The designer's paced frame loop in a real window: CPU time per presented frame, from the
// kernel's accounting of the whole process (all its threads, user and system time).
// volleyedit runs twice per mode, for 60 and for 660 frames, with its three start-up answers
// on standard input; the difference of the two runs is 600 frames of the steady loop, free of
// start-up and exit. Needs an X display (scripts/bench.sh starts Xvfb when there is none).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/bench_summary.hpp"

namespace {

constexpr int SHORT_RUN = 60;
constexpr int LONG_RUN = 660;

struct RunCost {
  double CPU = -1.0;   ///< seconds of user + system time of the process and its threads
  double WALL = -1.0;  ///< seconds from start to exit
  std::string ERROR;
};

double SECONDS(const timeval& T) {
  return static_cast<double>(T.tv_sec) + static_cast<double>(T.tv_usec) / 1e6;
}

// Runs volleyedit in its run directory for FRAMES frames, answering the three questions with
// ANSWERS (scale filter, full screen, depth), and collects its resource use through wait4.
RunCost RUN_DESIGNER(const std::string& ANSWERS, int FRAMES) {
  RunCost COST;
  int IN[2];
  if (pipe(IN) != 0) {
    COST.ERROR = "pipe failed";
    return COST;
  }
  const std::string FRAMES_TEXT = std::to_string(FRAMES);
  const auto T0 = std::chrono::steady_clock::now();
  const pid_t PID = fork();
  if (PID < 0) {
    COST.ERROR = "fork failed";
    return COST;
  }
  if (PID == 0) {
    // the child: answers on standard input, its own console text discarded
    dup2(IN[0], STDIN_FILENO);
    close(IN[0]);
    close(IN[1]);
    const int NUL = open("/dev/null", O_WRONLY);
    if (NUL >= 0) {
      dup2(NUL, STDOUT_FILENO);
      dup2(NUL, STDERR_FILENO);
      close(NUL);
    }
    if (chdir(VOLLEY_RUN_DIR) != 0) _exit(126);
    execl(VOLLEYEDIT_PATH, "volleyedit", "--frames", FRAMES_TEXT.c_str(),
          static_cast<char*>(nullptr));
    _exit(127);
  }
  close(IN[0]);
  // The answers, then end of input: the exit report's key wait reads end of file at once.
  if (write(IN[1], ANSWERS.data(), ANSWERS.size()) != static_cast<ssize_t>(ANSWERS.size())) {
    COST.ERROR = "the answers could not be written";
  }
  close(IN[1]);
  int STATUS = 0;
  rusage USAGE{};
  if (wait4(PID, &STATUS, 0, &USAGE) != PID) {
    COST.ERROR = "wait4 failed";
    return COST;
  }
  COST.WALL = std::chrono::duration<double>(std::chrono::steady_clock::now() - T0).count();
  if (!WIFEXITED(STATUS) || WEXITSTATUS(STATUS) != 0) {
    COST.ERROR = "volleyedit --frames " + FRAMES_TEXT + " did not end with exit code 0 (status " +
                 std::to_string(STATUS) + ")";
    return COST;
  }
  COST.CPU = SECONDS(USAGE.ru_utime) + SECONDS(USAGE.ru_stime);
  return COST;
}

// Arg: the answer to the first question (1 pixel doubling, 2 Scale2x, 3 scanlines, 4 bilinear
// OpenGL, 5 nearest OpenGL, 6 no scaler); then "2" (window) and "2" (32 bits).
void BM_DesignerPacedLoop(benchmark::State& S) {
  const char* DISPLAY = std::getenv("DISPLAY");
  if (DISPLAY == nullptr || *DISPLAY == '\0') {
    S.SkipWithError("no X display: run under xvfb-run (scripts/bench.sh starts one)");
    return;
  }
  const std::string ANSWERS = std::to_string(S.range(0)) + "22";
  double CPU = 0.0, WALL = 0.0;
  for (auto _ : S) {
    const RunCost SHORT = RUN_DESIGNER(ANSWERS, SHORT_RUN);
    const RunCost LONG = SHORT.ERROR.empty() ? RUN_DESIGNER(ANSWERS, LONG_RUN) : RunCost{};
    const std::string& ERROR = !SHORT.ERROR.empty() ? SHORT.ERROR : LONG.ERROR;
    if (!ERROR.empty()) {
      S.SkipWithError(ERROR.c_str());
      return;
    }
    CPU += LONG.CPU - SHORT.CPU;
    WALL += LONG.WALL - SHORT.WALL;
  }
  const double FRAMES = static_cast<double>(S.iterations()) * (LONG_RUN - SHORT_RUN);
  S.counters["cpu_us_per_frame"] = CPU / FRAMES * 1e6;
  S.counters["wall_ms_per_frame"] = WALL / FRAMES * 1e3;
  S.counters["cpu_share"] = WALL > 0.0 ? CPU / WALL : -1.0;
}
BENCHMARK(BM_DesignerPacedLoop)
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  return volley_bench::run_main(argc, argv, [](const volley_bench::SummaryReporter& R) {
    std::printf(
        "\nPaced loop targets (measured in this run; 600 frames of volleyedit in a window)\n");
    const struct {
      const char* NAME;
      const char* WHAT;
      bool TARGET;
    } MODES[] = {
        {"BM_DesignerPacedLoop/1/iterations:1/real_time",
         "pixel doubling (answers 1,2,2): CPU share", true},
        {"BM_DesignerPacedLoop/2/iterations:1/real_time",
         "Scale2x (answers 2,2,2): CPU share", false},
        {"BM_DesignerPacedLoop/4/iterations:1/real_time",
         "bilinear OpenGL (answers 4,2,2): CPU share", false},
    };
    for (const auto& M : MODES) {
      const double SHARE = R.counter(M.NAME, "cpu_share");
      const double PERCENT = SHARE < 0.0 ? -1.0 : SHARE * 100.0;
      if (M.TARGET) {
        volley_bench::print_target(M.WHAT, PERCENT, "%", "< 10% of one core",
                                   SHARE >= 0.0 && SHARE < 0.10);
      } else {
        volley_bench::print_figure(M.WHAT, PERCENT, "%", "(for scale)");
      }
    }
  });
}
