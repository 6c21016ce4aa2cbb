// volleyedit keys: key map and trigger rules (namespace NDESIGNER).
#include "volleyedit/keys.hpp"

#include "display/glfw2.hpp"
#include "draw2d/draw2d.hpp"

namespace NDESIGNER {

namespace {

struct KEY_CODES {
  int32_t SCAN;
  int32_t GLFW2;
};

// Indexed by KEY. F4 opens the numbered-file chooser; Enter confirms inside it.
constexpr KEY_CODES CODES[KEY_COUNT] = {
    {draw2d::KEY_UP, glfw2::KEY_UP},       {draw2d::KEY_DOWN, glfw2::KEY_DOWN},
    {draw2d::KEY_RIGHT, glfw2::KEY_RIGHT}, {draw2d::KEY_LEFT, glfw2::KEY_LEFT},
    {draw2d::KEY_TAB, glfw2::KEY_TAB},     {draw2d::KEY_F3, glfw2::KEY_F3},
    {draw2d::KEY_F1, glfw2::KEY_F1},       {draw2d::KEY_F2, glfw2::KEY_F2},
    {draw2d::KEY_F4, glfw2::KEY_F4},       {draw2d::KEY_ESCAPE, glfw2::KEY_ESC},
    {draw2d::KEY_ENTER, glfw2::KEY_ENTER},
    // programme editing
    {draw2d::KEY_PAGEUP, glfw2::KEY_PAGEUP},  {draw2d::KEY_PAGEDOWN, glfw2::KEY_PAGEDOWN},
    {draw2d::KEY_INSERT, glfw2::KEY_INSERT},  {draw2d::KEY_DELETE, glfw2::KEY_DEL},
    {draw2d::KEY_HOME, glfw2::KEY_HOME},      {draw2d::KEY_END, glfw2::KEY_END},
    {draw2d::KEY_F5, glfw2::KEY_F5},          {draw2d::KEY_F6, glfw2::KEY_F5 + 1},
    {draw2d::KEY_F7, glfw2::KEY_F5 + 2},
    // the capture keys
    {draw2d::KEY_F12, glfw2::KEY_F12},     {draw2d::KEY_F11, glfw2::KEY_F11},
};

}  // namespace

int32_t SCAN_CODE(KEY K) { return CODES[static_cast<int32_t>(K)].SCAN; }

int32_t GLFW2_CODE(KEY K) { return CODES[static_cast<int32_t>(K)].GLFW2; }

bool STEP_REPEAT(REPEAT_KEY& K, int32_t STATE) {
  K.PREV = K.CURR;
  if (K.PREV == 0) K.READY = -1;
  K.CURR = STATE;
  if (K.CURR != 0) {
    K.READY -= 1;
    if (K.READY < 0) {
      K.READY = 4;
      return true;
    }
  }
  return false;
}

bool STEP_PRESS(PRESS_KEY& K, int32_t STATE) {
  K.PREV = K.CURR;
  K.CURR = STATE;
  return K.CURR != 0 && K.PREV == 0;
}

}  // namespace NDESIGNER
