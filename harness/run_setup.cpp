// harness: the run set-up both programs share (see run_setup.hpp).
#include "harness/run_setup.hpp"

#include <cstdio>

#include "draw2d/draw2d.hpp"
#include "leakscope/leakscope.hpp"

namespace harness {

RunSetup::RunSetup(int ARGC, char** ARGV, const OptionsConfig& CONFIG)
    : PROGRAM_(CONFIG.PROGRAM), OPTIONS_(parse_options_or_exit(ARGC, ARGV, CONFIG)) {}

void RunSetup::refuse(const std::string& LINE) const { fail_before_run(PROGRAM_ + ": " + LINE); }

void RunSetup::start() {
  std::string ERROR;
  if (!OPTIONS_.TRACE.empty() && !TRACE_.open(OPTIONS_.TRACE, ERROR)) refuse(ERROR);
  if (!RECORDER_.open(OPTIONS_, ERROR)) refuse(ERROR);
  draw2d::set_window_scale(OPTIONS_.SCALE);
  if (OPTIONS_.HEADLESS) {
    // DEVIATION(command-line-options): headless runs (an option, off by default) use the
    // memory screen and the virtual clock, and the tracker reports without waiting for a key.
    draw2d::set_headless(true);
    LEAKSCOPE_SET_EXIT_WAIT(false);
  }
}

void RunSetup::fail(const std::string& LINE) {
  std::fprintf(stderr, "%s: %s\n", PROGRAM_.c_str(), LINE.c_str());
  FAILED_ = true;
}

void RunSetup::finish() {
  if (!TRACE_.close()) fail("the trace file '" + OPTIONS_.TRACE + "' could not be written");
  std::string ERROR;
  const std::string RUNNING_GIF = RECORDER_.key_gif();  // a capture GIF still running ends here
  if (!RECORDER_.close(ERROR)) {
    fail(ERROR);
  } else if (!RUNNING_GIF.empty()) {
    draw2d::console_print("wrote " + RUNNING_GIF);
  }
  draw2d::end(FAILED_ ? EXIT_USAGE : 0);
}

}  // namespace harness
