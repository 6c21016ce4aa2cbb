// harness: the run set-up both programs share around their frame loop. The options are parsed
// first; start() then creates the trace and recording files (a path that cannot be written
// ends the program with EXIT_USAGE before the run starts) and switches headless mode on when
// asked; finish() closes the files and ends the program with the run's exit code.
#pragma once

#include <cstdint>
#include <string>

#include "harness/options.hpp"
#include "harness/recorder.hpp"
#include "harness/trace.hpp"

namespace harness {

class RunSetup {
 public:
  /// Parses the command line as parse_options_or_exit does (help and bad options end here).
  RunSetup(int ARGC, char** ARGV, const OptionsConfig& CONFIG);

  const RunOptions& options() const { return OPTIONS_; }
  TraceWriter& trace() { return TRACE_; }
  Recorder& recorder() { return RECORDER_; }

  /// Ends the program before the run: "PROGRAM: LINE" on standard error, EXIT_USAGE.
  [[noreturn]] void refuse(const std::string& LINE) const;
  /// Creates the trace and recording files the options ask for (refuse() when one cannot be
  /// created), then, for --headless, switches the drawing library to its memory screen and
  /// virtual clock and the tracker's exit report to no key wait.
  void start();
  /// A harness file failed during the run: "PROGRAM: LINE" on standard error; the run goes
  /// on, and the exit code will be EXIT_USAGE.
  void fail(const std::string& LINE);
  bool failed() const { return FAILED_; }
  /// Closes the trace and the recordings (reporting a failure as fail() does) and ends the
  /// program: 0, or EXIT_USAGE when a harness file failed.
  [[noreturn]] void finish();

 private:
  std::string PROGRAM_;
  RunOptions OPTIONS_;
  TraceWriter TRACE_;
  Recorder RECORDER_;
  bool FAILED_ = false;
};

}  // namespace harness
