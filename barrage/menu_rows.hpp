// barrage menu rows: the designer's 35-row table (what each row stands for in a turret, its
// step and limits), the limits applied to loaded values, and the 140-byte barrage-file codec
// (namespace NDESIGNER). Shared by the designer and the pattern library; engine only.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/turret_module.hpp"

namespace NDESIGNER {

inline constexpr int32_t MENU_ROWS = 35;        ///< rows 0 to 34
inline constexpr int32_t SELECTABLE_ROWS = 34;  ///< rows 0 to 33 can be selected
inline constexpr int32_t ROW_ROTATION = 12;     ///< the start rotation
inline constexpr int32_t ROW_ROTATION_AI = 34;  ///< the rotation switch

/// What a row stands for in the cannon: an integer field, a float field, one of the two
/// references (rows 2 and 3), or nothing (the rotation switch, row 34). The statistics column
/// reads the cannon's fields through this same map.
enum class ROW_KIND { INTEGER, FLOAT, REFERENCE, SWITCH };
struct ROW_FIELD {
  ROW_KIND KIND;
  int32_t NBARRAGE::TURRET_TYPE::* INT_FIELD;                 ///< integer rows, else null
  float NBARRAGE::TURRET_TYPE::* FLOAT_FIELD;                 ///< float rows, else null
  NBARRAGE::COORD_TYPE* NBARRAGE::TURRET_TYPE::* REF_FIELD;   ///< reference rows, else null
};
ROW_FIELD FIELD_OF_ROW(int32_t ROW);

/// A row's step, limits and whether the menu copies it to and from the cannon.
struct ROW_RULE {
  float DELTA;
  float MIN;
  float MAX;
  bool TO_CANNON;
  bool FROM_CANNON;
};
ROW_RULE RULE_OF_ROW(int32_t ROW);

/// Nearest integer with halves to the even neighbour (2.5 -> 2, 3.5 -> 4, -0.5 -> 0).
/// Values beyond the 32-bit range saturate and not-a-number gives 0, so no input is undefined.
int32_t ROUND_HALF_EVEN(float V);

/// Limits the 35 values of a barrage file as the designer limits a loaded file: rows 0 to 33
/// are clamped to their limits, with not-finite values becoming the row's MIN; row 34 keeps
/// its value unless it is not finite, which becomes 0.
void LIMIT_LOADED_ROWS(float (&VALUES)[MENU_ROWS]);

/// The field of a timed set that row ROW stands for: an integer or a float field, both null
/// for rows 0, 2 and 3 (the list index and the two bindings), which a set has no place for.
/// Rows 32 and 33 stand for BULLET_MIN_FRAME and BULLET_NUM_FRAME, row 34 for ROTATION_AI.
struct SET_FIELD {
  int32_t NBARRAGE::TURRET_PARAM_TYPE::* INT_FIELD;
  float NBARRAGE::TURRET_PARAM_TYPE::* FLOAT_FIELD;
};
SET_FIELD SET_FIELD_OF_ROW(int32_t ROW);

inline constexpr int32_t BARRAGE_VALUES = MENU_ROWS;
inline constexpr std::size_t BARRAGE_BYTES = 140;

/// Writes the 35 values as little-endian IEEE 754 singles, value k at byte 4 x k.
void ENCODE_BARRAGE(const float (&VALUES)[BARRAGE_VALUES], uint8_t (&BYTES)[BARRAGE_BYTES]);

/// Reads up to 140 bytes of a file's contents: bytes beyond SIZE read as 0, so a cut-off value
/// keeps the bytes that are there with zeros above them and later values are 0.0.
void DECODE_BARRAGE(const uint8_t* BYTES, std::size_t SIZE, float (&VALUES)[BARRAGE_VALUES]);

}  // namespace NDESIGNER
