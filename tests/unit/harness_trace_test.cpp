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
  std::mt19937 RNG(12345);
  for (int I = 0; I < 100000; ++I) {
    const uint32_t BITS = I < 2 ? uint32_t(I) << 31 : RNG();  // +0 and -0, then any pattern
    float V;
    std::memcpy(&V, &BITS, sizeof V);
    if (!std::isfinite(V)) continue;
    char EXPECTED[64];
    std::snprintf(EXPECTED, sizeof EXPECTED, "%.9g", static_cast<double>(V));
    ASSERT_EQ(FORMAT(V), EXPECTED) << "the trace promises %.9g text";
    const float BACK = std::strtof(EXPECTED, nullptr);
    ASSERT_EQ(std::memcmp(&BACK, &BITS, sizeof BACK), 0) << EXPECTED << " reads back";
  }
}

TEST(TraceFloat, NonFiniteValuesBecomeNull) {
  for (float V : {std::numeric_limits<float>::quiet_NaN(), -std::numeric_limits<float>::infinity()})
    EXPECT_EQ(FORMAT(V), "null") << "JSON has no form for " << V;
}

TEST(TraceWriter, PutsCommasBetweenMembersAndElementsOnly) {
  const std::string TEXT = WRITTEN([](harness::TraceWriter& W) {
    W.begin_object();
    W.key("list");
    W.begin_array();
    W.value(int32_t{1});
    W.begin_object();
    W.end_object();
    W.null();
    W.end_array();
    W.field("name", "a\"b\n");
    W.end_object();
    W.end_line();
  });
  EXPECT_EQ(TEXT, "{\"list\":[1,{},null],\"name\":\"a\\\"b\\u000a\"}\n");
}

class TraceTurret : public ::testing::Test {
 protected:
  TraceTurret() { T.INIT = NBARRAGE::INIT, T.INIT(T); }
  ~TraceTurret() override { NBARRAGE::DESTROY(T); }
  std::string TEXT() {
    return WRITTEN([this](harness::TraceWriter& W) { harness::trace_turret(W, T); });
  }
  NBARRAGE::TURRET_TYPE T{};
};

TEST_F(TraceTurret, WritesTheBuildsFieldsTheRuleAndOnlyLiveSlots) {
  T.MAXBULLET = 2;  // a slot above MAXBULLET is frozen but still live: it is listed
  T.P_BULLETS[NBARRAGE::DEFAULT_MAXBULLET - 1].ACTIVE = 1;
  NBARRAGE::CHANGE_ROTATION_AI(T, 1);
  const std::string S = TEXT();
  const std::string SPEED = NBARRAGE::PLAYER_BUILD ? "\"BULLETSPEED\":2," : "\"BULLETSPEED\":1.5,";
  const std::string KIND = NBARRAGE::PLAYER_BUILD ? "\"BULLETSHOOT\":0," : "\"BULLET_TYPE\":0,";
  const std::string LAST = std::to_string(NBARRAGE::DEFAULT_MAXBULLET - 1);
  for (const std::string& PART :
       {SPEED, KIND, std::string("\"P_POSITION\":false,\"P_TARGET\":false,"),
        std::string("\"ROTATE\":\"ROTATE2\",\"bullets\":[{\"slot\":" + LAST + ",\"X\":0,")})
    EXPECT_NE(S.find(PART), std::string::npos) << PART << " is missing from " << S;
  EXPECT_EQ(S.find("\"slot\":0,"), std::string::npos) << "free slots are left out";
}

}  // namespace
