// turret_module: the barrage engine (namespace NBARRAGE).
// Every float expression is evaluated in double precision and rounded to a 32-bit float when
// it is stored, so results do not depend on the compiler's choice of single-precision maths.
#include "engine/turret_module.hpp"

#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "leakscope/leakscope.hpp"

namespace NBARRAGE {

namespace {

constexpr const char* MODULE = "turret_module";

// The field -20..340 x -70..270 around the 320 x 240 play area: bullets leave it 20 px beyond
// the side edges, 70 px above the top edge and 30 px below the bottom edge.
constexpr float FIELD_LEFT = -20.0f;
constexpr float FIELD_RIGHT = 340.0f;
constexpr float FIELD_TOP = -70.0f;
constexpr float FIELD_BOTTOM = 270.0f;

// Turret bullets advance their frame when ANIM is a multiple of 4, pool bullets of 8.
constexpr int32_t TURRET_ANIM_MASK = PLAYER_BUILD ? 7 : 3;  // VARIANT(play): every 8 steps
constexpr int32_t POOL_ANIM_MASK = 7;

float TO_F32(double V) { return static_cast<float>(V); }

// DEVIATION(engine-wraps): the engine's integer arithmetic wraps around in two's complement
// (through uint32_t), so absurd values from a parameter set never cause undefined behaviour.
// Pinned by TurretTest.RotationArithmeticWrapsInsteadOfOverflowing.
int32_t WRAP_ADD(int32_t A, int32_t B) {
  return static_cast<int32_t>(static_cast<uint32_t>(A) + static_cast<uint32_t>(B));
}
int32_t WRAP_SUB(int32_t A, int32_t B) {
  return static_cast<int32_t>(static_cast<uint32_t>(A) - static_cast<uint32_t>(B));
}
int32_t WRAP_MUL(int32_t A, int32_t B) {
  return static_cast<int32_t>(static_cast<uint32_t>(A) * static_cast<uint32_t>(B));
}
int32_t WRAP_NEG(int32_t A) { return WRAP_SUB(0, A); }

// Float to integer: nearest, halves to the even neighbour (the default rounding mode).
// QUIRK: not halves away from zero; pinned by TurretTest.FanStartRoundsHalvesToEven.
// DEVIATION(engine-int-min): a value that is not a number or lies outside the 32-bit range
// gives INT32_MIN, the value the x86 conversion instruction produces, instead of
// undefined behaviour. Pinned by TurretTest.AbsurdSpreadAndOffsetStayDefined.
int32_t ROUND_HALF_EVEN_OR_INT_MIN(double V) {
  const double R = std::nearbyint(V);
  if (!(R >= -2147483648.0 && R < 2147483648.0)) return INT32_MIN;
  return static_cast<int32_t>(R);
}

// CHOICE: INIT always allocates DEFAULT_MAXBULLET slots and nothing resizes them, so every
// pass over a turret's slots covers min(MAXBULLET, DEFAULT_MAXBULLET) slots: a parameter set
// with a larger MAXBULLET can never index outside the array, and a negative MAXBULLET covers
// no slot. A turret without a bullet array (INIT never ran, or the block could not be had)
// has no slots at all. Pinned by TurretTest.MaxBulletBeyondTheArrayNeverIndexesOutside and
// TurretTest.NegativeMaxBulletCoversNoSlot.
int32_t SLOT_COUNT(int32_t MAXBULLET, const BULLET_TYPE* P_BULLETS, int32_t ALLOCATED) {
  if (P_BULLETS == nullptr || MAXBULLET <= 0) return 0;
  return MAXBULLET < ALLOCATED ? MAXBULLET : ALLOCATED;
}
int32_t SLOT_COUNT(const BARRAGE_TYPE& P) {
  return SLOT_COUNT(P.MAXBULLET, P.P_BULLETS, POOL_MAXBULLET);
}

// The point record's fields differ between the builds.
#if VOLLEY_PLAYER_BUILD
float POINT_X(const COORD_TYPE& C) { return C.X; }  // VARIANT(play): X/Y point fields
float POINT_Y(const COORD_TYPE& C) { return C.Y; }
int32_t DIRECTION_FRAMES(const TURRET_TYPE&) { return 0; }  // VARIANT(play): no BULLET_TYPE
void COPY_BULLET_KIND(TURRET_TYPE&, const TURRET_PARAM_TYPE&) {}  // BULLETSHOOT is not copied
#else
float POINT_X(const COORD_TYPE& C) { return C.M_X; }
float POINT_Y(const COORD_TYPE& C) { return C.M_Y; }
int32_t DIRECTION_FRAMES(const TURRET_TYPE& T) { return T.BULLET_TYPE; }
void COPY_BULLET_KIND(TURRET_TYPE& T, const TURRET_PARAM_TYPE& S) { T.BULLET_TYPE = S.BULLET_TYPE; }
#endif

// FRAME becomes (FRAME + 1) modulo MAXFRAME.
// CHOICE: a run of MAXFRAME 0 or below has no frame but the first: FRAME becomes 0 instead
// of dividing by zero. Pinned by TurretTest.NonPositiveMaxFrameResetsFrame.
void ADVANCE_FRAME(BULLET_TYPE& B) {
  if (B.MAXFRAME <= 0) {
    B.FRAME = 0;
    return;
  }
  B.FRAME = WRAP_ADD(B.FRAME, 1) % B.MAXFRAME;
}

// One step of a live bullet: move, count, animate, retire outside the field. The animation
// mask is a template argument so that each caller gets its own copy, inlined into its loop.
template <int32_t ANIM_MASK>
void STEP_BULLET(BULLET_TYPE& B) {
  B.X = TO_F32(static_cast<double>(B.X) + B.XV);
  B.Y = TO_F32(static_cast<double>(B.Y) + B.YV);
  B.ANIM = WRAP_ADD(B.ANIM, 1);
  B.COUNTER = WRAP_ADD(B.COUNTER, 1);  // QUIRK: never reset; pinned by TurretTest.NewBulletKeepsTheAnimationOfItsSlot
  if ((B.ANIM & ANIM_MASK) == 0) ADVANCE_FRAME(B);
  // Bounds included; a position that is not a number fails every comparison and so
  // frees the slot. Pinned by TurretTest.NotANumberFreesTheSlot.
  if (!(B.X >= FIELD_LEFT && B.X <= FIELD_RIGHT && B.Y >= FIELD_TOP && B.Y <= FIELD_BOTTOM)) {
    B.ACTIVE = 0;
  }
}

// Direction index of a slot rotation in steps of 15 degrees, 24 to the full turn.
// CHOICE: added to MINFRAME unbounded (it reaches 24 and -24); the drawing side bounds frames.
// Pinned by TurretTest.SingleBulletDirectionIndexCanReachTwentyFour.
int32_t DIRECTION_INDEX(int32_t SLOT_ROTATION, bool ROUNDED) {
  const double V = static_cast<double>(SLOT_ROTATION) / 360.0 * 24.0 + (ROUNDED ? 0.5 : 0.0);
  return static_cast<int32_t>(std::floor(V));
}

// Places one bullet of a shot, if a slot is free: on the circle of RADIUS at ANGLE_RAD (the
// bullet's own angle, which the caller has already converted), moving along DIRECTION.
// Returns false when no slot is left.
bool PLACE(TURRET_TYPE& T, FREE_SLOTS& SLOTS, float ANGLE_RAD, int32_t SLOT_ROTATION,
           float DIRECTION, float SPEED, bool ROUNDED_INDEX) {
  const int32_t I = SLOTS.FIND();
  if (I < 0) return false;
  BULLET_TYPE& B = T.P_BULLETS[I];
  B.ROTATION = SLOT_ROTATION;
  B.X = TO_F32(std::cos(static_cast<double>(ANGLE_RAD)) * T.RADIUS + T.X);
  B.Y = TO_F32(std::sin(static_cast<double>(ANGLE_RAD)) * T.RADIUS + T.Y);
  B.XV = TO_F32(std::cos(static_cast<double>(DIRECTION)) * SPEED);
  B.YV = TO_F32(std::sin(static_cast<double>(DIRECTION)) * SPEED);
  B.ACTIVE = -1;
  if constexpr (!PLAYER_BUILD) {  // VARIANT(play): no direction frames
    if (DIRECTION_FRAMES(T) == 1) {
      B.MINFRAME = WRAP_ADD(B.MINFRAME, DIRECTION_INDEX(B.ROTATION, ROUNDED_INDEX));
    }
  }
  return true;
}

// The slot rotation a case stores; the player stores (ANGLE mod 360) + 270 in every case.
int32_t SLOT_ROTATION(int32_t DESIGNER_VALUE, int32_t ANGLE) {
  if constexpr (PLAYER_BUILD) return WRAP_ADD(ANGLE % 360, 270);  // VARIANT(play): +270
  return DESIGNER_VALUE;
}

// Aims at TARGETX, TARGETY: the angle in whole degrees, 0 to 359 (a target on the turret
// gives 0). VARIANT(play): the rounded angle is kept within -180..180, without +360 and mod.
void AIM(TURRET_TYPE& T) {
  const float A = TO_F32(std::atan2(static_cast<double>(T.TARGETY) - T.Y,
                                    static_cast<double>(T.TARGETX) - T.X));
  if constexpr (PLAYER_BUILD) {
    T.ROTATION = ROUND_HALF_EVEN_OR_INT_MIN(static_cast<double>(A) * RAD_TO_DEG);
  } else {
    T.ROTATION = ROUND_HALF_EVEN_OR_INT_MIN(static_cast<double>(A) * RAD_TO_DEG + 360.0) % 360;
  }
}

// Sets a slot to the look of a fresh slot (INIT of a turret or a pool).
void FRESH_SLOT(BULLET_TYPE& B) {
  B.FRAME = 0;
  B.MINFRAME = 0;
  B.MAXFRAME = 4;
  B.ENERGY = 10;
  B.DEATH_ID = 1;
}

}  // namespace

int32_t SLOT_COUNT(const TURRET_TYPE& TURRET) {
  return SLOT_COUNT(TURRET.MAXBULLET, TURRET.P_BULLETS, DEFAULT_MAXBULLET);
}

// ---- Turret lifecycle ---------------------------------------------------------------------

void INIT(TURRET_TYPE& TURRET) {
  // Bind the seven slots after INIT; the INIT slot is the owner's.
  TURRET.DESTROY = DESTROY;
  TURRET.SHOOT = SHOOT;
  TURRET.ROTATE = ROTATE;
  TURRET.LIST_ADD = LIST_ADD;
  TURRET.LIST_MANAGE = LIST_MANAGE;
  TURRET.SET_TARGET = SET_TARGET;
  TURRET.SET_POSITION = SET_POSITION;
  SET_DEFAULTS(TURRET);
  // A zero-filled block of MAXBULLET slots (always the build's default).
  TURRET.P_BULLETS = static_cast<BULLET_TYPE*>(LEAKSCOPE_CALLOCATE(
      static_cast<uint32_t>(DEFAULT_MAXBULLET * sizeof(BULLET_TYPE)), MODULE, __LINE__));
  // Re-bind the (null) position through the slot.
  if constexpr (!PLAYER_BUILD) {  // VARIANT(play): no SET_POSITION call
    TURRET.SET_POSITION(TURRET, TURRET.P_POSITION);
  }
  // Every slot free, with the look of a fresh slot.
  // QUIRK: MAXFRAME 4, not CURRENT_NUM_FRAME (1); pinned by TurretTest.FreeSlotsHaveMaxFrameFour.
  const int32_t N = SLOT_COUNT(TURRET);
  for (int32_t I = 0; I < N; ++I) FRESH_SLOT(TURRET.P_BULLETS[I]);
  // An empty timed list with the cursor on its only node.
  TURRET.P_PARAMETERS = PARAM_CREATE();
  TURRET.P_NODE = PARAM_GETFIRST(TURRET.P_PARAMETERS);
}

void SET_DEFAULTS(TURRET_TYPE& TURRET) {
  TURRET.LISTINDEX = 0;
  TURRET.TARGETING = 0;
  TURRET.X = 0.0f;
  TURRET.Y = 0.0f;
  TURRET.XV = 0.0f;
  TURRET.YV = 0.0f;
  TURRET.TARGETX = 0.0f;
  TURRET.TARGETY = 0.0f;
  TURRET.ACTIVE = -1;
  TURRET.RADIUS = 0.0f;
  TURRET.ROTATION = 0;
  TURRET.MINROTATION = 0;
  TURRET.MAXROTATION = 360;
  TURRET.ROTSPEED = 3;
  TURRET.ROTDIR = 1;
  TURRET.SPAWNDELAY = 0;
  TURRET.MAXSPAWNDELAY = 3;
  TURRET.MAXBULLET = DEFAULT_MAXBULLET;
  TURRET.BULLET_ENERGY = 10;
  TURRET.BULLET_DEATH_ID = 1;
  TURRET.BULLETS_PER_SHOT = 1;
  TURRET.SPREAD_ROTATION = TURRET.ROTSPEED;
  // VARIANT(play): the integer speed 2 (1.5 rounded half to even)
  TURRET.BULLETSPEED = static_cast<SPEED_TYPE>(PLAYER_BUILD ? 2.0 : 1.5);
  TURRET.BULLETSPEED_DELTA = 0.0f;
  TURRET.BULLETOFFSET = 1.0f;
  TURRET.WAVEMODE = 0;
  TURRET.BULLETCOUNTER = 0;
  TURRET.BULLETWAVEMAXDELAY = 2;
  TURRET.CURRENT_MIN_FRAME = 0;
  TURRET.CURRENT_NUM_FRAME = 1;
  TURRET.P_TARGET = nullptr;
  if constexpr (!PLAYER_BUILD) TURRET.P_POSITION = nullptr;  // VARIANT(play): P_POSITION kept
}

void DESTROY(TURRET_TYPE& TURRET) {
  // The bullet array, the whole timed list, then the slots and the borrowed points.
  if (TURRET.P_BULLETS != nullptr) {
    LEAKSCOPE_DEALLOCATE(TURRET.P_BULLETS, MODULE, __LINE__, "turret.p_bullets");
    TURRET.P_BULLETS = nullptr;
  }
  PARAM_DESTROY(TURRET.P_PARAMETERS);
  TURRET.P_NODE = nullptr;
  if constexpr (!PLAYER_BUILD) TURRET.INIT = nullptr;  // VARIANT(play): INIT slot kept
  TURRET.DESTROY = nullptr;
  TURRET.SHOOT = nullptr;
  TURRET.ROTATE = nullptr;
  TURRET.LIST_ADD = nullptr;
  TURRET.LIST_MANAGE = nullptr;
  TURRET.SET_TARGET = nullptr;
  TURRET.SET_POSITION = nullptr;
  TURRET.P_TARGET = nullptr;
  if constexpr (!PLAYER_BUILD) TURRET.P_POSITION = nullptr;  // VARIANT(play): P_POSITION kept
}

void SET_POSITION(TURRET_TYPE& TURRET, COORD_TYPE* POSITION) { TURRET.P_POSITION = POSITION; }

void SET_TARGET(TURRET_TYPE& TURRET, COORD_TYPE* TARGET) { TURRET.P_TARGET = TARGET; }

// ---- Timed parameter list -----------------------------------------------------------------

TURRET_PARAM_LIST* PARAM_CREATE() {
  return static_cast<TURRET_PARAM_LIST*>(
      LEAKSCOPE_CALLOCATE(sizeof(TURRET_PARAM_LIST), MODULE, __LINE__));
}

void PARAM_DESTROY(TURRET_PARAM_LIST*& PARAM) {
  if (PARAM == nullptr) return;
  TURRET_PARAM_LIST* P_TEMP = PARAM;
  while (P_TEMP != nullptr) {
    TURRET_PARAM_LIST* NEXT = P_TEMP->NEXT;
    if (P_TEMP->DATA != nullptr) {
      LEAKSCOPE_DEALLOCATE(P_TEMP->DATA, MODULE, __LINE__, "p_temp->data");
      P_TEMP->DATA = nullptr;
    }
    LEAKSCOPE_DEALLOCATE(P_TEMP, MODULE, __LINE__, "p_temp");
    P_TEMP = NEXT;
  }
  PARAM = nullptr;
}

TURRET_PARAM_TYPE* PARAM_ADD(TURRET_PARAM_LIST*& PARAM) {
  auto* SET = static_cast<TURRET_PARAM_TYPE*>(
      LEAKSCOPE_CALLOCATE(sizeof(TURRET_PARAM_TYPE), MODULE, __LINE__));
  if (PARAM == nullptr) return SET;
  // The set goes into the empty end node, and a fresh empty node is appended behind it.
  TURRET_PARAM_LIST* LAST = PARAM_GETLAST(PARAM);
  LAST->NEXT = static_cast<TURRET_PARAM_LIST*>(
      LEAKSCOPE_CALLOCATE(sizeof(TURRET_PARAM_LIST), MODULE, __LINE__));
  LAST->DATA = SET;
  return SET;
}

TURRET_PARAM_LIST* PARAM_GETFIRST(TURRET_PARAM_LIST*& PARAM) { return PARAM; }

TURRET_PARAM_LIST* PARAM_GETNEXT(TURRET_PARAM_LIST*& PARAM) {
  return PARAM != nullptr ? PARAM->NEXT : nullptr;
}

TURRET_PARAM_LIST* PARAM_GETLAST(TURRET_PARAM_LIST*& PARAM) {
  TURRET_PARAM_LIST* NODE = PARAM;
  if (NODE == nullptr) return nullptr;
  while (NODE->NEXT != nullptr) NODE = NODE->NEXT;
  return NODE;
}

TURRET_PARAM_TYPE* PARAM_GETDATA(TURRET_PARAM_LIST*& PARAM) {
  return PARAM != nullptr ? PARAM->DATA : nullptr;
}

void LIST_ADD(TURRET_TYPE& TURRET, TURRET_PARAM_TYPE*& XPARAMETERS) {
  TURRET_PARAM_TYPE* SET = PARAM_ADD(TURRET.P_PARAMETERS);
  *SET = *XPARAMETERS;
}

int32_t LIST_MANAGE(TURRET_TYPE& TURRET, int32_t X, int32_t Y) {
  // No list, or the cursor on the empty end node: the programme is over.
  if (TURRET.P_NODE == nullptr || TURRET.P_NODE->NEXT == nullptr) return 0;
  // Count down in the stored set; the set applies once its DELAY falls below 0.
  TURRET_PARAM_TYPE& S = *TURRET.P_NODE->DATA;
  S.DELAY = WRAP_SUB(S.DELAY, 1);
  if (S.DELAY >= 0) return 0;
  // The cursor moves on.
  TURRET.LISTINDEX = WRAP_ADD(TURRET.LISTINDEX, 1);
  TURRET.P_NODE = TURRET.P_NODE->NEXT;
  // Copy the set.
  TURRET.TARGETING = S.TARGETING;
  TURRET.X = S.X;
  TURRET.Y = S.Y;
  TURRET.XV = S.XV;
  TURRET.YV = S.YV;
  TURRET.TARGETX = S.TARGETX;
  TURRET.TARGETY = S.TARGETY;
  TURRET.ACTIVE = S.ACTIVE;
  TURRET.RADIUS = S.RADIUS;
  TURRET.ROTATION = S.ROTATION;
  TURRET.MINROTATION = S.MINROTATION;
  TURRET.MAXROTATION = S.MAXROTATION;
  TURRET.ROTSPEED = S.ROTSPEED;
  TURRET.ROTDIR = S.ROTDIR;
  TURRET.SPAWNDELAY = S.SPAWNDELAY;
  TURRET.MAXSPAWNDELAY = S.MAXSPAWNDELAY;
  TURRET.MAXBULLET = S.MAXBULLET;
  TURRET.BULLET_ENERGY = S.BULLET_ENERGY;
  TURRET.BULLET_DEATH_ID = S.BULLET_DEATH_ID;
  TURRET.BULLETS_PER_SHOT = S.BULLETS_PER_SHOT;
  TURRET.SPREAD_ROTATION = S.SPREAD_ROTATION;
  TURRET.BULLETSPEED = S.BULLETSPEED;
  TURRET.BULLETSPEED_DELTA = S.BULLETSPEED_DELTA;
  TURRET.BULLETOFFSET = S.BULLETOFFSET;
  TURRET.WAVEMODE = S.WAVEMODE;
  TURRET.BULLETCOUNTER = S.BULLETCOUNTER;
  TURRET.BULLETWAVEMAX = S.BULLETWAVEMAX;
  TURRET.BULLETWAVEMAXDELAY = S.BULLETWAVEMAXDELAY;
  COPY_BULLET_KIND(TURRET, S);  // VARIANT(play): BULLETSHOOT is not copied
  TURRET.CURRENT_MIN_FRAME = S.BULLET_MIN_FRAME;
  TURRET.CURRENT_NUM_FRAME = S.BULLET_NUM_FRAME;
  // The rotation rule.
  CHANGE_ROTATION_AI(TURRET, S.ROTATION_AI);
  // Free slots take the new look (DEATH_ID is left to SHOOT's refresh).
  const int32_t N = SLOT_COUNT(TURRET);
  for (int32_t I = 0; I < N; ++I) {
    BULLET_TYPE& B = TURRET.P_BULLETS[I];
    if (B.ACTIVE != 0) continue;
    B.MINFRAME = TURRET.CURRENT_MIN_FRAME;
    B.MAXFRAME = TURRET.CURRENT_NUM_FRAME;
    B.ENERGY = TURRET.BULLET_ENERGY;
  }
  // An explicit coordinate; 0 leaves it alone.
  if (X != 0) TURRET.X = static_cast<float>(X);
  if (Y != 0) TURRET.Y = static_cast<float>(Y);
  return -1;
}

// ---- Stepping -----------------------------------------------------------------------------

void SHOOT(TURRET_TYPE& TURRET, int32_t LIST_CHANGED) {
  // An inactive turret is not stepped at all: its bullets freeze.
  if (TURRET.ACTIVE == 0) return;
  // Refresh free slots whose run differs from the turret's.
  if (LIST_CHANGED == 0) {
    const int32_t N = SLOT_COUNT(TURRET);
    for (int32_t I = 0; I < N; ++I) {
      BULLET_TYPE& B = TURRET.P_BULLETS[I];
      if (B.ACTIVE != 0 || B.MINFRAME == TURRET.CURRENT_MIN_FRAME) continue;
      B.MINFRAME = TURRET.CURRENT_MIN_FRAME;
      B.MAXFRAME = TURRET.CURRENT_NUM_FRAME;
      B.ENERGY = TURRET.BULLET_ENERGY;
      B.DEATH_ID = TURRET.BULLET_DEATH_ID;
    }
  }
  // The anchor points.
  if (TURRET.P_TARGET != nullptr) {
    TURRET.TARGETX = POINT_X(*TURRET.P_TARGET);
    TURRET.TARGETY = POINT_Y(*TURRET.P_TARGET);
  }
  if (TURRET.P_POSITION != nullptr) {
    TURRET.X = POINT_X(*TURRET.P_POSITION);
    TURRET.Y = POINT_Y(*TURRET.P_POSITION);
  }
  // The shot clock.
  TURRET.SPAWNDELAY = WRAP_SUB(TURRET.SPAWNDELAY, 1);
  if (TURRET.SPAWNDELAY < 0) {
    // A wave opens with a turn or an aim.
    if (TURRET.BULLETCOUNTER == 0) {
      if (TURRET.TARGETING != 0) {
        AIM(TURRET);
      } else {
        TURRET.ROTATE(TURRET);
      }
    }
    // Count the shot; the last shot of a wave loads the long delay.
    TURRET.SPAWNDELAY = TURRET.BULLETWAVEMAXDELAY;
    TURRET.BULLETCOUNTER = WRAP_ADD(TURRET.BULLETCOUNTER, 1);
    if (TURRET.BULLETCOUNTER > TURRET.BULLETWAVEMAX) {
      TURRET.BULLETCOUNTER = 0;
      TURRET.SPAWNDELAY = TURRET.MAXSPAWNDELAY;
    }
    SHOOTER_AI(TURRET);
  }
  // Motion of the turret, then of its bullets.
  MOVE(TURRET);
  MOVE_BULLETS(TURRET);
}

void ROTATE(TURRET_TYPE& TURRET) {
  // The wrap distance is MAXROTATION itself, and each test is applied once.
  TURRET.ROTATION = WRAP_ADD(TURRET.ROTATION, WRAP_MUL(TURRET.ROTDIR, TURRET.ROTSPEED));
  if (TURRET.ROTATION > TURRET.MAXROTATION) {
    TURRET.ROTATION = WRAP_SUB(TURRET.ROTATION, TURRET.MAXROTATION);
  }
  if (TURRET.ROTATION < TURRET.MINROTATION) {
    TURRET.ROTATION = WRAP_ADD(TURRET.ROTATION, TURRET.MAXROTATION);
  }
}

void ROTATE2(TURRET_TYPE& TURRET) {
  // Not clamped: the aim may pass a limit by up to ROTSPEED and comes back on the next turn.
  TURRET.ROTATION = WRAP_ADD(TURRET.ROTATION, WRAP_MUL(TURRET.ROTDIR, TURRET.ROTSPEED));
  if (TURRET.ROTATION > TURRET.MAXROTATION) TURRET.ROTDIR = WRAP_NEG(TURRET.ROTDIR);
  if (TURRET.ROTATION < TURRET.MINROTATION) TURRET.ROTDIR = WRAP_NEG(TURRET.ROTDIR);
}

void CHANGE_ROTATION_AI(TURRET_TYPE& TURRET, int32_t ROT_ID) {
  TURRET.ROTATE = ROT_ID == 1 ? ROTATE2 : ROTATE;
}

void MOVE(TURRET_TYPE& TURRET) {
  TURRET.X = TO_F32(static_cast<double>(TURRET.X) + TURRET.XV);
  TURRET.Y = TO_F32(static_cast<double>(TURRET.Y) + TURRET.YV);
}

void MOVE_BULLETS(TURRET_TYPE& TURRET) {
  const int32_t N = SLOT_COUNT(TURRET);
  for (int32_t I = 0; I < N; ++I) {
    BULLET_TYPE& B = TURRET.P_BULLETS[I];
    if (B.ACTIVE != 0) STEP_BULLET<TURRET_ANIM_MASK>(B);
  }
}

void SHOOTER_AI(TURRET_TYPE& TURRET) {
  TURRET_TYPE& T = TURRET;
  const int32_t N = T.BULLETS_PER_SHOT;
  const int32_t D = T.ROTDIR;
  FREE_SLOTS SLOTS{T.P_BULLETS, SLOT_COUNT(T)};
  const double SPEED = static_cast<double>(T.BULLETSPEED);  // the player's integer speed too

  // Working values shared by the cases.
  const float BULLET_OFFSET = (T.WAVEMODE == 4 && (T.BULLETCOUNTER & 1) != 0) ? T.BULLETOFFSET : 1.0f;
  const int32_t ANGLE_FIX = (N & 1) != 0 ? 0 : 1;
  // k is the shot's index within its wave: SHOOT has already counted the current shot.
  const int32_t K = T.BULLETCOUNTER != 0 ? WRAP_SUB(T.BULLETCOUNTER, 1) : T.BULLETWAVEMAX;
  const float B_DELTA = TO_F32(SPEED + static_cast<double>(T.BULLETSPEED_DELTA) * K);

  // Single bullet, whatever the mode.
  if (N == 1) {
    const int32_t ANGLE = T.ROTATION;
    const float ANGLE_RAD = TO_F32(static_cast<double>(ANGLE) * DEG_TO_RAD);
    PLACE(T, SLOTS, ANGLE_RAD, SLOT_ROTATION(T.ROTATION % 360, ANGLE), ANGLE_RAD, B_DELTA, true);
    return;
  }

  // Mode 2, sweep: steps to one side only, speeds rising evenly over the shot.
  if (T.WAVEMODE == 2) {
    const int32_t SPREAD_ROT = T.SPREAD_ROTATION;
    const int32_t STEP = WRAP_MUL(D, SPREAD_ROT);
    int32_t ANGLE = T.ROTATION;
    for (int32_t J = 0; J < N; ++J) {
      ANGLE = WRAP_ADD(ANGLE, STEP);
      const float FACTOR = TO_F32(static_cast<double>(J + 1) * T.BULLETSPEED_DELTA / N + SPEED);
      const float ANGLE_RAD = TO_F32(static_cast<double>(ANGLE) * DEG_TO_RAD);
      // A full array drops the rest of the shot; nothing else would change.
      if (!PLACE(T, SLOTS, ANGLE_RAD, SLOT_ROTATION(ANGLE % 360, ANGLE), ANGLE_RAD, FACTOR, true)) return;
    }
    return;
  }

  // Modes 3, 5 and the default fan share the start angle.
  const int32_t SPREAD_ROT =
      ROUND_HALF_EVEN_OR_INT_MIN(static_cast<double>(T.SPREAD_ROTATION) * BULLET_OFFSET);
  // The division by 2 is exact (2.5, not 2); the rounding can shift a fan by half a degree.
  const int32_t START_ANGLE = ROUND_HALF_EVEN_OR_INT_MIN(
      static_cast<double>(T.ROTATION) -
      (static_cast<double>(ANGLE_FIX) + N) / 2.0 * (static_cast<double>(D) * SPREAD_ROT));
  const int32_t STEP = WRAP_MUL(D, SPREAD_ROT);
  const int32_t H = N / 2;  // middle of the speed profile (modes 3 and 5)
  const float ROT_RAD = TO_F32(static_cast<double>(T.ROTATION) * DEG_TO_RAD);

  int32_t ANGLE = START_ANGLE;
  for (int32_t J = 0; J < N; ++J) {
    ANGLE = WRAP_ADD(ANGLE, STEP);
    const float ANGLE_RAD = TO_F32(static_cast<double>(ANGLE) * DEG_TO_RAD);
    bool PLACED = false;
    if (T.WAVEMODE == 3 || T.WAVEMODE == 5) {
      // Speed by distance from bullet H (not from the fan's middle when N is even).
      const float CENTERFACTOR = TO_F32(static_cast<double>(std::abs(J - H)) / H);
      const float FACTOR = TO_F32(static_cast<double>(CENTERFACTOR) * T.BULLETSPEED_DELTA + SPEED);
      // The wall (mode 5) starts on the fan but every bullet moves along the aim.
      const float DIRECTION = T.WAVEMODE == 5 ? ROT_RAD : ANGLE_RAD;
      PLACED = PLACE(T, SLOTS, ANGLE_RAD, SLOT_ROTATION(ANGLE % 360, ANGLE), DIRECTION, FACTOR, true);
    } else {
      PLACED = PLACE(T, SLOTS, ANGLE_RAD, SLOT_ROTATION(WRAP_ADD(ANGLE, 360) % 360, ANGLE), ANGLE_RAD,
                     B_DELTA, false);
    }
    if (!PLACED) return;
  }
}

// ---- Shared bullet pool -------------------------------------------------------------------

void INIT(BARRAGE_TYPE& BARRAGE) {
  // Bind the slots; the INIT slot is the owner's.
  BARRAGE.DESTROY = DESTROY;
  BARRAGE.SHOOT = BARRAGE_SHOOT;
  BARRAGE.COPY_BULLETS = BARRAGE_COPY_BULLETS;
  // A zero-filled block of 512 slots.
  BARRAGE.MAXBULLET = POOL_MAXBULLET;
  BARRAGE.P_BULLETS = static_cast<BULLET_TYPE*>(LEAKSCOPE_CALLOCATE(
      static_cast<uint32_t>(POOL_MAXBULLET * sizeof(BULLET_TYPE)), MODULE, __LINE__));
  // Every slot free, with the look of a fresh slot.
  const int32_t N = SLOT_COUNT(BARRAGE);
  for (int32_t I = 0; I < N; ++I) {
    BARRAGE.P_BULLETS[I].ACTIVE = 0;
    FRESH_SLOT(BARRAGE.P_BULLETS[I]);
  }
}

void DESTROY(BARRAGE_TYPE& BARRAGE) {
  // No test for null: a pool whose INIT never ran hands a null block to the tracker, which
  // reports the invalid release.
  LEAKSCOPE_DEALLOCATE(BARRAGE.P_BULLETS, MODULE, __LINE__, "barrage.p_bullets");
  // CHOICE: the released array is forgotten (P_BULLETS null, MAXBULLET 0), so a stray step or
  // copy on a destroyed pool touches nothing. Pinned by PoolTest.DestroyForgetsTheArray.
  BARRAGE.P_BULLETS = nullptr;
  BARRAGE.MAXBULLET = 0;
  BARRAGE.INIT = nullptr;
  BARRAGE.DESTROY = nullptr;
  BARRAGE.SHOOT = nullptr;
  BARRAGE.COPY_BULLETS = nullptr;
}

void BARRAGE_SHOOT(BARRAGE_TYPE& BARRAGE) {
  const int32_t N = SLOT_COUNT(BARRAGE);
  for (int32_t I = 0; I < N; ++I) {
    BULLET_TYPE& B = BARRAGE.P_BULLETS[I];
    if (B.ACTIVE != 0) STEP_BULLET<POOL_ANIM_MASK>(B);
  }
}

void BARRAGE_COPY_BULLETS(BARRAGE_TYPE& BARRAGE, TURRET_TYPE& TURRET) {
  FREE_SLOTS POOL{BARRAGE.P_BULLETS, SLOT_COUNT(BARRAGE)};
  const int32_t N = SLOT_COUNT(TURRET);
  for (int32_t I = 0; I < N; ++I) {
    const BULLET_TYPE& B = TURRET.P_BULLETS[I];
    if (B.ACTIVE == 0) continue;
    const int32_t J = POOL.FIND();
    if (J < 0) return;  // a full pool drops the rest
    BARRAGE.P_BULLETS[J] = B;  // all thirteen fields
  }
}

}  // namespace NBARRAGE
