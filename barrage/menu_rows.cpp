// barrage menu rows: the row table, loaded-value limits and the barrage-file codec
// (namespace NDESIGNER).
#include "barrage/menu_rows.hpp"

#include <bit>
#include <cmath>

namespace NDESIGNER {

namespace {

using NBARRAGE::TURRET_TYPE;

struct ROW_ENTRY {
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
constexpr ROW_ENTRY ROWS[MENU_ROWS] = {
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
  const ROW_ENTRY& E = ROWS[ROW];
  return {E.KIND, E.INT_FIELD, E.FLOAT_FIELD, E.REF_FIELD};
}

ROW_RULE RULE_OF_ROW(int32_t ROW) {
  const ROW_ENTRY& E = ROWS[ROW];
  return {E.DELTA, E.MIN, E.MAX, E.TO_CANNON, E.FROM_CANNON};
}

int32_t ROUND_HALF_EVEN_SATURATED(float V) {
  // FE_TONEAREST, the default rounding mode: halves go to the even neighbour.
  const double ROUNDED = std::nearbyint(static_cast<double>(V));
  // DEVIATION(menu-rounding-saturates): a value outside the 32-bit range (only a loaded
  // rotation switch can hold one) saturates and not-a-number gives 0 instead of an undefined
  // conversion; pinned by DesignerTest.TabNegatesTheSwitchWithoutOverflow.
  if (std::isnan(ROUNDED)) return 0;
  if (ROUNDED >= 2147483647.0) return INT32_MAX;
  if (ROUNDED <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(ROUNDED);
}

SET_FIELD SET_FIELD_OF_ROW(int32_t ROW) {
  using P = NBARRAGE::TURRET_PARAM_TYPE;
  constexpr SET_FIELD NONE{nullptr, nullptr};
  auto I = [](int32_t P::* FIELD) { return SET_FIELD{FIELD, nullptr}; };
  auto F = [](float P::* FIELD) { return SET_FIELD{nullptr, FIELD}; };
  const SET_FIELD FIELDS[MENU_ROWS] = {
      NONE,                      I(&P::TARGETING),         NONE,
      NONE,                      F(&P::X),                 F(&P::Y),
      F(&P::XV),                 F(&P::YV),                F(&P::TARGETX),
      F(&P::TARGETY),            I(&P::ACTIVE),            F(&P::RADIUS),
      I(&P::ROTATION),           I(&P::MINROTATION),       I(&P::MAXROTATION),
      I(&P::ROTSPEED),           I(&P::ROTDIR),            I(&P::SPAWNDELAY),
      I(&P::MAXSPAWNDELAY),      I(&P::MAXBULLET),         I(&P::BULLET_ENERGY),
      I(&P::BULLET_DEATH_ID),    I(&P::BULLETS_PER_SHOT),  I(&P::SPREAD_ROTATION),
      F(&P::BULLETSPEED),        F(&P::BULLETSPEED_DELTA), F(&P::BULLETOFFSET),
      I(&P::WAVEMODE),           I(&P::BULLETCOUNTER),     I(&P::BULLETWAVEMAX),
      I(&P::BULLETWAVEMAXDELAY), I(&P::BULLET_TYPE),       I(&P::BULLET_MIN_FRAME),
      I(&P::BULLET_NUM_FRAME),   I(&P::ROTATION_AI),
  };
  return FIELDS[ROW];
}

void LIMIT_LOADED_ROWS(float (&VALUES)[MENU_ROWS]) {
  // CHOICE: a barrage file may hold anything; rows 0 to 33 are clamped to their limits and
  // not-finite values become MIN, so counts above the 128 bullet slots, negative counts and
  // not-a-number never reach the cannon. Pinned by BarrageFileTest.ValuesAreLimitedToTheirRows.
  // DEVIATION(loaded-flags-stay-set): rows whose only values are -1 and 0 (targeting, active)
  // are switches: any value but 0, 1.0 included, switches on (-1) instead of being clamped to
  // 0, so a file that aims still aims.
  for (int32_t ROW = 0; ROW < SELECTABLE_ROWS; ++ROW) {
    float& V = VALUES[ROW];
    if (ROWS[ROW].MIN == -1.0f && ROWS[ROW].MAX == 0.0f) {
      V = V == 0.0f ? 0.0f : -1.0f;
    } else if (!std::isfinite(V)) {
      V = ROWS[ROW].MIN;
    } else if (V < ROWS[ROW].MIN) {
      V = ROWS[ROW].MIN;
    } else if (V > ROWS[ROW].MAX) {
      V = ROWS[ROW].MAX;
    }
  }
  // The rotation switch has no limits: any finite value stays (1.0 still selects the bouncing
  // rule); not-finite becomes 0. Pinned by BarrageFileTest.ValuesAreLimitedToTheirRows.
  if (!std::isfinite(VALUES[ROW_ROTATION_AI])) VALUES[ROW_ROTATION_AI] = 0.0f;
}

void ENCODE_BARRAGE(const float (&VALUES)[BARRAGE_VALUES], uint8_t (&BYTES)[BARRAGE_BYTES]) {
  for (int32_t K = 0; K < BARRAGE_VALUES; ++K) {
    const uint32_t BITS = std::bit_cast<uint32_t>(VALUES[K]);
    for (int32_t B = 0; B < 4; ++B) BYTES[4 * K + B] = static_cast<uint8_t>(BITS >> (8 * B));
  }
}

void DECODE_BARRAGE(const uint8_t* BYTES, std::size_t SIZE, float (&VALUES)[BARRAGE_VALUES]) {
  for (int32_t K = 0; K < BARRAGE_VALUES; ++K) {
    uint32_t BITS = 0;
    for (int32_t B = 0; B < 4; ++B) {
      const std::size_t AT = static_cast<std::size_t>(4 * K + B);
      if (AT < SIZE) BITS |= static_cast<uint32_t>(BYTES[AT]) << (8 * B);
    }
    VALUES[K] = std::bit_cast<float>(BITS);
  }
}

}  // namespace NDESIGNER
