// volleyedit statistics text (namespace NDESIGNER).
#include "volleyedit/stats.hpp"

#include "volleyedit/number_format.hpp"

namespace NDESIGNER {

namespace {

using NBARRAGE::TURRET_TYPE;

const char* const LABELS[STAT_LINES] = {
    "listindex = ",       "targeting = ",           "position = ",        "target = ",
    "x = ",               "y = ",                   "xv = ",              "yv = ",
    "target_x = ",        "targety = ",             "active = ",          "radius = ",
    "rotation = ",        "min_rot = ",             "max_rot = ",         "rotspeed = ",
    "rotdir = ",          "spawndelay = ",          "maxspawndelay = ",   "maxbullet = ",
    "bullet_energy = ",   "death_ID = ",            "bullets/shot = ",    "spread_rotation = ",
    "bullet_speed = ",    "bullet_speed_delta = ",  "bullet_offset = ",   "wavemode = ",
    "bullet_counter = ",  "bullet_wavemax = ",      "bullet_wavemax_delay = ",
    "bullet_type = ",     "min_frame = ",           "max_frame = ",
};

std::string FIELD_TEXT(const TURRET_TYPE& C, int32_t LINE) {
  switch (LINE) {
    case 0: return FORMAT_INT(C.LISTINDEX);
    case 1: return FORMAT_INT(C.TARGETING);
    case 2: return FORMAT_REF(C.P_POSITION);
    case 3: return FORMAT_REF(C.P_TARGET);
    case 4: return FORMAT_FLOAT(C.X);
    case 5: return FORMAT_FLOAT(C.Y);
    case 6: return FORMAT_FLOAT(C.XV);
    case 7: return FORMAT_FLOAT(C.YV);
    case 8: return FORMAT_FLOAT(C.TARGETX);
    case 9: return FORMAT_FLOAT(C.TARGETY);
    case 10: return FORMAT_INT(C.ACTIVE);
    case 11: return FORMAT_FLOAT(C.RADIUS);
    case 12: return FORMAT_INT(C.ROTATION);
    case 13: return FORMAT_INT(C.MINROTATION);
    case 14: return FORMAT_INT(C.MAXROTATION);
    case 15: return FORMAT_INT(C.ROTSPEED);
    case 16: return FORMAT_INT(C.ROTDIR);
    case 17: return FORMAT_INT(C.SPAWNDELAY);
    case 18: return FORMAT_INT(C.MAXSPAWNDELAY);
    case 19: return FORMAT_INT(C.MAXBULLET);
    case 20: return FORMAT_INT(C.BULLET_ENERGY);
    case 21: return FORMAT_INT(C.BULLET_DEATH_ID);
    case 22: return FORMAT_INT(C.BULLETS_PER_SHOT);
    case 23: return FORMAT_INT(C.SPREAD_ROTATION);
    case 24: return FORMAT_FLOAT(C.BULLETSPEED);
    case 25: return FORMAT_FLOAT(C.BULLETSPEED_DELTA);
    case 26: return FORMAT_FLOAT(C.BULLETOFFSET);
    case 27: return FORMAT_INT(C.WAVEMODE);
    case 28: return FORMAT_INT(C.BULLETCOUNTER);
    case 29: return FORMAT_INT(C.BULLETWAVEMAX);
    case 30: return FORMAT_INT(C.BULLETWAVEMAXDELAY);
    case 31: return FORMAT_INT(C.BULLET_TYPE);
    case 32: return FORMAT_INT(C.CURRENT_MIN_FRAME);
    case 33: return FORMAT_INT(C.CURRENT_NUM_FRAME);
    default: return std::string();
  }
}

}  // namespace

const char* STAT_LABEL(int32_t LINE) { return LABELS[LINE]; }

std::string STAT_TEXT(const TURRET_TYPE& CANNON, int32_t LINE) {
  return LABELS[LINE] + FIELD_TEXT(CANNON, LINE);
}

std::string RIGHT_TEXT(int32_t LINE, int32_t ACTIVEINDEX, int32_t ROTATION_AI,
                       float START_ROTATION) {
  switch (LINE) {
    case 0: return "Cannon number = " + FORMAT_INT(ACTIVEINDEX);
    case 1: return "rotation AI = " + FORMAT_INT(ROTATION_AI);
    case 2: return "start rotation = " + FORMAT_FLOAT(START_ROTATION);
    default: return std::string();
  }
}

}  // namespace NDESIGNER
