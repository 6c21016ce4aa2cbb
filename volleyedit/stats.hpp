// volleyedit statistics text: one line per field of the edited cannon, and the designer's own
// column on the right (namespace NDESIGNER). Drawing is DRAW_STATS (volleyedit/draw.hpp).
#pragma once

#include <cstdint>
#include <string>

#include "engine/turret_module.hpp"

namespace NDESIGNER {

inline constexpr int32_t STAT_LINES = 34;   ///< left column, one per turret field
inline constexpr int32_t RIGHT_LINES = 3;   ///< right column

/// Text of left-column line LINE: the label followed by the field of CANNON in the line's
/// format (integer, reference or float; see number_format.hpp).
std::string STAT_TEXT(const NBARRAGE::TURRET_TYPE& CANNON, int32_t LINE);

/// Text of right-column line LINE (0 to 2): "Cannon number = " with the selected row,
/// "rotation AI = " with the rotation switch, "start rotation = " with the menu's start
/// rotation as a float.
std::string RIGHT_TEXT(int32_t LINE, int32_t ACTIVEINDEX, int32_t ROTATION_AI,
                       float START_ROTATION);

/// The programme's lines below the right column, shown once the programme has had more than
/// one set or has been played.
inline constexpr int32_t PROGRAMME_LINES = 3;

/// Text of programme line LINE (0 to 2): "set K of N" (K counted from 1), "delay D" with the
/// current set's DELAY, and "playing" or "editing".
std::string PROGRAMME_TEXT(int32_t LINE, int32_t SET, int32_t SETS, int32_t DELAY, bool PLAYING);

}  // namespace NDESIGNER
