// volleyedit drawing: menu and statistics (namespace NDESIGNER).
#include "volleyedit/draw.hpp"

#include <array>
#include <string>

#include "display/draw2d.hpp"
#include "volleyedit/designer_state.hpp"
#include "volleyedit/menu.hpp"
#include "volleyedit/programme.hpp"
#include "volleyedit/stats.hpp"

namespace NDESIGNER {

namespace {

constexpr int32_t BAR_WIDTH = 130;   // the bar spans X to X + 130, both included
constexpr int32_t BAR_HEIGHT = 6;    // and Y to Y + 6
constexpr int32_t STATS_X = 15;
constexpr int32_t RIGHT_X = 160;

void DRAW_LINE(FONTTYPE& FONT, void* VPAGE, std::string TEXT) {
  FONT.M_TEXT = std::move(TEXT);
  FONT.DRAW(FONT, VPAGE);
}

// The row numbers "0." to "33." never change: made once, not in every frame.
const std::array<std::string, SELECTABLE_ROWS>& ROW_NUMBERS() {
  static const std::array<std::string, SELECTABLE_ROWS> NUMBERS = [] {
    std::array<std::string, SELECTABLE_ROWS> N;
    for (int32_t I = 0; I < SELECTABLE_ROWS; ++I) N[I] = std::to_string(I) + ".";
    return N;
  }();
  return NUMBERS;
}

}  // namespace

void DRAWMENU(void* VPAGE, int32_t ACTIVEINDEX_, uint8_t MCOLOR, FONTTYPE& FONT) {
  // the bar, both corners included
  const MENU_TYPE& ROW = MENU[ACTIVEINDEX_];
  draw2d::box(VPAGE, static_cast<float>(ROW.X), static_cast<float>(ROW.Y),
              static_cast<float>(ROW.X + BAR_WIDTH), static_cast<float>(ROW.Y + BAR_HEIGHT), MCOLOR);
  // the row numbers
  FONT.M_X = 0;
  FONT.M_Y = 0;
  FONT.M_CENTERED = 0;
  for (const std::string& NUMBER : ROW_NUMBERS()) {
    FONT.M_TEXT = NUMBER;
    FONT.DRAW(FONT, VPAGE);
    FONT.M_Y += ROW_HEIGHT;
  }
}

void DRAW_STATS(void* VPAGE, int32_t INDEX, FONTTYPE& FONT) {
  const NBARRAGE::TURRET_TYPE& C = CANNON[INDEX];
  FONT.M_X = STATS_X;
  FONT.M_Y = 0;
  FONT.M_CENTERED = 0;
  for (int32_t LINE = 0; LINE < STAT_LINES; ++LINE) {
    DRAW_LINE(FONT, VPAGE, STAT_TEXT(C, LINE));
    FONT.M_Y += ROW_HEIGHT;
  }
  FONT.M_X = RIGHT_X;
  FONT.M_Y = 0;
  for (int32_t LINE = 0; LINE < RIGHT_LINES; ++LINE) {
    FONT.M_Y = ROW_HEIGHT * LINE;
    DRAW_LINE(FONT, VPAGE, RIGHT_TEXT(LINE, ACTIVEINDEX, ROTATION_AI, MENU[ROW_ROTATION].VALUE));
  }
  if (!PROGRAMME.SHOWN) return;
  const int32_t SETS = static_cast<int32_t>(PROGRAMME.SETS.size());
  const int32_t DELAY = PROGRAMME.SETS[PROGRAMME.CURRENT].DELAY;
  for (int32_t LINE = 0; LINE < PROGRAMME_LINES; ++LINE) {
    FONT.M_Y = ROW_HEIGHT * (RIGHT_LINES + LINE);
    DRAW_LINE(FONT, VPAGE,
              PROGRAMME_TEXT(LINE, PROGRAMME.CURRENT + 1, SETS, DELAY, PROGRAMME.PLAYING));
  }
}

}  // namespace NDESIGNER
