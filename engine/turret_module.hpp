// turret_module: the barrage engine (namespace NBARRAGE), built into both programs.
// Turrets with their bullet slots and timed parameter lists, the two rotation rules, the shot
// clock, the shot geometry and a shared bullet pool. Depends on the standard library and the
// allocation tracker only; it draws nothing.
#pragma once

#include <cstdint>

#include "engine/engine_variant.hpp"

// ---- The point record lent to a turret as its position or aim point -------------------------

#if VOLLEY_PLAYER_BUILD
namespace NBARRAGE {
/// A point owned by the application. VARIANT(play): lives in NBARRAGE with fields X, Y.
struct COORD_TYPE {
  float X;
  float Y;
};
}  // namespace NBARRAGE
#else
namespace NCORE {
/// A point owned by the application, lent to turrets as position or aim point.
struct COORD_TYPE {
  float M_X;
  float M_Y;
};
}  // namespace NCORE
namespace NBARRAGE {
using NCORE::COORD_TYPE;
}  // namespace NBARRAGE
#endif

namespace NBARRAGE {

#if VOLLEY_PLAYER_BUILD
using SPEED_TYPE = int32_t;  // VARIANT(play): BULLETSPEED is a whole number of pixels per step
#else
using SPEED_TYPE = float;
#endif

/// Bullet slots that INIT allocates for every turret.
inline constexpr int32_t DEFAULT_MAXBULLET = PLAYER_BUILD ? 64 : 128;  // VARIANT(play): 64 slots
/// Slots of a shared pool.
inline constexpr int32_t POOL_MAXBULLET = 512;

/// Degrees to radians and back, with pi taken as 3.141593.
// QUIRK: not the precise pi; pinned by TurretTest.UsesTheShortPiConstants.
inline constexpr double DEG_TO_RAD = 0.01745329444444444;
inline constexpr double RAD_TO_DEG = 57.29577319531843;

/// One bullet slot. Live while ACTIVE is non-zero; a free slot keeps its last values.
struct BULLET_TYPE {
  float X;           ///< top-left corner of the bullet's sprite
  float Y;
  float XV;          ///< velocity per step
  float YV;
  int32_t ACTIVE;    ///< -1 live, 0 free
  int32_t COUNTER;   ///< steps spent live, never reset (counts across the slot's lives)
  int32_t ROTATION;  ///< direction given at spawn, degrees
  int32_t FRAME;     ///< animation frame, 0 to MAXFRAME - 1
  int32_t MINFRAME;  ///< first sprite frame of the run; the sprite is MINFRAME + FRAME
  int32_t MAXFRAME;  ///< frames in the run
  int32_t ANIM;      ///< step counter that paces the animation, never reset
  int32_t ENERGY;    ///< carried for the game; only copied
  int32_t DEATH_ID;  ///< carried for the game; only copied
};

/// One timed parameter set. All fields but DELAY, ROTATION_AI, BULLET_MODE_AI and the two
/// frame fields are copied into the turret field of the same name when the set is applied.
struct TURRET_PARAM_TYPE {
  int32_t DELAY;  ///< steps to wait; counted down in the stored set itself
  int32_t TARGETING;
  float X;
  float Y;
  float XV;
  float YV;
  float TARGETX;
  float TARGETY;
  int32_t ACTIVE;
  float RADIUS;
  int32_t ROTATION;
  int32_t MINROTATION;
  int32_t MAXROTATION;
  int32_t ROTSPEED;
  int32_t ROTDIR;
  int32_t SPAWNDELAY;
  int32_t MAXSPAWNDELAY;
  int32_t MAXBULLET;  ///< must not exceed DEFAULT_MAXBULLET; passes over the slots are bounded
  int32_t BULLET_ENERGY;
  int32_t BULLET_DEATH_ID;
  int32_t BULLETS_PER_SHOT;
  int32_t SPREAD_ROTATION;
  SPEED_TYPE BULLETSPEED;  // VARIANT(play): integer speed
  float BULLETSPEED_DELTA;
  float BULLETOFFSET;
  int32_t WAVEMODE;
  int32_t BULLETCOUNTER;
  int32_t BULLETWAVEMAX;
  int32_t BULLETWAVEMAXDELAY;
#if VOLLEY_PLAYER_BUILD
  int32_t BULLETSHOOT;  // VARIANT(play): never copied nor read by the engine
#else
  int32_t BULLET_TYPE;  ///< 1: direction-framed bullets
#endif
  int32_t ROTATION_AI;       ///< not copied: passed to CHANGE_ROTATION_AI
  int32_t BULLET_MODE_AI;    ///< kept in the set; the engine never reads it
  int32_t BULLET_MIN_FRAME;  ///< copied to CURRENT_MIN_FRAME
  int32_t BULLET_NUM_FRAME;  ///< copied to CURRENT_NUM_FRAME
};

/// One node of a timed list. A list always ends with one empty node (DATA and NEXT null).
struct TURRET_PARAM_LIST {
  TURRET_PARAM_TYPE* DATA;  ///< owned set, or null
  TURRET_PARAM_LIST* NEXT;  ///< owned next node, or null
};

/// One turret ("cannon"). The application owns the record (zero-filled), stores NBARRAGE::INIT
/// in its INIT slot and calls it through the slot; the engine owns P_BULLETS and the list.
struct TURRET_TYPE {
  int32_t LISTINDEX;  ///< parameter sets applied so far
  int32_t TARGETING;  ///< non-zero: each wave's first shot is aimed at TARGETX, TARGETY
  COORD_TYPE* P_POSITION;  ///< borrowed; copied into X, Y every step when not null
  COORD_TYPE* P_TARGET;    ///< borrowed; copied into TARGETX, TARGETY every step when not null
  float X;
  float Y;
  float XV;
  float YV;
  float TARGETX;
  float TARGETY;
  int32_t ACTIVE;  ///< zero: not stepped at all (its bullets freeze)
  float RADIUS;    ///< distance from the centre at which bullets are placed
  int32_t ROTATION;
  int32_t MINROTATION;
  int32_t MAXROTATION;
  int32_t ROTSPEED;  ///< degrees per turn (one turn per wave)
  int32_t ROTDIR;    ///< 1, -1 or 0
  int32_t SPAWNDELAY;
  int32_t MAXSPAWNDELAY;
  int32_t MAXBULLET;
  int32_t BULLET_ENERGY;
  int32_t BULLET_DEATH_ID;
  int32_t BULLETS_PER_SHOT;
  int32_t SPREAD_ROTATION;
  SPEED_TYPE BULLETSPEED;  // VARIANT(play): integer speed, default 2
  float BULLETSPEED_DELTA;
  float BULLETOFFSET;
  int32_t WAVEMODE;
  int32_t BULLETCOUNTER;
  int32_t BULLETWAVEMAX;
  int32_t BULLETWAVEMAXDELAY;
#if VOLLEY_PLAYER_BUILD
  int32_t BULLETSHOOT;  // VARIANT(play): never copied nor read by the engine
#else
  int32_t BULLET_TYPE;  ///< 1: bullets pick a direction frame
#endif
  int32_t CURRENT_MIN_FRAME;  ///< MINFRAME given to free slots
  int32_t CURRENT_NUM_FRAME;  ///< MAXFRAME given to free slots
  ::NBARRAGE::BULLET_TYPE* P_BULLETS;  ///< owned, DEFAULT_MAXBULLET slots
  TURRET_PARAM_LIST* P_PARAMETERS;     ///< owned, first node of the timed list
  TURRET_PARAM_LIST* P_NODE;           ///< borrowed from the list: the cursor

  void (*INIT)(TURRET_TYPE& TURRET);
  void (*DESTROY)(TURRET_TYPE& TURRET);
  void (*SHOOT)(TURRET_TYPE& TURRET, int32_t LIST_CHANGED);
  void (*ROTATE)(TURRET_TYPE& TURRET);
  void (*LIST_ADD)(TURRET_TYPE& TURRET, TURRET_PARAM_TYPE*& XPARAMETERS);
  int32_t (*LIST_MANAGE)(TURRET_TYPE& TURRET, int32_t X, int32_t Y);
  void (*SET_TARGET)(TURRET_TYPE& TURRET, COORD_TYPE* TARGET);
  void (*SET_POSITION)(TURRET_TYPE& TURRET, COORD_TYPE* POSITION);
};

/// A bullet pool that belongs to no turret. The owner keeps the record (zero-filled), stores
/// the pool INIT in its INIT slot and calls it; the bullet array belongs to the pool.
struct BARRAGE_TYPE {
  int32_t MAXBULLET;  ///< 512 after INIT
  ::NBARRAGE::BULLET_TYPE* P_BULLETS;
  void (*INIT)(BARRAGE_TYPE& BARRAGE);
  void (*DESTROY)(BARRAGE_TYPE& BARRAGE);
  void (*SHOOT)(BARRAGE_TYPE& BARRAGE);
  void (*COPY_BULLETS)(BARRAGE_TYPE& BARRAGE, TURRET_TYPE& TURRET);
};

// ---- Turret lifecycle ---------------------------------------------------------------------

/// Makes a zero-filled or destroyed turret ready: binds the seven slots after INIT, stores the
/// defaults, takes DEFAULT_MAXBULLET free bullet slots (MAXFRAME 4, ENERGY 10, DEATH_ID 1) and
/// an empty timed list. ACTIVE is -1 and SPAWNDELAY 0, so the first SHOOT fires at once.
/// Precondition: the turret owns no blocks (call DESTROY first, or the old ones leak).
/// QUIRK: free slots get MAXFRAME 4 although CURRENT_NUM_FRAME is 1 (pinned by
/// TurretTest.FreeSlotsHaveMaxFrameFour).
void INIT(TURRET_TYPE& TURRET);

/// Stores every default; SPREAD_ROTATION follows ROTSPEED. Leaves BULLETWAVEMAX, BULLET_TYPE,
/// the owned blocks, the cursor and the slots alone.
/// VARIANT(play): clears P_TARGET only; the designer build clears P_POSITION too.
void SET_DEFAULTS(TURRET_TYPE& TURRET);

/// Releases the bullet array and the whole timed list and clears the eight slots, P_TARGET and
/// P_POSITION; other fields keep their values. Safe on a turret whose INIT never ran and when
/// called twice. VARIANT(play): leaves the INIT slot and P_POSITION as they are.
void DESTROY(TURRET_TYPE& TURRET);

/// Stores the borrowed point (null detaches).
void SET_POSITION(TURRET_TYPE& TURRET, COORD_TYPE* POSITION);
/// Stores the borrowed aim point (null detaches).
void SET_TARGET(TURRET_TYPE& TURRET, COORD_TYPE* TARGET);

// ---- Timed parameter list -----------------------------------------------------------------

/// A new list: one empty node, owned by the caller.
TURRET_PARAM_LIST* PARAM_CREATE();
/// Releases every node from PARAM onwards and every set they hold; PARAM becomes null.
void PARAM_DESTROY(TURRET_PARAM_LIST*& PARAM);
/// A new zero-filled set, linked in as the last set of the list. With a null PARAM the set is
/// returned unlinked and the caller owns it.
TURRET_PARAM_TYPE* PARAM_ADD(TURRET_PARAM_LIST*& PARAM);
TURRET_PARAM_LIST* PARAM_GETFIRST(TURRET_PARAM_LIST*& PARAM);
TURRET_PARAM_LIST* PARAM_GETNEXT(TURRET_PARAM_LIST*& PARAM);
/// The node whose NEXT is null (the empty end node), or null for a null PARAM.
TURRET_PARAM_LIST* PARAM_GETLAST(TURRET_PARAM_LIST*& PARAM);
TURRET_PARAM_TYPE* PARAM_GETDATA(TURRET_PARAM_LIST*& PARAM);

/// Appends a copy of the caller's set (the caller keeps and may reuse its own).
void LIST_ADD(TURRET_TYPE& TURRET, TURRET_PARAM_TYPE*& XPARAMETERS);

/// Counts down the set under the cursor; when its DELAY drops below 0 the set is applied (a set
/// with DELAY d on the (d + 1)-th call), the ROTATE slot is rebound, free slots take the new
/// look, the cursor moves on, and the result is -1; otherwise 0. X, Y not 0 replace the
/// turret's coordinate. VARIANT(play): BULLETSHOOT is not copied.
int32_t LIST_MANAGE(TURRET_TYPE& TURRET, int32_t X, int32_t Y);

// ---- Stepping -----------------------------------------------------------------------------

/// One step of a turret: refresh free slots (when LIST_CHANGED is 0), copy the anchor points,
/// count down the shot clock, turn or aim once per wave, fire through SHOOTER_AI, then MOVE and
/// MOVE_BULLETS. Does nothing at all while ACTIVE is 0. LIST_CHANGED is LIST_MANAGE's result.
void SHOOT(TURRET_TYPE& TURRET, int32_t LIST_CHANGED);

/// Wrapping turn: ROTATION += ROTDIR * ROTSPEED; above MAXROTATION subtract MAXROTATION; then
/// below MINROTATION add MAXROTATION (each test once).
void ROTATE(TURRET_TYPE& TURRET);
/// Bouncing turn: ROTATION += ROTDIR * ROTSPEED; ROTDIR flips when ROTATION passes a limit
/// (not clamped; a value equal to a limit does not flip).
void ROTATE2(TURRET_TYPE& TURRET);
/// Binds the ROTATE slot: 1 the bouncing rule, any other value the wrapping rule.
void CHANGE_ROTATION_AI(TURRET_TYPE& TURRET, int32_t ROT_ID);
/// Adds XV, YV to X, Y.
void MOVE(TURRET_TYPE& TURRET);
/// Moves, animates (every 4th step; VARIANT(play): every 8th) and retires live bullets that
/// leave the field -20..340 x -70..270 or whose position is not a number.
void MOVE_BULLETS(TURRET_TYPE& TURRET);

/// The number of bullet slots that every pass over TURRET's array covers, drawing included:
/// MAXBULLET bounded by the DEFAULT_MAXBULLET slots that INIT allocates, 0 for a MAXBULLET of
/// 0 or below or a turret without a bullet array.
int32_t SLOT_COUNT(const TURRET_TYPE& TURRET);
/// The free-slot search of one shot (or of one copy into a pool): FIND returns the lowest free
/// index among P[0] to P[COUNT - 1] and moves past it, or -1 when no slot is free. The caller
/// must make every slot it is given live before the next FIND, and nothing may free a slot
/// while the cursor is in use: then every slot below NEXT is known to be taken, the next
/// search starts just above the last slot found, and a shot of N bullets costs at most COUNT
/// slot tests instead of N x COUNT, with the same slots chosen as a scan from slot 0.
struct FREE_SLOTS {
  BULLET_TYPE* P;
  int32_t COUNT;
  int32_t NEXT = 0;
  int32_t FIND() {
    while (NEXT < COUNT && P[NEXT].ACTIVE != 0) ++NEXT;
    if (NEXT >= COUNT) return -1;
    return NEXT++;
  }
};

/// Fires one shot: places BULLETS_PER_SHOT bullets into the lowest free slots as a single
/// bullet, a sweep (WAVEMODE 2), a fan with speed by distance from the middle (3), a wall (5)
/// or the default fan (any other mode). Bullets that find no free slot are dropped.
void SHOOTER_AI(TURRET_TYPE& TURRET);

// ---- Shared bullet pool -------------------------------------------------------------------

/// Binds DESTROY, SHOOT, COPY_BULLETS and takes POOL_MAXBULLET free slots.
void INIT(BARRAGE_TYPE& BARRAGE);
/// Releases the slots and clears the four operation slots; P_BULLETS becomes null.
void DESTROY(BARRAGE_TYPE& BARRAGE);
/// One step of every live pool bullet (animation every 8th step).
void BARRAGE_SHOOT(BARRAGE_TYPE& BARRAGE);
/// Copies the turret's live bullets into the lowest free pool slots; the turret is unchanged.
void BARRAGE_COPY_BULLETS(BARRAGE_TYPE& BARRAGE, TURRET_TYPE& TURRET);

}  // namespace NBARRAGE
