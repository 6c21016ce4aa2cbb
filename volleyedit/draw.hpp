// volleyedit drawing: the menu's highlight bar and row numbers, the statistics column and the
// live cannons with their bullets (DRAW_CANNON, shared with the pattern tool), all onto the
// designer's 320 x 240 page (namespace NDESIGNER).
#pragma once

#include <cstdint>

#include "barrage/cannon_draw.hpp"
#include "display/font.hpp"
#include "engine/turret_module.hpp"
#include "image/pixbank_image.hpp"

namespace NDESIGNER {

/// Palette index of the highlight bar and of the chooser's box (the cannon circle's is in
/// barrage/cannon_draw.hpp).
inline constexpr uint8_t HIGHLIGHT_COLOUR = 156;
inline constexpr uint8_t CHOOSER_COLOUR = 127;

/// The highlight bar of row ACTIVEINDEX in colour MCOLOR (131 x 7 pixels from the row's X, Y),
/// then the row numbers "0." to "33." at column 0, 7 pixel rows apart. Leaves FONT at M_X 0,
/// M_Y 238.
void DRAWMENU(void* VPAGE, int32_t ACTIVEINDEX, uint8_t MCOLOR, FONTTYPE& FONT);

/// The statistics of CANNON[INDEX]: 34 lines at column 15, then the selected row, the rotation
/// switch and the start rotation at column 160, rows 0, 7 and 14, and once the programme is
/// shown its three lines at rows 21, 28 and 35. Text comes fresh from the cannon, ACTIVEINDEX,
/// ROTATION_AI, MENU[12] and the programme at each call.
void DRAW_STATS(void* VPAGE, int32_t INDEX, FONTTYPE& FONT);

}  // namespace NDESIGNER
