// display_gl: the designer's OpenGL presentation (namespace NDISPLAY) and the GLFW 2 style
// adapter on GLFW 3 (namespace glfw2). The only file of Volley that includes GLFW, GL or GLU.
#include <GL/gl.h>
#include <GL/glu.h>
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include <cstdint>
#include <cstring>

#if defined(__SANITIZE_ADDRESS__)
#define VOLLEY_PIN_GL_DRIVERS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VOLLEY_PIN_GL_DRIVERS 1
#endif
#endif
#ifdef VOLLEY_PIN_GL_DRIVERS
#include <dlfcn.h>
#include <link.h>
#endif

#include "display/display.hpp"
#include "display/draw2d.hpp"

// ---------------------------------------------------------------------------------------------
// GLFW 2 calls on GLFW 3
// ---------------------------------------------------------------------------------------------

namespace glfw2 {

namespace {
GLFWwindow* WINDOW_HANDLE = nullptr;
bool STARTED = false;

#ifdef VOLLEY_PIN_GL_DRIVERS
// Sanitizer builds only: Mesa's driver (a *_dri.so) leaks a few blocks of its own and is
// unloaded by glfwTerminate, after which LeakSanitizer cannot name it and its suppression
// cannot match. Keeping every loaded driver mapped lets the suppression list skip them.
int PIN_DRIVER(dl_phdr_info* INFO, std::size_t, void*) {
  const char* NAME = INFO->dlpi_name;
  if (NAME != nullptr && std::strstr(NAME, "_dri.so") != nullptr) {
    dlopen(NAME, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
  }
  return 0;
}
void PIN_GL_DRIVERS() { dl_iterate_phdr(PIN_DRIVER, nullptr); }
#else
void PIN_GL_DRIVERS() {}
#endif
}  // namespace

int TO_GLFW3_KEY(int K) {
  // printable keys: GLFW 2 and 3 both use the upper-case ASCII code
  switch (K) {
    case ' ': case '\'': case ',': case '-': case '.': case '/': case ';': case '=':
    case '[': case '\\': case ']': case '`':
      return K;
    default: break;
  }
  if ((K >= '0' && K <= '9') || (K >= 'A' && K <= 'Z')) return K;
  if (K >= KEY_F1 && K <= KEY_F1 + 24) return GLFW_KEY_F1 + (K - KEY_F1);  // F1 .. F25
  if (K >= 302 && K <= 311) return GLFW_KEY_KP_0 + (K - 302);              // keypad 0 .. 9
  switch (K) {
    case KEY_ESC: return GLFW_KEY_ESCAPE;
    case KEY_UP: return GLFW_KEY_UP;
    case KEY_DOWN: return GLFW_KEY_DOWN;
    case KEY_LEFT: return GLFW_KEY_LEFT;
    case KEY_RIGHT: return GLFW_KEY_RIGHT;
    case KEY_LSHIFT: return GLFW_KEY_LEFT_SHIFT;
    case KEY_RSHIFT: return GLFW_KEY_RIGHT_SHIFT;
    case KEY_LCTRL: return GLFW_KEY_LEFT_CONTROL;
    case KEY_RCTRL: return GLFW_KEY_RIGHT_CONTROL;
    case KEY_LALT: return GLFW_KEY_LEFT_ALT;
    case KEY_RALT: return GLFW_KEY_RIGHT_ALT;
    case KEY_TAB: return GLFW_KEY_TAB;
    case KEY_ENTER: return GLFW_KEY_ENTER;
    case KEY_BACKSPACE: return GLFW_KEY_BACKSPACE;
    case 296: return GLFW_KEY_INSERT;
    case 297: return GLFW_KEY_DELETE;
    case 298: return GLFW_KEY_PAGE_UP;
    case 299: return GLFW_KEY_PAGE_DOWN;
    case 300: return GLFW_KEY_HOME;
    case 301: return GLFW_KEY_END;
    case 312: return GLFW_KEY_KP_DIVIDE;
    case 313: return GLFW_KEY_KP_MULTIPLY;
    case 314: return GLFW_KEY_KP_SUBTRACT;
    case 315: return GLFW_KEY_KP_ADD;
    case 316: return GLFW_KEY_KP_DECIMAL;
    case 317: return GLFW_KEY_KP_EQUAL;
    case 318: return GLFW_KEY_KP_ENTER;
    default: return GLFW_KEY_UNKNOWN;
  }
}

int Init() {
  STARTED = glfwInit() == GLFW_TRUE;
  return STARTED ? 1 : 0;
}

int OpenWindow(int W, int H, int R_BITS, int G_BITS, int B_BITS, int A_BITS, int D_BITS,
               int S_BITS, uint32_t MODE) {
  if (!STARTED || WINDOW_HANDLE != nullptr) return 0;
  glfwDefaultWindowHints();
  glfwWindowHint(GLFW_RED_BITS, R_BITS);
  glfwWindowHint(GLFW_GREEN_BITS, G_BITS);
  glfwWindowHint(GLFW_BLUE_BITS, B_BITS);
  glfwWindowHint(GLFW_ALPHA_BITS, A_BITS);
  glfwWindowHint(GLFW_DEPTH_BITS, D_BITS);
  glfwWindowHint(GLFW_STENCIL_BITS, S_BITS);
  // Resizability stays the library's default.
  // the default context (version 1.0 asked) gives a compatibility context: legacy GL works
  GLFWmonitor* MONITOR = MODE == FULLSCREEN ? glfwGetPrimaryMonitor() : nullptr;
  WINDOW_HANDLE = glfwCreateWindow(W, H, "GLFW Window", MONITOR, nullptr);
  if (WINDOW_HANDLE == nullptr) return 0;
  glfwMakeContextCurrent(WINDOW_HANDLE);
  PIN_GL_DRIVERS();
  return 1;
}

void SwapInterval(int INTERVAL) {
  if (WINDOW_HANDLE != nullptr) glfwSwapInterval(INTERVAL);
}

double GetTime() { return STARTED ? glfwGetTime() : 0.0; }

void SwapBuffers() {
  if (WINDOW_HANDLE == nullptr) return;
  glfwSwapBuffers(WINDOW_HANDLE);
  glfwPollEvents();
}

int GetKey(int GLFW2_KEY) {
  if (WINDOW_HANDLE == nullptr) return 0;
  const int K = TO_GLFW3_KEY(GLFW2_KEY);
  if (K == GLFW_KEY_UNKNOWN) return 0;
  glfwPollEvents();
  return glfwGetKey(WINDOW_HANDLE, K) == GLFW_PRESS ? 1 : 0;
}

void Terminate() {
  if (!STARTED) return;
  glfwTerminate();  // destroys the window as well
  WINDOW_HANDLE = nullptr;
  STARTED = false;
}

bool WindowOpen() { return WINDOW_HANDLE != nullptr; }

}  // namespace glfw2

// ---------------------------------------------------------------------------------------------
// OpenGL presentation
// ---------------------------------------------------------------------------------------------

namespace NDISPLAY {

namespace {

uint8_t* CAPTURE = nullptr;  // where the next frame is read back to, if anywhere

bool HAS_WINDOW(const SCREEN_TYPE& VIDEO) {
  return VIDEO.DISPLAY.GLVER != nullptr && glfw2::WindowOpen();
}

// The window's size: the requested W x H times the window scale.
int WINDOW_W(const SCREEN_TYPE& VIDEO) {
  return static_cast<int>(VIDEO.DISPLAY.W) * draw2d::window_scale();
}
int WINDOW_H(const SCREEN_TYPE& VIDEO) {
  return static_cast<int>(VIDEO.DISPLAY.H) * draw2d::window_scale();
}

// Reads the finished back buffer into CAPTURE, top row first, and clears the request.
void READ_BACK(const SCREEN_TYPE& VIDEO) {
  const int W = WINDOW_W(VIDEO), H = WINDOW_H(VIDEO);
  uint8_t* const OUT = CAPTURE;
  CAPTURE = nullptr;
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  const std::size_t ROW = static_cast<std::size_t>(W) * 4;
  // OpenGL counts rows from the bottom: read each row into its top-down place
  for (int Y = 0; Y < H; ++Y) {
    glReadPixels(0, H - 1 - Y, W, 1, GL_RGBA, GL_UNSIGNED_BYTE, OUT + ROW * static_cast<std::size_t>(Y));
  }
}

}  // namespace

void INIT_GL_WINDOW(SCREEN_TYPE& VIDEO) {
  DISPLAYTYPE& D = VIDEO.DISPLAY;
  // 1.
  if (glfw2::Init() == 0) {
    draw2d::console_print("Failed to initialize GLFW!");
    draw2d::sleep_ms(1000);
    draw2d::end(0);
  }
  // A failing window ends the program silently.
  // CHOICE: --scale N makes the window N times W x H and the viewport with it, so the whole
  // picture (the doubled page and its black edge) is magnified N times through the mode's
  // texture filter. Pinned by DisplayWindow.NearestModeShowsThePageDoubled (scale 1).
  const int OK = glfw2::OpenWindow(WINDOW_W(VIDEO), WINDOW_H(VIDEO),
                                   static_cast<int>(D.R_BITS), static_cast<int>(D.G_BITS),
                                   static_cast<int>(D.B_BITS), static_cast<int>(D.A_BITS),
                                   static_cast<int>(D.D_BITS), static_cast<int>(D.S_BITS), D.MODE);
  if (OK == 0) {
    glfw2::Terminate();
    draw2d::end(0);
  }
  glfw2::SwapInterval(1);  // every swap waits for one retrace
  D.GLVER = reinterpret_cast<const char*>(glGetString(GL_VERSION));
}

void INIT_GL_SCREEN(SCREEN_TYPE& VIDEO) {
  if (!HAS_WINDOW(VIDEO)) return;
  const DISPLAYTYPE& D = VIDEO.DISPLAY;
  glViewport(0, 0, WINDOW_W(VIDEO), WINDOW_H(VIDEO));
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(40.0, static_cast<double>(D.W) / static_cast<double>(D.H), 1.0, 500.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glShadeModel(GL_SMOOTH);
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClearDepth(1.0);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glEnable(GL_COLOR_MATERIAL);
  glEnable(GL_TEXTURE_2D);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  // a material and one light are set, but lighting is never switched on
  const GLfloat WHITE[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  const GLfloat AMBIENT[4] = {0.2f, 0.2f, 0.2f, 1.0f};
  const GLfloat POSITION[4] = {0.0f, 0.0f, 1.0f, 0.0f};
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, WHITE);
  glLightfv(GL_LIGHT0, GL_AMBIENT, AMBIENT);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, WHITE);
  glLightfv(GL_LIGHT0, GL_POSITION, POSITION);
}

void VIEWORTHO(SCREEN_TYPE& VIDEO) {
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0.0, VIDEO.DISPLAY.W, 0.0, VIDEO.DISPLAY.H, -1.0, 1.0);  // y points up
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
}

void VIEWPERSPECTIVE(SCREEN_TYPE&) {
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
}

void INIT_TEXTURE(SCREEN_TYPE& VIDEO) {
  if (!HAS_WINDOW(VIDEO)) return;
  MEMTEXTURE_TYPE& T = VIDEO.MEMTEXTURE;
  glEnable(GL_TEXTURE_2D);
  GLuint ID = 0;
  glGenTextures(1, &ID);
  T.TEXTURE_ID = ID;
  glBindTexture(GL_TEXTURE_2D, ID);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, static_cast<GLsizei>(T.WID),
               static_cast<GLsizei>(T.HEI), 0, GL_RGBA, GL_UNSIGNED_BYTE, T.P_TD);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
}

void SET_NEAREST_FILTER(SCREEN_TYPE& VIDEO) {
  if (!HAS_WINDOW(VIDEO)) return;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
}

void RENDER(SCREEN_TYPE& VIDEO) {
  static double TIME_START = 0.0;
  MEMTEXTURE_TYPE& T = VIDEO.MEMTEXTURE;
  // after END_SCREEN the page, the texel store and (in effect) the colour map are gone
  if (VIDEO.P_VPAGE == nullptr || T.P_TD == nullptr) return;
  // 1.
  CONVERT_8_2_32(VIDEO);
  if (!HAS_WINDOW(VIDEO)) {  // headless: the texel store is the presented picture
    PACE_FRAME(TIME_START, draw2d::timer);
    return;
  }
  // 2. DEVIATION: only the 320 x 240 texels that carry the page are uploaded, not the whole
  // 512 x 512 store; the rest of the texture stays 0 as it was created, so the picture is
  // the same at under a third of the bytes. Pinned by DisplayWindow.NearestModeShowsThePageDoubled.
  glPixelStorei(GL_UNPACK_ROW_LENGTH, static_cast<GLint>(T.WID));
  glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, PAGE_W, PAGE_H, GL_RGBA, GL_UNSIGNED_INT_8_8_8_8,
                  T.P_TD);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  // 3.
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  // 4. the page's part of the texture
  const GLfloat SX = 0.0f, SY = 0.0f;
  const GLfloat SW = static_cast<GLfloat>(PAGE_W) / static_cast<GLfloat>(T.WID);
  const GLfloat SH = static_cast<GLfloat>(PAGE_H) / static_cast<GLfloat>(T.HEI);
  // 5.
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  glDisable(GL_BLEND);
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_TEXTURE_2D);
  glDisable(GL_LIGHTING);
  // 6.
  glPushMatrix();
  VIEWORTHO(VIDEO);
  glScalef(2.0f, 2.0f, 2.0f);
  // 7. QUIRK: the corners are 319 and 239, so the doubled quad covers 638 x 478 and the two
  // rightmost columns and two top rows keep the clear colour.
  // Pinned by DisplayWindow.NearestModeShowsThePageDoubled.
  glBegin(GL_QUADS);
  glTexCoord2f(SX, SY);
  glVertex2f(0.0f, 239.0f);
  glTexCoord2f(SW, SY);
  glVertex2f(319.0f, 239.0f);
  glTexCoord2f(SW, SH);
  glVertex2f(319.0f, 0.0f);
  glTexCoord2f(SX, SH);
  glVertex2f(0.0f, 0.0f);
  glEnd();
  // 8.
  VIEWPERSPECTIVE(VIDEO);
  glPopMatrix();
  if (CAPTURE != nullptr) READ_BACK(VIDEO);
  // 9.
  PACE_FRAME(TIME_START, glfw2::GetTime);
  // 10.
  glfw2::SwapBuffers();
}

void DESTROY(SCREEN_TYPE& VIDEO) {
  if (VIDEO.SCREEN_MODE < 0 || VIDEO.SCREEN_MODE > 3) {
    glfw2::Terminate();
    VIDEO.DISPLAY.GLVER = nullptr;  // the context is gone with the window
    CAPTURE = nullptr;
  }
  VIDEO.DESTROY = nullptr;
  VIDEO.RENDER = nullptr;
  VIDEO.SET_SCREEN = nullptr;
  VIDEO.END_SCREEN = nullptr;
}

bool CAPTURE_NEXT_FRAME(const SCREEN_TYPE& VIDEO, uint8_t* RGBA) {
  if (!HAS_WINDOW(VIDEO) || RGBA == nullptr) return false;
  CAPTURE = RGBA;
  return true;
}

}  // namespace NDISPLAY
