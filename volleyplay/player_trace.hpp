// volleyplay: the player's trace line (JSON Lines; an extension for traced runs).
#pragma once

#include <cstdint>

#include "harness/trace.hpp"
#include "harness/trace_turret.hpp"
#include "volleyplay/player.hpp"

/// One trace line: the four cannons in the order CANNON[0], CANNON[1], CANNONS[0], CANNONS[1].
inline void WRITE_TRACE_LINE(harness::TraceWriter& W, const PLAYER_TYPE& P, int32_t F) {
  W.begin_object();
  W.field("frame", F);
  W.key("cannons");
  W.begin_array();
  harness::trace_turret(W, P.CANNON[0]);
  harness::trace_turret(W, P.CANNON[1]);
  harness::trace_turret(W, P.CANNONS[0]);
  harness::trace_turret(W, P.CANNONS[1]);
  W.end_array();
  W.end_object();
  W.end_line();
}
