// Tests of the JSON-lines trace: float text that reads back bit for bit, and the writer's commas,
// nesting and escapes. The turret object of both engine builds is pinned by the programs'
// golden traces.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "harness/trace.hpp"

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

}  // namespace
