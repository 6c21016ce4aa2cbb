// volleyedit designer state: the two cannons, the selected row and the rotation switch, and the
// parts of the frame loop that need only the engine and the menu (namespace NDESIGNER).
#pragma once

#include <cstdint>

#include "engine/turret_module.hpp"
#include "volleyedit/keys.hpp"

namespace NDESIGNER {

inline constexpr int32_t CANNON_COUNT = 2;
/// Module name under which the designer's own blocks are tracked.
inline constexpr const char* MODULE_NAME = "volleyedit";

/// The two cannons, one tracked block. CANNON[0] is edited and shown; CANNON[1] is created,
/// given its set and switched off.
extern NBARRAGE::TURRET_TYPE* CANNON;
/// The selected menu row, 0 to 33.
extern int32_t ACTIVEINDEX;
/// The rotation switch: starts at -1, Tab negates it, a load sets it; mirrored in MENU[34].
extern int32_t ROTATION_AI;
/// Nonzero when the display opened an OpenGL window: keys then come from GLFW.
extern int32_t DISPLAY_TYPE;

/// The three start-up answers turned into the display's arguments.
struct SCREEN_SETTINGS_TYPE {
  int32_t SCREEN_MODE;
  int32_t BITS_PER_PIXEL;
  int32_t FULL_SCREEN;
};

/// Value of one console answer: a digit gives its value, any other key (and end of input,
/// passed as -1) gives 0.
int32_t ANSWER_VALUE(int KEY);

/// Mode table: answers 1-5 select modes 1-5, 6 selects mode 0, anything else mode 1; modes 4
/// and 5 use 16 bits when the third answer is 1 and 32 otherwise, all others 8; the second
/// answer 1 asks for full screen.
SCREEN_SETTINGS_TYPE SCREEN_SETTINGS(int32_t CHOICE, int32_t FCHOICE, int32_t BCHOICE);

/// The first parameter set (cannon 0): at (280, 100), radius 10, rotation 135 turning by 8,
/// four bullets 25 degrees apart at speed 4, frame 26 with direction frames.
void FIRST_PARAMETERS(NBARRAGE::TURRET_PARAM_TYPE& PARAMETERS);

/// Start-up from the cannons on: resets ACTIVEINDEX, ROTATION_AI (-1) and DISPLAY_TYPE, takes
/// the cannon block, initialises both cannons, adds the first set to cannon 0 and the second
/// (PARAMETERS changed to rotation 225, direction -1, frames 4..11, no direction frames) to
/// cannon 1, switches cannon 1 off, fills the menu, steps cannon 0 once and copies it into the
/// menu. PARAMETERS is scratch and holds the second set afterwards.
void CREATE_CANNONS(NBARRAGE::TURRET_PARAM_TYPE& PARAMETERS);

/// DESTROY on both cannons, then the block is released ("cannon").
void DESTROY_CANNONS();

/// The key states of the frame loop.
struct EDIT_KEYS_TYPE {
  REPEAT_KEY UP, DOWN, RIGHT, LEFT;
  PRESS_KEY TAB, ROUND, SAVE, LOAD, CHOOSE;
};

/// All key states 0, then the four READY counters 4.
void RESET_KEYS(EDIT_KEYS_TYPE& KEYS);

/// Reads the state of a key (nonzero while held).
using KEY_READER = int32_t (*)(KEY K);

/// The frame loop's keys: Up and Down move the selection (wrapping over rows 0 to 33), Right
/// and Left edit the selected row and apply the menu to cannon 0, Tab negates the rotation
/// switch and applies it, F3 rounds the selected value down and applies the menu.
void MENU_KEYS(EDIT_KEYS_TYPE& KEYS, KEY_READER READ);

/// After a load: ROTATION_AI takes MENU[34] rounded half to even, CHANGE_ROTATION_AI applies it
/// to cannon 0, and MENU_TO_CANNON writes the menu into cannon 0.
void APPLY_LOADED_MENU();

}  // namespace NDESIGNER
