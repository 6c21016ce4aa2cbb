// volleyplay: the cost of one headless frame of the player (anchors, four cannons stepped and
// drawn, retrace, page copy) and of one trace line with the four cannons, measured over the
// busy middle of the programmes. Both must stay far below a 60 Hz frame (16.7 ms).
#include <benchmark/benchmark.h>

#include <cstdio>

#include "bench/bench_summary.hpp"
#include "draw2d/draw2d.hpp"
#include "harness/trace.hpp"
#include "leakscope/leakscope.hpp"
#include "volleyplay/player.hpp"
#include "volleyplay/player_trace.hpp"

namespace {

struct HeadlessPlayer {
  HeadlessPlayer() {
    draw2d::set_headless(true);
    PLAYER_CREATE_CANNONS(P);
    PLAYER_OPEN(P);
    for (int F = 0; F < 300; ++F) STEP();  // into the first full patterns
  }
  ~HeadlessPlayer() {
    PLAYER_CLEAN_UP(P);
    draw2d::close_screen();
  }
  void STEP() {
    PLAYER_STEP(P);
    PLAYER_PRESENT();
  }
  PLAYER_TYPE P;
};

void BM_PlayerFrame(benchmark::State& STATE) {
  HeadlessPlayer H;
  for (auto _ : STATE) H.STEP();
  STATE.SetItemsProcessed(STATE.iterations());
}
BENCHMARK(BM_PlayerFrame);

void BM_TraceLine(benchmark::State& STATE) {
  HeadlessPlayer H;
  std::FILE* SINK = std::fopen("/dev/null", "wb");
  harness::TraceWriter W;
  W.attach(SINK);
  int32_t F = 0;
  for (auto _ : STATE) {
    WRITE_TRACE_LINE(W, H.P, ++F);
    if (F % 4 == 0) H.STEP();  // let the bullets move now and then
  }
  W.close();
  std::fclose(SINK);
}
BENCHMARK(BM_TraceLine);

}  // namespace

int main(int argc, char** argv) {
  LEAKSCOPE_SET_EXIT_WAIT(false);
  return volley_bench::run_main(argc, argv, [](const volley_bench::SummaryReporter&) {});
}
