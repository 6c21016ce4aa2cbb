// Tests of the JSON-lines trace: float text that reads back bit for bit, the writer's commas
// and nesting, and the turret object in the engine build this test is compiled with (the file
// is built twice, against the designer's and the player's engine).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "harness/trace.hpp"
#include "harness/trace_turret.hpp"

namespace {

std::string FORMAT(float V) {
  char BUF[32];
  return std::string(BUF, harness::format_float(V, BUF));
}

// Runs BODY against a writer attached to a temporary file and returns what it wrote.
template <class F>
std::string WRITTEN(F BODY) {
  std::FILE* FILE = std::tmpfile();
  harness::TraceWriter W;
  W.attach(FILE);
  BODY(W);
  EXPECT_TRUE(W.close()) << "writing to a temporary file must not fail";
  std::string TEXT(static_cast<std::size_t>(std::ftell(FILE)), '\0');
  std::rewind(FILE);
  TEXT.resize(std::fread(TEXT.data(), 1, TEXT.size(), FILE));
  std::fclose(FILE);
  return TEXT;
}

TEST(TraceFloat, NineSignificantDigitsReadBackToTheSameFloat) {
  const float SPECIAL[] = {0.0f, -0.0f, 1.3f, -0.3f, 0.0911f, 280.0f, 1e-7f, 3.4e38f, 1.17549435e-38f, 1e-45f};
  std::mt19937 RNG(12345);
  for (int I = 0; I < 200010; ++I) {  // the special values first, then random bit patterns
    uint32_t BITS = RNG();
    float V;
    if (I < 10) std::memcpy(&BITS, &SPECIAL[I], sizeof V);
    std::memcpy(&V, &BITS, sizeof V);
    if (!std::isfinite(V)) continue;
    char EXPECTED[64];
    std::snprintf(EXPECTED, sizeof EXPECTED, "%.9g", static_cast<double>(V));
    const std::string TEXT = FORMAT(V);
    ASSERT_EQ(TEXT, EXPECTED) << "the trace promises %.9g text";
    const float BACK = std::strtof(TEXT.c_str(), nullptr);
    ASSERT_EQ(std::memcmp(&BACK, &BITS, sizeof BACK), 0) << TEXT << " must read back to the float it came from";
  }
}

TEST(TraceFloat, NonFiniteValuesBecomeNull) {
  for (float V : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                  -std::numeric_limits<float>::infinity()}) {
    EXPECT_EQ(FORMAT(V), "null") << "JSON has no form for " << V;
  }
}

TEST(TraceWriter, PutsCommasBetweenMembersAndElementsOnly) {
  const std::string TEXT = WRITTEN([](harness::TraceWriter& W) {
    W.begin_object(); W.field("frame", int32_t{7}); W.key("list"); W.begin_array(); W.value(int32_t{1});
    W.begin_object(); W.end_object(); W.begin_array(); W.end_array(); W.null(); W.end_array();
    W.field("ok", true); W.field("name", "a\"b\\c\n"); W.end_object(); W.end_line();
    W.begin_object(); W.field("frame", int32_t{8}); W.end_object(); W.end_line();
  });
  EXPECT_EQ(TEXT, "{\"frame\":7,\"list\":[1,{},[],null],\"ok\":true,\"name\":\"a\\\"b\\\\c\\u000a\"}\n"
                  "{\"frame\":8}\n")
      << "each line is one well-formed JSON object";
}

// ---- The turret object ----------------------------------------------------------------------

class TraceTurret : public ::testing::Test {
 protected:
  TraceTurret() { T.INIT = NBARRAGE::INIT; T.INIT(T); }
  ~TraceTurret() override { NBARRAGE::DESTROY(T); }
  std::string TEXT() { return WRITTEN([this](harness::TraceWriter& W) { harness::trace_turret(W, T); }); }
  NBARRAGE::TURRET_TYPE T{};
};

TEST_F(TraceTurret, NamesEveryDataFieldInRecordOrderWithItsBuildsType) {
  const std::string S = TEXT();
  const char* NAMES[] = {"LISTINDEX", "TARGETING", "P_POSITION", "P_TARGET", "X", "Y", "XV", "YV", "TARGETX",
                         "TARGETY", "ACTIVE", "RADIUS", "ROTATION", "MINROTATION", "MAXROTATION", "ROTSPEED",
                         "ROTDIR", "SPAWNDELAY", "MAXSPAWNDELAY", "MAXBULLET", "BULLET_ENERGY",
                         "BULLET_DEATH_ID", "BULLETS_PER_SHOT", "SPREAD_ROTATION", "BULLETSPEED",
                         "BULLETSPEED_DELTA", "BULLETOFFSET", "WAVEMODE", "BULLETCOUNTER", "BULLETWAVEMAX",
                         "BULLETWAVEMAXDELAY", NBARRAGE::PLAYER_BUILD ? "BULLETSHOOT" : "BULLET_TYPE",
                         "CURRENT_MIN_FRAME", "CURRENT_NUM_FRAME", "ROTATE", "bullets"};
  std::size_t AT = 0;
  for (const char* NAME : NAMES) {
    const std::size_t FOUND = S.find("\"" + std::string(NAME) + "\":", AT);
    ASSERT_NE(FOUND, std::string::npos) << NAME << " must follow the fields before it";
    AT = FOUND + 1;
  }
  EXPECT_EQ(S.find(NBARRAGE::PLAYER_BUILD ? "\"BULLET_TYPE\"" : "\"BULLETSHOOT\""), std::string::npos)
      << "only the field of this build is written";
  EXPECT_NE(S.find("\"ACTIVE\":-1,"), std::string::npos) << "INIT makes the turret active";
  EXPECT_NE(S.find(NBARRAGE::PLAYER_BUILD ? "\"BULLETSPEED\":2," : "\"BULLETSPEED\":1.5,"), std::string::npos)
      << "the player's speed is the integer 2, the designer's the float 1.5";
  EXPECT_NE(S.find("\"P_POSITION\":false,\"P_TARGET\":false,"), std::string::npos) << "no anchors yet";
  EXPECT_NE(S.find("\"ROTATE\":\"ROTATE\","), std::string::npos) << "INIT binds the wrapping rule";
  EXPECT_NE(S.find("\"bullets\":[]}"), std::string::npos) << "no bullet is live after INIT";
  NBARRAGE::CHANGE_ROTATION_AI(T, 1);
  NBARRAGE::COORD_TYPE P{};
  T.SET_POSITION(T, &P);
  const std::string S2 = TEXT();
  EXPECT_NE(S2.find("\"ROTATE\":\"ROTATE2\""), std::string::npos) << "the slot now holds the bouncing rule";
  EXPECT_NE(S2.find("\"P_POSITION\":true"), std::string::npos) << "the turret rides on a point";
}

TEST_F(TraceTurret, ListsLiveSlotsBeyondMaxbullet) {
  // A slot above MAXBULLET is frozen but still live: the trace shows the whole array.
  T.MAXBULLET = 2;
  T.P_BULLETS[1].ACTIVE = -1;
  T.P_BULLETS[1].X = 12.5f;
  T.P_BULLETS[NBARRAGE::DEFAULT_MAXBULLET - 1].ACTIVE = 1;
  const std::string S = TEXT();
  EXPECT_NE(S.find("{\"slot\":1,\"X\":12.5,\"Y\":0,\"XV\":0,\"YV\":0,\"ACTIVE\":-1,\"COUNTER\":0,"
                   "\"ROTATION\":0,\"FRAME\":0,\"MINFRAME\":0,\"MAXFRAME\":4,\"ANIM\":0,\"ENERGY\":10,"
                   "\"DEATH_ID\":1}"),
            std::string::npos)
      << "a live slot carries its index and all thirteen bullet fields";
  EXPECT_NE(S.find("{\"slot\":" + std::to_string(NBARRAGE::DEFAULT_MAXBULLET - 1) + ","), std::string::npos)
      << "the last allocated slot is listed although MAXBULLET is 2";
  EXPECT_EQ(S.find("\"slot\":0,"), std::string::npos) << "free slots are left out";
}

}  // namespace
