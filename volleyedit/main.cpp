// volleyedit: the pattern designer's main program. Without options it asks its three questions
// and runs in its window; the options (headless runs, key scripts, traces, recordings) are
// extensions from the harness.
#include <string>
#include <vector>

#include <volley/volley.hpp>

#include "draw2d/draw2d.hpp"
#include "harness/key_script.hpp"
#include "harness/run_setup.hpp"
#include "harness/trace_turret.hpp"
#include "leakscope/leakscope.hpp"
#include "volleyedit/designer.hpp"
#include "volleyedit/menu.hpp"
#include "volleyedit/programme.hpp"

namespace {

using namespace NDESIGNER;

// One trace line: both cannons, the selection, the rotation switch and the 35 menu values;
// once the programme is shown, the current set (from 1), the number of sets and playing.
void WRITE_TRACE_LINE(harness::TraceWriter& W, int32_t FRAME) {
  W.begin_object();
  W.field("frame", FRAME);
  W.key("CANNON");
  W.begin_array();
  for (int32_t I = 0; I < CANNON_COUNT; ++I) harness::trace_turret(W, CANNON[I]);
  W.end_array();
  W.field("activeindex", ACTIVEINDEX);
  W.field("rotation_ai", ROTATION_AI);
  W.key("menu");
  W.begin_array();
  for (int32_t K = 0; K < MENU_ROWS; ++K) W.value(MENU[K].VALUE);
  W.end_array();
  if (PROGRAMME.SHOWN) {
    W.field("set", PROGRAMME.CURRENT + 1);
    W.field("sets", static_cast<int32_t>(PROGRAMME.SETS.size()));
    W.field("playing", PROGRAMME.PLAYING);
  }
  W.end_object();
  W.end_line();
}

// Records what the mode presented: the library's screen in the software modes, the texture's
// page region (through the colour map) in the OpenGL modes.
bool RECORD(harness::Recorder& R, const NDISPLAY::SCREEN_TYPE& VIDEO, int32_t FRAME,
            std::string& ERROR) {
  if (!R.wants(FRAME)) return true;
  const NDISPLAY::PRESENTED_FRAME_TYPE F = NDISPLAY::PRESENTED_FRAME(VIDEO);
  if (F.KIND != NDISPLAY::FRAME_KIND::RGBA32) return R.capture_screen(FRAME, ERROR);
  harness::Palette COLOURMAP{};
  for (int I = 0; I < 256 && VIDEO.P_CMAP != nullptr; ++I) {
    const uint32_t C = VIDEO.P_CMAP[I];
    COLOURMAP[I] = {static_cast<uint8_t>(C >> 24), static_cast<uint8_t>(C >> 16),
                    static_cast<uint8_t>(C >> 8)};
  }
  std::vector<uint8_t> RGBA(static_cast<std::size_t>(F.W) * F.H * 4);
  const uint32_t* TEXELS = static_cast<const uint32_t*>(F.PIXELS);
  for (int32_t Y = 0; Y < F.H; ++Y) {
    for (int32_t X = 0; X < F.W; ++X) {
      const uint32_t T = TEXELS[static_cast<std::size_t>(Y) * F.STRIDE + X];
      uint8_t* P = &RGBA[(static_cast<std::size_t>(Y) * F.W + X) * 4];
      P[0] = static_cast<uint8_t>(T >> 24);
      P[1] = static_cast<uint8_t>(T >> 16);
      P[2] = static_cast<uint8_t>(T >> 8);
      P[3] = 255;  // the quad is drawn without blending: every texel shows opaque
    }
  }
  return R.capture_rgba(FRAME, RGBA.data(), F.W, F.H, COLOURMAP, ERROR);
}

bool PRESSES_ESCAPE(const harness::KeyScript& SCRIPT) {
  for (const harness::KeyEvent& E : SCRIPT.events())
    if (E.SCANCODE == draw2d::KEY_ESCAPE && E.DOWN) return true;
  return false;
}

}  // namespace

int main(int ARGC, char** ARGV) {
  // The pattern library, which saves and loads programmes here, keeps the tracker quiet in the
  // games that link it; the designer keeps the tracker's exit report and its key wait.
  volley::enable_leak_report(true);
  LEAKSCOPE_SET_EXIT_WAIT(true);
  harness::OptionsConfig CONFIG;
  CONFIG.PROGRAM = "volleyedit";
  CONFIG.ALLOW_KEYS = true;
  CONFIG.HEADLESS_NEEDS_FRAMES = false;  // an Escape in the key script ends the run as well
  harness::RunSetup RUN(ARGC, ARGV, CONFIG);
  const harness::RunOptions& OPTIONS = RUN.options();

  // Everything that can fail is checked before the first question is asked.
  std::string ERROR;
  harness::KeyScript SCRIPT;
  if (!OPTIONS.KEYS.empty() && !SCRIPT.load(OPTIONS.KEYS, ERROR)) RUN.refuse(ERROR);
  // A headless run must be able to end: it needs --frames N or an Escape in its key
  // script, otherwise it is refused (exit 2) instead of running for ever.
  if (OPTIONS.HEADLESS && OPTIONS.FRAMES == 0 && !PRESSES_ESCAPE(SCRIPT)) {
    RUN.refuse("--headless needs --frames N or a --keys script that presses Escape");
  }
  RUN.start();

  DESIGNER_TYPE D;
  RUN_HOOKS& HOOKS = FRAME_CLOCK.HOOKS;
  if (!SCRIPT.events().empty()) HOOKS.BEGIN_FRAME = [&SCRIPT](int32_t F) { SCRIPT.apply(F); };
  if (RUN.trace().is_open()) {
    HOOKS.BEFORE_PRESENT = [&](int32_t F) {
      if (OPTIONS.traces(F)) WRITE_TRACE_LINE(RUN.trace(), F);
    };
  }
  // DEVIATION(capture-keys): F12 writes the presented page to the next free volley_NNNN.png
  // and F11 starts and stops a volley_NNNN.gif, in every display mode and in the chooser;
  // pinned by Golden/DesignerSession.MatchesItsGoldenDigest/capture.
  // CHOICE: the capture keys take what RECORD takes for --png and --gif: the presented page
  // (doubled in modes 1 to 3), and in the OpenGL modes the texture's 320 x 240 page region
  // rather than the filtered window picture; pinned by
  // CaptureWindow.DesignerCapturesInAnOpenGlMode.
  PRESS_KEY F12_KEY{}, F11_KEY{};
  HOOKS.AFTER_PRESENT = [&](int32_t F) {
    std::vector<std::string> LINES;
    const bool F12 = STEP_PRESS(F12_KEY, KEY_DOWN(KEY::F12));
    const bool F11 = STEP_PRESS(F11_KEY, KEY_DOWN(KEY::F11));
    // After a failed capture the run goes on without recording; the exit code tells.
    if (RUN.failed()) return;
    if (!harness::capture_key_presses(RUN.recorder(), F12, F11, LINES, ERROR) ||
        !RECORD(RUN.recorder(), D.VIDEO, F, ERROR)) {
      RUN.fail(ERROR);
    }
    for (const std::string& LINE : LINES) draw2d::console_print(LINE);
  };
  if (OPTIONS.FRAMES > 0) {
    HOOKS.LAST_FRAME = [&OPTIONS](int32_t F) { return OPTIONS.last_frame(F); };
  }

  START(D, ASK_STARTUP());
  while (RUN_FRAME(D)) {
  }
  SHUTDOWN(D);
  RUN.finish();
}
