// Fuzz target: any file loaded as a barrage file by the designer's F2 in a headless session
// of 60 frames: the file is loaded and applied to cannon 0, which then fires, and the cannons,
// the menu and the statistics are drawn every frame. The loaded menu holds only values within
// its rows' limits.
#include <cmath>

#include "fuzz/designer_session.hpp"
#include "volleyedit/barrage_file.hpp"
#include "volleyedit/keys.hpp"
#include "volleyedit/menu.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* DATA, std::size_t SIZE) {
  using namespace NDESIGNER;
  volley_fuzz::write_file(LOAD_FILENAME, DATA, SIZE);
  volley_fuzz::run_designer(60, [](int32_t F) {
    draw2d::set_key(SCAN_CODE(KEY::F2), F == 2);  // F2 down in frame 2 only: one load
    for (const MENU_TYPE& M : MENU) {
      const bool SWITCH = &M == &MENU[ROW_ROTATION_AI];  // limited to a number, not to MIN..MAX
      FUZZ_CHECK(SWITCH ? std::isfinite(M.VALUE) : M.VALUE >= M.MIN && M.VALUE <= M.MAX,
                 "a loaded row stays within its limits, the rotation switch a number");
    }
  });
  return 0;
}
