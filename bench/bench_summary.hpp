// Benchmark summary: a console reporter that keeps every run, so that a benchmark program can
// print its targets after the table as ratios of figures measured in the same run, and end
// with a non-zero code when a benchmark reported an error (a failed check, not a slow result).
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace volley_bench {

class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  // tabular counters, without colour codes (the output is usually a log or a pipe)
  SummaryReporter() : ConsoleReporter(OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& RUNS) override {
    // Repetitions keep the last one; aggregates keep their own names ("BM_X_mean").
    for (const Run& R : RUNS) {
      if (R.error_occurred) ERRORS.push_back(R.benchmark_name() + ": " + R.error_message);
      if (R.run_type == Run::RT_Aggregate) {
        BY_NAME[R.run_name.function_name + "_" + R.aggregate_name] = R;
      } else {
        BY_NAME[R.benchmark_name()] = R;
      }
    }
    ConsoleReporter::ReportRuns(RUNS);
  }

  /// The run of that name, or null when it was filtered out or failed.
  const Run* find(const std::string& NAME) const {
    const auto IT = BY_NAME.find(NAME);
    return IT == BY_NAME.end() || IT->second.error_occurred ? nullptr : &IT->second;
  }
  /// CPU time per iteration in the benchmark's time unit. Ratios use CPU time: on a shared
  /// machine the wall clock also counts the time other processes held the core.
  double cpu_time(const std::string& NAME) const {
    const Run* R = find(NAME);
    return R == nullptr ? -1.0 : R->GetAdjustedCPUTime();
  }
  /// A user counter, or -1 when the run or the counter is missing.
  double counter(const std::string& NAME, const std::string& KEY) const {
    const Run* R = find(NAME);
    if (R == nullptr) return -1.0;
    const auto IT = R->counters.find(KEY);
    return IT == R->counters.end() ? -1.0 : IT->second.value;
  }
  const std::vector<std::string>& errors() const { return ERRORS; }

 private:
  std::map<std::string, Run> BY_NAME;
  std::vector<std::string> ERRORS;
};

/// One line of the targets table: what, the measured figure, the goal and the verdict.
/// A figure below 0 was not measured (filtered out or failed) and says so.
inline void print_target(const char* WHAT, double VALUE, const char* UNIT, const char* GOAL,
                         bool MET) {
  if (VALUE < 0.0) {
    std::printf("  %-46s %12s   %-22s %s\n", WHAT, "-", GOAL, "not measured");
    return;
  }
  std::printf("  %-46s %9.3f %-3s %-22s %s\n", WHAT, VALUE, UNIT, GOAL, MET ? "met" : "MISSED");
}

/// A figure shown beside the targets for scale (no goal of its own).
inline void print_figure(const char* WHAT, double VALUE, const char* UNIT, const char* NOTE) {
  if (VALUE < 0.0) {
    std::printf("  %-46s %12s   %s\n", WHAT, "-", "not measured");
    return;
  }
  std::printf("  %-46s %9.3f %-3s %s\n", WHAT, VALUE, UNIT, NOTE);
}

// ---- Floors: plain loops that no library routine can replace -----------------------------
// The empty asm statement in each loop body is a compiler barrier: the loop can be neither
// turned into a call to memcpy or memset nor vectorised, so each floor is one 8-byte load
// and/or store per step on every machine, whatever its C library does.

/// Copies WORDS 8-byte words from FROM to TO.
inline void copy_floor(uint64_t* TO, const uint64_t* FROM, std::size_t WORDS) {
  for (std::size_t I = 0; I < WORDS; ++I) {
    TO[I] = FROM[I];
    asm volatile("" ::: "memory");
  }
}

/// Stores VALUE into WORDS 8-byte words of TO.
inline void store_floor(uint64_t* TO, uint64_t VALUE, std::size_t WORDS) {
  for (std::size_t I = 0; I < WORDS; ++I) {
    TO[I] = VALUE;
    asm volatile("" ::: "memory");
  }
}

/// Mean and standard deviation of an aggregated run ("NAME_mean", "NAME_stddev"), as text.
inline std::string spread(const SummaryReporter& R, const std::string& NAME, const char* UNIT) {
  char BUF[96];
  std::snprintf(BUF, sizeof BUF, "%.3f +- %.3f %s", R.cpu_time(NAME + "_mean"),
                R.cpu_time(NAME + "_stddev"), UNIT);
  return BUF;
}

/// Prints the errors, if any, and gives the program's exit code.
inline int finish(const SummaryReporter& REPORTER) {
  for (const std::string& E : REPORTER.errors()) std::printf("ERROR %s\n", E.c_str());
  std::fflush(stdout);
  return REPORTER.errors().empty() ? 0 : 1;
}

}  // namespace volley_bench
