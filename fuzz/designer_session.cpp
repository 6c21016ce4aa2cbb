// Fuzz targets: a headless designer session.
#include "fuzz/designer_session.hpp"

#include <filesystem>

#include "draw2d/draw2d.hpp"
#include "fuzz/fuzz_common.hpp"
#include "leakscope/leakscope.hpp"
#include "volleyedit/designer.hpp"
#include "volleyedit/keys.hpp"

namespace volley_fuzz {

int32_t run_designer(const std::function<void(int32_t)>& KEYS, int32_t FRAMES) {
  const std::filesystem::path BACK = std::filesystem::current_path();
  enter_asset_dir();
  const std::size_t BLOCKS = LEAKSCOPE_COUNT();
  NDESIGNER::FRAME_CLOCK = NDESIGNER::FRAME_CLOCK_TYPE{};
  NDESIGNER::FRAME_CLOCK.HOOKS.BEGIN_FRAME = KEYS;
  NDESIGNER::FRAME_CLOCK.HOOKS.LAST_FRAME = [FRAMES](int32_t F) { return F >= FRAMES; };
  NDESIGNER::U_KEY = {};
  NDESIGNER::D_KEY = {};
  auto* D = new NDESIGNER::DESIGNER_TYPE;
  NDESIGNER::START(*D, {0, 8, 0});
  int32_t RUN = 0;
  while (RUN < FRAMES) {
    ++RUN;
    if (!NDESIGNER::RUN_FRAME(*D)) break;
  }
  NDESIGNER::SHUTDOWN(*D);
  delete D;
  for (int K = 0; K < NDESIGNER::KEY_COUNT; ++K)
    draw2d::set_key(NDESIGNER::SCAN_CODE(static_cast<NDESIGNER::KEY>(K)), false);
  draw2d::close_screen();
  NDESIGNER::FRAME_CLOCK = NDESIGNER::FRAME_CLOCK_TYPE{};
  std::filesystem::current_path(BACK);
  FUZZ_CHECK(LEAKSCOPE_COUNT() == BLOCKS, "the designer returns every block at exit");
  return RUN;
}

}  // namespace volley_fuzz
