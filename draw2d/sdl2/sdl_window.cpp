// draw2d window back-end on SDL2: one window with a renderer and one streaming texture that
// the visible page is converted into through the palette. Key events become held scan codes
// (PC set 1) and key text for inkey; a close request counts as an Escape press.
#include <SDL.h>

#include <cstdlib>
#include <cstring>

#include "draw2d/draw2d.hpp"
#include "draw2d/internal.hpp"

namespace draw2d::detail {

namespace {

struct Window {
  SDL_Window* WIN = nullptr;
  SDL_Renderer* REN = nullptr;
  SDL_Texture* TEX = nullptr;
  int W = 0, H = 0;
  bool NO_SWITCH = false;
  bool FULLSCREEN = false;
  uint32_t LUT[256] = {};     // palette index -> 0xAARRGGBB
  uint32_t LUT_VERSION = 0;   // palette version the table was built from (0: never)
};

Window WINDOW;
bool HELD[128] = {};  // indexed by set-1 scan code
bool VIDEO_STARTED = false;

// PC set-1 scan code of an SDL scancode, 0 for keys without one.
int set1_code(SDL_Scancode S) {
  if (S >= SDL_SCANCODE_1 && S <= SDL_SCANCODE_9) return 2 + (S - SDL_SCANCODE_1);
  if (S >= SDL_SCANCODE_F1 && S <= SDL_SCANCODE_F10) return 59 + (S - SDL_SCANCODE_F1);
  switch (S) {
    case SDL_SCANCODE_ESCAPE: return 1;
    case SDL_SCANCODE_0: return 11;
    case SDL_SCANCODE_MINUS: return 12;
    case SDL_SCANCODE_EQUALS: return 13;
    case SDL_SCANCODE_BACKSPACE: return 14;
    case SDL_SCANCODE_TAB: return 15;
    case SDL_SCANCODE_Q: return 16;
    case SDL_SCANCODE_W: return 17;
    case SDL_SCANCODE_E: return 18;
    case SDL_SCANCODE_R: return 19;
    case SDL_SCANCODE_T: return 20;
    case SDL_SCANCODE_Y: return 21;
    case SDL_SCANCODE_U: return 22;
    case SDL_SCANCODE_I: return 23;
    case SDL_SCANCODE_O: return 24;
    case SDL_SCANCODE_P: return 25;
    case SDL_SCANCODE_LEFTBRACKET: return 26;
    case SDL_SCANCODE_RIGHTBRACKET: return 27;
    case SDL_SCANCODE_RETURN: return 28;
    case SDL_SCANCODE_KP_ENTER: return 28;
    case SDL_SCANCODE_LCTRL: return 29;
    case SDL_SCANCODE_RCTRL: return 29;
    case SDL_SCANCODE_A: return 30;
    case SDL_SCANCODE_S: return 31;
    case SDL_SCANCODE_D: return 32;
    case SDL_SCANCODE_F: return 33;
    case SDL_SCANCODE_G: return 34;
    case SDL_SCANCODE_H: return 35;
    case SDL_SCANCODE_J: return 36;
    case SDL_SCANCODE_K: return 37;
    case SDL_SCANCODE_L: return 38;
    case SDL_SCANCODE_SEMICOLON: return 39;
    case SDL_SCANCODE_APOSTROPHE: return 40;
    case SDL_SCANCODE_GRAVE: return 41;
    case SDL_SCANCODE_LSHIFT: return 42;
    case SDL_SCANCODE_BACKSLASH: return 43;
    case SDL_SCANCODE_Z: return 44;
    case SDL_SCANCODE_X: return 45;
    case SDL_SCANCODE_C: return 46;
    case SDL_SCANCODE_V: return 47;
    case SDL_SCANCODE_B: return 48;
    case SDL_SCANCODE_N: return 49;
    case SDL_SCANCODE_M: return 50;
    case SDL_SCANCODE_COMMA: return 51;
    case SDL_SCANCODE_PERIOD: return 52;
    case SDL_SCANCODE_SLASH: return 53;
    case SDL_SCANCODE_RSHIFT: return 54;
    case SDL_SCANCODE_KP_MULTIPLY: return 55;
    case SDL_SCANCODE_LALT: return 56;
    case SDL_SCANCODE_RALT: return 56;
    case SDL_SCANCODE_SPACE: return 57;
    case SDL_SCANCODE_CAPSLOCK: return 58;
    case SDL_SCANCODE_HOME: return 71;
    case SDL_SCANCODE_UP: return 72;
    case SDL_SCANCODE_PAGEUP: return 73;
    case SDL_SCANCODE_LEFT: return 75;
    case SDL_SCANCODE_RIGHT: return 77;
    case SDL_SCANCODE_END: return 79;
    case SDL_SCANCODE_DOWN: return 80;
    case SDL_SCANCODE_PAGEDOWN: return 81;
    case SDL_SCANCODE_INSERT: return 82;
    case SDL_SCANCODE_DELETE: return 83;
    case SDL_SCANCODE_F11: return 87;
    case SDL_SCANCODE_F12: return 88;
    default: return 0;
  }
}

// Text that inkey returns for a key press: the character of a printable key, the control
// character of Escape, Enter, Tab and Backspace, and otherwise a NUL followed by the scan code.
std::string key_text(const SDL_Keysym& K) {
  const SDL_Keycode SYM = K.sym;
  if (SYM == SDLK_ESCAPE) return "\x1b";
  if (SYM == SDLK_RETURN || SYM == SDLK_KP_ENTER) return "\r";
  if (SYM == SDLK_TAB) return "\t";
  if (SYM == SDLK_BACKSPACE) return "\b";
  const bool SHIFT = (K.mod & KMOD_SHIFT) != 0;
  if (SYM >= 'a' && SYM <= 'z') return std::string(1, static_cast<char>(SHIFT ? SYM - 32 : SYM));
  if (SYM >= 32 && SYM < 127) return std::string(1, static_cast<char>(SYM));
  const int CODE = set1_code(K.scancode);
  if (CODE == 0) return {};  // modifiers and unmapped keys queue nothing
  std::string S(1, '\0');
  S.push_back(static_cast<char>(CODE));
  return S;
}

void press_escape() {
  HELD[1] = true;
  queue_key("\x1b");
}

void rebuild_lut() {
  const uint32_t VERSION = palette_version();
  if (WINDOW.LUT_VERSION == VERSION) return;
  for (int I = 0; I < 256; ++I) {
    const Rgb C = palette_rgb(I);
    WINDOW.LUT[I] = 0xFF000000u | (uint32_t{C.R} << 16) | (uint32_t{C.G} << 8) | C.B;
  }
  WINDOW.LUT_VERSION = VERSION;
}

// True when the renderer draws through an OpenGL whose rasteriser is itself software (Mesa's
// llvmpipe, softpipe or swrast: a virtual X server, a machine without a GPU driver).
bool software_opengl(SDL_Renderer* REN) {
  SDL_RendererInfo INFO{};
  if (SDL_GetRendererInfo(REN, &INFO) != 0 || INFO.name == nullptr) return false;
  if (std::strncmp(INFO.name, "opengl", 6) != 0) return false;  // opengl, opengles2
  using GetString = const unsigned char* (*)(unsigned int);
  const auto GET = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
  if (GET == nullptr) return false;
  const auto* NAME = reinterpret_cast<const char*>(GET(0x1F01));  // GL_RENDERER
  if (NAME == nullptr) return false;
  for (const char* SOFT : {"llvmpipe", "softpipe", "swrast", "Software Rasterizer"})
    if (std::strstr(NAME, SOFT) != nullptr) return true;
  return false;
}

// SDL's video drivers that draw into memory only.
bool windowless_driver(const char* NAME) {
  if (NAME == nullptr) return true;
  for (const char* MEMORY_ONLY : {"offscreen", "dummy", "evdev"})
    if (std::strcmp(NAME, MEMORY_ONLY) == 0) return true;
  return false;
}

void toggle_fullscreen() {
  WINDOW.FULLSCREEN = !WINDOW.FULLSCREEN;
  SDL_SetWindowFullscreen(WINDOW.WIN, WINDOW.FULLSCREEN ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
}

}  // namespace

bool window_open(int W, int H, unsigned FLAGS, int SCALE) {
  window_close();
  if (!VIDEO_STARTED) {
    // Ctrl+C keeps its usual meaning: SDL would otherwise turn it into a quit event for as
    // long as the process lives, swallowing it after the window has closed (during the exit
    // report's key wait, for one). The video system then stays up until the program ends.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    // CHOICE: a window that nobody can see is no window. When SDL cannot reach the display
    // (an X server busy resetting, say) it falls back to a windowless driver, and the program
    // would run on with nothing shown and no key to end it; that counts as a failure to open,
    // unless SDL_VIDEODRIVER asked for such a driver.
    // Pinned by Draw2dWindow.UnreachableDisplayIsAFailureToOpen.
    const char* DRIVER = SDL_GetCurrentVideoDriver();
    if (windowless_driver(DRIVER) && std::getenv("SDL_VIDEODRIVER") == nullptr) {
      SDL_QuitSubSystem(SDL_INIT_VIDEO);
      return false;
    }
    VIDEO_STARTED = true;
  }
  // The window is the screen's size times the scale that --scale asked for (1 unless asked),
  // magnified by the renderer with nearest-pixel sampling; the page keeps its own size.
  WINDOW.FULLSCREEN = (FLAGS & SCREEN_FULLSCREEN) != 0;
  WINDOW.NO_SWITCH = (FLAGS & SCREEN_NO_SWITCH) != 0;
  const Uint32 WIN_FLAGS = WINDOW.FULLSCREEN ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0;
  // The window is made ready for OpenGL from the start: the OpenGL renderer would otherwise
  // destroy it and open another, and whoever found the first (a test script, a window
  // manager) would hold a window that no longer exists. Without OpenGL it opens without.
  for (const Uint32 GL : {Uint32{SDL_WINDOW_OPENGL}, Uint32{0}}) {
    WINDOW.WIN = SDL_CreateWindow("Volley", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                  W * SCALE, H * SCALE, WIN_FLAGS | GL);
    if (WINDOW.WIN) break;
  }
  if (!WINDOW.WIN) return false;
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
  WINDOW.REN = SDL_CreateRenderer(WINDOW.WIN, -1, SDL_RENDERER_PRESENTVSYNC);
  // CHOICE: where OpenGL is only a software rasteriser, SDL's own software renderer presents
  // the same picture (the same streaming texture, nearest-pixel scaling) straight to the
  // window at a fraction of the CPU; the window surface then must not be drawn through OpenGL
  // either. Measured by BM_DesignerPacedLoop (bench/paced_loop_bench.cpp). The picture is
  // pinned by SoftwareWindow.ShowsTheScaledPage, which under Xvfb (OpenGL by llvmpipe) takes
  // this path.
  if (WINDOW.REN && software_opengl(WINDOW.REN)) {
    SDL_DestroyRenderer(WINDOW.REN);
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    WINDOW.REN = nullptr;
  }
  if (!WINDOW.REN) WINDOW.REN = SDL_CreateRenderer(WINDOW.WIN, -1, SDL_RENDERER_SOFTWARE);
  if (WINDOW.REN) {
    SDL_RenderSetLogicalSize(WINDOW.REN, W, H);
    WINDOW.TEX = SDL_CreateTexture(WINDOW.REN, SDL_PIXELFORMAT_ARGB8888,
                                   SDL_TEXTUREACCESS_STREAMING, W, H);
  }
  if (!WINDOW.REN || !WINDOW.TEX) {
    window_close();
    return false;
  }
  WINDOW.W = W;
  WINDOW.H = H;
  WINDOW.LUT_VERSION = 0;
  return true;
}

void window_close() {
  if (WINDOW.TEX) SDL_DestroyTexture(WINDOW.TEX);
  if (WINDOW.REN) SDL_DestroyRenderer(WINDOW.REN);
  if (WINDOW.WIN) SDL_DestroyWindow(WINDOW.WIN);
  WINDOW = Window{};
}

void window_request_quit() {
  SDL_Event E{};
  E.type = SDL_QUIT;
  if (WINDOW.WIN) SDL_PushEvent(&E);
}

void window_present(const uint8_t* PIXELS, int W, int H) {
  if (!WINDOW.TEX || W != WINDOW.W || H != WINDOW.H) return;
  rebuild_lut();
  void* LOCKED = nullptr;
  int PITCH = 0;
  if (SDL_LockTexture(WINDOW.TEX, nullptr, &LOCKED, &PITCH) != 0) return;
  // The page is converted straight into the texture's memory, row by row.
  const uint32_t* LUT = WINDOW.LUT;
  for (int Y = 0; Y < H; ++Y) {
    auto* D = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(LOCKED) +
                                          static_cast<std::ptrdiff_t>(Y) * PITCH);
    const uint8_t* S = PIXELS + static_cast<std::ptrdiff_t>(Y) * W;
    for (int X = 0; X < W; ++X) D[X] = LUT[S[X]];
  }
  SDL_UnlockTexture(WINDOW.TEX);
  SDL_RenderClear(WINDOW.REN);
  SDL_RenderCopy(WINDOW.REN, WINDOW.TEX, nullptr, nullptr);
  SDL_RenderPresent(WINDOW.REN);
}

void window_pump() {
  if (!WINDOW.WIN) return;
  SDL_Event E;
  while (SDL_PollEvent(&E)) {
    switch (E.type) {
      case SDL_QUIT:
        press_escape();
        break;
      case SDL_WINDOWEVENT:
        if (E.window.event == SDL_WINDOWEVENT_CLOSE) press_escape();
        if (E.window.event == SDL_WINDOWEVENT_LEAVE) mouse_moved(0, 0, false);
        break;
      case SDL_MOUSEMOTION:
        // The renderer's logical size has already turned window pixels into screen pixels.
        mouse_moved(E.motion.x, E.motion.y, true);
        break;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP:
        if (E.button.button == SDL_BUTTON_LEFT) mouse_button(E.type == SDL_MOUSEBUTTONDOWN);
        break;
      case SDL_KEYDOWN: {
        const SDL_Keysym& K = E.key.keysym;
        const bool ALT = (K.mod & KMOD_ALT) != 0;
        if (ALT && (K.sym == SDLK_RETURN || K.sym == SDLK_KP_ENTER)) {
          // Alt+Enter switches between window and full screen unless the screen forbids it;
          // either way it is not a key press for the program.
          if (!WINDOW.NO_SWITCH && !E.key.repeat) toggle_fullscreen();
          break;
        }
        const int CODE = set1_code(K.scancode);
        if (CODE > 0) HELD[CODE] = true;
        queue_key(key_text(K));
        break;
      }
      case SDL_KEYUP: {
        const int CODE = set1_code(E.key.keysym.scancode);
        if (CODE > 0) HELD[CODE] = false;
        break;
      }
      default:
        break;
    }
  }
}

bool window_key_held(int SCANCODE) { return SCANCODE >= 0 && SCANCODE < 128 && HELD[SCANCODE]; }

void window_release_keys() { std::memset(HELD, 0, sizeof HELD); }

bool window_read_pixels(uint32_t* OUT, int W, int H) {
  if (!WINDOW.REN || !OUT) return false;
  int OW = 0, OH = 0;
  if (SDL_GetRendererOutputSize(WINDOW.REN, &OW, &OH) != 0 || OW != W || OH != H) return false;
  // The back buffer is undefined after a present, so the last frame is drawn again (from the
  // texture, unchanged since then) and read back before it is shown again. The logical size
  // fills the whole window, so the read covers every window pixel.
  SDL_RenderClear(WINDOW.REN);
  SDL_RenderCopy(WINDOW.REN, WINDOW.TEX, nullptr, nullptr);
  const int RC = SDL_RenderReadPixels(WINDOW.REN, nullptr, SDL_PIXELFORMAT_ARGB8888, OUT, W * 4);
  SDL_RenderPresent(WINDOW.REN);
  return RC == 0;
}

void window_size(int& W, int& H) {
  W = H = 0;
  if (WINDOW.REN) SDL_GetRendererOutputSize(WINDOW.REN, &W, &H);
}

}  // namespace draw2d::detail

