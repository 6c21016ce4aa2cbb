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
};

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
    if (WORDS >> EXTRA) return FAIL("unexpected text '" + EXTRA + "' after the key state");

    int32_t FRAME = 0;
    const char* END = FRAME_TEXT.data() + FRAME_TEXT.size();
    auto [P, EC] = std::from_chars(FRAME_TEXT.data(), END, FRAME);
    if (EC != std::errc() || P != END || FRAME < 1) {
      return FAIL("frame '" + FRAME_TEXT + "' is not a whole number of at least 1");
    }
    const int CODE = key_scancode(KEY);
    if (CODE < 0) {
      return FAIL("unknown key '" + KEY + "' (Up Down Left Right Tab Enter Escape F1 F2 F3 F4 " +
                  "PageUp PageDown Insert Delete Home End F5 F6 F7)");
    }
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
  for (auto E = FIRST; E != LAST; ++E) draw2d::set_key(E->SCANCODE, E->DOWN);
}

}  // namespace harness
