// Tests of the harness's option parser. tests/golden/harness_options.txt holds one command line
// per line (after the program kind) and, after "=>", what the parser makes of it: the options
// it sets, help, or the one error line that refuses it.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "harness/options.hpp"
#include "tests/unit/golden.hpp"

using harness::OptionsConfig, harness::ParseResult, harness::ParseStatus;

namespace {

// The options of a run as text, from the parser's values and the frame rules it answers.
std::string DESCRIBE(const harness::RunOptions& O) {
  std::ostringstream OUT;
  OUT << "run headless=" << O.HEADLESS << " frames=" << O.FRAMES << " scale=" << O.SCALE
      << " trace=" << O.TRACE << " from=" << O.TRACE_FROM << " to=" << O.TRACE_TO
      << " png=" << O.PNG << "/" << O.PNG_EVERY << " gif=" << O.GIF << "/" << O.GIF_EVERY
      << " keys=" << O.KEYS << " traces(2,3,9,10)=" << O.traces(2) << O.traces(3) << O.traces(9)
      << O.traces(10) << " ends(39,40)=" << O.last_frame(39) << O.last_frame(40);
  return OUT.str();
}

std::string OUTCOME(const std::string& LINE) {
  std::istringstream WORDS(LINE);
  std::string KIND;
  WORDS >> KIND;
  const OptionsConfig CONFIG{"prog", KIND != "player", KIND != "designer-free"};
  std::vector<std::string> ARGS{"prog"};
  for (std::string W; WORDS >> W;) ARGS.push_back(W);
  std::vector<const char*> ARGV;
  for (const std::string& A : ARGS) ARGV.push_back(A.c_str());
  const ParseResult R = harness::parse_options(int(ARGV.size()), ARGV.data(), CONFIG);
  if (R.STATUS == ParseStatus::HELP) return "help";
  if (R.STATUS == ParseStatus::ERROR) return "error " + R.ERROR;
  return DESCRIBE(R.OPTIONS);
}

}  // namespace

TEST(HarnessOptions, BadOptionsAreRefusedWithALineNamingTheOption) {
  volley_test::EXPECT_GOLDEN_TABLE("harness_options.txt", OUTCOME);
}

TEST(HarnessOptions, BadOptionsExitTwoWithTheUsageAndHelpExitsZero) {
  const OptionsConfig CONFIG{"volleyplay", false, true};
  const char* BAD[] = {"volleyplay", "--fast", nullptr};
  const char* HELP[] = {"volleyplay", "--help", nullptr};
  EXPECT_EXIT(harness::parse_options_or_exit(2, const_cast<char**>(BAD), CONFIG),
              ::testing::ExitedWithCode(2), "--fast.*usage: volleyplay")
      << "the error line, then the usage, on standard error";
  EXPECT_EXIT(harness::parse_options_or_exit(2, const_cast<char**>(HELP), CONFIG),
              ::testing::ExitedWithCode(0), "");
}

TEST(HardeningOptions, FieldWidthIsLimitedToThirtyTwo) {
  EXPECT_EQ(harness::frame_file_name("f%032d.png", 7), "f" + std::string(31, '0') + "7.png")
      << "a 32-place field is expanded in full";
  EXPECT_EQ(harness::frame_file_name("100%%_%05d.png", 42), "100%_00042.png");
  EXPECT_EQ(harness::frame_file_name("%-4d|", 7), "7   |");
  for (const char* WIDE : {"f%033d.png", "shot%88888805d.png", "%-999999999u.png"})
    EXPECT_FALSE(harness::valid_frame_pattern(WIDE)) << WIDE << ": wider than 32 places";
}
