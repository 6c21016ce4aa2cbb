// barrage cannon drawing: one cannon and its live bullets onto an 8-bit page, as the designer
// shows its cannon (namespace NDESIGNER). Shared by the designer and the pattern tool.
#pragma once

#include <cstdint>

#include "engine/turret_module.hpp"
#include "image/pixbank_image.hpp"

namespace NDESIGNER {

/// Palette index of the cannon circle.
inline constexpr uint8_t CANNON_COLOUR = 15;

/// The circle of radius |RADIUS| in colour 15 around the cannon, and the sprite frame
/// FRAME + MINFRAME of every live bullet slot below MAXBULLET, top-left corner at the bullet,
/// colour 0 transparent. Frames outside the sheet are not drawn.
void DRAW_CANNON(void* VPAGE, const NBARRAGE::TURRET_TYPE& CANNON, const IMAGETYPE& SHEET);

}  // namespace NDESIGNER
