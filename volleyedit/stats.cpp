// volleyedit statistics text (namespace NDESIGNER).
#include "volleyedit/stats.hpp"

#include "volleyedit/menu.hpp"
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

// The field is the one the menu row of the same number stands for.
std::string FIELD_TEXT(const TURRET_TYPE& C, int32_t LINE) {
  const ROW_FIELD F = FIELD_OF_ROW(LINE);
  switch (F.KIND) {
    case ROW_KIND::INTEGER: return FORMAT_INT(C.*F.INT_FIELD);
    case ROW_KIND::FLOAT: return FORMAT_FLOAT(C.*F.FLOAT_FIELD);
    case ROW_KIND::REFERENCE: return FORMAT_REF(C.*F.REF_FIELD);
    case ROW_KIND::SWITCH: break;
  }
  return std::string();
}

}  // namespace

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

std::string PROGRAMME_TEXT(int32_t LINE, int32_t SET, int32_t SETS, int32_t DELAY, bool PLAYING) {
  switch (LINE) {
    case 0: return "set " + FORMAT_INT(SET) + " of " + FORMAT_INT(SETS);
    case 1: return "delay " + FORMAT_INT(DELAY);
    case 2: return PLAYING ? "playing" : "editing";
    default: return std::string();
  }
}

}  // namespace NDESIGNER
