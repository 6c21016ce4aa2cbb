// harness: writes a turret as one JSON object of a trace line.
// Header only: it is compiled into each program with that program's engine build, so the
// record's layout (BULLETSHOOT or BULLET_TYPE, integer or float BULLETSPEED) is the one the
// program runs. Every data field appears under its own name; the two anchor pointers are
// written as true/false, the ROTATE slot as "ROTATE" or "ROTATE2", and "bullets" lists every
// allocated slot that is live, with its index as "slot".
#pragma once

#include "engine/turret_module.hpp"
#include "harness/trace.hpp"

namespace harness {

/// Writes the thirteen fields of a bullet slot (without the surrounding object).
inline void trace_bullet_fields(TraceWriter& W, const NBARRAGE::BULLET_TYPE& B) {
  W.field("X", B.X);
  W.field("Y", B.Y);
  W.field("XV", B.XV);
  W.field("YV", B.YV);
  W.field("ACTIVE", B.ACTIVE);
  W.field("COUNTER", B.COUNTER);
  W.field("ROTATION", B.ROTATION);
  W.field("FRAME", B.FRAME);
  W.field("MINFRAME", B.MINFRAME);
  W.field("MAXFRAME", B.MAXFRAME);
  W.field("ANIM", B.ANIM);
  W.field("ENERGY", B.ENERGY);
  W.field("DEATH_ID", B.DEATH_ID);
}

/// Name of the rule bound to the ROTATE slot: "ROTATE", "ROTATE2", or null for anything else.
inline const char* trace_rotate_name(const NBARRAGE::TURRET_TYPE& T) {
  if (T.ROTATE == &NBARRAGE::ROTATE2) return "ROTATE2";
  if (T.ROTATE == &NBARRAGE::ROTATE) return "ROTATE";
  return nullptr;
}

/// Writes turret T as one JSON object. SLOTS is the length of its bullet array (INIT takes
/// DEFAULT_MAXBULLET slots; MAXBULLET may be lower and is not the bound here).
inline void trace_turret(TraceWriter& W, const NBARRAGE::TURRET_TYPE& T,
                         int32_t SLOTS = NBARRAGE::DEFAULT_MAXBULLET) {
  W.begin_object();
  W.field("LISTINDEX", T.LISTINDEX);
  W.field("TARGETING", T.TARGETING);
  W.field("P_POSITION", T.P_POSITION != nullptr);
  W.field("P_TARGET", T.P_TARGET != nullptr);
  W.field("X", T.X);
  W.field("Y", T.Y);
  W.field("XV", T.XV);
  W.field("YV", T.YV);
  W.field("TARGETX", T.TARGETX);
  W.field("TARGETY", T.TARGETY);
  W.field("ACTIVE", T.ACTIVE);
  W.field("RADIUS", T.RADIUS);
  W.field("ROTATION", T.ROTATION);
  W.field("MINROTATION", T.MINROTATION);
  W.field("MAXROTATION", T.MAXROTATION);
  W.field("ROTSPEED", T.ROTSPEED);
  W.field("ROTDIR", T.ROTDIR);
  W.field("SPAWNDELAY", T.SPAWNDELAY);
  W.field("MAXSPAWNDELAY", T.MAXSPAWNDELAY);
  W.field("MAXBULLET", T.MAXBULLET);
  W.field("BULLET_ENERGY", T.BULLET_ENERGY);
  W.field("BULLET_DEATH_ID", T.BULLET_DEATH_ID);
  W.field("BULLETS_PER_SHOT", T.BULLETS_PER_SHOT);
  W.field("SPREAD_ROTATION", T.SPREAD_ROTATION);
  W.field("BULLETSPEED", T.BULLETSPEED);  // an integer in the player's build
  W.field("BULLETSPEED_DELTA", T.BULLETSPEED_DELTA);
  W.field("BULLETOFFSET", T.BULLETOFFSET);
  W.field("WAVEMODE", T.WAVEMODE);
  W.field("BULLETCOUNTER", T.BULLETCOUNTER);
  W.field("BULLETWAVEMAX", T.BULLETWAVEMAX);
  W.field("BULLETWAVEMAXDELAY", T.BULLETWAVEMAXDELAY);
#if VOLLEY_PLAYER_BUILD
  W.field("BULLETSHOOT", T.BULLETSHOOT);
#else
  W.field("BULLET_TYPE", T.BULLET_TYPE);
#endif
  W.field("CURRENT_MIN_FRAME", T.CURRENT_MIN_FRAME);
  W.field("CURRENT_NUM_FRAME", T.CURRENT_NUM_FRAME);
  W.key("ROTATE");
  W.value(trace_rotate_name(T));
  W.key("bullets");
  W.begin_array();
  if (T.P_BULLETS != nullptr) {
    for (int32_t I = 0; I < SLOTS; ++I) {
      const NBARRAGE::BULLET_TYPE& B = T.P_BULLETS[I];
      if (B.ACTIVE == 0) continue;
      W.begin_object();
      W.field("slot", I);
      trace_bullet_fields(W, B);
      W.end_object();
    }
  }
  W.end_array();
  W.end_object();
}

}  // namespace harness
