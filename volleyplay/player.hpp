// volleyplay: the pattern player's start-up, frame and clean-up steps.
// Two pairs of cannons ride up and down the right-hand side of a 320 x 240 screen and play two
// fixed programmes built from the catalogue until a key is pressed. main() strings these steps
// together; tests drive them frame by frame on the memory screen.
#pragma once

#include <cstdint>

#include "engine/turret_module.hpp"
#include "image/pixbank_image.hpp"

/// Everything the player owns for the whole run.
struct PLAYER_TYPE {
  NBARRAGE::TURRET_TYPE* CANNON = nullptr;   ///< first pair: two records in one tracked block
  NBARRAGE::TURRET_TYPE* CANNONS = nullptr;  ///< second pair
  IMAGETYPE IMAGE{};                         ///< the bullet sprite sheet
  NBARRAGE::COORD_TYPE POSITION{};           ///< moving anchor of CANNON
  NBARRAGE::COORD_TYPE POSITION2{};          ///< fixed anchor (280, 100) CANNON switches to
  NBARRAGE::COORD_TYPE POSITION3{};          ///< moving anchor of CANNONS
};

/// Allocates and initialises both pairs and builds their programmes.
void PLAYER_CREATE_CANNONS(PLAYER_TYPE& P);
/// Console, screen (two pages), "bullet.put", "qz.pal", anchors, pages.
void PLAYER_OPEN(PLAYER_TYPE& P);

/// Moves the anchors, clears the work page, steps and draws every cannon
/// whose ACTIVE is exactly -1 with its bullets.
void PLAYER_STEP(PLAYER_TYPE& P);
/// Waits for the retrace and copies the work page to the visible page.
void PLAYER_PRESENT();
/// A 1 ms delay, then true when a key was waiting.
bool PLAYER_KEY_PRESSED();

/// The player's key read with the capture keys on: the 1 ms delay, then every waiting key is
/// taken; F12 and F11 set their flag once per press (a held key's repeats count for nothing),
/// any other key ends the run (true).
bool PLAYER_KEY_PRESSED_OR_CAPTURE(bool& F12, bool& F11);

/// Destroys the cannons, releases both blocks and the sprite sheet.
/// The caller then ends the program (draw2d::end), which closes the screen.
void PLAYER_CLEAN_UP(PLAYER_TYPE& P);
