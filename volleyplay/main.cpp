// volleyplay: the pattern player's entry point.
// Without arguments: a window, the two programmes, any key ends the run, then the tracker's
// report and its key wait. The harness options add headless, traced and recorded runs.
#include <cstdio>
#include <string>
#include <vector>

#include "display/draw2d.hpp"
#include "harness/options.hpp"
#include "harness/recorder.hpp"
#include "harness/trace.hpp"
#include "leakscope/leakscope.hpp"
#include "volleyplay/player.hpp"
#include "volleyplay/player_trace.hpp"

int main(int argc, char** argv) {
  const harness::RunOptions OPTIONS =
      harness::parse_options_or_exit(argc, argv, harness::OptionsConfig{"volleyplay", false, true,
                                                                        true});
  draw2d::set_window_scale(OPTIONS.SCALE);

  // Files of the extensions are created before anything else, so a bad path ends the program
  // (exit code 2) before the run starts.
  std::string ERROR;
  harness::TraceWriter TRACE;
  if (!OPTIONS.TRACE.empty() && !TRACE.open(OPTIONS.TRACE, ERROR)) harness::fail_before_run("volleyplay: " + ERROR);
  harness::Recorder RECORDER;
  if (!RECORDER.open(OPTIONS, ERROR)) harness::fail_before_run("volleyplay: " + ERROR);

  if (OPTIONS.HEADLESS) {
    // DEVIATION: headless runs (an option, off by default) use the memory screen and the
    // virtual clock, and the tracker reports without waiting for a key.
    draw2d::set_headless(true);
    LEAKSCOPE_SET_EXIT_WAIT(false);
  }

  PLAYER_TYPE P;
  PLAYER_CREATE_CANNONS(P);
  PLAYER_OPEN(P);

  bool HARNESS_FAILED = false;
  for (int32_t F = 1;; ++F) {
    PLAYER_STEP(P);
    if (OPTIONS.traces(F)) WRITE_TRACE_LINE(TRACE, P, F);
    PLAYER_PRESENT();
    // DEVIATION(player-capture-keys): with --capture-keys, F12 and F11 capture the screen
    // instead of ending the run; pinned by CaptureWindow.PlayerCapturesWithCaptureKeysOn.
    bool KEY = false, F12 = false, F11 = false;
    if (OPTIONS.CAPTURE_KEYS) KEY = PLAYER_KEY_PRESSED_OR_CAPTURE(F12, F11);
    std::vector<std::string> LINES;
    if (!HARNESS_FAILED && (!harness::capture_key_presses(RECORDER, F12, F11, LINES, ERROR) ||
                            !RECORDER.capture_screen(F, ERROR))) {
      std::fprintf(stderr, "volleyplay: %s\n", ERROR.c_str());
      HARNESS_FAILED = true;  // the run goes on; the exit code tells
    }
    for (const std::string& LINE : LINES) draw2d::console_print(LINE);
    if (!OPTIONS.CAPTURE_KEYS) KEY = PLAYER_KEY_PRESSED();
    if (KEY || OPTIONS.last_frame(F)) break;
  }

  PLAYER_CLEAN_UP(P);

  if (!TRACE.close()) {
    std::fprintf(stderr, "volleyplay: writing the trace file '%s' failed\n", OPTIONS.TRACE.c_str());
    HARNESS_FAILED = true;
  }
  const std::string RUNNING_GIF = RECORDER.key_gif();  // a capture GIF still running ends here
  if (!RECORDER.close(ERROR)) {
    std::fprintf(stderr, "volleyplay: %s\n", ERROR.c_str());
    HARNESS_FAILED = true;
  } else if (!RUNNING_GIF.empty()) {
    draw2d::console_print("wrote " + RUNNING_GIF);
  }
  draw2d::end(HARNESS_FAILED ? harness::EXIT_USAGE : 0);
}
