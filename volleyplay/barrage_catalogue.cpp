// volleyplay: the built-in barrage catalogue.
// Every pattern is one complete parameter set for the first cannon of a pair and the same set,
// with a few fields changed, for the second. The first cannon's values of BARRAGE_1 to
// BARRAGE_16 sit in one table; each procedure then states what the second cannon changes.
#include "volleyplay/barrage_catalogue.hpp"

#include <cmath>

namespace {

using NBARRAGE::TURRET_PARAM_TYPE;
using NBARRAGE::TURRET_TYPE;

/// The first cannon's placement, rotation and firing fields of one pattern.
struct PATTERN_ROW {
  int32_t TARGETING;
  float Y;
  float TARGETY;
  float RADIUS;
  int32_t ROTATION, MINROTATION, MAXROTATION, ROTSPEED, ROTDIR, ROTATION_AI;
  int32_t MAXSPAWNDELAY, BULLETS_PER_SHOT, SPREAD_ROTATION;
  NBARRAGE::SPEED_TYPE BULLETSPEED;  // whole values, an integer field in the player's engine
  float BULLETSPEED_DELTA, BULLETOFFSET;
  int32_t WAVEMODE, BULLETWAVEMAX, BULLETWAVEMAXDELAY, BULLET_MIN_FRAME;
};

// Rows 1 to 16 (row 0 is unused: BARRAGE_0 is the idle set and has no row).
// SPREAD_ROTATION of 14 and 16 is 360 / BULLETS_PER_SHOT rounded half to even: 36 and 22.
constexpr PATTERN_ROW ROWS[17] = {
    {},
    // TGT   Y     TY    RAD  ROT MIN  MAX  SPD DIR AI  MSD BPS SPR BS  DELTA    OFFS  WM WMX WMD MINF
    {0, 100.0f, 0.0f, 10.0f, 135, 90, 270, 8, 1, 1, 4, 3, 25, 4, 0.0f, 1.3f, 4, 0, 3, 15},          // 1
    {0, 100.0f, 0.0f, 10.0f, 180, 0, 360, 0, 1, 0, 40, 6, 10, 2, 0.0f, 0.5f, 4, 3, 4, 12},          // 2
    {0, 100.0f, 0.0f, 0.0f, 180, 90, 270, 16, -1, 1, 1, 1, 0, 4, -0.3f, 10.0f, 0, 3, 1, 4},         // 3
    {0, 100.0f, 0.0f, 0.0f, 180, 160, 200, 4, -1, 1, 10, 2, 16, 2, -0.21f, 10.0f, 0, 5, 1, 4},      // 4
    {0, 100.0f, 0.0f, 0.0f, 180, 160, 200, 4, -1, 1, 10, 3, 1, 3, 0.0911f, 10.0f, 4, 5, 2, 0},      // 5
    {0, 100.0f, 0.0f, 0.0f, 180, 160, 200, 4, -1, 1, 1, 2, 35, 3, 0.0911f, 10.0f, 0, 1, 1, 15},     // 6
    {0, 100.0f, 0.0f, 0.0f, 180, 0, 359, 5, -1, 0, 7, 4, 90, 2, 0.0f, 0.0f, 0, 0, 0, 12},           // 7
    {0, 100.0f, 120.0f, 0.0f, 180, 0, 359, 3, 1, 0, 1, 1, 0, 2, 0.0f, 0.0f, 0, 0, 0, 0},            // 8
    {0, 100.0f, 120.0f, 0.0f, 180, 110, 250, 20, 1, 1, 10, 6, 2, 2, -0.75f, 0.0f, 2, 0, 1, 4},      // 9
    {0, 100.0f, 120.0f, 0.0f, 180, 90, 270, 15, 1, 1, 10, 4, 3, 3, 0.05f, 0.0f, 2, 0, 1, 0},        // 10
    {0, 100.0f, 0.0f, 10.0f, 0, 0, 360, 8, 1, 0, 1, 1, 90, 4, 0.0f, 1.0f, 0, 0, 2, 15},             // 11
    {0, 100.0f, 0.0f, 10.0f, 0, 0, 360, 15, 1, 0, 20, 3, 50, 3, -0.3f, 1.0f, 2, 4, 2, 12},          // 12
    {-1, 239.0f, 0.0f, 10.0f, 180, 0, 360, 3, 1, 0, 20, 7, 1, 3, -0.43f, 1.0f, 3, 0, 0, 4},         // 13
    {-1, 80.0f, 0.0f, 10.0f, 180, 0, 360, 3, 1, 0, 40, 10, 36, 3, 0.743f, 1.0f, 5, 0, 0, 4},        // 14
    {-1, 80.0f, 0.0f, 20.0f, 180, 0, 360, 5, 1, 0, 25, 3, 15, 2, -0.3f, 1.0f, 0, 2, 4, 0},          // 15
    {-1, 80.0f, 0.0f, 10.0f, 180, 0, 360, 3, 1, 0, 40, 16, 22, 4, 0.0f, 1.0f, 5, 2, 6, 4},          // 16
};

/// Values shared by every set of BARRAGE_1 to BARRAGE_16, on both cannons.
void SET_COMMON(TURRET_PARAM_TYPE& P) {
  P.X = 280.0f;
  P.XV = 0.0f;
  P.YV = 0.0f;
  P.TARGETX = 0.0f;
  P.ACTIVE = -1;
  P.SPAWNDELAY = 0;
  P.MAXBULLET = 64;
  P.BULLET_ENERGY = 0;
  P.BULLET_DEATH_ID = 0;
  P.BULLETCOUNTER = 0;
  P.BULLETSHOOT = -1;
  P.BULLET_MODE_AI = 0;
  P.BULLET_NUM_FRAME = 4;
}

/// How every procedure starts: a cleared set with DELAY and the pattern's values.
TURRET_PARAM_TYPE FIRST_CANNON_SET(int N, int32_t DELAY) {
  const PATTERN_ROW& R = ROWS[N];
  TURRET_PARAM_TYPE P{};
  P.DELAY = DELAY;
  SET_COMMON(P);
  P.TARGETING = R.TARGETING;
  P.Y = R.Y;
  P.TARGETY = R.TARGETY;
  P.RADIUS = R.RADIUS;
  P.ROTATION = R.ROTATION;
  P.MINROTATION = R.MINROTATION;
  P.MAXROTATION = R.MAXROTATION;
  P.ROTSPEED = R.ROTSPEED;
  P.ROTDIR = R.ROTDIR;
  P.ROTATION_AI = R.ROTATION_AI;
  P.MAXSPAWNDELAY = R.MAXSPAWNDELAY;
  P.BULLETS_PER_SHOT = R.BULLETS_PER_SHOT;
  P.SPREAD_ROTATION = R.SPREAD_ROTATION;
  P.BULLETSPEED = R.BULLETSPEED;
  P.BULLETSPEED_DELTA = R.BULLETSPEED_DELTA;
  P.BULLETOFFSET = R.BULLETOFFSET;
  P.WAVEMODE = R.WAVEMODE;
  P.BULLETWAVEMAX = R.BULLETWAVEMAX;
  P.BULLETWAVEMAXDELAY = R.BULLETWAVEMAXDELAY;
  P.BULLET_MIN_FRAME = R.BULLET_MIN_FRAME;
  return P;
}

/// Appends a copy of PARAMETERS to the turret through its LIST_ADD slot.
void ADD(TURRET_TYPE& T, TURRET_PARAM_TYPE& PARAMETERS) {
  TURRET_PARAM_TYPE* P = &PARAMETERS;
  T.LIST_ADD(T, P);
}

// Nearest integer, halves to the even neighbour (the default rounding mode). Unchecked: the
// catalogue's values stay within a few hundred, far inside the 32-bit range.
int32_t ROUND_HALF_EVEN_UNCHECKED(double V) { return static_cast<int32_t>(std::nearbyint(V)); }

}  // namespace

int32_t BARRAGE_8_ROTATION(int32_t I, bool SECOND) {
  const double D = static_cast<double>(I);
  const double V = 180.0 + (SECOND ? -4.0 : 4.0) * D + 20.0 * std::sin(D - 3.0);
  return ROUND_HALF_EVEN_UNCHECKED(V);
}

float BARRAGE_8_TARGETY(int32_t I) { return static_cast<float>(std::sin(5.0 * static_cast<double>(I) - 15.0)); }

void BARRAGE_0(TURRET_TYPE*& CANNON, int32_t DELAY) {
  // The idle set: active, but no bullet slots and nothing fired.
  TURRET_PARAM_TYPE PARAMETERS{};
  PARAMETERS.DELAY = DELAY;
  PARAMETERS.ACTIVE = -1;
  ADD(CANNON[0], PARAMETERS);
  ADD(CANNON[1], PARAMETERS);
}

void BARRAGE_1(TURRET_TYPE*& CANNON, int32_t DELAY) {
  TURRET_PARAM_TYPE PARAMETERS = FIRST_CANNON_SET(1, DELAY);
  ADD(CANNON[0], PARAMETERS);
  PARAMETERS.ROTATION = 225;
  PARAMETERS.ROTDIR = -1;
  ADD(CANNON[1], PARAMETERS);
}

void BARRAGE_2(TURRET_TYPE*& CANNON, int32_t DELAY) {
  TURRET_PARAM_TYPE PARAMETERS = FIRST_CANNON_SET(2, DELAY);
  ADD(CANNON[0], PARAMETERS);
  PARAMETERS.MAXSPAWNDELAY = 35;
  PARAMETERS.SPREAD_ROTATION = 15;
  PARAMETERS.BULLETSPEED_DELTA = 0.4f;
  PARAMETERS.BULLETOFFSET = 0.0f;
  PARAMETERS.WAVEMODE = 0;
  ADD(CANNON[1], PARAMETERS);
}

void BARRAGE_3(TURRET_TYPE*& CANNON, int32_t DELAY) {
  TURRET_PARAM_TYPE PARAMETERS = FIRST_CANNON_SET(3, DELAY);
  ADD(CANNON[0], PARAMETERS);
  PARAMETERS.ROTSPEED = 32;
  ADD(CANNON[1], PARAMETERS);
}

void BARRAGE_4(TURRET_TYPE*& CANNON, int32_t DELAY) {
  TURRET_PARAM_TYPE PARAMETERS = FIRST_CANNON_SET(4, DELAY);
  ADD(CANNON[0], PARAMETERS);
  PARAMETERS.ROTDIR = 1;
  ADD(CANNON[1], PARAMETERS);
}

void BARRAGE_5(TURRET_TYPE*& CANNON, int32_t DELAY) {
  TURRET_PARAM_TYPE PARAMETERS = FIRST_CANNON_SET(5, DELAY);
  ADD(CANNON[0], PARAMETERS);
  PARAMETERS.ROTDIR = 1;
  ADD(CANNON[1], PARAMETERS);
}

void BARRAGE_6(TURRET_TYPE*& CANNON, int32_t DELAY) {
  TURRET_PARAM_TYPE PARAMETERS = FIRST_CANNON_SET(6, DELAY);
  ADD(CANNON[0], PARAMETERS);
  PARAMETERS.ROTDIR = 1;
  ADD(CANNON[1], PARAMETERS);
}

void BARRAGE_7(TURRET_TYPE*& CANNON, int32_t DELAY) {
  TURRET_PARAM_TYPE PARAMETERS = FIRST_CANNON_SET(7, DELAY);
  ADD(CANNON[0], PARAMETERS);
  PARAMETERS.ROTATION = 0;
  PARAMETERS.ROTDIR = 1;
  ADD(CANNON[1], PARAMETERS);
}

void BARRAGE_8(TURRET_TYPE*& CANNON, int32_t DELAY) {
  TURRET_PARAM_TYPE PARAMETERS = FIRST_CANNON_SET(8, DELAY);
  ADD(CANNON[0], PARAMETERS);
  PARAMETERS.ROTDIR = -1;
  ADD(CANNON[1], PARAMETERS);

  // Seven rounds of a firing set (16 frames) and a pause (11 frames) whose direction wanders
  // around 180 degrees in opposite senses on the two cannons.
  for (int32_t I = 0; I <= 6; ++I) {
    // The first cannon's firing set.
    PARAMETERS = TURRET_PARAM_TYPE{};
    SET_COMMON(PARAMETERS);
    PARAMETERS.DELAY = 10;
    PARAMETERS.TARGETING = 0;
    PARAMETERS.X = 280.0f;
    PARAMETERS.Y = 100.0f;
    PARAMETERS.TARGETY = BARRAGE_8_TARGETY(I);
    PARAMETERS.RADIUS = 0.0f;
    PARAMETERS.ROTATION = BARRAGE_8_ROTATION(I, false);
    PARAMETERS.MINROTATION = 0;
    PARAMETERS.MAXROTATION = 359;
    PARAMETERS.ROTSPEED = 2;
    PARAMETERS.ROTDIR = 1;
    PARAMETERS.MAXSPAWNDELAY = 1;
    PARAMETERS.BULLETS_PER_SHOT = 1;
    PARAMETERS.SPREAD_ROTATION = 0;
    PARAMETERS.BULLETSPEED = 2;
    PARAMETERS.BULLETSPEED_DELTA = 0.0f;
    PARAMETERS.BULLETOFFSET = 0.0f;
    PARAMETERS.WAVEMODE = 0;
    PARAMETERS.BULLETWAVEMAX = 0;
    PARAMETERS.BULLETWAVEMAXDELAY = 0;
    PARAMETERS.ROTATION_AI = 0;
    PARAMETERS.BULLET_MIN_FRAME = 0;
    ADD(CANNON[0], PARAMETERS);
    // The second cannon's firing set.
    PARAMETERS.ROTATION = BARRAGE_8_ROTATION(I, true);
    PARAMETERS.ROTDIR = -1;
    ADD(CANNON[1], PARAMETERS);
    // The pause: the second cannon's set, fed to both cannons.
    // QUIRK: the first cannon's pause carries the second cannon's ROTATION and ROTDIR;
    // pinned by the pause sets in PlayerLoop.ProgrammesKeepTheirTimetableWithAConstantBlockCount.
    PARAMETERS.DELAY = 15;
    PARAMETERS.BULLETS_PER_SHOT = 0;
    ADD(CANNON[0], PARAMETERS);
    ADD(CANNON[1], PARAMETERS);
  }
}

void BARRAGE_9(TURRET_TYPE*& CANNON, int32_t DELAY) {
  TURRET_PARAM_TYPE PARAMETERS = FIRST_CANNON_SET(9, DELAY);
  ADD(CANNON[0], PARAMETERS);
  PARAMETERS.ROTDIR = -1;
  ADD(CANNON[1], PARAMETERS);
}

void BARRAGE_10(TURRET_TYPE*& CANNON, int32_t DELAY) {
  TURRET_PARAM_TYPE PARAMETERS = FIRST_CANNON_SET(10, DELAY);
  ADD(CANNON[0], PARAMETERS);
  PARAMETERS.ROTATION = 185;
  PARAMETERS.SPAWNDELAY = 20;  // the second cannon's first shot comes 20 frames later
  ADD(CANNON[1], PARAMETERS);
}

void BARRAGE_11(TURRET_TYPE*& CANNON, int32_t DELAY) {
  TURRET_PARAM_TYPE PARAMETERS = FIRST_CANNON_SET(11, DELAY);
  ADD(CANNON[0], PARAMETERS);
  PARAMETERS.ROTATION = 180;
  ADD(CANNON[1], PARAMETERS);
}

void BARRAGE_12(TURRET_TYPE*& CANNON, int32_t DELAY) {
  TURRET_PARAM_TYPE PARAMETERS = FIRST_CANNON_SET(12, DELAY);
  ADD(CANNON[0], PARAMETERS);
  PARAMETERS.ROTATION = 90;
  ADD(CANNON[1], PARAMETERS);
}

// BARRAGE_13 to BARRAGE_16 aim: the first cannon at (0, 0), the second at (0, 240).

void BARRAGE_13(TURRET_TYPE*& CANNON, int32_t DELAY) {
  TURRET_PARAM_TYPE PARAMETERS = FIRST_CANNON_SET(13, DELAY);
  ADD(CANNON[0], PARAMETERS);
  PARAMETERS.Y = 0.0f;
  PARAMETERS.TARGETY = 240.0f;
  PARAMETERS.ROTDIR = -1;
  ADD(CANNON[1], PARAMETERS);
}

void BARRAGE_14(TURRET_TYPE*& CANNON, int32_t DELAY) {
  TURRET_PARAM_TYPE PARAMETERS = FIRST_CANNON_SET(14, DELAY);
  ADD(CANNON[0], PARAMETERS);
  PARAMETERS.Y = 120.0f;
  PARAMETERS.TARGETY = 240.0f;
  ADD(CANNON[1], PARAMETERS);
}

void BARRAGE_15(TURRET_TYPE*& CANNON, int32_t DELAY) {
  TURRET_PARAM_TYPE PARAMETERS = FIRST_CANNON_SET(15, DELAY);
  ADD(CANNON[0], PARAMETERS);
  PARAMETERS.Y = 120.0f;
  PARAMETERS.TARGETY = 240.0f;
  PARAMETERS.ROTDIR = -1;
  ADD(CANNON[1], PARAMETERS);
}

void BARRAGE_16(TURRET_TYPE*& CANNON, int32_t DELAY) {
  TURRET_PARAM_TYPE PARAMETERS = FIRST_CANNON_SET(16, DELAY);
  ADD(CANNON[0], PARAMETERS);
  PARAMETERS.Y = 120.0f;
  PARAMETERS.TARGETY = 240.0f;
  ADD(CANNON[1], PARAMETERS);
}
