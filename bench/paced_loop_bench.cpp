// The designer's and the previewer's paced frame loops in a real window: CPU time per frame,
// from the kernel's accounting of the whole process (all its threads, user and system time).
// volleyedit runs twice per mode, for 60 and for 660 frames, with its three start-up answers
// on standard input, and volleyview twice at scale 2 on the example patterns; the difference
// of the two runs is 600 frames of the steady loop, free of start-up and exit. Needs an X display (scripts/bench.sh starts Xvfb when there is none).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

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

// Runs PROGRAM in the run directory with ARGS and "--frames FRAMES", ANSWERS on its standard
// input (the designer's three questions), and collects its resource use through wait4.
RunCost RUN_PROGRAM(const char* PROGRAM, std::vector<std::string> ARGS, const std::string& ANSWERS,
                    int FRAMES) {
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
    ARGS.insert(ARGS.begin(), {PROGRAM, "--frames", FRAMES_TEXT});
    std::vector<char*> ARGV;
    for (std::string& A : ARGS) ARGV.push_back(A.data());
    ARGV.push_back(nullptr);
    execv(PROGRAM, ARGV.data());
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
    COST.ERROR = std::string(PROGRAM) + " --frames " + FRAMES_TEXT + " did not end with exit code 0 (status " +
                 std::to_string(STATUS) + ")";
    return COST;
  }
  COST.CPU = SECONDS(USAGE.ru_utime) + SECONDS(USAGE.ru_stime);
  return COST;
}

// The CPU time and wall time of 600 steady frames: a run of LONG_RUN frames less one of
// SHORT_RUN frames, each started by RUN.
template <class RUN>
void MEASURE_PACED_LOOP(benchmark::State& S, RUN&& START) {
  const char* DISPLAY = std::getenv("DISPLAY");
  if (DISPLAY == nullptr || *DISPLAY == '\0') {
    S.SkipWithError("no X display: run under xvfb-run (scripts/bench.sh starts one)");
    return;
  }
  double CPU = 0.0, WALL = 0.0;
  for (auto _ : S) {
    const RunCost SHORT = START(SHORT_RUN);
    const RunCost LONG = SHORT.ERROR.empty() ? START(LONG_RUN) : RunCost{};
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

// Arg: the answer to the first question (1 pixel doubling, 2 Scale2x, 3 scanlines, 4 bilinear
// OpenGL, 5 nearest OpenGL, 6 no scaler); then "2" (window) and "2" (32 bits).
void BM_DesignerPacedLoop(benchmark::State& S) {
  const std::string ANSWERS = std::to_string(S.range(0)) + "22";
  MEASURE_PACED_LOOP(S, [&ANSWERS](int FRAMES) { return RUN_PROGRAM(VOLLEYEDIT_PATH, {}, ANSWERS, FRAMES); });
}
BENCHMARK(BM_DesignerPacedLoop)
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// volleyview at its default scale 2, playing the example patterns (the first: aimed bursts).
void BM_ViewerPacedLoop(benchmark::State& S) {
  MEASURE_PACED_LOOP(S, [](int FRAMES) {
    return RUN_PROGRAM(VOLLEYVIEW_PATH, {"--scale", "2", VOLLEY_SOURCE_DIR "/examples/patterns"}, "", FRAMES);
  });
}
BENCHMARK(BM_ViewerPacedLoop)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  return volley_bench::run_main(argc, argv, [](const volley_bench::SummaryReporter& R) {
    std::printf("\nPaced loop targets (measured in this run; 600 frames of volleyedit and"
                " volleyview in a window)\n");
    const double VIEW = R.counter("BM_ViewerPacedLoop/iterations:1/real_time", "cpu_share");
    volley_bench::print_target("volleyview at scale 2: CPU share", VIEW < 0.0 ? -1.0 : VIEW * 100.0,
                               "%", "< 10% of one core", VIEW >= 0.0 && VIEW < 0.10);
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
