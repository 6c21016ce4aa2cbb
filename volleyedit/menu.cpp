// volleyedit menu: rows, limits, editing and the copies to and from the cannon
// (namespace NDESIGNER).
#include "volleyedit/menu.hpp"

#include <cmath>
#include <initializer_list>

namespace NDESIGNER {

MENU_TYPE MENU[MENU_ROWS];

namespace {

using NBARRAGE::TURRET_TYPE;

struct ROW_SPEC {
  ROW_KIND KIND;
  int32_t TURRET_TYPE::* INT_FIELD;  // integer rows
  float TURRET_TYPE::* FLOAT_FIELD;  // float rows
  float DELTA;
  float MIN;
  float MAX;
  bool TO_CANNON;
  bool FROM_CANNON;
  NBARRAGE::COORD_TYPE* TURRET_TYPE::* REF_FIELD = nullptr;  // reference rows
};

constexpr ROW_KIND I = ROW_KIND::INTEGER;
constexpr ROW_KIND F = ROW_KIND::FLOAT;
constexpr ROW_KIND R = ROW_KIND::REFERENCE;

// The 0.1 steps are the 32-bit float nearest to 0.1.
constexpr ROW_SPEC ROWS[MENU_ROWS] = {
    {I, &TURRET_TYPE::LISTINDEX, nullptr, 1.0f, 0, 999, true, true},
    {I, &TURRET_TYPE::TARGETING, nullptr, 1.0f, -1, 0, true, true},
    {R, nullptr, nullptr, 1.0f, 0, 999, false, false, &TURRET_TYPE::P_POSITION},
    {R, nullptr, nullptr, 1.0f, 0, 999, false, false, &TURRET_TYPE::P_TARGET},
    {F, nullptr, &TURRET_TYPE::X, 0.1f, -999, 999, false, false},
    {F, nullptr, &TURRET_TYPE::Y, 0.1f, -999, 999, false, false},
    {F, nullptr, &TURRET_TYPE::XV, 0.1f, -999, 999, true, true},
    {F, nullptr, &TURRET_TYPE::YV, 0.1f, -999, 999, true, true},
    {F, nullptr, &TURRET_TYPE::TARGETX, 0.1f, -999, 999, true, true},
    {F, nullptr, &TURRET_TYPE::TARGETY, 0.1f, -999, 999, true, true},
    {I, &TURRET_TYPE::ACTIVE, nullptr, 1.0f, -1, 0, true, true},
    {F, nullptr, &TURRET_TYPE::RADIUS, 1.0f, -300, 300, true, true},
    {I, &TURRET_TYPE::ROTATION, nullptr, 1.0f, 0, 359, true, false},
    {I, &TURRET_TYPE::MINROTATION, nullptr, 1.0f, 0, 359, true, true},
    {I, &TURRET_TYPE::MAXROTATION, nullptr, 1.0f, 0, 359, true, true},
    {I, &TURRET_TYPE::ROTSPEED, nullptr, 1.0f, 0, 359, true, true},
    {I, &TURRET_TYPE::ROTDIR, nullptr, 1.0f, -1, 1, true, true},
    {I, &TURRET_TYPE::SPAWNDELAY, nullptr, 1.0f, 0, 999, true, true},
    {I, &TURRET_TYPE::MAXSPAWNDELAY, nullptr, 1.0f, 0, 9999, true, true},
    {I, &TURRET_TYPE::MAXBULLET, nullptr, 1.0f, 0, 128, true, true},
    {I, &TURRET_TYPE::BULLET_ENERGY, nullptr, 1.0f, 0, 999, true, true},
    {I, &TURRET_TYPE::BULLET_DEATH_ID, nullptr, 1.0f, 0, 20, true, true},
    {I, &TURRET_TYPE::BULLETS_PER_SHOT, nullptr, 1.0f, 0, 128, true, true},
    {I, &TURRET_TYPE::SPREAD_ROTATION, nullptr, 1.0f, 0, 359, true, true},
    {F, nullptr, &TURRET_TYPE::BULLETSPEED, 0.1f, -100, 100, true, true},
    {F, nullptr, &TURRET_TYPE::BULLETSPEED_DELTA, 0.1f, -100, 100, true, true},
    {F, nullptr, &TURRET_TYPE::BULLETOFFSET, 0.1f, -100, 100, true, true},
    {I, &TURRET_TYPE::WAVEMODE, nullptr, 1.0f, 0, 5, true, true},
    {I, &TURRET_TYPE::BULLETCOUNTER, nullptr, 1.0f, 0, 999, true, true},
    {I, &TURRET_TYPE::BULLETWAVEMAX, nullptr, 1.0f, 0, 64, true, true},
    {I, &TURRET_TYPE::BULLETWAVEMAXDELAY, nullptr, 1.0f, 0, 9999, true, true},
    {I, &TURRET_TYPE::BULLET_TYPE, nullptr, 1.0f, 0, 1, true, true},
    {I, &TURRET_TYPE::CURRENT_MIN_FRAME, nullptr, 1.0f, 0, 999, true, true},
    {I, &TURRET_TYPE::CURRENT_NUM_FRAME, nullptr, 1.0f, 1, 999, true, true},
    // The rotation switch: its step and limits are 0 and never used.
    {ROW_KIND::SWITCH, nullptr, nullptr, 0.0f, 0, 0, false, false},
};

}  // namespace

ROW_FIELD FIELD_OF_ROW(int32_t ROW) {
  const ROW_SPEC& SPEC = ROWS[ROW];
  return {SPEC.KIND, SPEC.INT_FIELD, SPEC.FLOAT_FIELD, SPEC.REF_FIELD};
}

int32_t ROUND_HALF_EVEN(float V) {
  // FE_TONEAREST, the default rounding mode: halves go to the even neighbour.
  const double ROUNDED = std::nearbyint(static_cast<double>(V));
  // DEVIATION: a value outside the 32-bit range (only a loaded rotation switch can hold one)
  // saturates and not-a-number gives 0 instead of an undefined conversion;
  // pinned by MenuRounding.SaturatesOutsideTheIntegerRange.
  if (std::isnan(ROUNDED)) return 0;
  if (ROUNDED >= 2147483647.0) return INT32_MAX;
  if (ROUNDED <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(ROUNDED);
}

void INIT_MENU(float START_ROTATION, int32_t ROTATION_AI) {
  // 1. every selectable row: its number, step 1, value 0, bar at column 0, row 7 x row
  for (int32_t ROW = 0; ROW < SELECTABLE_ROWS; ++ROW) {
    MENU[ROW].INDEX = ROW;
    MENU[ROW].ACTIVE = 0;
    MENU[ROW].DELTA = 1.0f;
    MENU[ROW].VALUE = 0.0f;
    MENU[ROW].X = 0;
    MENU[ROW].Y = ROW_HEIGHT * ROW;
  }
  // 2. the float rows step by 0.1
  for (int32_t ROW : {4, 5, 6, 7, 8, 9, 24, 25, 26}) MENU[ROW].DELTA = ROWS[ROW].DELTA;
  // 3. and 4. the start rotation and the rotation switch
  MENU[ROW_ROTATION].VALUE = START_ROTATION;
  MENU[ROW_ROTATION_AI].VALUE = static_cast<float>(ROTATION_AI);
  // 5.
  SET_LIMITS();
}

void SET_LIMITS() {
  for (int32_t ROW = 0; ROW < SELECTABLE_ROWS; ++ROW) {
    MENU[ROW].MIN = ROWS[ROW].MIN;
    MENU[ROW].MAX = ROWS[ROW].MAX;
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
    const ROW_SPEC& SPEC = ROWS[ROW];
    if (!SPEC.TO_CANNON) continue;
    if (SPEC.INT_FIELD != nullptr) {
      CANNON.*SPEC.INT_FIELD = ROUND_HALF_EVEN(MENU[ROW].VALUE);
    } else {
      CANNON.*SPEC.FLOAT_FIELD = MENU[ROW].VALUE;
    }
  }
}

void CANNON_TO_MENU(NBARRAGE::TURRET_TYPE& CANNON, int32_t /*INDEX*/) {
  for (int32_t ROW = 0; ROW < MENU_ROWS; ++ROW) {
    const ROW_SPEC& SPEC = ROWS[ROW];
    if (!SPEC.FROM_CANNON) continue;
    if (SPEC.INT_FIELD != nullptr) {
      MENU[ROW].VALUE = static_cast<float>(CANNON.*SPEC.INT_FIELD);
    } else {
      MENU[ROW].VALUE = CANNON.*SPEC.FLOAT_FIELD;
    }
  }
}

void ROUND_DOWN_FIELD(int32_t INDEX) { MENU[INDEX].VALUE = std::floor(MENU[INDEX].VALUE); }

void LIMIT_LOADED_VALUES() {
  // DEVIATION: a barrage file may hold anything; rows 0 to 33 are clamped to their limits and
  // not-finite values become MIN, so counts above the 128 bullet slots, negative counts and
  // not-a-number never reach the cannon. Pinned by BarrageFileTest.ValuesAreLimitedToTheirRows.
  for (int32_t ROW = 0; ROW < SELECTABLE_ROWS; ++ROW) {
    MENU_TYPE& M = MENU[ROW];
    // DEVIATION(loaded-flags-stay-set): a truth-value row (limits -1 and 0: targeting,
    // active) keeps a non-zero value non-zero: it becomes -1, not the 0 that clamping 1.0
    // would give, so a file that aims still aims. Pinned by
    // BarrageFileTest.ValuesAreLimitedToTheirRows.
    if (M.MIN == -1.0f && M.MAX == 0.0f && M.VALUE != 0.0f) {
      M.VALUE = -1.0f;
    } else if (!std::isfinite(M.VALUE)) {
      M.VALUE = M.MIN;
    } else if (M.VALUE < M.MIN) {
      M.VALUE = M.MIN;
    } else if (M.VALUE > M.MAX) {
      M.VALUE = M.MAX;
    }
  }
  // The rotation switch has no limits: any finite value stays (1.0 still selects the bouncing
  // rule); not-finite becomes 0. Pinned by BarrageFileTest.ValuesAreLimitedToTheirRows.
  if (!std::isfinite(MENU[ROW_ROTATION_AI].VALUE)) MENU[ROW_ROTATION_AI].VALUE = 0.0f;
}

}  // namespace NDESIGNER
