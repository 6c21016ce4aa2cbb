// volleyedit menu: rows, limits, editing and the copies to and from the cannon
// (namespace NDESIGNER).
#include "volleyedit/menu.hpp"

#include <cmath>
#include <initializer_list>

namespace NDESIGNER {

MENU_TYPE MENU[MENU_ROWS];

void INIT_MENU(float START_ROTATION, int32_t ROTATION_AI) {
  // every selectable row: its number, step 1, value 0, bar at column 0, row 7 x row
  for (int32_t ROW = 0; ROW < SELECTABLE_ROWS; ++ROW) {
    MENU[ROW].INDEX = ROW;
    MENU[ROW].ACTIVE = 0;
    MENU[ROW].DELTA = 1.0f;
    MENU[ROW].VALUE = 0.0f;
    MENU[ROW].X = 0;
    MENU[ROW].Y = ROW_HEIGHT * ROW;
  }
  // the float rows step by 0.1
  for (int32_t ROW : {4, 5, 6, 7, 8, 9, 24, 25, 26}) MENU[ROW].DELTA = RULE_OF_ROW(ROW).DELTA;
  // the start rotation and the rotation switch
  MENU[ROW_ROTATION].VALUE = START_ROTATION;
  MENU[ROW_ROTATION_AI].VALUE = static_cast<float>(ROTATION_AI);
  SET_LIMITS();
}

void SET_LIMITS() {
  for (int32_t ROW = 0; ROW < SELECTABLE_ROWS; ++ROW) {
    const ROW_RULE RULE = RULE_OF_ROW(ROW);
    MENU[ROW].MIN = RULE.MIN;
    MENU[ROW].MAX = RULE.MAX;
  }
}

void EDIT_FIELD(NBARRAGE::TURRET_TYPE& /*CANNON*/, int32_t DIRECTION, int32_t INDEX) {
  MENU_TYPE& ROW = MENU[INDEX];
  float VALUE = ROW.VALUE + ROW.DELTA * static_cast<float>(DIRECTION);
  if (!(VALUE >= ROW.MIN)) VALUE = ROW.MIN;  // below MIN, or not a number
  if (VALUE > ROW.MAX) VALUE = ROW.MAX;
  ROW.VALUE = VALUE;
}

void MENU_TO_CANNON(NBARRAGE::TURRET_TYPE& CANNON, int32_t /*INDEX*/) {
  for (int32_t ROW = 0; ROW < MENU_ROWS; ++ROW) {
    const ROW_FIELD FIELD = FIELD_OF_ROW(ROW);
    if (!RULE_OF_ROW(ROW).TO_CANNON) continue;
    if (FIELD.INT_FIELD != nullptr) {
      CANNON.*FIELD.INT_FIELD = ROUND_HALF_EVEN(MENU[ROW].VALUE);
    } else {
      CANNON.*FIELD.FLOAT_FIELD = MENU[ROW].VALUE;
    }
  }
}

void CANNON_TO_MENU(NBARRAGE::TURRET_TYPE& CANNON, int32_t /*INDEX*/) {
  for (int32_t ROW = 0; ROW < MENU_ROWS; ++ROW) {
    const ROW_FIELD FIELD = FIELD_OF_ROW(ROW);
    if (!RULE_OF_ROW(ROW).FROM_CANNON) continue;
    if (FIELD.INT_FIELD != nullptr) {
      MENU[ROW].VALUE = static_cast<float>(CANNON.*FIELD.INT_FIELD);
    } else {
      MENU[ROW].VALUE = CANNON.*FIELD.FLOAT_FIELD;
    }
  }
}

void ROUND_DOWN_FIELD(int32_t INDEX) { MENU[INDEX].VALUE = std::floor(MENU[INDEX].VALUE); }

void LIMIT_LOADED_VALUES() {
  float VALUES[MENU_ROWS];
  for (int32_t ROW = 0; ROW < MENU_ROWS; ++ROW) VALUES[ROW] = MENU[ROW].VALUE;
  LIMIT_LOADED_ROWS(VALUES);
  for (int32_t ROW = 0; ROW < MENU_ROWS; ++ROW) MENU[ROW].VALUE = VALUES[ROW];
}

}  // namespace NDESIGNER
