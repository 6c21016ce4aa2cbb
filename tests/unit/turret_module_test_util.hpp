// Shared helpers of the engine tests, which are compiled once against each engine build.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/turret_module.hpp"
#include "tests/unit/leakscope_capture.hpp"

namespace volley_test {

using namespace NBARRAGE;

// The bullet kind field is named differently in the two builds.
#if VOLLEY_PLAYER_BUILD
inline constexpr auto TURRET_KIND = &TURRET_TYPE::BULLETSHOOT;
inline constexpr auto SET_KIND = &TURRET_PARAM_TYPE::BULLETSHOOT;
#else
inline constexpr auto TURRET_KIND = &TURRET_TYPE::BULLET_TYPE;
inline constexpr auto SET_KIND = &TURRET_PARAM_TYPE::BULLET_TYPE;
#endif
/// The bullet kind of a turret or a parameter set, whichever build it is.
inline int32_t& KIND(TURRET_TYPE& T) { return T.*TURRET_KIND; }
inline int32_t& KIND(TURRET_PARAM_TYPE& S) { return S.*SET_KIND; }

/// One frame as both programs run it.
inline void STEP(TURRET_TYPE& T) { T.SHOOT(T, T.LIST_MANAGE(T, 0, 0)); }

inline int LIVE(const BULLET_TYPE* B, int N = DEFAULT_MAXBULLET) {
  return static_cast<int>(std::count_if(B, B + N, [](const BULLET_TYPE& X) { return X.ACTIVE; }));
}

/// A set that any turret can run: it keeps firing with the defaults' look.
inline TURRET_PARAM_TYPE MAKE_SET(int32_t DELAY) {
  return {.DELAY = DELAY, .ACTIVE = -1, .MAXROTATION = 360, .MAXBULLET = DEFAULT_MAXBULLET,
          .BULLETS_PER_SHOT = 1, .BULLET_NUM_FRAME = 1};
}

/// Adds a copy of S to the turret's timed list.
inline void ADD(TURRET_TYPE& T, TURRET_PARAM_TYPE S) {
  TURRET_PARAM_TYPE* P = &S;
  T.LIST_ADD(T, P);
}

/// The angle (degrees) at which a bullet was placed on the turret's circle.
inline double PLACED_ANGLE(const TURRET_TYPE& T, const BULLET_TYPE& B) {
  return std::atan2(double{B.Y} - T.Y, double{B.X} - T.X) * 180.0 / 3.141592653589793;
}

/// A turret made ready through its INIT slot, destroyed through its DESTROY slot.
class TurretTest : public ::testing::Test {
 protected:
  TURRET_TYPE T{};
  void SetUp() override {
    T.INIT = NBARRAGE::INIT;
    T.INIT(T);
  }
  void TearDown() override {
    if (T.DESTROY != nullptr) T.DESTROY(T);
  }
  /// Centred at (X, Y) with bullets placed at RADIUS, every slot free.
  void AT(float X, float Y, float RADIUS) {
    T.X = X;
    T.Y = Y;
    T.RADIUS = RADIUS;
    FREE_ALL();
  }
  /// The shot's shape: wave mode, bullets per shot, spread and aim.
  void SHAPE(int32_t MODE, int32_t N, int32_t SPREAD, int32_t ROTATION) {
    T.WAVEMODE = MODE;
    T.BULLETS_PER_SHOT = N;
    T.SPREAD_ROTATION = SPREAD;
    T.ROTATION = ROTATION;
  }
  void FREE_ALL() {
    for (int I = 0; I < DEFAULT_MAXBULLET; ++I) T.P_BULLETS[I].ACTIVE = 0;
  }
};

}  // namespace volley_test
