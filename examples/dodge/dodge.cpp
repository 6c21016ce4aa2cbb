// dodge: steer a ship with the arrow keys while a Volley cannon aims its programme at it.
// Every bullet whose sprite box touches the ship's box counts one hit, shown at the top left.
// Usage: dodge PROGRAMME.(vly|json) [--frames N] [--screenshot FILE.bmp]
#include <SDL.h>

#include <volley/volley.hpp>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

namespace {

constexpr int PAGE_W = 320, PAGE_H = 240, ZOOM = 2;
constexpr int SPRITE = 16;           // a bullet's sprite box, as the designer's sheet draws it
constexpr int SHIP = 10;             // the ship's box
constexpr float SHIP_SPEED = 2.0f;   // pixels per frame
constexpr float CANNON_X = 152.0f, CANNON_Y = 24.0f;

struct Options {
  std::string PROGRAMME, SCREENSHOT;
  long FRAMES = 0;  // 0: until the window closes or Escape
};

bool PARSE(int ARGC, char** ARGV, Options& O) {
  for (int I = 1; I < ARGC; ++I) {
    const std::string A = ARGV[I];
    if ((A == "--frames" || A == "--screenshot") && I + 1 < ARGC) {
      const std::string V = ARGV[++I];
      if (A == "--screenshot") {
        O.SCREENSHOT = V;
        continue;
      }
      char* END = nullptr;
      O.FRAMES = std::strtol(V.c_str(), &END, 10);
      if (*END != '\0' || O.FRAMES < 1) return false;
    } else if (A.rfind("--", 0) == 0 || !O.PROGRAMME.empty()) {
      return false;
    } else {
      O.PROGRAMME = A;
    }
  }
  return !O.PROGRAMME.empty();
}

void FILL(SDL_Surface* S, int X, int Y, int W, int H, Uint32 RGB) {
  SDL_Rect R{X, Y, W, H};
  SDL_FillRect(S, &R, SDL_MapRGB(S->format, RGB >> 16, (RGB >> 8) & 0xFF, RGB & 0xFF));
}

// A decimal number in seven-segment digits made of rectangles, 3 pixels a stroke.
void DRAW_NUMBER(SDL_Surface* S, int X, int Y, long N, Uint32 RGB) {
  // Segments a to g as bits 0 to 6.
  static constexpr unsigned char DIGITS[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66,
                                               0x6D, 0x7D, 0x07, 0x7F, 0x6F};
  const std::string TEXT = std::to_string(N);
  constexpr int T = 3, L = 9;  // stroke thickness and length
  for (std::size_t I = 0; I < TEXT.size(); ++I) {
    const unsigned char SEG = DIGITS[TEXT[I] - '0'];
    const int DX = X + static_cast<int>(I) * (L + 3 * T);
    if (SEG & 0x01) FILL(S, DX, Y, L + 2 * T, T, RGB);                  // a: top
    if (SEG & 0x02) FILL(S, DX + L + T, Y, T, L + 2 * T, RGB);          // b: top right
    if (SEG & 0x04) FILL(S, DX + L + T, Y + L + T, T, L + 2 * T, RGB);  // c: bottom right
    if (SEG & 0x08) FILL(S, DX, Y + 2 * (L + T), L + 2 * T, T, RGB);    // d: bottom
    if (SEG & 0x10) FILL(S, DX, Y + L + T, T, L + 2 * T, RGB);          // e: bottom left
    if (SEG & 0x20) FILL(S, DX, Y, T, L + 2 * T, RGB);                  // f: top left
    if (SEG & 0x40) FILL(S, DX, Y + L + T, L + 2 * T, T, RGB);          // g: middle
  }
}

bool OVERLAP(float AX, float AY, int AW, float BX, float BY, int BW) {
  return AX < BX + BW && BX < AX + AW && AY < BY + BW && BY < AY + AW;
}

}  // namespace

int main(int ARGC, char** ARGV) {
  Options O;
  if (!PARSE(ARGC, ARGV, O)) {
    std::fprintf(stderr,
                 "usage: dodge PROGRAMME.(vly|json) [--frames N] [--screenshot FILE.bmp]\n");
    return 2;
  }
  volley::Programme PROGRAMME;
  try {
    PROGRAMME = volley::load_programme(O.PROGRAMME);
  } catch (const volley::Error& E) {
    std::fprintf(stderr, "dodge: %s\n", E.what());
    return 1;
  }

  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "dodge: %s\n", SDL_GetError());
    return 1;
  }
  SDL_Window* WINDOW = SDL_CreateWindow("dodge", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                        PAGE_W * ZOOM, PAGE_H * ZOOM, 0);
  SDL_Surface* PAGE = SDL_CreateRGBSurfaceWithFormat(0, PAGE_W, PAGE_H, 32, SDL_PIXELFORMAT_RGB888);
  if (WINDOW == nullptr || PAGE == nullptr) {
    std::fprintf(stderr, "dodge: %s\n", SDL_GetError());
    SDL_Quit();
    return 1;
  }
  // Nobody watches the dummy driver: it runs as fast as it can instead of at 60 frames/s.
  const bool PACED = std::strcmp(SDL_GetCurrentVideoDriver(), "dummy") != 0;

  volley::Cannon CANNON(PROGRAMME);
  CANNON.follow(CANNON_X, CANNON_Y);
  float SHIP_X = (PAGE_W - SHIP) / 2.0f, SHIP_Y = PAGE_H - 3.0f * SHIP;
  long HITS = 0;
  std::set<int> TOUCHING;  // slots whose bullet touched the ship last frame
  bool RUNNING = true;
  long FRAMES_RUN = 0;
  for (long FRAME = 1; RUNNING; ++FRAME) {
    FRAMES_RUN = FRAME;
    const Uint32 START = SDL_GetTicks();
    for (SDL_Event E; SDL_PollEvent(&E);) {
      if (E.type == SDL_QUIT) RUNNING = false;
      if (E.type == SDL_KEYDOWN && E.key.keysym.sym == SDLK_ESCAPE) RUNNING = false;
    }
    const Uint8* KEYS = SDL_GetKeyboardState(nullptr);
    SHIP_X += SHIP_SPEED * (KEYS[SDL_SCANCODE_RIGHT] - KEYS[SDL_SCANCODE_LEFT]);
    SHIP_Y += SHIP_SPEED * (KEYS[SDL_SCANCODE_DOWN] - KEYS[SDL_SCANCODE_UP]);
    SHIP_X = std::clamp(SHIP_X, 0.0f, static_cast<float>(PAGE_W - SHIP));
    SHIP_Y = std::clamp(SHIP_Y, 0.0f, static_cast<float>(PAGE_H - SHIP));

    // Bullets are placed by their sprite's top-left corner: aim so that a sprite's centre
    // would cross the ship's centre.
    CANNON.aim_at(SHIP_X + SHIP / 2.0f - SPRITE / 2.0f, SHIP_Y + SHIP / 2.0f - SPRITE / 2.0f);
    CANNON.step();

    FILL(PAGE, 0, 0, PAGE_W, PAGE_H, 0x0A0E24);
    FILL(PAGE, static_cast<int>(CANNON_X) + 2, static_cast<int>(CANNON_Y) + 2, SPRITE - 4,
         SPRITE - 4, 0x8090B0);
    std::set<int> NOW;
    for (const volley::Bullet& B : CANNON.bullets()) {
      const bool HIT = OVERLAP(B.x, B.y, SPRITE, SHIP_X, SHIP_Y, SHIP);
      if (HIT) {
        NOW.insert(B.slot);
        if (TOUCHING.count(B.slot) == 0) ++HITS;
      }
      // A bullet is drawn as a small square in its sprite box, its colour from its frame.
      const Uint32 COLOUR = HIT ? 0xFF4040 : (B.sprite_frame % 2 == 0 ? 0xFFD040 : 0x40E0FF);
      FILL(PAGE, static_cast<int>(B.x) + 5, static_cast<int>(B.y) + 5, SPRITE - 10, SPRITE - 10,
           COLOUR);
    }
    TOUCHING.swap(NOW);
    FILL(PAGE, static_cast<int>(SHIP_X), static_cast<int>(SHIP_Y), SHIP, SHIP,
         TOUCHING.empty() ? 0x60FF80 : 0xFFFFFF);
    DRAW_NUMBER(PAGE, 6, 6, HITS, 0xF0F0F0);

    SDL_Surface* SCREEN = SDL_GetWindowSurface(WINDOW);
    if (SCREEN != nullptr) {
      SDL_BlitScaled(PAGE, nullptr, SCREEN, nullptr);
      SDL_UpdateWindowSurface(WINDOW);
    }
    if (O.FRAMES > 0 && FRAME >= O.FRAMES) RUNNING = false;
    const Uint32 SPENT = SDL_GetTicks() - START;
    if (PACED && SPENT < 16) SDL_Delay(16 - SPENT);
  }

  int STATUS = 0;
  if (!O.SCREENSHOT.empty() && SDL_SaveBMP(PAGE, O.SCREENSHOT.c_str()) != 0) {
    std::fprintf(stderr, "dodge: cannot write %s: %s\n", O.SCREENSHOT.c_str(), SDL_GetError());
    STATUS = 1;
  }
  std::printf("dodge: %ld hits after %ld frames\n", HITS, FRAMES_RUN);
  SDL_FreeSurface(PAGE);
  SDL_DestroyWindow(WINDOW);
  SDL_Quit();
  return STATUS;
}
