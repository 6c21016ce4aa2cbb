// barrage cannon drawing: the cannon circle and its bullet sprites (namespace NDESIGNER).
#include "barrage/cannon_draw.hpp"

#include <cmath>

#include "draw2d/draw2d.hpp"

namespace NDESIGNER {

void DRAW_CANNON(void* VPAGE, const NBARRAGE::TURRET_TYPE& C, const IMAGETYPE& SHEET) {
  draw2d::circle(VPAGE, C.X, C.Y, std::fabs(C.RADIUS), CANNON_COLOUR);
  const int32_t SLOTS = NBARRAGE::SLOT_COUNT(C);  // never past the array, whatever MAXBULLET says
  for (int32_t J = 0; J < SLOTS; ++J) {
    const NBARRAGE::BULLET_TYPE& B = C.P_BULLETS[J];
    if (B.ACTIVE == 0) continue;
    // CHOICE: a frame number outside the bullet sheet (CURRENT_MIN_FRAME goes up to 999) draws
    // nothing; pinned by DesignerRun.KeepsItsBlocksOverALongSessionAndSkipsFramesOutsideTheSheet.
    const uint8_t* FRAME =
        IMAGE_FRAME(SHEET, static_cast<int64_t>(B.FRAME) + static_cast<int64_t>(B.MINFRAME));
    if (FRAME != nullptr) draw2d::blit(VPAGE, B.X, B.Y, FRAME, draw2d::Blit::TRANSPARENT);
  }
}

}  // namespace NDESIGNER
