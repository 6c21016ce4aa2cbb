// Tests of the harness's option parser: the options both programs accept, and the refusals.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness/options.hpp"

using harness::OptionsConfig, harness::ParseResult, harness::ParseStatus;

ParseResult PARSE(std::vector<std::string> ARGS, OptionsConfig CONFIG = {"prog", false, true}) {
  ARGS.insert(ARGS.begin(), "prog");
  std::vector<const char*> ARGV;
  for (const std::string& A : ARGS) ARGV.push_back(A.c_str());
  return harness::parse_options(static_cast<int>(ARGV.size()), ARGV.data(), CONFIG);
}

TEST(HarnessOptions, EveryOptionIsTakenInBothSpellings) {
  const ParseResult PLAIN = PARSE({});
  const harness::RunOptions& N = PLAIN.OPTIONS;
  ASSERT_EQ(PLAIN.STATUS, ParseStatus::RUN);
  EXPECT_TRUE(!N.HEADLESS && !N.last_frame(1000000)) << "a plain run opens its window and lasts until a key";
  EXPECT_TRUE(N.TRACE.empty() && N.PNG.empty() && N.GIF.empty()) << "a plain run writes no file";
  const ParseResult R = PARSE({"--headless", "--frames", "40", "--trace=t.jsonl", "--trace-from", "3",
                               "--trace-to=9", "--png", "f%03d.png", "--png-every=5", "--gif", "a.gif",
                               "--gif-every", "2", "--scale=8"});
  ASSERT_EQ(R.STATUS, ParseStatus::RUN) << R.ERROR;
  const harness::RunOptions& O = R.OPTIONS;
  EXPECT_TRUE(O.HEADLESS);
  EXPECT_EQ(O.FRAMES, 40);
  EXPECT_EQ(O.SCALE, 8) << "the largest window scale";
  EXPECT_EQ(N.SCALE, 1) << "a plain run's window is the screen's size";
  EXPECT_EQ(O.TRACE + " " + O.PNG + " " + O.GIF, "t.jsonl f%03d.png a.gif");
  EXPECT_EQ(std::vector<int32_t>({O.TRACE_FROM, O.TRACE_TO, O.PNG_EVERY, O.GIF_EVERY}),
            std::vector<int32_t>({3, 9, 5, 2}));
  EXPECT_TRUE(!O.traces(2) && O.traces(3) && O.traces(9) && !O.traces(10)) << "frames 3 to 9, both ends included";
  EXPECT_TRUE(!O.last_frame(39) && O.last_frame(40)) << "--frames 40 ends the loop after frame 40";
  const ParseResult T = PARSE({"--trace", "t.jsonl"});
  EXPECT_TRUE(T.OPTIONS.traces(1) && T.OPTIONS.traces(6000)) << "without a range every frame is traced";
}

TEST(HarnessOptions, HelpKeysAndHeadlessDependOnTheProgram) {
  EXPECT_EQ(PARSE({"--frames", "3", "--help"}).STATUS, ParseStatus::HELP) << "--help wins over other options";
  const std::string U = harness::usage_text(OptionsConfig{"volleyplay", false, true});
  EXPECT_NE(U.find("usage: volleyplay"), std::string::npos) << "the usage names the program";
  EXPECT_EQ(U.find("--keys"), std::string::npos) << "the player's usage offers no key scripts";
  EXPECT_NE(harness::usage_text(OptionsConfig{"volleyedit", true, false}).find("--keys FILE"), std::string::npos)
      << "the designer's usage offers key scripts";
  EXPECT_EQ(PARSE({"--keys", "k.txt"}).STATUS, ParseStatus::ERROR) << "the player takes no --keys";
  EXPECT_EQ(PARSE({"--keys", "k.txt"}, {"prog", true, true}).OPTIONS.KEYS, "k.txt");
  EXPECT_EQ(PARSE({"--headless"}, {"prog", true, false}).STATUS, ParseStatus::RUN)
      << "the designer may end a headless run with a scripted Escape";
}

TEST(HarnessOptions, BadOptionsAreRefusedWithALineNamingTheOption) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> CASES = {
      {{"--fast"}, "--fast"}, {{"-x"}, "-x"}, {{"stray"}, "stray"}, {{"--frames"}, "--frames"},
      {{"--frames", "0"}, "--frames"}, {{"--frames", "-4"}, "--frames"}, {{"--frames", "12x"}, "--frames"},
      {{"--frames", "+5"}, "--frames"}, {{"--frames", ""}, "--frames"}, {{"--frames", "99999999999"}, "--frames"},
      {{"--frames", "5", "--frames", "6"}, "--frames"}, {{"--headless=yes"}, "--headless"},
      {{"--trace"}, "--trace"}, {{"--trace="}, "--trace"}, {{"--trace-from", "2"}, "--trace-from"},
      {{"--trace-to", "2"}, "--trace-to"}, {{"--trace", "t", "--trace-from", "9", "--trace-to", "3"}, "--trace-from"},
      {{"--trace", "t", "--trace-from", "0"}, "--trace-from"}, {{"--png-every", "2"}, "--png-every"},
      {{"--gif-every", "2"}, "--gif-every"}, {{"--gif", "a.gif", "--gif-every", "0"}, "--gif-every"},
      {{"--png", "frame.png"}, "--png"}, {{"--png", "f%s.png"}, "--png"}, {{"--png", "f%d_%d.png"}, "--png"},
      {{"--scale", "9"}, "--scale"}, {{"--scale", "0"}, "--scale"}, {{"--scale", "2x"}, "--scale"},
      {{"--headless"}, "--frames"}};  // a headless player would never end
  for (const auto& [ARGS, NAMED] : CASES) {
    const ParseResult R = PARSE(ARGS);
    EXPECT_EQ(R.STATUS, ParseStatus::ERROR) << "refused: " << ::testing::PrintToString(ARGS);
    EXPECT_NE(R.ERROR.find(NAMED), std::string::npos) << "the error line '" << R.ERROR << "' must name " << NAMED;
    EXPECT_EQ(R.ERROR.find('\n'), std::string::npos) << "the error is one line: " << R.ERROR;
  }
}

TEST(HarnessOptions, BadOptionsExitTwoWithTheUsageAndHelpExitsZero) {
  const OptionsConfig CONFIG{"volleyplay", false, true};
  const char* BAD[] = {"volleyplay", "--fast", nullptr};
  const char* HELP[] = {"volleyplay", "--help", nullptr};
  EXPECT_EXIT(harness::parse_options_or_exit(2, const_cast<char**>(BAD), CONFIG), ::testing::ExitedWithCode(2),
              "--fast.*usage: volleyplay")
      << "the error line, then the usage, on standard error";
  EXPECT_EXIT(harness::parse_options_or_exit(2, const_cast<char**>(HELP), CONFIG), ::testing::ExitedWithCode(0), "");
}

TEST(HarnessOptions, FramePatternTakesExactlyOneIntegerConversion) {
  for (const char* GOOD : {"f%d.png", "out/%05d.png", "100%%_%u.png"}) EXPECT_TRUE(harness::valid_frame_pattern(GOOD));
  for (const char* BAD : {"%%d.png", "f%n%d.png", "f%ld.png", "f%"}) {
    EXPECT_FALSE(harness::valid_frame_pattern(BAD)) << BAD << ": no conversion, %n, a length modifier or a lone %";
  }
  EXPECT_EQ(harness::frame_file_name("out/f%05d.png", 42), "out/f00042.png");
  EXPECT_EQ(harness::frame_file_name("100%%_%d.png", 7), "100%_7.png");
  EXPECT_EQ(harness::frame_file_name("%-4d|", 7), "7   |");
}
