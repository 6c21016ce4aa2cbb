// Tests of the harness's option parser. tests/golden/harness_options.txt holds one command line
// per line (after the program kind) and, after "=>", what the parser makes of it: the options
// it sets (with the file name an accepted --png pattern gives frame 42), help, or the one error
// line that refuses it. The exit codes and streams of a refused line are pinned end to end by
// VolleyplayRun.
#include <gtest/gtest.h>

#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "harness/options.hpp"
#include "tests/unit/golden.hpp"

namespace {

// What the parser makes of a command line, with the frame rules its options answer.
std::string OUTCOME(const std::string& LINE) {
  std::istringstream WORDS(LINE);  // the kind stands in the program name's place
  const std::vector<std::string> ARGS{std::istream_iterator<std::string>(WORDS), {}};
  std::vector<const char*> ARGV;
  for (const std::string& A : ARGS) ARGV.push_back(A.c_str());
  const harness::ParseResult R = harness::parse_options(
      int(ARGV.size()), ARGV.data(), {"prog", ARGS[0] != "player", ARGS[0] != "designer-free"});
  if (R.STATUS != harness::ParseStatus::RUN)
    return R.STATUS == harness::ParseStatus::HELP ? "help" : "error " + R.ERROR;
  const harness::RunOptions& O = R.OPTIONS;
  std::ostringstream OUT;
  OUT << "run headless=" << O.HEADLESS << " frames=" << O.FRAMES << " scale=" << O.SCALE
      << " trace=" << O.TRACE << " from=" << O.TRACE_FROM << " to=" << O.TRACE_TO
      << " png=" << O.PNG << "/" << O.PNG_EVERY << " gif=" << O.GIF << "/" << O.GIF_EVERY
      << " keys=" << O.KEYS << " traces(2,3,9,10)=" << O.traces(2) << O.traces(3) << O.traces(9)
      << O.traces(10) << " ends(39,40)=" << O.last_frame(39) << O.last_frame(40)
      << (O.PNG.empty() ? "" : " frame 42 as '" + harness::frame_file_name(O.PNG, 42) + "'");
  return OUT.str();
}

}  // namespace

TEST(HarnessOptions, BadOptionsAreRefusedWithALineNamingTheOption) {
  volley_test::EXPECT_GOLDEN_TABLE("harness_options.txt", OUTCOME);
}
