// The one check behind every golden file in tests/golden/: the text a test produces must equal
// the checked-in file line for line, and the first differing line is shown. With
// VOLLEY_UPDATE_GOLDEN set the file is rewritten instead (tools/regen_goldens.sh does this);
// a rewritten golden file is reviewed like a code change.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace volley_test {

inline void EXPECT_GOLDEN(const std::string& NAME, const std::string& ACTUAL) {
  const std::string PATH = std::string(VOLLEY_SOURCE_DIR) + "/tests/golden/" + NAME;
  if (std::getenv("VOLLEY_UPDATE_GOLDEN") != nullptr) std::ofstream(PATH) << ACTUAL;
  std::ifstream WANT(PATH);
  ASSERT_TRUE(WANT.is_open()) << PATH << " is missing; run tools/regen_goldens.sh";
  std::istringstream GOT(ACTUAL);
  std::string W, G;
  for (int LINE = 1; WANT.good() || GOT.good(); ++LINE) {
    if (!std::getline(WANT, W)) W = "(end)";
    if (!std::getline(GOT, G)) G = "(end)";
    ASSERT_EQ(G, W) << "line " << LINE << " differs from tests/golden/" << NAME;
  }
}

/// A table golden file: every line "INPUT => OUTCOME" gets the outcome OUTCOME_OF(INPUT) works
/// out now; comments, blank lines and lines without " => " stay. The result is checked with
/// EXPECT_GOLDEN, so the file lists the inputs and the reviewed outcomes side by side.
template <class Outcome>
void EXPECT_GOLDEN_TABLE(const std::string& NAME, Outcome OUTCOME_OF) {
  std::ifstream IN(std::string(VOLLEY_SOURCE_DIR) + "/tests/golden/" + NAME);
  std::string GOT;
  for (std::string LINE; std::getline(IN, LINE);) {
    const std::size_t ARROW = LINE.find(" => ");
    const bool ROW = !LINE.empty() && LINE[0] != '#' && ARROW != std::string::npos;
    GOT += (ROW ? LINE.substr(0, ARROW) + " => " + OUTCOME_OF(LINE.substr(0, ARROW)) : LINE) + "\n";
  }
  EXPECT_GOLDEN(NAME, GOT);
}

}  // namespace volley_test
