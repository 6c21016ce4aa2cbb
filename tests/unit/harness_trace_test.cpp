// Tests of the JSON-lines trace: float text that reads back bit for bit, and the writer's
// escapes, nulls and commas in the corners the programs' golden traces do not reach (their
// nested objects and arrays pin the rest, the turret object of both engine builds included).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>

#include "harness/trace.hpp"

namespace {

std::string FORMAT(float V) {
  char BUF[32];
  return std::string(BUF, harness::format_float(V, BUF));
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
    ASSERT_EQ(FORMAT(V), EXPECTED) << "%.9g text, which reads back to the same float";
  }
}

TEST(TraceFloat, NonFiniteValuesBecomeNull) {
  for (float V : {std::numeric_limits<float>::quiet_NaN(), -std::numeric_limits<float>::infinity()})
    EXPECT_EQ(FORMAT(V), "null") << "JSON has no form for " << V;
}

TEST(TraceWriter, EscapesStringsAndPutsCommasBetweenElementsOnly) {
  char* TEXT = nullptr;
  std::size_t SIZE = 0;
  std::FILE* STREAM = open_memstream(&TEXT, &SIZE);
  harness::TraceWriter W;
  W.attach(STREAM);
  W.begin_array();
  W.value("a\"b\\\n");
  W.null();
  W.end_array();
  W.end_line();
  EXPECT_TRUE(W.close()) << "writing to a memory file must not fail";
  std::fclose(STREAM);
  EXPECT_EQ(std::string(TEXT, SIZE), "[\"a\\\"b\\\\\\u000a\",null]\n");
  std::free(TEXT);
}

}  // namespace
