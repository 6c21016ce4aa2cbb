// Display benchmarks: microseconds per frame for each software scaler and for the colour-map
// conversion (with a plain copy loop of the same output bytes as the floor), and the CPU time that one
// presented frame of the paced loop costs on the real clock.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

#include "bench/bench_summary.hpp"
#include "display/display.hpp"
#include "display/draw2d.hpp"
#include "leakscope/leakscope.hpp"

namespace {

using NDISPLAY::SCREEN_TYPE;

// A record with the page, the scaled page, the texel store and the colour map, filled with a
// page of short runs and scattered pixels (so Scale2x takes both of its branches).
struct Pages {
  SCREEN_TYPE VIDEO{};
  Pages() {
    VIDEO.INIT = NDISPLAY::INIT;
    VIDEO.INIT(VIDEO);
    NDISPLAY::INIT_VPAGE(VIDEO);
    NDISPLAY::INIT_SCALED_VPAGE(VIDEO);
    NDISPLAY::INIT_MEM_TEXTURE(VIDEO);
    NDISPLAY::SET_COLORMAP(VIDEO);
    std::mt19937 RNG(7);
    for (int I = 0; I < 320 * 240; ++I)
      VIDEO.P_VPAGE[4 + I] = static_cast<uint8_t>(RNG() % 8 == 0 ? RNG() % 256 : (I / 16) % 4);
  }
  ~Pages() {
    NDISPLAY::DESTROY_SCALED_VPAGE(VIDEO);
    NDISPLAY::DESTROY_BACKEND(VIDEO);
  }
};

void BM_NormalScale(benchmark::State& S) {
  Pages P;
  for (auto _ : S) {
    NDISPLAY::NORMAL_SCALE_ASM(P.VIDEO);
    benchmark::ClobberMemory();
  }
  S.SetBytesProcessed(S.iterations() * 640 * 480);
}
BENCHMARK(BM_NormalScale)->Unit(benchmark::kMicrosecond);

void BM_Scale2x(benchmark::State& S) {
  Pages P;
  for (auto _ : S) {
    NDISPLAY::SCALE_2X_ASM(P.VIDEO);
    benchmark::ClobberMemory();
  }
  S.SetBytesProcessed(S.iterations() * 640 * 480);
}
BENCHMARK(BM_Scale2x)->Unit(benchmark::kMicrosecond);

void BM_ScanlineScale(benchmark::State& S) {
  Pages P;
  for (auto _ : S) {
    NDISPLAY::SCANLINE_SCALE_ASM(P.VIDEO);
    benchmark::ClobberMemory();
  }
  S.SetBytesProcessed(S.iterations() * 640 * 480);
}
BENCHMARK(BM_ScanlineScale)->Unit(benchmark::kMicrosecond);

void BM_Convert8To32(benchmark::State& S) {
  Pages P;
  for (auto _ : S) {
    NDISPLAY::CONVERT_8_2_32(P.VIDEO);
    benchmark::ClobberMemory();
  }
  S.SetBytesProcessed(S.iterations() * 320 * 240 * 4);
}
BENCHMARK(BM_Convert8To32)->Unit(benchmark::kMicrosecond);

// The floor: a plain copy loop of the 307,200 output bytes that every scaler and the
// conversion write (8 bytes a step; no C library routine stands in for it).
void BM_CopyFloor(benchmark::State& S) {
  std::vector<uint64_t> FROM(640 * 480 / 8, 3), TO(640 * 480 / 8);
  for (auto _ : S) {
    volley_bench::copy_floor(TO.data(), FROM.data(), TO.size());
    benchmark::ClobberMemory();
  }
  S.SetBytesProcessed(S.iterations() * 640 * 480);
}
BENCHMARK(BM_CopyFloor)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

double CPU_SECONDS() {
  rusage U{};
  getrusage(RUSAGE_SELF, &U);
  return static_cast<double>(U.ru_utime.tv_sec + U.ru_stime.tv_sec) +
         static_cast<double>(U.ru_utime.tv_usec + U.ru_stime.tv_usec) / 1e6;
}

// The software frame loop on the real clock: scale, pace, blit onto a memory screen; 600
// frames (ten seconds). Reports CPU microseconds and wall milliseconds per presented frame.
void BM_PacedSoftwareLoop(benchmark::State& S) {
  draw2d::set_headless(false);
  draw2d::open_screen(640, 480, 8, 1, draw2d::SCREEN_NULL);
  Pages P;
  P.VIDEO.SCREEN_MODE = 1;
  constexpr int FRAMES = 600;
  double CPU = 0.0, WALL = 0.0;
  for (auto _ : S) {
    double TIME_START = draw2d::timer();
    const double CPU0 = CPU_SECONDS();
    const auto T0 = std::chrono::steady_clock::now();
    for (int I = 0; I < FRAMES; ++I) {
      NDISPLAY::NORMAL_SCALE_ASM(P.VIDEO);
      NDISPLAY::PACE_FRAME(TIME_START, draw2d::timer);
      draw2d::blit(nullptr, 0.0f, 0.0f, P.VIDEO.P_SCALED_VPAGE, draw2d::Blit::OPAQUE);
    }
    WALL += std::chrono::duration<double>(std::chrono::steady_clock::now() - T0).count();
    CPU += CPU_SECONDS() - CPU0;
  }
  const double N = static_cast<double>(S.iterations()) * FRAMES;
  S.counters["cpu_us_per_frame"] = CPU / N * 1e6;
  S.counters["wall_ms_per_frame"] = WALL / N * 1e3;
  S.counters["cpu_share"] = CPU / WALL;
  draw2d::close_screen();
}
BENCHMARK(BM_PacedSoftwareLoop)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  LEAKSCOPE_SET_EXIT_WAIT(false);  // no key wait when the run ends
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  volley_bench::SummaryReporter R;
  benchmark::RunSpecifiedBenchmarks(&R);
  benchmark::Shutdown();

  // Each step against the copy loop of the bytes it writes, timed in the same run.
  const double FLOOR = R.cpu_time("BM_CopyFloor_mean");
  std::printf("\nPresentation targets (CPU time in this run; copy loop of 307,200 bytes: %s over"
              " 5 repetitions)\n",
              volley_bench::spread(R, "BM_CopyFloor", "us").c_str());
  const struct {
    const char* NAME;
    const char* WHAT;
  } STEPS[] = {
      {"BM_NormalScale", "pixel doubling / copy floor"},
      {"BM_Scale2x", "Scale2x / copy floor"},
      {"BM_ScanlineScale", "scanlines / copy floor"},
      {"BM_Convert8To32", "8-to-32 bit conversion / copy floor"},
  };
  for (const auto& STEP : STEPS) {
    const double T = R.cpu_time(STEP.NAME);
    const double RATIO = T > 0.0 && FLOOR > 0.0 ? T / FLOOR : -1.0;
    volley_bench::print_target(STEP.WHAT, RATIO, "x", "<= 4x", RATIO >= 0.0 && RATIO <= 4.0);
  }
  return volley_bench::finish(R);
}
