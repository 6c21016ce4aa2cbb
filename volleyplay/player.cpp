// volleyplay: the pattern player's start-up, frame and clean-up steps.
#include "volleyplay/player.hpp"

#include <cmath>
#include <string>

#include "draw2d/draw2d.hpp"
#include "image/asset_path.hpp"
#include "leakscope/leakscope.hpp"
#include "volleyplay/barrage_catalogue.hpp"

namespace {

using NBARRAGE::TURRET_TYPE;

constexpr const char* MODULE = "volleyplay";
constexpr int SCREEN_W = 320, SCREEN_H = 240;
constexpr float ANCHOR_X = 280.0f;  // both anchors ride up and down this column
constexpr uint8_t CANNON_COLOUR = 15;  // the cannon circles: white in qz.pal

/// A zero-filled block of two turret records, each initialised through its INIT slot.
TURRET_TYPE* NEW_PAIR(int32_t LINE) {
  auto* PAIR =
      static_cast<TURRET_TYPE*>(LEAKSCOPE_CALLOCATE(2 * sizeof(TURRET_TYPE), MODULE, LINE));
  // CHOICE: without its cannon blocks the player cannot run; it stops as the designer does:
  // one console line, a key (not in headless runs), exit code 0.
  if (PAIR == nullptr) draw2d::fatal("error allocating memory for the cannons");
  for (int I = 0; I < 2; ++I) {
    PAIR[I].INIT = NBARRAGE::INIT;
    PAIR[I].INIT(PAIR[I]);
  }
  return PAIR;
}

/// One cannon's part of a frame: list, shot, circle and bullets.
void STEP_AND_DRAW(TURRET_TYPE& T, const IMAGETYPE& IMAGE) {
  T.SHOOT(T, T.LIST_MANAGE(T, 0, 0));
  draw2d::circle(nullptr, T.X, T.Y, T.RADIUS, CANNON_COLOUR);
  const int32_t SLOTS = NBARRAGE::SLOT_COUNT(T);  // never past the array, whatever MAXBULLET says
  for (int32_t J = 0; J < SLOTS; ++J) {
    const NBARRAGE::BULLET_TYPE& B = T.P_BULLETS[J];
    if (B.ACTIVE == 0) continue;
    // CHOICE: a frame number outside the sheet draws nothing (pinned by PlayerLoop.
    // BulletsAreDrawnByTheirTopLeftCornerAndOutOfSheetFramesDrawNothing); the sprite's
    // top-left corner sits at the bullet's X, Y.
    const uint8_t* FRAME = IMAGE_FRAME(IMAGE, int64_t{B.FRAME} + int64_t{B.MINFRAME});
    if (FRAME != nullptr) draw2d::blit(nullptr, B.X, B.Y, FRAME, draw2d::Blit::TRANSPARENT);
  }
}

/// Destroys both turrets of a pair and returns its block (LABEL names it in the tracker).
void DESTROY_PAIR(TURRET_TYPE*& PAIR, const char* LABEL, int32_t LINE) {
  if (PAIR == nullptr) return;
  PAIR[0].DESTROY(PAIR[0]);
  PAIR[1].DESTROY(PAIR[1]);
  LEAKSCOPE_DEALLOCATE(PAIR, MODULE, LINE, LABEL);
  PAIR = nullptr;
}

}  // namespace

void PLAYER_CREATE_CANNONS(PLAYER_TYPE& P) {
  // Two blocks of two turrets.
  P.CANNON = NEW_PAIR(__LINE__);
  P.CANNONS = NEW_PAIR(__LINE__);

  // The two programmes, 31 sets per cannon each.
  TURRET_TYPE*& C = P.CANNON;
  BARRAGE_0(C, 0);
  BARRAGE_16(C, 10);
  BARRAGE_15(C, 410);
  BARRAGE_14(C, 400);
  BARRAGE_10(C, 400);
  BARRAGE_11(C, 400);
  BARRAGE_12(C, 400);
  BARRAGE_13(C, 400);
  BARRAGE_9(C, 400);
  BARRAGE_8(C, 400);
  BARRAGE_1(C, 10);
  BARRAGE_2(C, 400);
  BARRAGE_3(C, 400);
  BARRAGE_4(C, 400);
  BARRAGE_5(C, 400);
  BARRAGE_6(C, 400);
  BARRAGE_7(C, 400);

  TURRET_TYPE*& S = P.CANNONS;
  BARRAGE_0(S, 0);
  BARRAGE_1(S, 10);
  BARRAGE_5(S, 410);
  BARRAGE_4(S, 400);
  BARRAGE_8(S, 400);
  BARRAGE_7(S, 400);
  BARRAGE_6(S, 400);
  BARRAGE_2(S, 400);
  BARRAGE_3(S, 400);
  BARRAGE_6(S, 400);
  BARRAGE_9(S, 10);
  BARRAGE_10(S, 400);
  BARRAGE_11(S, 400);
  BARRAGE_12(S, 400);
  BARRAGE_13(S, 400);
  BARRAGE_14(S, 400);
  BARRAGE_15(S, 400);
}

void PLAYER_OPEN(PLAYER_TYPE& P) {
  // Console, then a 320 x 240 x 8 screen with two pages.
  draw2d::console_clear();
  // CHOICE: a screen that cannot open stops the player as it stops the designer: one console
  // line, a key (not in headless runs), exit code 0.
  if (!draw2d::open_screen(SCREEN_W, SCREEN_H, 8, 2, draw2d::SCREEN_DEFAULT)) {
    draw2d::fatal("Failed to open the screen!");
  }

  // Sprite sheet and palette.
  P.IMAGE = IMAGETYPE{};
  P.IMAGE.INIT = IMAGE_INIT;
  P.IMAGE.INIT(P.IMAGE);
  P.IMAGE.M_FILENAME = assets::locate_or_stop("bullet.put");
  P.IMAGE.LOAD(P.IMAGE);
  INIT_PALETTE_DATA(assets::locate_or_stop("qz.pal"));

  // Anchors; from now on each cannon copies its anchor whenever it is stepped.
  P.POSITION = NBARRAGE::COORD_TYPE{0.0f, 0.0f};
  P.POSITION2 = NBARRAGE::COORD_TYPE{0.0f, 0.0f};
  P.POSITION3 = NBARRAGE::COORD_TYPE{0.0f, 0.0f};
  P.CANNON[0].SET_POSITION(P.CANNON[0], &P.POSITION);
  P.CANNON[1].SET_POSITION(P.CANNON[1], &P.POSITION);
  P.CANNONS[0].SET_POSITION(P.CANNONS[0], &P.POSITION3);
  P.CANNONS[1].SET_POSITION(P.CANNONS[1], &P.POSITION3);

  // Draw on page 1, show page 0.
  draw2d::set_pages(1, 0);
}

void PLAYER_STEP(PLAYER_TYPE& P) {
  // The anchors sweep y = 20 to 220 at x = 280, at different rates and in opposite senses;
  // the clock is read once per anchor
  P.POSITION.X = ANCHOR_X;
  P.POSITION.Y = static_cast<float>(120.0 + 100.0 * std::sin(1.2 * draw2d::timer()));
  P.POSITION3.X = ANCHOR_X;
  P.POSITION3.Y = static_cast<float>(120.0 - 100.0 * std::sin(1.0 * draw2d::timer()));

  // Clear the work page.
  draw2d::box(nullptr, 0.0f, 0.0f, SCREEN_W - 1, SCREEN_H - 1, 0);

  // The first pair; only a cannon holding exactly -1 is stepped and drawn.
  for (int I = 0; I < 2; ++I) {
    TURRET_TYPE& T = P.CANNON[I];
    if (T.ACTIVE != -1) continue;
    // The test precedes LIST_MANAGE, so it first holds on the frame after the seventh set was
    // applied; the binding is never undone.
    if (T.LISTINDEX == 7) {
      P.POSITION2 = NBARRAGE::COORD_TYPE{ANCHOR_X, 100.0f};
      T.SET_POSITION(T, &P.POSITION2);
    }
    STEP_AND_DRAW(T, P.IMAGE);
  }

  // The second pair, without the anchor switch.
  for (int I = 0; I < 2; ++I) {
    TURRET_TYPE& T = P.CANNONS[I];
    if (T.ACTIVE != -1) continue;
    STEP_AND_DRAW(T, P.IMAGE);
  }
}

void PLAYER_PRESENT() {
  draw2d::wait_retrace();
  draw2d::copy_page();
}

bool PLAYER_KEY_PRESSED() {
  draw2d::sleep_ms(1, false);  // a key press does not cut this delay short
  return !draw2d::inkey().empty();
}

bool PLAYER_KEY_PRESSED_OR_CAPTURE(bool& F12, bool& F11) {
  draw2d::sleep_ms(1, false);
  // A function key arrives as a NUL followed by its scan code.
  const std::string F12_TEXT{'\0', static_cast<char>(draw2d::KEY_F12)};
  const std::string F11_TEXT{'\0', static_cast<char>(draw2d::KEY_F11)};
  bool F12_WAITING = false, F11_WAITING = false;
  for (std::string K = draw2d::inkey(); !K.empty(); K = draw2d::inkey()) {
    if (K == F12_TEXT) {
      F12_WAITING = true;
    } else if (K == F11_TEXT) {
      F11_WAITING = true;
    } else {
      return true;
    }
  }
  // One capture per press: a key that was already down at the last look is held, and the
  // repeats it puts into the key buffer make no further file.
  static bool F12_HELD = false, F11_HELD = false;
  const bool F12_DOWN = draw2d::key_state(draw2d::KEY_F12) != 0;
  const bool F11_DOWN = draw2d::key_state(draw2d::KEY_F11) != 0;
  F12 = (F12_WAITING || F12_DOWN) && !F12_HELD;
  F11 = (F11_WAITING || F11_DOWN) && !F11_HELD;
  F12_HELD = F12_DOWN;
  F11_HELD = F11_DOWN;
  return false;
}

void PLAYER_CLEAN_UP(PLAYER_TYPE& P) {
  DESTROY_PAIR(P.CANNON, "cannon", __LINE__);
  DESTROY_PAIR(P.CANNONS, "cannons", __LINE__);
  P.IMAGE.DESTROY(P.IMAGE);
}
