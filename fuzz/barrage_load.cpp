// Fuzz target: any file loaded as a barrage file into the designer's menu (what F2 does),
// applied to cannon 0, which then fires for 300 frames; every frame both cannons are drawn
// with the generated bullet sheet, and the statistics are drawn at the end. The loaded menu
// holds only values within its rows' limits, and the file stays as it was.
#include <cmath>
#include <cstdlib>
#include <span>
#include <string>

#include "display/font.hpp"
#include "fuzz/fuzz_common.hpp"
#include "image/pixbank_image.hpp"
#include "volleyedit/barrage_file.hpp"
#include "volleyedit/designer_state.hpp"
#include "volleyedit/draw.hpp"
#include "volleyedit/menu.hpp"

namespace {

using namespace NDESIGNER;

// Loaded once per process: the designer's bullet sheet and its small font.
IMAGETYPE SHEET{};
FONTTYPE FONT{};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  volley_fuzz::init_process();
  SHEET.INIT = IMAGE_INIT;
  SHEET.INIT(SHEET);
  SHEET.M_FILENAME = VOLLEY_RUN_DIR "/kv_bullet.put";
  SHEET.LOAD(SHEET);
  FONT.INIT = NFONT::INIT;
  FONT.INIT(FONT);
  FONT.S_IMAGE.M_FILENAME = VOLLEY_RUN_DIR "/tiny_font.put";
  FONT.LOAD(FONT);
  std::atexit([] {
    SHEET.DESTROY(SHEET);
    FONT.DESTROY(FONT);
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* DATA, std::size_t SIZE) {
  const std::string INPUT(reinterpret_cast<const char*>(DATA), SIZE);
  const std::string PATH = volley_fuzz::write_file(LOAD_FILENAME, DATA, SIZE);
  const volley_fuzz::SameBlocks BLOCKS;
  NBARRAGE::TURRET_PARAM_TYPE PARAMETERS{};
  CREATE_CANNONS(PARAMETERS);
  FUZZ_CHECK(LOAD_DATA(PATH), "an existing file loads");
  APPLY_LOADED_MENU();
  for (const MENU_TYPE& M : MENU) {
    const bool SWITCH = &M == &MENU[ROW_ROTATION_AI];  // limited to a number, not to MIN..MAX
    FUZZ_CHECK(SWITCH ? std::isfinite(M.VALUE) : M.VALUE >= M.MIN && M.VALUE <= M.MAX,
               "a loaded row stays within its limits, the rotation switch a number");
  }
  // The frame loop's stepping and drawing of the cannons, for 300 frames.
  for (int32_t F = 0; F < 300; ++F) {
    for (NBARRAGE::TURRET_TYPE& C : std::span(CANNON, CANNON_COUNT)) {
      if (C.ACTIVE != -1) continue;
      C.SHOOT(C, C.LIST_MANAGE(C, 0, 0));
      DRAW_CANNON(volley_fuzz::page(), C, SHEET);
    }
  }
  DRAWMENU(volley_fuzz::page(), ACTIVEINDEX, HIGHLIGHT_COLOUR, FONT);
  DRAW_STATS(volley_fuzz::page(), 0, FONT);
  DESTROY_CANNONS();
  FUZZ_CHECK(volley_fuzz::read_file(PATH) == INPUT, "a load never changes the file");
  return 0;
}
