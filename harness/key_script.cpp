// harness: scripted key input.
#include "harness/key_script.hpp"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fstream>
#include <sstream>

#include "draw2d/draw2d.hpp"

namespace harness {

namespace {

struct NAMED_KEY {
  const char* NAME;
  int SCANCODE;
};

constexpr NAMED_KEY KEYS[] = {
    {"Up", draw2d::KEY_UP},         {"Down", draw2d::KEY_DOWN}, {"Left", draw2d::KEY_LEFT},
    {"Right", draw2d::KEY_RIGHT},   {"Tab", draw2d::KEY_TAB},   {"Enter", draw2d::KEY_ENTER},
    {"Escape", draw2d::KEY_ESCAPE}, {"F1", draw2d::KEY_F1},     {"F2", draw2d::KEY_F2},
    {"F3", draw2d::KEY_F3},         {"F4", draw2d::KEY_F4},
    // the designer's programme keys
    {"PageUp", draw2d::KEY_PAGEUP}, {"PageDown", draw2d::KEY_PAGEDOWN},
    {"Insert", draw2d::KEY_INSERT}, {"Delete", draw2d::KEY_DELETE},
    {"Home", draw2d::KEY_HOME},     {"End", draw2d::KEY_END},
    {"F5", draw2d::KEY_F5},         {"F6", draw2d::KEY_F6},           {"F7", draw2d::KEY_F7},
    // the previewer's keys, the capture keys and the mouse button
    {"R", draw2d::KEY_R},           {"P", draw2d::KEY_P},       {"Period", draw2d::KEY_PERIOD},
    {"H", draw2d::KEY_H},           {"F11", draw2d::KEY_F11},   {"F12", draw2d::KEY_F12},
    {"MouseLeft", MOUSE_LEFT},
};

// Whole number of TEXT into OUT; false when TEXT is anything else.
bool PARSE_INT(const std::string& TEXT, int32_t& OUT) {
  const char* END = TEXT.data() + TEXT.size();
  auto [P, EC] = std::from_chars(TEXT.data(), END, OUT);
  return !TEXT.empty() && EC == std::errc() && P == END;
}

std::string KEY_NAMES() {
  std::string NAMES;
  for (const NAMED_KEY& K : KEYS) NAMES += (NAMES.empty() ? "" : " ") + std::string(K.NAME);
  return NAMES;
}

bool BY_FRAME(const KeyEvent& A, const KeyEvent& B) { return A.FRAME < B.FRAME; }

}  // namespace

int key_scancode(const std::string& NAME) {
  for (const NAMED_KEY& K : KEYS) {
    if (NAME == K.NAME) return K.SCANCODE;
  }
  return -1;
}

const char* key_name(int SCANCODE) {
  for (const NAMED_KEY& K : KEYS) {
    if (SCANCODE == K.SCANCODE) return K.NAME;
  }
  return "";
}

bool KeyScript::parse(const std::string& TEXT, const std::string& SOURCE, std::string& ERROR) {
  EVENTS_.clear();
  std::vector<KeyEvent> OUT;
  std::istringstream IN(TEXT);
  std::string LINE;
  int32_t NUMBER = 0;
  auto FAIL = [&](const std::string& WHAT) {
    ERROR = SOURCE + ":" + std::to_string(NUMBER) + ": " + WHAT;
    return false;
  };
  while (std::getline(IN, LINE)) {
    ++NUMBER;
    if (!LINE.empty() && LINE.back() == '\r') LINE.pop_back();
    std::istringstream WORDS(LINE);
    std::string FRAME_TEXT, KEY, STATE, EXTRA;
    if (!(WORDS >> FRAME_TEXT)) continue;  // blank line
    if (FRAME_TEXT[0] == '#') continue;    // comment
    if (!(WORDS >> KEY >> STATE)) return FAIL("expected \"FRAME KEY down|up\"");

    int32_t FRAME = 0;
    if (!PARSE_INT(FRAME_TEXT, FRAME) || FRAME < 1) {
      return FAIL("frame '" + FRAME_TEXT + "' is not a whole number of at least 1");
    }
    if (KEY == "MOUSE") {
      std::string Y_TEXT;
      int32_t X = 0, Y = 0;
      if (!(WORDS >> Y_TEXT) || !PARSE_INT(STATE, X) || !PARSE_INT(Y_TEXT, Y)) {
        return FAIL("expected \"FRAME MOUSE X Y\" with whole numbers X and Y");
      }
      if (WORDS >> EXTRA) return FAIL("unexpected text '" + EXTRA + "' after the position");
      OUT.push_back(KeyEvent{FRAME, MOUSE_MOVE, true, NUMBER, X, Y});
      continue;
    }
    if (WORDS >> EXTRA) return FAIL("unexpected text '" + EXTRA + "' after the key state");
    const int CODE = key_scancode(KEY);
    if (CODE == -1) return FAIL("unknown key '" + KEY + "' (" + KEY_NAMES() + ", MOUSE)");
    if (STATE != "down" && STATE != "up") return FAIL("key state '" + STATE + "' is neither down nor up");
    OUT.push_back(KeyEvent{FRAME, CODE, STATE == "down", NUMBER});
  }
  std::stable_sort(OUT.begin(), OUT.end(), BY_FRAME);
  EVENTS_ = std::move(OUT);
  return true;
}

bool KeyScript::load(const std::string& PATH, std::string& ERROR) {
  EVENTS_.clear();
  std::ifstream IN(PATH, std::ios::binary);
  if (!IN) {
    ERROR = "cannot read the key script '" + PATH + "': " + std::strerror(errno);
    return false;
  }
  std::ostringstream TEXT;
  TEXT << IN.rdbuf();
  return parse(TEXT.str(), PATH, ERROR);
}

std::vector<KeyEvent> KeyScript::events_at(int32_t F) const {
  const KeyEvent PROBE{F, 0, false, 0};
  auto [FIRST, LAST] = std::equal_range(EVENTS_.begin(), EVENTS_.end(), PROBE, BY_FRAME);
  return std::vector<KeyEvent>(FIRST, LAST);
}

void KeyScript::apply(int32_t F) const {
  const KeyEvent PROBE{F, 0, false, 0};
  auto [FIRST, LAST] = std::equal_range(EVENTS_.begin(), EVENTS_.end(), PROBE, BY_FRAME);
  for (auto E = FIRST; E != LAST; ++E) {
    if (E->SCANCODE == MOUSE_MOVE) {
      draw2d::set_mouse(E->X, E->Y);
    } else if (E->SCANCODE == MOUSE_LEFT) {
      draw2d::set_mouse_button(E->DOWN);
    } else {
      draw2d::set_key(E->SCANCODE, E->DOWN);
    }
  }
}

}  // namespace harness
