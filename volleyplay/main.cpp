// volleyplay: the pattern player's entry point.
// Without arguments: a window, the two programmes, any key ends the run, then the tracker's
// report and its key wait. The harness options add headless, traced and recorded runs.
#include <string>
#include <vector>

#include "draw2d/draw2d.hpp"
#include "harness/recorder.hpp"
#include "harness/run_setup.hpp"
#include "volleyplay/player.hpp"
#include "volleyplay/player_trace.hpp"

int main(int argc, char** argv) {
  harness::RunSetup RUN(argc, argv, harness::OptionsConfig{"volleyplay", false, true, true});
  const harness::RunOptions& OPTIONS = RUN.options();
  RUN.start();

  PLAYER_TYPE P;
  PLAYER_CREATE_CANNONS(P);
  PLAYER_OPEN(P);

  std::string ERROR;
  for (int32_t F = 1;; ++F) {
    PLAYER_STEP(P);
    if (OPTIONS.traces(F)) WRITE_TRACE_LINE(RUN.trace(), P, F);
    PLAYER_PRESENT();
    // DEVIATION(player-capture-keys): with --capture-keys, F12 and F11 capture the screen
    // instead of ending the run; pinned by CaptureWindow.PlayerCapturesWithCaptureKeysOn.
    bool KEY = false, F12 = false, F11 = false;
    if (OPTIONS.CAPTURE_KEYS) KEY = PLAYER_KEY_PRESSED_OR_CAPTURE(F12, F11);
    std::vector<std::string> LINES;
    // After a failed capture the run goes on without recording; the exit code tells.
    if (!RUN.failed() && (!harness::capture_key_presses(RUN.recorder(), F12, F11, LINES, ERROR) ||
                          !RUN.recorder().capture_screen(F, ERROR))) {
      RUN.fail(ERROR);
    }
    for (const std::string& LINE : LINES) draw2d::console_print(LINE);
    if (!OPTIONS.CAPTURE_KEYS) KEY = PLAYER_KEY_PRESSED();
    if (KEY || OPTIONS.last_frame(F)) break;
  }

  PLAYER_CLEAN_UP(P);
  RUN.finish();
}
