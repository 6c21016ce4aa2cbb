// Fuzz target: any file loaded as a barrage file into the designer's menu (what F2 does),
// applied to cannon 0, which then fires for 300 frames; every frame both cannons are drawn
// with the generated bullet sheet, and the statistics are drawn at the end. The loaded menu
// holds only values within its rows' limits, and the file stays as it was.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "display/font.hpp"
#include "draw2d/draw2d.hpp"
#include "fuzz/fuzz_common.hpp"
#include "image/pixbank_image.hpp"
#include "leakscope/leakscope.hpp"
#include "volleyedit/barrage_file.hpp"
#include "volleyedit/designer_state.hpp"
#include "volleyedit/draw.hpp"
#include "volleyedit/menu.hpp"

namespace {

using namespace NDESIGNER;

// Loaded once per process: the designer's bullet sheet and its small font.
IMAGETYPE SHEET{};
FONTTYPE FONT{};

void RELEASE_ASSETS() {
  SHEET.DESTROY(SHEET);
  FONT.DESTROY(FONT);
}

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
  std::atexit(RELEASE_ASSETS);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* DATA, std::size_t SIZE) {
  const std::size_t BLOCKS = LEAKSCOPE_COUNT();
  const std::string PATH = volley_fuzz::write_file(LOAD_FILENAME, DATA, SIZE);
  NBARRAGE::TURRET_PARAM_TYPE PARAMETERS{};
  CREATE_CANNONS(PARAMETERS);

  // F2: load, then apply
  FUZZ_CHECK(LOAD_DATA(PATH), "an existing file loads");
  APPLY_LOADED_MENU();
  for (int32_t ROW = 0; ROW < SELECTABLE_ROWS; ++ROW) {
    const MENU_TYPE& M = MENU[ROW];
    FUZZ_CHECK(M.VALUE >= M.MIN && M.VALUE <= M.MAX, "a loaded row stays within its limits");
  }
  FUZZ_CHECK(std::isfinite(MENU[ROW_ROTATION_AI].VALUE), "the loaded rotation switch is a number");

  // The frame loop's stepping and drawing of the cannons, for 300 frames.
  uint8_t* PAGE = draw2d::create_buffer(320, 240, 0);
  FUZZ_CHECK(PAGE != nullptr, "page");
  for (int32_t F = 0; F < 300; ++F) {
    draw2d::box(PAGE, 0, 0, 319, 239, 0);
    for (int32_t I = 0; I < CANNON_COUNT; ++I) {
      NBARRAGE::TURRET_TYPE& C = CANNON[I];
      if (C.ACTIVE != -1) continue;
      C.SHOOT(C, C.LIST_MANAGE(C, 0, 0));
      DRAW_CANNON(PAGE, C, SHEET);
    }
  }
  DRAWMENU(PAGE, ACTIVEINDEX, HIGHLIGHT_COLOUR, FONT);
  DRAW_STATS(PAGE, 0, FONT);
  draw2d::free_buffer(PAGE);
  DESTROY_CANNONS();
  FUZZ_CHECK(LEAKSCOPE_COUNT() == BLOCKS, "the cannons return every block");

  const std::string AFTER = volley_fuzz::read_file(PATH);
  FUZZ_CHECK(AFTER.size() == SIZE && (SIZE == 0 || std::memcmp(AFTER.data(), DATA, SIZE) == 0),
             "a load never changes the file");
  return 0;
}
