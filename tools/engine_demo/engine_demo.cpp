// volley_engine_demo: runs one turret with a timed programme of three parameter sets
// headless and prints, for every frame in which the turret fires, what it placed.
// Usage: volley_engine_demo [--frames N]   (default 120 frames)
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/turret_module.hpp"
#include "leakscope/leakscope.hpp"

namespace {

using NBARRAGE::TURRET_PARAM_TYPE;
using NBARRAGE::TURRET_TYPE;

// The look and place every set shares: a turret in the middle of the play area.
TURRET_PARAM_TYPE BASE_SET(int32_t DELAY) {
  TURRET_PARAM_TYPE S{};
  S.DELAY = DELAY;
  S.ACTIVE = -1;
  S.X = 160.0f;
  S.Y = 120.0f;
  S.RADIUS = 8.0f;
  S.MAXROTATION = 360;
  S.ROTDIR = 1;
  S.MAXBULLET = NBARRAGE::DEFAULT_MAXBULLET;
  S.BULLET_ENERGY = 10;
  S.BULLET_DEATH_ID = 1;
  S.BULLET_NUM_FRAME = 4;
  S.BULLETOFFSET = 1.0f;
  return S;
}

void ADD(TURRET_TYPE& T, TURRET_PARAM_TYPE S) {
  TURRET_PARAM_TYPE* P = &S;
  T.LIST_ADD(T, P);
}

// The programme: a turning single stream, then a fan slowing towards its middle, then a
// bouncing sweep in waves of three.
void LOAD_PROGRAMME(TURRET_TYPE& T) {
  TURRET_PARAM_TYPE A = BASE_SET(0);
  A.ROTSPEED = 20;
  A.MAXSPAWNDELAY = 5;
  A.BULLETS_PER_SHOT = 1;
  A.BULLETSPEED = 2.0f;
  ADD(T, A);

  TURRET_PARAM_TYPE B = BASE_SET(30);
  B.ROTATION = 90;
  B.ROTSPEED = 0;
  B.MAXSPAWNDELAY = 9;
  B.BULLETS_PER_SHOT = 5;
  B.SPREAD_ROTATION = 12;
  B.WAVEMODE = 3;
  B.BULLETSPEED = 1.0f;
  B.BULLETSPEED_DELTA = 1.0f;
  ADD(T, B);

  TURRET_PARAM_TYPE C = BASE_SET(30);
  C.ROTATION = 180;
  C.MINROTATION = 150;
  C.MAXROTATION = 210;
  C.ROTSPEED = 15;
  C.ROTATION_AI = 1;
  C.MAXSPAWNDELAY = 8;
  C.BULLETWAVEMAX = 2;
  C.BULLETWAVEMAXDELAY = 1;
  C.BULLETS_PER_SHOT = 3;
  C.SPREAD_ROTATION = 6;
  C.WAVEMODE = 2;
  C.BULLETSPEED = 1.5f;
  C.BULLETSPEED_DELTA = 0.5f;
  ADD(T, C);
}

int USAGE() {
  std::fprintf(stderr, "usage: volley_engine_demo [--frames N]  (N from 0 to 1000000)\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  LEAKSCOPE_SET_EXIT_WAIT(false);
  long FRAMES = 120;
  for (int I = 1; I < argc; ++I) {
    if (std::strcmp(argv[I], "--frames") == 0 && I + 1 < argc) {
      char* END = nullptr;
      FRAMES = std::strtol(argv[++I], &END, 10);
      if (END == argv[I] || *END != '\0' || FRAMES < 0 || FRAMES > 1000000) return USAGE();
    } else {
      return USAGE();
    }
  }

  // The turret record is the program's, taken zero-filled through the tracker.
  auto* CANNON = static_cast<TURRET_TYPE*>(
      LEAKSCOPE_CALLOCATE(sizeof(TURRET_TYPE), "volley_engine_demo", __LINE__));
  CANNON->INIT = NBARRAGE::INIT;
  CANNON->INIT(*CANNON);
  LOAD_PROGRAMME(*CANNON);

  bool WAS_LIVE[NBARRAGE::DEFAULT_MAXBULLET];
  for (long FRAME = 1; FRAME <= FRAMES; ++FRAME) {
    TURRET_TYPE& T = *CANNON;
    if (T.ACTIVE != -1) continue;
    for (int32_t I = 0; I < NBARRAGE::DEFAULT_MAXBULLET; ++I) WAS_LIVE[I] = T.P_BULLETS[I].ACTIVE != 0;
    T.SHOOT(T, T.LIST_MANAGE(T, 0, 0));
    // Bullets are placed before the motion step, and a slot freed by it cannot fire again in
    // the same frame, so a slot that turned live in this call holds a new bullet.
    int FIRED = 0;
    for (int32_t I = 0; I < NBARRAGE::DEFAULT_MAXBULLET; ++I) {
      const NBARRAGE::BULLET_TYPE& B = T.P_BULLETS[I];
      if (WAS_LIVE[I] || B.ACTIVE == 0) continue;
      if (FIRED++ == 0) std::printf("frame %ld list %d rotation %d: fired", FRAME, T.LISTINDEX, T.ROTATION);
      std::printf(" [slot %d angle %d speed %.2f]", I, B.ROTATION,
                  std::hypot(static_cast<double>(B.XV), static_cast<double>(B.YV)));
    }
    if (FIRED > 0) std::printf("\n");
  }
  std::fflush(stdout);

  CANNON->DESTROY(*CANNON);
  LEAKSCOPE_DEALLOCATE(CANNON, "volley_engine_demo", __LINE__, "cannon");
  return 0;
}
