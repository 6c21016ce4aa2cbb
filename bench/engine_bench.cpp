// Engine benchmarks: one frame of LIST_MANAGE + SHOOT for 1, 100 and 10,000 turrets that keep
// 128 live bullets each (nanoseconds per live bullet), and the free-slot search of a full shot
// of 128 bullets into 128 slots against a plain scan from slot 0 (the same slots must be
// chosen). The designer build of the engine, 128 slots per turret.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_summary.hpp"
#include "engine/turret_module.hpp"
#include "leakscope/leakscope.hpp"

namespace {

using NBARRAGE::BULLET_TYPE;
using NBARRAGE::TURRET_TYPE;

constexpr int32_t SLOTS = NBARRAGE::DEFAULT_MAXBULLET;  // 128
static_assert(SLOTS == 128, "the benchmark keeps 128 live bullets per turret");

// Bullets drift by at most 0.05 px per frame and are put back every REPLACE_EVERY frames, so
// they never get nearer than 18 px to the edge of the field and all 128 stay live.
constexpr float DRIFT = 0.05f;
constexpr int64_t REPLACE_EVERY = 2048;

// N turrets in their default state (an exhausted timed list, a single-bullet shot every fourth
// frame that finds no free slot) whose 128 slots are all live, on a 16 x 8 grid around the
// centre of the play area, each with its own slow velocity and animation phase.
class TurretField {
 public:
  explicit TurretField(int32_t N) : T(static_cast<std::size_t>(N)) {
    std::mt19937 RNG(static_cast<uint32_t>(N));
    std::uniform_real_distribution<float> V(-DRIFT, DRIFT);
    for (TURRET_TYPE& TURRET : T) {
      TURRET = TURRET_TYPE{};
      TURRET.INIT = NBARRAGE::INIT;
      TURRET.INIT(TURRET);
      TURRET.X = 160.0f;
      TURRET.Y = 120.0f;
      TURRET.RADIUS = 8.0f;
      for (int32_t I = 0; I < SLOTS; ++I) {
        BULLET_TYPE& B = TURRET.P_BULLETS[I];
        B.XV = V(RNG);
        B.YV = V(RNG);
        B.ACTIVE = -1;
        B.ANIM = I;
      }
    }
    REPLACE();
  }
  ~TurretField() {
    // newest first: the tracker finds the blocks at the head of its list
    for (auto IT = T.rbegin(); IT != T.rend(); ++IT) IT->DESTROY(*IT);
  }
  TurretField(const TurretField&) = delete;
  TurretField& operator=(const TurretField&) = delete;

  void REPLACE() {
    for (TURRET_TYPE& TURRET : T) {
      for (int32_t I = 0; I < SLOTS; ++I) {
        TURRET.P_BULLETS[I].X = 100.0f + static_cast<float>(I % 16) * 8.0f;
        TURRET.P_BULLETS[I].Y = 60.0f + static_cast<float>(I / 16) * 15.0f;
      }
    }
  }

  // One frame as both programs run it: every turret whose ACTIVE is exactly -1 is stepped
  // through its slots.
  void FRAME() {
    for (TURRET_TYPE& TURRET : T) {
      if (TURRET.ACTIVE == -1) TURRET.SHOOT(TURRET, TURRET.LIST_MANAGE(TURRET, 0, 0));
    }
  }

  // The physical floor of a frame: the same bullet records read and written once, with only
  // the stores that every step must make (position, ANIM and COUNTER), no tests at all.
  void TOUCH() {
    for (TURRET_TYPE& TURRET : T) {
      BULLET_TYPE* const P = TURRET.P_BULLETS;
      for (int32_t I = 0; I < SLOTS; ++I) {
        P[I].X += P[I].XV;
        P[I].Y += P[I].YV;
        ++P[I].ANIM;
        ++P[I].COUNTER;
      }
    }
  }

  int64_t LIVE() const {
    int64_t N = 0;
    for (const TURRET_TYPE& TURRET : T)
      for (int32_t I = 0; I < SLOTS; ++I) N += TURRET.P_BULLETS[I].ACTIVE != 0;
    return N;
  }

 private:
  std::vector<TURRET_TYPE> T;
};

void BM_EngineFrame(benchmark::State& S) {
  const auto N = static_cast<int32_t>(S.range(0));
  TurretField FIELD(N);
  int64_t FRAMES = 0;
  for (auto _ : S) {
    FIELD.FRAME();
    benchmark::ClobberMemory();
    if (++FRAMES % REPLACE_EVERY == 0) {
      S.PauseTiming();
      FIELD.REPLACE();
      S.ResumeTiming();
    }
  }
  const int64_t BULLETS = static_cast<int64_t>(N) * SLOTS;
  if (FIELD.LIVE() != BULLETS) {
    S.SkipWithError("bullets were lost: the count of live bullets must stay 128 per turret");
    return;
  }
  S.counters["bullets"] = static_cast<double>(BULLETS);
  // seconds of CPU per live bullet and frame
  S.counters["s_per_bullet"] = benchmark::Counter(
      static_cast<double>(BULLETS),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_EngineFrame)->Arg(1)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);

// The memory floor for the same records: one read and one write of every bullet, nothing else.
void BM_MemoryFloor(benchmark::State& S) {
  const auto N = static_cast<int32_t>(S.range(0));
  TurretField FIELD(N);
  int64_t FRAMES = 0;
  for (auto _ : S) {
    FIELD.TOUCH();
    benchmark::ClobberMemory();
    if (++FRAMES % REPLACE_EVERY == 0) {
      S.PauseTiming();
      FIELD.REPLACE();
      S.ResumeTiming();
    }
  }
  S.counters["s_per_bullet"] = benchmark::Counter(
      static_cast<double>(N) * SLOTS,
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_MemoryFloor)->Arg(10000)->Unit(benchmark::kMicrosecond);

// ---- Free-slot search ---------------------------------------------------------------------

// The baseline: every bullet of the shot scans from slot 0.
int32_t LINEAR_FIND(const BULLET_TYPE* P, int32_t COUNT) {
  for (int32_t I = 0; I < COUNT; ++I)
    if (P[I].ACTIVE == 0) return I;
  return -1;
}

// Places a shot of N bullets into P with the engine's search (ENGINE) or the baseline, making
// each found slot live at once as the engine does; returns the slots in the order chosen.
std::vector<int32_t> PLACE_SHOT(BULLET_TYPE* P, int32_t COUNT, int32_t N, bool ENGINE) {
  std::vector<int32_t> CHOSEN;
  NBARRAGE::FREE_SLOTS CURSOR{P, COUNT};
  for (int32_t J = 0; J < N; ++J) {
    const int32_t I = ENGINE ? CURSOR.FIND() : LINEAR_FIND(P, COUNT);
    if (I < 0) break;
    P[I].ACTIVE = -1;
    CHOSEN.push_back(I);
  }
  return CHOSEN;
}

// Both searches must choose the same slots in the same order on empty, full and fragmented
// arrays, for shots that fit and shots that overflow.
bool SAME_SLOTS_CHOSEN(std::string& WHY) {
  std::mt19937 RNG(11);
  for (int LAYOUT = 0; LAYOUT < 64; ++LAYOUT) {
    const double TAKEN = LAYOUT == 0 ? 0.0 : LAYOUT == 1 ? 1.0 : (LAYOUT % 10) / 10.0;
    std::bernoulli_distribution IS_TAKEN(TAKEN);
    std::vector<BULLET_TYPE> A(SLOTS), B;
    for (BULLET_TYPE& S : A) S.ACTIVE = IS_TAKEN(RNG) ? -1 : 0;
    B = A;
    const int32_t N = 1 + LAYOUT * 5 % SLOTS;
    if (PLACE_SHOT(A.data(), SLOTS, N, true) != PLACE_SHOT(B.data(), SLOTS, N, false)) {
      WHY = "layout " + std::to_string(LAYOUT) + ": the searches chose different slots";
      return false;
    }
  }
  return true;
}

// The engine's own shot goes through the same search: a fan of 5 into a fragmented array puts
// bullet j into the j-th free slot counted from slot 0.
bool SHOT_FILLS_LOWEST_FREE_SLOTS(std::string& WHY) {
  TURRET_TYPE T{};
  T.INIT = NBARRAGE::INIT;
  T.INIT(T);
  for (int32_t I = 0; I < SLOTS; ++I) T.P_BULLETS[I].ACTIVE = (I % 3 == 0 || I < 7) ? -1 : 0;
  std::vector<BULLET_TYPE> BEFORE(T.P_BULLETS, T.P_BULLETS + SLOTS);
  T.ROTATION = 0;
  T.ROTDIR = 1;
  T.SPREAD_ROTATION = 10;
  T.BULLETS_PER_SHOT = 5;
  T.WAVEMODE = 0;
  NBARRAGE::SHOOTER_AI(T);
  // the fan of 5 at spread 10 around 0 degrees: -15, -5, 5, 15, 25
  const int32_t EXPECTED_ROTATION[5] = {345, 355, 5, 15, 25};
  int32_t J = 0;
  bool OK = true;
  for (int32_t I = 0; I < SLOTS && OK; ++I) {
    if (BEFORE[I].ACTIVE != 0) continue;
    const bool SHOULD_FILL = J < 5;
    if ((T.P_BULLETS[I].ACTIVE != 0) != SHOULD_FILL) OK = false;
    if (SHOULD_FILL && T.P_BULLETS[I].ROTATION != EXPECTED_ROTATION[J]) OK = false;
    ++J;
  }
  if (!OK) WHY = "SHOOTER_AI did not fill the lowest free slots in order";
  T.DESTROY(T);
  return OK;
}

// A full shot: 128 bullets into 128 free slots. Arg 0: the engine's search; arg 1: the scan
// from slot 0. Each iteration frees the slots again (the same 128 stores in both).
void BM_FreeSlotSearch(benchmark::State& S) {
  const bool ENGINE = S.range(0) == 0;
  std::string WHY;
  if (!SAME_SLOTS_CHOSEN(WHY) || !SHOT_FILLS_LOWEST_FREE_SLOTS(WHY)) {
    S.SkipWithError(WHY.c_str());
    return;
  }
  std::vector<BULLET_TYPE> P(SLOTS);
  int64_t FOUND = 0;
  for (auto _ : S) {
    for (BULLET_TYPE& B : P) B.ACTIVE = 0;
    benchmark::ClobberMemory();
    NBARRAGE::FREE_SLOTS CURSOR{P.data(), SLOTS};
    for (int32_t J = 0; J < SLOTS; ++J) {
      const int32_t I = ENGINE ? CURSOR.FIND() : LINEAR_FIND(P.data(), SLOTS);
      P[static_cast<std::size_t>(I)].ACTIVE = -1;
      FOUND += I;
    }
    benchmark::ClobberMemory();
  }
  benchmark::DoNotOptimize(FOUND);
  S.SetLabel(ENGINE ? "engine cursor" : "scan from slot 0");
}
BENCHMARK(BM_FreeSlotSearch)->Arg(0)->Arg(1)->Unit(benchmark::kNanosecond);

// For scale: the engine's whole full shot (a fan of 128 with its sines and cosines) into an
// empty 128-slot turret.
void BM_FullShot(benchmark::State& S) {
  TURRET_TYPE T{};
  T.INIT = NBARRAGE::INIT;
  T.INIT(T);
  T.X = 160.0f;
  T.Y = 120.0f;
  T.RADIUS = 8.0f;
  T.BULLETS_PER_SHOT = SLOTS;
  T.SPREAD_ROTATION = 3;
  for (auto _ : S) {
    for (int32_t I = 0; I < SLOTS; ++I) T.P_BULLETS[I].ACTIVE = 0;
    NBARRAGE::SHOOTER_AI(T);
    benchmark::ClobberMemory();
  }
  int32_t LIVE = 0;
  for (int32_t I = 0; I < SLOTS; ++I) LIVE += T.P_BULLETS[I].ACTIVE != 0;
  T.DESTROY(T);
  if (LIVE != SLOTS) S.SkipWithError("a full shot must fill all 128 slots");
}
BENCHMARK(BM_FullShot)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  LEAKSCOPE_SET_EXIT_WAIT(false);  // no key wait when the run ends
  return volley_bench::run_main(argc, argv, [](const volley_bench::SummaryReporter& R) {
    const double ENGINE = R.cpu_time("BM_FreeSlotSearch/0");
    const double SCAN = R.cpu_time("BM_FreeSlotSearch/1");
    const double SPEEDUP = ENGINE > 0.0 && SCAN > 0.0 ? SCAN / ENGINE : -1.0;
    std::printf("\nEngine targets (CPU time in this run)\n");
    const auto NS = [&R](const char* NAME) {
      const double S = R.counter(NAME, "s_per_bullet");
      return S < 0.0 ? -1.0 : S * 1e9;
    };
    volley_bench::print_figure("1 turret x 128 bullets, per live bullet", NS("BM_EngineFrame/1"),
                               "ns", "(in the first-level cache)");
    volley_bench::print_figure("100 turrets x 128 bullets, per live bullet",
                               NS("BM_EngineFrame/100"), "ns", "(665 KB of bullets: in cache)");
    const double BIG = NS("BM_EngineFrame/10000");
    volley_bench::print_target("10000 turrets x 128 bullets, per live bullet", BIG, "ns", "< 4 ns",
                               BIG >= 0.0 && BIG < 4.0);
    volley_bench::print_figure("memory floor: the same 66.5 MB read + written",
                               NS("BM_MemoryFloor/10000"), "ns", "(per bullet, no work at all)");
    volley_bench::print_target("free-slot search, full shot: scan / engine", SPEEDUP, "x",
                               ">= 5x, same slots", SPEEDUP >= 5.0);
  });
}
