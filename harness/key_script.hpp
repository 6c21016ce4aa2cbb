// harness: scripted key input for headless and recorded runs.
// A key script is a text file of lines "FRAME KEY down|up" (FRAME counted from 1, KEY one of
// Up Down Left Right Tab Enter Escape F1 F2 F3 F4, the designer's programme keys PageUp
// PageDown Insert Delete Home End F5 F6 F7, the previewer's and capture keys R P Period H F11
// F12, or MouseLeft for the left mouse button) and "FRAME MOUSE X Y" (the pointer at screen
// pixel X, Y from that frame on; off the screen it lies outside the window); blank lines and
// "#" lines are ignored.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace harness {

/// SCANCODE of a KeyEvent for the left mouse button and for a pointer position.
inline constexpr int MOUSE_LEFT = -2, MOUSE_MOVE = -3;

struct KeyEvent {
  int32_t FRAME;  ///< the frame at whose start the key changes, from 1
  int SCANCODE;   ///< draw2d scan code (draw2d::KEY_UP, ...), MOUSE_LEFT or MOUSE_MOVE
  bool DOWN;      ///< true: pressed, false: released
  int32_t LINE;   ///< line of the script, for messages
  int X = 0, Y = 0;  ///< the pointer position of a MOUSE_MOVE event
};

/// Scan code of a key name of the script ("Up", "F1", ...), or -1.
int key_scancode(const std::string& NAME);
/// Script name of a scan code, or "" for a key the scripts do not know.
const char* key_name(int SCANCODE);

class KeyScript {
 public:
  /// Parses TEXT; SOURCE names it in messages. On a bad line returns false and sets ERROR to
  /// "SOURCE:LINE: what is wrong"; the script is then empty.
  bool parse(const std::string& TEXT, const std::string& SOURCE, std::string& ERROR);
  /// Reads and parses the file PATH (an unreadable file is an error naming it).
  bool load(const std::string& PATH, std::string& ERROR);

  /// Sets draw2d's key and mouse states for every event of frame F, in script order.
  void apply(int32_t F) const;
  /// Events of frame F in script order (what apply() sets).
  std::vector<KeyEvent> events_at(int32_t F) const;

  const std::vector<KeyEvent>& events() const { return EVENTS_; }
  /// Frame of the last event, 0 for an empty script.
  int32_t last_frame() const { return EVENTS_.empty() ? 0 : EVENTS_.back().FRAME; }

 private:
  std::vector<KeyEvent> EVENTS_;  // sorted by frame, script order within a frame
};

}  // namespace harness
