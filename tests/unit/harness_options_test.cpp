// Tests of the harness's option parser: the options both programs accept, and the refusals.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness/options.hpp"

namespace {

using harness::OptionsConfig;
using harness::ParseResult;
using harness::ParseStatus;

ParseResult PARSE(std::vector<std::string> ARGS, bool KEYS = false) {
  ARGS.insert(ARGS.begin(), "prog");
  std::vector<const char*> ARGV;
  for (const std::string& A : ARGS) ARGV.push_back(A.c_str());
  OptionsConfig CONFIG{"prog", KEYS, true};
  return harness::parse_options(static_cast<int>(ARGV.size()), ARGV.data(), CONFIG);
}

TEST(HarnessOptions, NoArgumentsMeansAPlainRun) {
  const ParseResult R = PARSE({});
  ASSERT_EQ(R.STATUS, ParseStatus::RUN);
  EXPECT_FALSE(R.OPTIONS.HEADLESS) << "a plain run opens its window";
  EXPECT_EQ(R.OPTIONS.FRAMES, 0) << "a plain run lasts until a key";
  EXPECT_TRUE(R.OPTIONS.TRACE.empty() && R.OPTIONS.PNG.empty() && R.OPTIONS.GIF.empty())
      << "a plain run writes no file";
  EXPECT_FALSE(R.OPTIONS.last_frame(1000000)) << "no frame ends a plain run";
}

TEST(HarnessOptions, EveryOptionIsTakenInBothSpellings) {
  const ParseResult R = PARSE({"--headless", "--frames", "40", "--trace=t.jsonl", "--trace-from", "3",
                               "--trace-to=9", "--png", "f%03d.png", "--png-every=5", "--gif", "a.gif",
                               "--gif-every", "2"});
  ASSERT_EQ(R.STATUS, ParseStatus::RUN) << R.ERROR;
  const harness::RunOptions& O = R.OPTIONS;
  EXPECT_TRUE(O.HEADLESS);
  EXPECT_EQ(O.FRAMES, 40);
  EXPECT_EQ(O.TRACE, "t.jsonl");
  EXPECT_EQ(O.TRACE_FROM, 3);
  EXPECT_EQ(O.TRACE_TO, 9);
  EXPECT_EQ(O.PNG, "f%03d.png");
  EXPECT_EQ(O.PNG_EVERY, 5);
  EXPECT_EQ(O.GIF, "a.gif");
  EXPECT_EQ(O.GIF_EVERY, 2);
  EXPECT_FALSE(O.traces(2)) << "frame 2 lies before --trace-from 3";
  EXPECT_TRUE(O.traces(3) && O.traces(9)) << "the traced range includes both ends";
  EXPECT_FALSE(O.traces(10)) << "frame 10 lies after --trace-to 9";
  EXPECT_FALSE(O.last_frame(39));
  EXPECT_TRUE(O.last_frame(40)) << "--frames 40 ends the loop after frame 40";
}

TEST(HarnessOptions, TraceWithoutRangeCoversEveryFrame) {
  const ParseResult R = PARSE({"--trace", "t.jsonl"});
  ASSERT_EQ(R.STATUS, ParseStatus::RUN) << R.ERROR;
  EXPECT_TRUE(R.OPTIONS.traces(1) && R.OPTIONS.traces(6000)) << "default range is every frame";
}

TEST(HarnessOptions, HelpWinsOverOtherOptions) {
  EXPECT_EQ(PARSE({"--frames", "3", "--help"}).STATUS, ParseStatus::HELP);
  const std::string U = harness::usage_text(OptionsConfig{"volleyplay", false, true});
  EXPECT_NE(U.find("usage: volleyplay"), std::string::npos) << "the usage names the program";
  EXPECT_EQ(U.find("--keys"), std::string::npos) << "the player's usage offers no key scripts";
  EXPECT_NE(harness::usage_text(OptionsConfig{"volleyedit", true, false}).find("--keys FILE"), std::string::npos)
      << "the designer's usage offers key scripts";
}

TEST(HarnessOptions, KeysOnlyWhereEnabled) {
  EXPECT_EQ(PARSE({"--keys", "k.txt"}, false).STATUS, ParseStatus::ERROR) << "the player takes no --keys";
  const ParseResult R = PARSE({"--keys", "k.txt"}, true);
  ASSERT_EQ(R.STATUS, ParseStatus::RUN) << R.ERROR;
  EXPECT_EQ(R.OPTIONS.KEYS, "k.txt");
}

TEST(HarnessOptions, HeadlessNeedsFramesOnlyWhereConfigured) {
  std::vector<const char*> ARGV{"prog", "--headless"};
  EXPECT_EQ(harness::parse_options(2, ARGV.data(), OptionsConfig{"prog", false, true}).STATUS, ParseStatus::ERROR)
      << "a headless player would never end";
  EXPECT_EQ(harness::parse_options(2, ARGV.data(), OptionsConfig{"prog", true, false}).STATUS, ParseStatus::RUN)
      << "the designer may end a headless run with a scripted Escape";
}

struct BadCase {
  std::vector<std::string> ARGS;
  std::string NAMED;  // text the error line must contain
};

class HarnessBadOptions : public ::testing::TestWithParam<BadCase> {};

TEST_P(HarnessBadOptions, AreRefusedWithALineNamingTheOption) {
  const ParseResult R = PARSE(GetParam().ARGS);
  EXPECT_EQ(R.STATUS, ParseStatus::ERROR) << "the options must be refused";
  EXPECT_NE(R.ERROR.find(GetParam().NAMED), std::string::npos)
      << "the error line '" << R.ERROR << "' must name " << GetParam().NAMED;
  EXPECT_EQ(R.ERROR.find('\n'), std::string::npos) << "the error is one line";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HarnessBadOptions,
    ::testing::Values(BadCase{{"--fast"}, "--fast"}, BadCase{{"-x"}, "-x"}, BadCase{{"stray"}, "stray"},
                      BadCase{{"--frames"}, "--frames"}, BadCase{{"--frames", "0"}, "--frames"},
                      BadCase{{"--frames", "-4"}, "--frames"}, BadCase{{"--frames", "12x"}, "--frames"},
                      BadCase{{"--frames", "+5"}, "--frames"}, BadCase{{"--frames", ""}, "--frames"},
                      BadCase{{"--frames", "99999999999"}, "--frames"},
                      BadCase{{"--frames", "5", "--frames", "6"}, "--frames"},
                      BadCase{{"--headless=yes"}, "--headless"}, BadCase{{"--trace"}, "--trace"},
                      BadCase{{"--trace="}, "--trace"}, BadCase{{"--trace-from", "2"}, "--trace-from"},
                      BadCase{{"--trace-to", "2"}, "--trace-to"},
                      BadCase{{"--trace", "t", "--trace-from", "9", "--trace-to", "3"}, "--trace-from"},
                      BadCase{{"--trace", "t", "--trace-from", "0"}, "--trace-from"},
                      BadCase{{"--png-every", "2"}, "--png-every"}, BadCase{{"--gif-every", "2"}, "--gif-every"},
                      BadCase{{"--gif", "a.gif", "--gif-every", "0"}, "--gif-every"},
                      BadCase{{"--png", "frame.png"}, "--png"}, BadCase{{"--png", "f%s.png"}, "--png"},
                      BadCase{{"--png", "f%d_%d.png"}, "--png"}, BadCase{{"--headless"}, "--frames"}));

TEST(HarnessFramePattern, AcceptsExactlyOneIntegerConversion) {
  EXPECT_TRUE(harness::valid_frame_pattern("f%d.png"));
  EXPECT_TRUE(harness::valid_frame_pattern("out/%05d.png"));
  EXPECT_TRUE(harness::valid_frame_pattern("100%%_%u.png")) << "%% is a literal per cent sign";
  EXPECT_FALSE(harness::valid_frame_pattern("%%d.png")) << "%%d holds no conversion";
  EXPECT_FALSE(harness::valid_frame_pattern("f%n%d.png")) << "%n would write through a pointer";
  EXPECT_FALSE(harness::valid_frame_pattern("f%ld.png")) << "a length modifier changes the argument type";
  EXPECT_FALSE(harness::valid_frame_pattern("f%")) << "a lone % at the end is no conversion";
}

TEST(HarnessFramePattern, ExpandsTheFrameNumberAndKeepsTheRest) {
  EXPECT_EQ(harness::frame_file_name("out/f%05d.png", 42), "out/f00042.png");
  EXPECT_EQ(harness::frame_file_name("100%%_%d.png", 7), "100%_7.png");
  EXPECT_EQ(harness::frame_file_name("%-4d|", 7), "7   |");
}

}  // namespace
