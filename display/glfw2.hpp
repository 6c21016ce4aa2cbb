// glfw2: the designer's window, timer and keyboard calls in the GLFW 2 style, running on
// GLFW 3. The designer calls GLFW in the GLFW 2 style (one window per process, key codes
// 257 and up for the special keys); this adapter keeps those calls and codes and maps them
// onto GLFW 3. The implementation lives in display_gl.cpp, the only file that includes
// GLFW and OpenGL headers, so nothing else sees GLFW 3's own symbols.
//
// Mapping to GLFW 3:
//   Init                -> glfwInit
//   OpenWindow(...)     -> window hints (colour, alpha, depth and stencil bits; every other
//                          hint GLFW's default: the default context, version 1.0 asked,
//                          which gives a compatibility context, and a resizable window),
//                          glfwCreateWindow (primary monitor when MODE is FULLSCREEN),
//                          glfwMakeContextCurrent
//   SwapInterval        -> glfwSwapInterval
//   GetTime             -> glfwGetTime (seconds since Init)
//   SwapBuffers         -> glfwSwapBuffers + glfwPollEvents (GLFW 2 polled on every swap)
//   GetKey(glfw2 code)  -> glfwPollEvents, then glfwGetKey(window, TO_GLFW3_KEY(code))
//   Terminate           -> glfwTerminate (the window goes with it)
#pragma once

#include <cstdint>

namespace glfw2 {

/// Window modes of OpenWindow (the values GLFW 2 used).
inline constexpr uint32_t WINDOW = 0x00010001;
inline constexpr uint32_t FULLSCREEN = 0x00010002;

/// GLFW 2 key codes of the designer's key map. Printable keys use their upper-case ASCII
/// code, as in GLFW 2 and GLFW 3 alike.
inline constexpr int KEY_SPECIAL = 256;
inline constexpr int KEY_ESC = 257;
inline constexpr int KEY_F1 = 258;
inline constexpr int KEY_F2 = 259;
inline constexpr int KEY_F3 = 260;
inline constexpr int KEY_F4 = 261;
inline constexpr int KEY_F5 = 262;  ///< F5 .. F12 follow on (F12 = 269)
inline constexpr int KEY_F11 = 268;
inline constexpr int KEY_F12 = 269;
inline constexpr int KEY_UP = 283;
inline constexpr int KEY_DOWN = 284;
inline constexpr int KEY_LEFT = 285;
inline constexpr int KEY_RIGHT = 286;
inline constexpr int KEY_LSHIFT = 287;
inline constexpr int KEY_RSHIFT = 288;
inline constexpr int KEY_LCTRL = 289;
inline constexpr int KEY_RCTRL = 290;
inline constexpr int KEY_LALT = 291;
inline constexpr int KEY_RALT = 292;
inline constexpr int KEY_TAB = 293;
inline constexpr int KEY_ENTER = 294;
inline constexpr int KEY_BACKSPACE = 295;
inline constexpr int KEY_INSERT = 296;
inline constexpr int KEY_DEL = 297;
inline constexpr int KEY_PAGEUP = 298;
inline constexpr int KEY_PAGEDOWN = 299;
inline constexpr int KEY_HOME = 300;
inline constexpr int KEY_END = 301;

/// GLFW 3 key code for a GLFW 2 key code; -1 (GLFW 3's "unknown key") when there is none.
int TO_GLFW3_KEY(int GLFW2_KEY);

/// Starts GLFW. Returns nonzero on success (GLFW 2's GL_TRUE), 0 on failure.
int Init();
/// Opens the one window with an OpenGL context and makes the context current.
/// MODE is WINDOW or FULLSCREEN. Bit counts of 0 leave GLFW's default. Returns nonzero on
/// success, 0 on failure (no window is left open).
int OpenWindow(int W, int H, int R_BITS, int G_BITS, int B_BITS, int A_BITS, int D_BITS,
               int S_BITS, uint32_t MODE);
/// Number of retraces each SwapBuffers waits for (0 = none).
void SwapInterval(int INTERVAL);
/// Seconds since Init; 0 before.
double GetTime();
/// Shows the back buffer and processes window events.
void SwapBuffers();
/// 1 while the key (GLFW 2 code) is held, else 0. Processes window events first; 0 when no
/// window is open.
int GetKey(int GLFW2_KEY);
/// Closes the window and shuts GLFW down. Safe without Init.
void Terminate();
/// True while a window is open.
bool WindowOpen();

}  // namespace glfw2
