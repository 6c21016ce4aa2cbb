// volleyedit menu: the designer's 35-row parameter menu and its link to the edited cannon
// (namespace NDESIGNER). Rows 0 to 33 stand for the 34 fields of a turret in record order,
// row 34 holds the designer's rotation switch.
#pragma once

#include <cstdint>

#include "barrage/menu_rows.hpp"
#include "engine/turret_module.hpp"

namespace NDESIGNER {

/// One menu row.
struct MENU_TYPE {
  int32_t INDEX;   ///< the row's own number; not read by any operation
  int32_t ACTIVE;  ///< always 0; not read by any operation
  float VALUE;     ///< the edited value
  float DELTA;     ///< step of one key press
  int32_t X;       ///< left edge of the row's highlight bar
  int32_t Y;       ///< top edge of the row's highlight bar
  float MIN;       ///< lowest allowed value
  float MAX;       ///< highest allowed value
};

inline constexpr int32_t ROW_HEIGHT = 7;  ///< pixel rows per menu row

/// The program-wide menu.
extern MENU_TYPE MENU[MENU_ROWS];

/// Menu initialisation before the cannon is stepped: rows 0 to 33 get INDEX, ACTIVE 0,
/// DELTA 1 (0.1 for the float rows 4-9 and 24-26), VALUE 0, X 0 and Y 7 x row; row 12 gets
/// START_ROTATION, row 34 ROTATION_AI; then SET_LIMITS. The caller then steps cannon 0 once
/// and calls CANNON_TO_MENU.
void INIT_MENU(float START_ROTATION, int32_t ROTATION_AI);

/// Writes MIN and MAX of rows 0 to 33.
void SET_LIMITS();

/// Steps MENU[INDEX].VALUE by DELTA x DIRECTION (a 32-bit float sum), then raises a value below
/// MIN (or not a number) to MIN and lowers one above MAX to MAX. CANNON is not used.
void EDIT_FIELD(NBARRAGE::TURRET_TYPE& CANNON, int32_t DIRECTION, int32_t INDEX);

/// Writes every row marked "to cannon" into the cannon, in row order: integer fields take the
/// value rounded half to even, float fields the value itself. INDEX is not used.
void MENU_TO_CANNON(NBARRAGE::TURRET_TYPE& CANNON, int32_t INDEX);

/// Fills every row marked "from cannon" from the cannon's fields. Row 12 is not among them:
/// the menu keeps the start rotation while the cannon turns. INDEX is not used.
void CANNON_TO_MENU(NBARRAGE::TURRET_TYPE& CANNON, int32_t INDEX);

/// F3: rounds MENU[INDEX].VALUE down to a whole number (towards minus infinity), unclamped.
void ROUND_DOWN_FIELD(int32_t INDEX);

/// Limits values that came from a barrage file with LIMIT_LOADED_ROWS.
void LIMIT_LOADED_VALUES();

}  // namespace NDESIGNER
