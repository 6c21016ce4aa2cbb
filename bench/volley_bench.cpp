// The pattern library at the scale of the largest games of the genre: 100,096 live bullets
// (782 cannons x 128 slots) stepped through volley::Cannon and drawn as sprites onto the
// 320 x 240 page with the designer's cannon drawing, each against a plain-loop floor of the
// same bytes (the bullet records copied once; the sprite pixels stored once).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

#include "barrage/cannon_draw.hpp"
#include "bench/bench_summary.hpp"
#include "display/draw2d.hpp"
#include "leakscope/leakscope.hpp"
#include "volley/volley.hpp"

namespace {

constexpr int CANNONS = 782;
constexpr int SLOTS = NBARRAGE::DEFAULT_MAXBULLET;
constexpr int BULLETS = CANNONS * SLOTS;
constexpr double FRAME_BUDGET_MS = 1000.0 / 120.0;

// Cannons on a grid over the page, each firing all 128 slots at once at speed 0 in a ring,
// so every slot stays live, every bullet is stepped and drawn, and all sprites are on the page.
struct Field {
  std::vector<volley::Cannon> CANNON;
  Field() {
    CANNON.reserve(CANNONS);
    for (int K = 0; K < CANNONS; ++K) {
      volley::Set S{};
      S.X = static_cast<float>(16 + (K % 34) * 9);
      S.Y = static_cast<float>(12 + (K / 34) * 9);
      S.ACTIVE = -1;
      S.RADIUS = 6.0f;
      S.MAXROTATION = 360;
      S.ROTSPEED = 1;
      S.ROTDIR = 1;
      S.MAXSPAWNDELAY = 2;
      S.MAXBULLET = SLOTS;
      S.BULLETS_PER_SHOT = SLOTS;
      S.SPREAD_ROTATION = 3;
      S.BULLET_MIN_FRAME = 4;
      S.BULLET_NUM_FRAME = 8;
      CANNON.emplace_back(volley::Programme{S});
    }
    for (int F = 0; F < 3; ++F) step();
  }
  void step() {
    for (volley::Cannon& C : CANNON) C.step();
  }
  int live() const {
    int N = 0;
    for (const volley::Cannon& C : CANNON) N += C.live_bullets();
    return N;
  }
};

struct Sheet {
  IMAGETYPE IMAGE{};
  Sheet() {
    IMAGE.INIT = IMAGE_INIT;
    IMAGE.INIT(IMAGE);
    IMAGE.M_FILENAME = std::string(VOLLEY_RUN_DIR) + "/kv_bullet.put";
    IMAGE.LOAD(IMAGE);
  }
  ~Sheet() { IMAGE.DESTROY(IMAGE); }
};

void BM_VolleyStep(benchmark::State& S) {
  Field FIELD;
  for (auto _ : S) {
    FIELD.step();
    benchmark::ClobberMemory();
  }
  if (FIELD.live() != BULLETS) S.SkipWithError("bullets were lost: not every slot stayed live");
  S.counters["bullets"] = FIELD.live();
}
BENCHMARK(BM_VolleyStep)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// Sprite pixels the draw stores per frame (every live bullet's frame, clipped or not).
double SPRITE_BYTES = 0.0;

void BM_VolleyDraw(benchmark::State& S) {
  Field FIELD;
  Sheet SHEET;
  uint8_t* PAGE = draw2d::create_buffer(320, 240);
  SPRITE_BYTES = 0.0;
  for (const volley::Cannon& C : FIELD.CANNON)
    for (const volley::Bullet& B : C.bullets())
      if (const uint8_t* F = IMAGE_FRAME(SHEET.IMAGE, B.sprite_frame))
        SPRITE_BYTES += draw2d::width_of(F) * draw2d::height_of(F);
  if (SPRITE_BYTES == 0.0) S.SkipWithError("no sprite drawn: kv_bullet.put missing");
  for (auto _ : S) {
    for (const volley::Cannon& C : FIELD.CANNON) NDESIGNER::DRAW_CANNON(PAGE, C.turret(), SHEET.IMAGE);
    benchmark::ClobberMemory();
  }
  S.counters["sprite_bytes"] = SPRITE_BYTES;
  draw2d::free_buffer(PAGE);
}
BENCHMARK(BM_VolleyDraw)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// Step floor: the 100,096 bullet records (52 bytes each) copied once by a plain loop.
void BM_StepFloor(benchmark::State& S) {
  const std::size_t WORDS = sizeof(NBARRAGE::BULLET_TYPE) * BULLETS / 8;
  std::vector<uint64_t> FROM(WORDS, 1), TO(WORDS);
  for (auto _ : S) {
    volley_bench::copy_floor(TO.data(), FROM.data(), WORDS);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_StepFloor)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// Draw floor: as many bytes as the sprites hold, stored by a plain loop into the page.
void BM_DrawFloor(benchmark::State& S) {
  std::vector<uint64_t> PAGE(320 * 240 / 8);
  const auto TIMES = static_cast<std::size_t>(SPRITE_BYTES / (320.0 * 240.0));
  if (TIMES == 0) S.SkipWithError("run BM_VolleyDraw first: it counts the sprite bytes");
  for (auto _ : S) {
    for (std::size_t K = 0; K < TIMES; ++K) volley_bench::store_floor(PAGE.data(), K, PAGE.size());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_DrawFloor)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
  LEAKSCOPE_SET_EXIT_WAIT(false);  // no key wait when the run ends
  draw2d::set_headless(true);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  volley_bench::SummaryReporter R;
  benchmark::RunSpecifiedBenchmarks(&R);
  benchmark::Shutdown();

  const double STEP = R.cpu_time("BM_VolleyStep_mean");
  const double DRAW = R.cpu_time("BM_VolleyDraw_mean");
  const double STEP_FLOOR = R.cpu_time("BM_StepFloor_mean");
  const double DRAW_FLOOR = R.cpu_time("BM_DrawFloor_mean");
  std::printf("\nLibrary targets (CPU ms per frame, mean +- stddev of 5 repetitions)\n");
  std::printf("  step %s, its floor %s; draw %s, its floor %s\n",
              volley_bench::spread(R, "BM_VolleyStep", "ms").c_str(),
              volley_bench::spread(R, "BM_StepFloor", "ms").c_str(),
              volley_bench::spread(R, "BM_VolleyDraw", "ms").c_str(),
              volley_bench::spread(R, "BM_DrawFloor", "ms").c_str());
  const bool MEASURED = STEP > 0.0 && DRAW > 0.0;
  volley_bench::print_target("100,096 bullets: step + draw, one core", MEASURED ? STEP + DRAW : -1.0,
                             "ms", "<= 8.333 ms (120 fps)",
                             MEASURED && STEP + DRAW <= FRAME_BUDGET_MS);
  volley_bench::print_figure("step / its floor", STEP_FLOOR > 0.0 ? STEP / STEP_FLOOR : -1.0, "x",
                             "(5.2 MB of bullet records copied once)");
  volley_bench::print_figure("draw / its floor", DRAW_FLOOR > 0.0 ? DRAW / DRAW_FLOOR : -1.0, "x",
                             "(the sprite bytes stored once)");
  return volley_bench::finish(R);
}
