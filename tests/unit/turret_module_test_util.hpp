// Shared fixture of the engine tests, which are compiled once against each engine build.
#pragma once

#include <gtest/gtest.h>

#include "engine/turret_module.hpp"
#include "tests/unit/leakscope_capture.hpp"

namespace volley_test {

using namespace NBARRAGE;

/// A turret and a shared pool made ready through their INIT slots, destroyed through their
/// DESTROY slots.
class TurretTest : public ::testing::Test {
 protected:
  TURRET_TYPE T{};
  BARRAGE_TYPE POOL{};
  void SetUp() override {
    T.INIT = NBARRAGE::INIT;
    T.INIT(T);
    POOL.INIT = NBARRAGE::INIT;
    POOL.INIT(POOL);
  }
  void TearDown() override {
    if (T.DESTROY != nullptr) T.DESTROY(T);
    if (POOL.DESTROY != nullptr) POOL.DESTROY(POOL);
  }
};

/// The pool's tests share the fixture (one fixture class per suite name).
using PoolTest = TurretTest;

}  // namespace volley_test
