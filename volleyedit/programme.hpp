// volleyedit programme: the designer edits a timed list of sets, one of them in the menu, and
// plays the whole list on cannon 0 (namespace NDESIGNER). None of this acts until one of the
// programme keys (PageUp, PageDown, Insert, Delete, Home, End, F5, F6, F7) is pressed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/turret_module.hpp"
#include "volleyedit/designer_state.hpp"
#include "volleyedit/keys.hpp"

namespace NDESIGNER {

inline constexpr const char* PROGRAMME_SAVE_FILENAME = "barrage.json";
inline constexpr const char* PROGRAMME_LOAD_FILENAME = "barrage2.json";
/// Home and End change the current set's DELAY by this many frames.
inline constexpr int32_t DELAY_STEP = 10;

/// The key states of the programme keys: End and Home repeat while held, the others act once
/// per press.
struct PROGRAMME_KEYS_TYPE {
  PRESS_KEY NEXT, PREVIOUS, INSERT, REMOVE, PLAY, SAVE, LOAD;
  REPEAT_KEY LONGER, SHORTER;
};

/// The designer's programme.
struct PROGRAMME_TYPE {
  std::vector<NBARRAGE::TURRET_PARAM_TYPE> SETS;  ///< one or more sets, in playing order
  int32_t CURRENT = 0;   ///< index of the set the menu shows
  bool PLAYING = false;  ///< cannon 0 plays the whole programme (F5)
  /// Latched once the programme has had more than one set or F5 was pressed: from then on the
  /// statistics column and the trace show the programme.
  bool SHOWN = false;
  /// The edited cannon 0, kept aside as it was while the programme plays.
  NBARRAGE::TURRET_TYPE HELD{};
  PROGRAMME_KEYS_TYPE KEYS{};
};
extern PROGRAMME_TYPE PROGRAMME;

/// Menu values into a set, each row into the field SET_FIELD_OF_ROW names, integers rounded
/// half to even. DELAY and BULLET_MODE_AI, which the menu has no row for, stay as SET holds
/// them; rows 0, 2 and 3 have no place in a set.
void MENU_TO_SET(NBARRAGE::TURRET_PARAM_TYPE& SET);
/// A set's values into the menu rows MENU_TO_SET reads (rows 0, 2 and 3 stay as they are).
void SET_TO_MENU(const NBARRAGE::TURRET_PARAM_TYPE& SET);

/// A programme of one set made from the menu (DELAY 0), editing, not shown; all keys up.
void START_PROGRAMME();

/// Stores the menu into the current set.
void STORE_CURRENT_SET();
/// Selects set INDEX (kept within the programme): the menu is stored into the current set
/// first, then the chosen set goes into the menu and onto cannon 0 as a loaded file does
/// (limited to the rows' limits, then applied). Selecting the current set does nothing.
void SELECT_SET(int32_t INDEX);
/// Inserts a copy of the current set (with the menu stored into it) after it and selects the
/// copy; the menu and cannon 0 already hold its values.
void INSERT_SET();
/// Removes the current set unless it is the only one; the next set, or the previous one when
/// the last was removed, is then selected and applied.
void REMOVE_SET();
/// Adds FRAMES to the current set's DELAY, which stays between 0 and the 32-bit maximum.
void CHANGE_DELAY(int32_t FRAMES);

/// F5: starts playing (the menu stored, the edited cannon 0 put aside, cannon 0 a fresh turret
/// with every set added to its timed list) or stops (the played turret destroyed, the edited
/// cannon 0 back as it was).
void TOGGLE_PLAYING();
/// Ends playing if it is on; the designer calls this before it destroys its cannons.
void STOP_PLAYING();

/// F6: writes the programme (the menu stored into the current set first) to FILENAME with the
/// pattern library. Returns false, with one line on standard error, when it cannot be written;
/// the old file is then left as it was.
bool SAVE_PROGRAMME(const std::string& FILENAME);
/// F7: replaces the programme with the one the pattern library reads from FILENAME and selects
/// its first set. Returns false, with one line on standard error naming the file (and the set
/// and field at fault), when the file is missing, unreadable or bad; nothing changes then, and
/// a missing file is not created.
bool LOAD_PROGRAMME(const std::string& FILENAME);

/// True for the keys that are read as released while the programme plays: those that edit
/// the menu, the cannon or the programme. Up, Down, F1, F5, F6 and Escape keep acting.
bool HELD_BACK_WHILE_PLAYING(KEY K);

/// The programme keys for one frame: PageDown, PageUp, Insert, Delete, End, Home, F5, F6, F7.
/// F6 saves to "barrage.json" and F7 loads "barrage2.json".
void PROGRAMME_KEYS(KEY_READER READ);

}  // namespace NDESIGNER
