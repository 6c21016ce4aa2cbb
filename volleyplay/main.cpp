// volleyplay: the pattern player's entry point.
// Without arguments: a window, the two programmes, any key ends the run, then the tracker's
// report and its key wait. The harness options add headless, traced and recorded runs.
#include <string>

#include "harness/run_setup.hpp"
#include "volleyplay/player.hpp"
#include "volleyplay/player_trace.hpp"

int main(int argc, char** argv) {
  harness::RunSetup RUN(argc, argv, harness::OptionsConfig{"volleyplay", false, true});
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
    // After a failed capture the run goes on without recording; the exit code tells.
    if (!RUN.failed() && RUN.recorder().active() && !RUN.recorder().capture_screen(F, ERROR)) {
      RUN.fail(ERROR);
    }
    const bool KEY = PLAYER_KEY_PRESSED();
    if (KEY || OPTIONS.last_frame(F)) break;
  }

  PLAYER_CLEAN_UP(P);
  RUN.finish();
}
