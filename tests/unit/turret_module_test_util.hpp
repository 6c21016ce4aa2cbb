// Shared helpers of the engine tests, which are compiled once against each engine build.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "engine/turret_module.hpp"
#include "leakscope/leakscope.hpp"
#include "tests/unit/leakscope_capture.hpp"

namespace volley_test {

using NBARRAGE::BULLET_TYPE;
using NBARRAGE::COORD_TYPE;
using NBARRAGE::PLAYER_BUILD;
using NBARRAGE::SPEED_TYPE;
using NBARRAGE::TURRET_PARAM_TYPE;
using NBARRAGE::TURRET_TYPE;

// The fields whose names differ between the builds.
#if VOLLEY_PLAYER_BUILD
inline void SET_POINT(COORD_TYPE& C, float X, float Y) { C.X = X; C.Y = Y; }
inline int32_t& KIND(TURRET_TYPE& T) { return T.BULLETSHOOT; }
inline int32_t& KIND(TURRET_PARAM_TYPE& S) { return S.BULLETSHOOT; }
#else
inline void SET_POINT(COORD_TYPE& C, float X, float Y) { C.M_X = X; C.M_Y = Y; }
inline int32_t& KIND(TURRET_TYPE& T) { return T.BULLET_TYPE; }
inline int32_t& KIND(TURRET_PARAM_TYPE& S) { return S.BULLET_TYPE; }
#endif

/// One frame as both programs run it.
inline void STEP(TURRET_TYPE& T) { T.SHOOT(T, T.LIST_MANAGE(T, 0, 0)); }

inline int LIVE_COUNT(const TURRET_TYPE& T) {
  int N = 0;
  for (int32_t I = 0; I < NBARRAGE::DEFAULT_MAXBULLET; ++I) N += T.P_BULLETS[I].ACTIVE != 0;
  return N;
}

/// Indices of the live slots, lowest first.
inline std::vector<int> LIVE_SLOTS(const TURRET_TYPE& T) {
  std::vector<int> V;
  for (int32_t I = 0; I < NBARRAGE::DEFAULT_MAXBULLET; ++I)
    if (T.P_BULLETS[I].ACTIVE != 0) V.push_back(I);
  return V;
}

/// The angle (degrees) at which a bullet was placed on the turret's circle.
inline double PLACED_ANGLE(const TURRET_TYPE& T, const BULLET_TYPE& B) {
  return std::atan2(static_cast<double>(B.Y) - T.Y, static_cast<double>(B.X) - T.X) * 180.0 /
         3.141592653589793;
}

/// The slot rotation a bullet fired at ANGLE carries: the designer's value, or
/// (ANGLE mod 360) + 270 in the player's build.
inline int32_t EXPECTED_SLOT_ROTATION(int32_t DESIGNER, int32_t ANGLE) {
  return PLAYER_BUILD ? ANGLE % 360 + 270 : DESIGNER;
}

/// Marks every slot live except the given ones.
inline void TAKE_ALL_BUT(TURRET_TYPE& T, std::initializer_list<int> FREE) {
  for (int32_t I = 0; I < NBARRAGE::DEFAULT_MAXBULLET; ++I) T.P_BULLETS[I].ACTIVE = -1;
  for (int I : FREE) T.P_BULLETS[I].ACTIVE = 0;
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
  /// A still turret at (100, 100) that fires one bullet per shot straight right, never turning.
  void MAKE_STILL() {
    T.X = 100.0f;
    T.Y = 100.0f;
    T.ROTSPEED = 0;
    T.BULLETSPEED = static_cast<SPEED_TYPE>(0);
  }
};

}  // namespace volley_test
