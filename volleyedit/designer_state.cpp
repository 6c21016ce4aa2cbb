// volleyedit designer state: cannons, selection, rotation switch and the menu keys
// (namespace NDESIGNER).
#include "volleyedit/designer_state.hpp"

#include "draw2d/draw2d.hpp"
#include "leakscope/leakscope.hpp"
#include "volleyedit/menu.hpp"

namespace NDESIGNER {

NBARRAGE::TURRET_TYPE* CANNON = nullptr;
int32_t ACTIVEINDEX = 0;
int32_t ROTATION_AI = -1;
int32_t DISPLAY_TYPE = 0;

int32_t ANSWER_VALUE(int KEY) { return (KEY >= '0' && KEY <= '9') ? KEY - '0' : 0; }

SCREEN_SETTINGS_TYPE SCREEN_SETTINGS(int32_t CHOICE, int32_t FCHOICE, int32_t BCHOICE) {
  const int32_t FULL_SCREEN_SWITCH = FCHOICE == 1 ? 1 : 0;
  const int32_t BPP = BCHOICE == 1 ? 16 : 32;
  switch (CHOICE) {
    case 1: return {1, 8, FULL_SCREEN_SWITCH};
    case 2: return {2, 8, FULL_SCREEN_SWITCH};
    case 3: return {3, 8, FULL_SCREEN_SWITCH};
    case 4: return {4, BPP, FULL_SCREEN_SWITCH};
    case 5: return {5, BPP, FULL_SCREEN_SWITCH};
    case 6: return {0, 8, FULL_SCREEN_SWITCH};
    default: return {1, 8, FULL_SCREEN_SWITCH};
  }
}

void FIRST_PARAMETERS(NBARRAGE::TURRET_PARAM_TYPE& P) {
  P = NBARRAGE::TURRET_PARAM_TYPE{};
  P.DELAY = 0;
  P.TARGETING = 0;
  P.X = 280.0f;
  P.Y = 100.0f;
  P.ACTIVE = -1;
  P.RADIUS = 10.0f;
  P.ROTATION = 135;
  P.MINROTATION = 0;
  P.MAXROTATION = 359;
  P.ROTSPEED = 8;
  P.ROTDIR = 1;
  P.SPAWNDELAY = 0;
  P.MAXSPAWNDELAY = 4;
  P.MAXBULLET = 128;
  P.BULLETS_PER_SHOT = 4;
  P.SPREAD_ROTATION = 25;
  P.BULLETSPEED = 4.0f;
  P.BULLETOFFSET = 1.3f;
  P.WAVEMODE = 0;
  P.BULLETCOUNTER = 0;
  P.BULLETWAVEMAX = 0;
  P.BULLETWAVEMAXDELAY = 3;
  P.BULLET_TYPE = 1;
  P.ROTATION_AI = 0;
  P.BULLET_MODE_AI = 0;
  P.BULLET_MIN_FRAME = 26;
  P.BULLET_NUM_FRAME = 1;
}

void CREATE_CANNONS(NBARRAGE::TURRET_PARAM_TYPE& PARAMETERS) {
  ACTIVEINDEX = 0;
  ROTATION_AI = -1;
  DISPLAY_TYPE = 0;

  // Two zero-filled cannons in one block, each made ready through its INIT slot.
  CANNON = static_cast<NBARRAGE::TURRET_TYPE*>(LEAKSCOPE_CALLOCATE(
      CANNON_COUNT * sizeof(NBARRAGE::TURRET_TYPE), MODULE_NAME, __LINE__));
  if (CANNON == nullptr) {
    // CHOICE: without the cannon block the designer cannot run; it stops as the other fatal
    // start-up failures do: one console line, a key (not in headless runs), exit code 0.
    draw2d::fatal("error allocating memory for the cannons");
  }
  for (int32_t I = 0; I < CANNON_COUNT; ++I) {
    CANNON[I].INIT = NBARRAGE::INIT;
    CANNON[I].INIT(CANNON[I]);
  }

  // The first set, for cannon 0.
  FIRST_PARAMETERS(PARAMETERS);
  NBARRAGE::TURRET_PARAM_TYPE* P = &PARAMETERS;
  CANNON[0].LIST_ADD(CANNON[0], P);

  // The second set, for cannon 1, which is then switched off.
  PARAMETERS.ROTATION = 225;
  PARAMETERS.ROTDIR = -1;
  PARAMETERS.BULLET_MIN_FRAME = 4;
  PARAMETERS.BULLET_NUM_FRAME = 8;
  PARAMETERS.BULLET_TYPE = 0;
  CANNON[1].LIST_ADD(CANNON[1], P);
  CANNON[1].ACTIVE = 0;

  // The menu: the start rotation is the rotation of the set built last (225).
  INIT_MENU(static_cast<float>(PARAMETERS.ROTATION), ROTATION_AI);
  ACTIVEINDEX = 0;
  CANNON[0].SHOOT(CANNON[0], CANNON[0].LIST_MANAGE(CANNON[0], 0, 0));
  CANNON_TO_MENU(CANNON[0], ACTIVEINDEX);
}

void DESTROY_CANNONS() {
  if (CANNON == nullptr) return;
  for (int32_t I = 0; I < CANNON_COUNT; ++I)
    if (CANNON[I].DESTROY != nullptr) CANNON[I].DESTROY(CANNON[I]);
  LEAKSCOPE_DEALLOCATE(CANNON, MODULE_NAME, __LINE__, "cannon");
  CANNON = nullptr;
}

void RESET_KEYS(EDIT_KEYS_TYPE& KEYS) {
  KEYS = EDIT_KEYS_TYPE{};
  KEYS.UP.READY = REPEAT_READY_START;
  KEYS.DOWN.READY = REPEAT_READY_START;
  KEYS.RIGHT.READY = REPEAT_READY_START;
  KEYS.LEFT.READY = REPEAT_READY_START;
}

void MENU_KEYS(EDIT_KEYS_TYPE& KEYS, KEY_READER READ) {
  NBARRAGE::TURRET_TYPE& C = CANNON[0];
  // The selection wraps over the 34 selectable rows.
  if (STEP_REPEAT(KEYS.UP, READ(KEY::UP)))
    ACTIVEINDEX = (ACTIVEINDEX + SELECTABLE_ROWS - 1) % SELECTABLE_ROWS;
  if (STEP_REPEAT(KEYS.DOWN, READ(KEY::DOWN))) ACTIVEINDEX = (ACTIVEINDEX + 1) % SELECTABLE_ROWS;
  // Edit, then the whole menu goes to the cannon.
  if (STEP_REPEAT(KEYS.RIGHT, READ(KEY::RIGHT))) {
    EDIT_FIELD(C, 1, ACTIVEINDEX);
    MENU_TO_CANNON(C, ACTIVEINDEX);
  }
  if (STEP_REPEAT(KEYS.LEFT, READ(KEY::LEFT))) {
    EDIT_FIELD(C, -1, ACTIVEINDEX);
    MENU_TO_CANNON(C, ACTIVEINDEX);
  }
  // Tab: from -1 the switch alternates between -1 and 1; a loaded 0 stays 0.
  if (STEP_PRESS(KEYS.TAB, READ(KEY::TAB))) {
    // DEVIATION(switch-negation-wraps): negation wraps like two's complement, so a loaded switch
    // saturated to the lowest 32-bit value stays there instead of overflowing; pinned by
    // DesignerTest.TabNegatesTheSwitchWithoutOverflow.
    ROTATION_AI = static_cast<int32_t>(0u - static_cast<uint32_t>(ROTATION_AI));
    MENU[ROW_ROTATION_AI].VALUE = static_cast<float>(ROTATION_AI);
    NBARRAGE::CHANGE_ROTATION_AI(C, ROTATION_AI);
  }
  // F3: round down, unclamped.
  if (STEP_PRESS(KEYS.ROUND, READ(KEY::F3))) {
    ROUND_DOWN_FIELD(ACTIVEINDEX);
    MENU_TO_CANNON(C, ACTIVEINDEX);
  }
}

void APPLY_LOADED_MENU() {
  ROTATION_AI = ROUND_HALF_EVEN_SATURATED(MENU[ROW_ROTATION_AI].VALUE);
  NBARRAGE::CHANGE_ROTATION_AI(CANNON[0], ROTATION_AI);
  MENU_TO_CANNON(CANNON[0], ACTIVEINDEX);
}

}  // namespace NDESIGNER
