// Tests of key scripts: what a good script holds, how a bad line is reported, and that
// applying a frame sets the drawing library's key states.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "display/draw2d.hpp"
#include "harness/key_script.hpp"

namespace {

TEST(KeyScriptParse, ReadsEventsAndSkipsCommentsAndBlankLines) {
  harness::KeyScript S;
  std::string ERROR;
  ASSERT_TRUE(S.parse("# walk down twice\n"
                      "\n"
                      "3 Down down\r\n"
                      "  5   Down   up  \n"
                      "2 Escape down\n"
                      "3 F1 down\n",
                      "walk.keys", ERROR))
      << ERROR;
  ASSERT_EQ(S.events().size(), 4u);
  EXPECT_EQ(S.events()[0].FRAME, 2) << "events are ordered by frame";
  EXPECT_EQ(S.events()[0].SCANCODE, draw2d::KEY_ESCAPE);
  const std::vector<harness::KeyEvent> AT3 = S.events_at(3);
  ASSERT_EQ(AT3.size(), 2u) << "two events fall on frame 3";
  EXPECT_EQ(AT3[0].SCANCODE, draw2d::KEY_DOWN) << "events of one frame keep the script's order";
  EXPECT_EQ(AT3[1].SCANCODE, draw2d::KEY_F1);
  EXPECT_EQ(AT3[0].LINE, 3) << "the line number is kept for messages";
  EXPECT_FALSE(S.events_at(5)[0].DOWN) << "'up' releases";
  EXPECT_EQ(S.last_frame(), 5);
}

TEST(KeyScriptParse, KnowsEveryKeyOfTheDesigner) {
  const struct {
    const char* NAME;
    int CODE;
  } KEYS[] = {{"Up", 72}, {"Down", 80}, {"Left", 75}, {"Right", 77}, {"Tab", 15}, {"Enter", 28},
              {"Escape", 1}, {"F1", 59}, {"F2", 60}, {"F3", 61}, {"F4", 62}};
  for (const auto& K : KEYS) {
    EXPECT_EQ(harness::key_scancode(K.NAME), K.CODE) << K.NAME << " has the library's scan code";
    EXPECT_STREQ(harness::key_name(K.CODE), K.NAME) << "names and codes map both ways";
  }
}

struct BadLine {
  const char* TEXT;
  const char* WHERE;  // "file:line" prefix expected
  const char* WHAT;   // part of the message
};

class KeyScriptBadLine : public ::testing::TestWithParam<BadLine> {};

TEST_P(KeyScriptBadLine, IsReportedWithFileAndLine) {
  harness::KeyScript S;
  std::string ERROR;
  EXPECT_FALSE(S.parse(GetParam().TEXT, "demo.keys", ERROR)) << "the script must be refused";
  EXPECT_EQ(ERROR.rfind(GetParam().WHERE, 0), 0u) << "'" << ERROR << "' must start with " << GetParam().WHERE;
  EXPECT_NE(ERROR.find(GetParam().WHAT), std::string::npos) << "'" << ERROR << "' must say " << GetParam().WHAT;
  EXPECT_TRUE(S.events().empty()) << "a refused script holds no event";
}

INSTANTIATE_TEST_SUITE_P(Cases, KeyScriptBadLine,
                         ::testing::Values(BadLine{"1 Up down\n0 Up down\n", "demo.keys:2: ", "frame '0'"},
                                           BadLine{"x Up down\n", "demo.keys:1: ", "frame 'x'"},
                                           BadLine{"# c\n\n4 Space down\n", "demo.keys:3: ", "unknown key 'Space'"},
                                           BadLine{"4 up down\n", "demo.keys:1: ", "unknown key 'up'"},
                                           BadLine{"4 Up pressed\n", "demo.keys:1: ", "'pressed'"},
                                           BadLine{"4 Up\n", "demo.keys:1: ", "FRAME KEY down|up"},
                                           BadLine{"4 Up down now\n", "demo.keys:1: ", "'now'"},
                                           BadLine{"-2 Up down\n", "demo.keys:1: ", "frame '-2'"}));

TEST(KeyScriptLoad, ReadsAFileAndReportsItsNameInErrors) {
  const std::string PATH = ::testing::TempDir() + "harness_bad.keys";
  std::FILE* F = std::fopen(PATH.c_str(), "wb");
  ASSERT_NE(F, nullptr);
  std::fputs("1 Up down\n1 Up sideways\n", F);
  std::fclose(F);
  harness::KeyScript S;
  std::string ERROR;
  EXPECT_FALSE(S.load(PATH, ERROR));
  EXPECT_EQ(ERROR.rfind(PATH + ":2: ", 0), 0u) << "'" << ERROR << "' must name the file and line 2";
  std::remove(PATH.c_str());
}

TEST(KeyScriptApply, SetsAndReleasesTheLibrarysKeyStates) {
  harness::KeyScript S;
  std::string ERROR;
  ASSERT_TRUE(S.parse("2 Tab down\n4 Tab up\n", "t", ERROR)) << ERROR;
  S.apply(1);
  EXPECT_EQ(draw2d::key_state(draw2d::KEY_TAB), 0) << "nothing happens before frame 2";
  S.apply(2);
  EXPECT_NE(draw2d::key_state(draw2d::KEY_TAB), 0) << "Tab is held from frame 2";
  S.apply(3);
  EXPECT_NE(draw2d::key_state(draw2d::KEY_TAB), 0) << "a key stays held between events";
  S.apply(4);
  EXPECT_EQ(draw2d::key_state(draw2d::KEY_TAB), 0) << "Tab is released on frame 4";
}

}  // namespace
