// Tests of the statistics text: the label and format of every line and the float format.
#include <gtest/gtest.h>

#include <limits>

#include "volleyedit/number_format.hpp"
#include "volleyedit/stats.hpp"

namespace {

using NDESIGNER::FORMAT_FLOAT;

TEST(StatsFloatFormat, PlainValuesLoseTrailingZeros) {
  EXPECT_EQ(FORMAT_FLOAT(100.0f), "100") << "no point without digits after it";
  EXPECT_EQ(FORMAT_FLOAT(0.1f), "0.1") << "the float nearest 0.1 shows as 0.1";
  EXPECT_EQ(FORMAT_FLOAT(-2.5f), "-2.5");
  EXPECT_EQ(FORMAT_FLOAT(1.3f), "1.3");
  EXPECT_EQ(FORMAT_FLOAT(0.0f), "0");
  EXPECT_EQ(FORMAT_FLOAT(0.3f), "0.3");
  EXPECT_EQ(FORMAT_FLOAT(280.0f), "280");
}

TEST(StatsFloatFormat, SevenSignificantDigits) {
  EXPECT_EQ(FORMAT_FLOAT(1234567.0f), "1234567") << "exponent 6 is still fixed";
  EXPECT_EQ(FORMAT_FLOAT(3.14159274f), "3.141593");
  EXPECT_EQ(FORMAT_FLOAT(0.0001f), "0.0001") << "exponent -4 is still fixed";
  EXPECT_EQ(FORMAT_FLOAT(123.456787f), "123.4568");
}

TEST(StatsFloatFormat, ExponentFormForVerySmallAndLargeValues) {
  EXPECT_EQ(FORMAT_FLOAT(1.0e7f), "1e+07") << "exponent 7 switches to exponent form";
  EXPECT_EQ(FORMAT_FLOAT(12345678.0f), "1.234568e+07");
  EXPECT_EQ(FORMAT_FLOAT(1.5e-5f), "1.5e-05") << "exponent -5 switches to exponent form";
  EXPECT_EQ(FORMAT_FLOAT(-3.0e20f), "-3e+20");
  EXPECT_EQ(FORMAT_FLOAT(1.0e-30f), "1e-30");
  EXPECT_EQ(FORMAT_FLOAT(3.4028235e38f), "3.402823e+38");
}

TEST(StatsNumberFormat, References) {
  EXPECT_EQ(NDESIGNER::FORMAT_REF(nullptr), "0") << "an empty reference shows 0";
  EXPECT_EQ(NDESIGNER::FORMAT_REF(reinterpret_cast<const void*>(std::uintptr_t{4096})), "4096");
}

TEST(StatsText, EveryLineHasItsLabelAndFormat) {
  NBARRAGE::COORD_TYPE POINT{};
  NBARRAGE::TURRET_TYPE C{};
  C.LISTINDEX = 1;
  C.TARGETING = -1;
  C.P_POSITION = nullptr;
  C.P_TARGET = &POINT;
  C.X = 280.0f;
  C.Y = 100.5f;
  C.XV = -0.1f;
  C.YV = 0.2f;
  C.TARGETX = 3.0f;
  C.TARGETY = 4.25f;
  C.ACTIVE = -1;
  C.RADIUS = 10.0f;
  C.ROTATION = 143;
  C.MINROTATION = 0;
  C.MAXROTATION = 359;
  C.ROTSPEED = 8;
  C.ROTDIR = -1;
  C.SPAWNDELAY = 4;
  C.MAXSPAWNDELAY = 5;
  C.MAXBULLET = 128;
  C.BULLET_ENERGY = 10;
  C.BULLET_DEATH_ID = 2;
  C.BULLETS_PER_SHOT = 4;
  C.SPREAD_ROTATION = 25;
  C.BULLETSPEED = 4.0f;
  C.BULLETSPEED_DELTA = -2.5f;
  C.BULLETOFFSET = 1.3f;
  C.WAVEMODE = 3;
  C.BULLETCOUNTER = 6;
  C.BULLETWAVEMAX = 7;
  C.BULLETWAVEMAXDELAY = 9999;
  C.BULLET_TYPE = 1;
  C.CURRENT_MIN_FRAME = 26;
  C.CURRENT_NUM_FRAME = 999;
  const std::string TARGET = std::to_string(reinterpret_cast<std::uintptr_t>(&POINT));
  const std::string EXPECTED[NDESIGNER::STAT_LINES] = {
      "listindex = 1",         "targeting = -1",        "position = 0",
      "target = " + TARGET,    "x = 280",               "y = 100.5",
      "xv = -0.1",             "yv = 0.2",              "target_x = 3",
      "targety = 4.25",        "active = -1",           "radius = 10",
      "rotation = 143",        "min_rot = 0",           "max_rot = 359",
      "rotspeed = 8",          "rotdir = -1",           "spawndelay = 4",
      "maxspawndelay = 5",     "maxbullet = 128",       "bullet_energy = 10",
      "death_ID = 2",          "bullets/shot = 4",      "spread_rotation = 25",
      "bullet_speed = 4",      "bullet_speed_delta = -2.5", "bullet_offset = 1.3",
      "wavemode = 3",          "bullet_counter = 6",    "bullet_wavemax = 7",
      "bullet_wavemax_delay = 9999", "bullet_type = 1", "min_frame = 26",
      "max_frame = 999",
  };
  for (int32_t LINE = 0; LINE < NDESIGNER::STAT_LINES; ++LINE)
    EXPECT_EQ(NDESIGNER::STAT_TEXT(C, LINE), EXPECTED[LINE]) << "line " << LINE;
}

TEST(StatsText, RightColumnShowsSelectionSwitchAndStartRotation) {
  EXPECT_EQ(NDESIGNER::RIGHT_TEXT(0, 0, -1, 225.0f), "Cannon number = 0");
  EXPECT_EQ(NDESIGNER::RIGHT_TEXT(1, 0, -1, 225.0f), "rotation AI = -1");
  EXPECT_EQ(NDESIGNER::RIGHT_TEXT(2, 0, -1, 225.0f), "start rotation = 225");
  EXPECT_EQ(NDESIGNER::RIGHT_TEXT(0, 33, 1, 0.5f), "Cannon number = 33");
  EXPECT_EQ(NDESIGNER::RIGHT_TEXT(2, 33, 1, 0.5f), "start rotation = 0.5")
      << "the start rotation is shown as a float";
}

}  // namespace
