// volleyedit programme: the list of sets, selection, insertion, removal, delays and playing
// (namespace NDESIGNER).
#include "volleyedit/programme.hpp"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <limits>
#include <utility>

#include <volley/volley.hpp>

#include "volleyedit/menu.hpp"

namespace NDESIGNER {

PROGRAMME_TYPE PROGRAMME;

namespace {

using NBARRAGE::TURRET_PARAM_TYPE;

int32_t LAST_SET() { return static_cast<int32_t>(PROGRAMME.SETS.size()) - 1; }

// The current set goes into the menu and onto cannon 0 as a loaded barrage file does.
void APPLY_CURRENT_SET() {
  SET_TO_MENU(PROGRAMME.SETS[PROGRAMME.CURRENT]);
  LIMIT_LOADED_VALUES();
  APPLY_LOADED_MENU();
}

// CHOICE: once shown, the programme stays shown (also when it is back to one set), so the
// statistics column and the trace keep their form for the rest of the run; pinned by
// VolleyeditProgramme.ScriptedSessionSavesAndPlaysTheProgrammeAsTheLibraryDoes.
void NOTE_SIZE() {
  if (PROGRAMME.SETS.size() > 1) PROGRAMME.SHOWN = true;
}

}  // namespace

void MENU_TO_SET(TURRET_PARAM_TYPE& SET) {
  for (int32_t ROW = 0; ROW < MENU_ROWS; ++ROW) {
    const SET_FIELD FIELD = SET_FIELD_OF_ROW(ROW);
    if (FIELD.INT_FIELD != nullptr) SET.*FIELD.INT_FIELD = ROUND_HALF_EVEN_SATURATED(MENU[ROW].VALUE);
    if (FIELD.FLOAT_FIELD != nullptr) SET.*FIELD.FLOAT_FIELD = MENU[ROW].VALUE;
  }
}

void SET_TO_MENU(const TURRET_PARAM_TYPE& SET) {
  for (int32_t ROW = 0; ROW < MENU_ROWS; ++ROW) {
    const SET_FIELD FIELD = SET_FIELD_OF_ROW(ROW);
    if (FIELD.INT_FIELD != nullptr) MENU[ROW].VALUE = static_cast<float>(SET.*FIELD.INT_FIELD);
    if (FIELD.FLOAT_FIELD != nullptr) MENU[ROW].VALUE = SET.*FIELD.FLOAT_FIELD;
  }
}

// CHOICE: the first set is made from the menu like every stored set, so its X and Y are the
// menu's rows 4 and 5 (0 after start-up), which the edited cannon never reads: they place the
// cannon while the programme plays.
void START_PROGRAMME() {
  PROGRAMME.SETS.assign(1, TURRET_PARAM_TYPE{});
  PROGRAMME.CURRENT = 0;
  PROGRAMME.PLAYING = false;
  PROGRAMME.SHOWN = false;
  PROGRAMME.HELD = NBARRAGE::TURRET_TYPE{};
  PROGRAMME.KEYS = PROGRAMME_KEYS_TYPE{};
  MENU_TO_SET(PROGRAMME.SETS[0]);
}

void STORE_CURRENT_SET() { MENU_TO_SET(PROGRAMME.SETS[PROGRAMME.CURRENT]); }

void SELECT_SET(int32_t INDEX) {
  // CHOICE: PageDown on the last set and PageUp on the first do nothing (no wrapping);
  // pinned by Golden/DesignerSession.MatchesItsGoldenDigest/programme_keys.
  INDEX = std::clamp(INDEX, 0, LAST_SET());
  if (INDEX == PROGRAMME.CURRENT) return;
  STORE_CURRENT_SET();
  PROGRAMME.CURRENT = INDEX;
  APPLY_CURRENT_SET();
}

void INSERT_SET() {
  STORE_CURRENT_SET();
  const TURRET_PARAM_TYPE COPY = PROGRAMME.SETS[PROGRAMME.CURRENT];
  PROGRAMME.SETS.insert(PROGRAMME.SETS.begin() + PROGRAMME.CURRENT + 1, COPY);
  PROGRAMME.CURRENT += 1;
  NOTE_SIZE();
}

void REMOVE_SET() {
  if (PROGRAMME.SETS.size() < 2) return;
  PROGRAMME.SETS.erase(PROGRAMME.SETS.begin() + PROGRAMME.CURRENT);
  PROGRAMME.CURRENT = std::min(PROGRAMME.CURRENT, LAST_SET());
  APPLY_CURRENT_SET();
}

void CHANGE_DELAY(int32_t FRAMES) {
  int32_t& DELAY = PROGRAMME.SETS[PROGRAMME.CURRENT].DELAY;
  const int64_t WANTED = static_cast<int64_t>(DELAY) + FRAMES;
  DELAY = static_cast<int32_t>(
      std::clamp<int64_t>(WANTED, 0, std::numeric_limits<int32_t>::max()));
}

void TOGGLE_PLAYING() {
  NBARRAGE::TURRET_TYPE& C = CANNON[0];
  if (PROGRAMME.PLAYING) {
    STOP_PLAYING();
    return;
  }
  STORE_CURRENT_SET();
  // The edited cannon's record owns its slots and list; it is put aside whole and comes back
  // as it was.
  PROGRAMME.HELD = C;
  C = NBARRAGE::TURRET_TYPE{};
  C.INIT = NBARRAGE::INIT;
  C.INIT(C);
  for (const TURRET_PARAM_TYPE& SET : PROGRAMME.SETS) {
    TURRET_PARAM_TYPE COPY = SET;
    TURRET_PARAM_TYPE* P_SET = &COPY;
    C.LIST_ADD(C, P_SET);
  }
  PROGRAMME.PLAYING = true;
  PROGRAMME.SHOWN = true;
}

void STOP_PLAYING() {
  if (!PROGRAMME.PLAYING) return;
  NBARRAGE::TURRET_TYPE& C = CANNON[0];
  C.DESTROY(C);
  C = PROGRAMME.HELD;
  PROGRAMME.HELD = NBARRAGE::TURRET_TYPE{};
  PROGRAMME.PLAYING = false;
}

bool SAVE_PROGRAMME(const std::string& FILENAME) {
  if (!PROGRAMME.PLAYING) STORE_CURRENT_SET();
  try {
    volley::save_programme(PROGRAMME.SETS, FILENAME);
  } catch (const std::exception& E) {
    std::fprintf(stderr, "volleyedit: %s\n", E.what());
    return false;
  }
  return true;
}

bool LOAD_PROGRAMME(const std::string& FILENAME) {
  volley::Programme LOADED;
  try {
    LOADED = volley::load_programme(FILENAME);
  } catch (const std::exception& E) {
    std::fprintf(stderr, "volleyedit: %s\n", E.what());
    return false;
  }
  if (LOADED.empty()) {
    std::fprintf(stderr, "volleyedit: %s: the programme has no set\n", FILENAME.c_str());
    return false;
  }
  PROGRAMME.SETS = std::move(LOADED);
  PROGRAMME.CURRENT = 0;
  APPLY_CURRENT_SET();
  NOTE_SIZE();
  return true;
}

bool HELD_BACK_WHILE_PLAYING(KEY K) {
  // CHOICE: while the programme plays, the keys that would change the menu, the cannon or the
  // programme read as released, so the played cannon stays exactly the timed list's; pinned by
  // ProgrammeEdits.PlayingPutsTheEditedCannonAsideAndBringsItBackUnchanged.
  switch (K) {
    case KEY::RIGHT: case KEY::LEFT: case KEY::TAB: case KEY::F3: case KEY::F2: case KEY::F4:
    case KEY::PAGEUP: case KEY::PAGEDOWN: case KEY::INSERT: case KEY::DELETE: case KEY::HOME:
    case KEY::END: case KEY::F7:
      return PROGRAMME.PLAYING;
    default:
      return false;
  }
}

void PROGRAMME_KEYS(KEY_READER READ) {
  // DEVIATION(programme-editing): the programme keys, unused by the designer's key map, edit
  // and play a timed list of sets; until one of them is pressed nothing changes.
  PROGRAMME_KEYS_TYPE& K = PROGRAMME.KEYS;
  if (STEP_PRESS(K.NEXT, READ(KEY::PAGEDOWN))) SELECT_SET(PROGRAMME.CURRENT + 1);
  if (STEP_PRESS(K.PREVIOUS, READ(KEY::PAGEUP))) SELECT_SET(PROGRAMME.CURRENT - 1);
  if (STEP_PRESS(K.INSERT, READ(KEY::INSERT))) INSERT_SET();
  if (STEP_PRESS(K.REMOVE, READ(KEY::DELETE))) REMOVE_SET();
  if (STEP_REPEAT(K.LONGER, READ(KEY::END))) CHANGE_DELAY(DELAY_STEP);
  if (STEP_REPEAT(K.SHORTER, READ(KEY::HOME))) CHANGE_DELAY(-DELAY_STEP);
  if (STEP_PRESS(K.PLAY, READ(KEY::F5))) TOGGLE_PLAYING();
  if (STEP_PRESS(K.SAVE, READ(KEY::F6))) SAVE_PROGRAMME(PROGRAMME_SAVE_FILENAME);
  if (STEP_PRESS(K.LOAD, READ(KEY::F7))) LOAD_PROGRAMME(PROGRAMME_LOAD_FILENAME);
}

}  // namespace NDESIGNER
