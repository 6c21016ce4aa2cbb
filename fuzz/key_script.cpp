// Fuzz target: any text as the designer's key script. A script that parses holds events in
// frame order, with keys the scripts know; it then drives a headless designer session of at
// most 200 frames.
#include <algorithm>
#include <string>

#include "fuzz/designer_session.hpp"
#include "harness/key_script.hpp"

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
  volley_fuzz::run_designer(std::min(SCRIPT.last_frame() + 1, 200),
                            [&SCRIPT](int32_t F) { SCRIPT.apply(F); });
  for (const harness::KeyEvent& E : SCRIPT.events()) draw2d::set_key(E.SCANCODE, false);
  return 0;
}
