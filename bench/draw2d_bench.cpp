// draw2d throughput: what one frame of the programs costs in the drawing core. A frame clears
// a 320 x 240 page, draws a few circles and up to a few hundred 8 x 8 transparent bullets, and
// the designer blits a 640 x 480 scaled page opaquely onto the screen.
#include <benchmark/benchmark.h>

#include <vector>

#include "draw2d/draw2d.hpp"

namespace {

struct Buffer {
  uint8_t* P;
  Buffer(int W, int H, uint8_t FILL) : P(draw2d::create_buffer(W, H, FILL)) {}
  ~Buffer() { draw2d::free_buffer(P); }
};

void BM_ClearPage(benchmark::State& S) {
  Buffer PAGE(320, 240, 0);
  for (auto _ : S) {
    draw2d::box(PAGE.P, 0, 0, 319, 239, 0);
    benchmark::DoNotOptimize(PAGE.P);
  }
  S.SetItemsProcessed(S.iterations() * 320 * 240);
}
BENCHMARK(BM_ClearPage);

void BM_OpaquePage640(benchmark::State& S) {
  Buffer SCREEN(640, 480, 0), SCALED(640, 480, 3);
  for (auto _ : S) {
    draw2d::blit(SCREEN.P, 0, 0, SCALED.P, draw2d::Blit::OPAQUE);
    benchmark::DoNotOptimize(SCREEN.P);
  }
  S.SetItemsProcessed(S.iterations() * 640 * 480);
}
BENCHMARK(BM_OpaquePage640);

// Bullets: 8 x 8 frames with a transparent border, spread over the page, some clipped.
void BM_TransparentBullets(benchmark::State& S) {
  Buffer PAGE(320, 240, 0), BULLET(8, 8, 0);
  draw2d::box(BULLET.P, 2, 2, 5, 5, 12);
  const int COUNT = static_cast<int>(S.range(0));
  std::vector<float> XS(COUNT), YS(COUNT);
  for (int I = 0; I < COUNT; ++I) {
    XS[I] = static_cast<float>((I * 37) % 340) - 10.0f;
    YS[I] = static_cast<float>((I * 53) % 260) - 10.0f;
  }
  for (auto _ : S) {
    for (int I = 0; I < COUNT; ++I)
      draw2d::blit(PAGE.P, XS[I], YS[I], BULLET.P, draw2d::Blit::TRANSPARENT);
    benchmark::DoNotOptimize(PAGE.P);
  }
  S.SetItemsProcessed(S.iterations() * COUNT);
}
BENCHMARK(BM_TransparentBullets)->Arg(64)->Arg(256);

void BM_Circle(benchmark::State& S) {
  Buffer PAGE(320, 240, 0);
  const float R = static_cast<float>(S.range(0));
  for (auto _ : S) {
    draw2d::circle(PAGE.P, 160, 120, R, 15);
    benchmark::DoNotOptimize(PAGE.P);
  }
}
BENCHMARK(BM_Circle)->Arg(8)->Arg(100);

}  // namespace
