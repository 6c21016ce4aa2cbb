// volleyedit keys: the designer's key map and its two trigger rules (namespace NDESIGNER).
// Auto-repeat keys act on the first frame of a hold and then every fifth frame; press keys act
// once per press. The key source is the drawing library's scan codes in the software modes and
// the GLFW 2 key codes in the OpenGL modes.
#pragma once

#include <cstdint>

namespace NDESIGNER {

/// The keys the designer reads, in the order of its key map.
enum class KEY : int32_t {
  UP, DOWN, RIGHT, LEFT, TAB, F3, F1, F2, F4, ESCAPE, ENTER,
  // programme editing
  PAGEUP, PAGEDOWN, INSERT, DELETE, HOME, END, F5, F6, F7,
  F12, F11,  // the capture keys: a PNG, a GIF on and off
  COUNT
};

inline constexpr int32_t KEY_COUNT = static_cast<int32_t>(KEY::COUNT);

/// Scan code (software modes) of a key.
int32_t SCAN_CODE(KEY K);
/// GLFW 2 key code (OpenGL modes) of a key.
int32_t GLFW2_CODE(KEY K);

/// Three values of an auto-repeat key (Up, Down, Right, Left and the chooser's Up/Down).
struct REPEAT_KEY {
  int32_t PREV;
  int32_t CURR;
  int32_t READY;
};

/// Two values of a press-only key (Tab, F3, F1, F2, F4).
struct PRESS_KEY {
  int32_t PREV;
  int32_t CURR;
};

/// The value the READY counters hold just before the frame loop starts.
inline constexpr int32_t REPEAT_READY_START = 4;

/// One frame of auto-repeat: PREV takes CURR; a key that was up last frame re-arms READY to -1;
/// CURR takes STATE; while held, READY counts down and the action is due when it drops below 0,
/// after which READY becomes 4. Returns true when the action runs this frame.
bool STEP_REPEAT(REPEAT_KEY& K, int32_t STATE);

/// One frame of press detection: true only in the frame in which the key goes down.
bool STEP_PRESS(PRESS_KEY& K, int32_t STATE);

}  // namespace NDESIGNER
