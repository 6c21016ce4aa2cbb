// Fuzz target: any text as the designer's key script. A script that parses holds events in
// frame order, with keys the scripts know; it then drives a headless designer session (at most
// 200 frames, mode 0, the generated assets in the scratch directory), whose F1 saves and F2
// loads touch only the scratch directory, torn down in the program's exit order.
#include <algorithm>
#include <filesystem>
#include <string>

#include "draw2d/draw2d.hpp"
#include "fuzz/fuzz_common.hpp"
#include "harness/key_script.hpp"
#include "volleyedit/designer.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* DATA, std::size_t SIZE) {
  harness::KeyScript SCRIPT;
  std::string ERROR;
  if (!SCRIPT.parse(std::string(reinterpret_cast<const char*>(DATA), SIZE), "fuzz.keys", ERROR)) {
    FUZZ_CHECK(!ERROR.empty(), "a refused script says why");
    FUZZ_CHECK(SCRIPT.events().empty(), "a refused script is empty");
    return 0;
  }
  int32_t PREVIOUS = 1;
  for (const harness::KeyEvent& E : SCRIPT.events()) {
    FUZZ_CHECK(E.FRAME >= PREVIOUS, "events are in frame order");
    FUZZ_CHECK(*harness::key_name(E.SCANCODE) != '\0' || E.SCANCODE == harness::MOUSE_MOVE,
               "every event is a known key or the mouse");
    PREVIOUS = E.FRAME;
  }
  const int32_t FRAMES = std::min(SCRIPT.last_frame() + 1, 200);

  const std::filesystem::path BACK = std::filesystem::current_path();
  volley_fuzz::enter_asset_dir();
  const volley_fuzz::SameBlocks BLOCKS;  // the designer returns every block at exit
  NDESIGNER::FRAME_CLOCK = NDESIGNER::FRAME_CLOCK_TYPE{};
  NDESIGNER::FRAME_CLOCK.HOOKS.BEGIN_FRAME = [&SCRIPT](int32_t F) { SCRIPT.apply(F); };
  NDESIGNER::FRAME_CLOCK.HOOKS.LAST_FRAME = [FRAMES](int32_t F) { return F >= FRAMES; };
  NDESIGNER::U_KEY = {};
  NDESIGNER::D_KEY = {};
  auto* D = new NDESIGNER::DESIGNER_TYPE;
  NDESIGNER::START(*D, {0, 8, 0});
  for (int32_t RUN = 0; RUN < FRAMES && NDESIGNER::RUN_FRAME(*D); ++RUN) {
  }
  NDESIGNER::SHUTDOWN(*D);
  delete D;
  for (const harness::KeyEvent& E : SCRIPT.events()) draw2d::set_key(E.SCANCODE, false);
  draw2d::close_screen();
  NDESIGNER::FRAME_CLOCK = NDESIGNER::FRAME_CLOCK_TYPE{};
  std::filesystem::current_path(BACK);
  return 0;
}
