// Fuzz target: any text as the designer's key script. A script that parses holds events in
// frame order, on frames from 1, with keys the scripts know; it then drives a headless designer
// session (at most 200 frames), whose F1 saves and F2 loads touch only the scratch directory.
#include <string>

#include "fuzz/designer_session.hpp"
#include "fuzz/fuzz_common.hpp"
#include "harness/key_script.hpp"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  volley_fuzz::init_process();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* DATA, std::size_t SIZE) {
  const std::string TEXT(reinterpret_cast<const char*>(DATA), SIZE);
  harness::KeyScript SCRIPT;
  std::string ERROR;
  if (!SCRIPT.parse(TEXT, "fuzz.keys", ERROR)) {
    FUZZ_CHECK(!ERROR.empty() && SCRIPT.events().empty(), "a refused script is empty and says why");
    return 0;
  }
  int32_t PREVIOUS = 1;
  for (const harness::KeyEvent& E : SCRIPT.events()) {
    FUZZ_CHECK(E.FRAME >= PREVIOUS, "events are in frame order");
    const bool NAMED = *harness::key_name(E.SCANCODE) != '\0';
    FUZZ_CHECK(NAMED || E.SCANCODE == harness::MOUSE_MOVE, "every event is a known key or the mouse");
    PREVIOUS = E.FRAME;
  }
  // A file with the same text reads the same events.
  harness::KeyScript FROM_FILE;
  const std::string PATH = volley_fuzz::write_file("session.keys", DATA, SIZE);
  FUZZ_CHECK(FROM_FILE.load(PATH, ERROR), "the same text from a file parses");
  FUZZ_CHECK(FROM_FILE.events().size() == SCRIPT.events().size(), "file and text agree");

  const int32_t LAST = SCRIPT.last_frame();
  const int32_t FRAMES = LAST < 199 ? LAST + 1 : 200;
  volley_fuzz::run_designer([&SCRIPT](int32_t F) { SCRIPT.apply(F); }, FRAMES);
  return 0;
}
