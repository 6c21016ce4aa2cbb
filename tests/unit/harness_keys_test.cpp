// Tests of key scripts: what a good script holds, how a bad line is reported, and that
// applying a frame sets the drawing library's key states.
#include <gtest/gtest.h>


#include "draw2d/draw2d.hpp"
#include "harness/key_script.hpp"

TEST(KeyScript, ReadsEventsInFrameOrderAndSkipsCommentsAndBlankLines) {
  harness::KeyScript S;
  std::string ERROR;
  ASSERT_TRUE(
      S.parse("# walk down twice\n\n3 Down down\r\n  5   Down   up  \n2 Escape down\n3 F1 down\n",
              "walk.keys", ERROR))
      << ERROR;
  ASSERT_EQ(S.events().size(), 4u);
  EXPECT_EQ(S.events()[0].FRAME, 2) << "events are ordered by frame";
  EXPECT_EQ(S.events()[0].SCANCODE, draw2d::KEY_ESCAPE);
  const std::vector<harness::KeyEvent> AT3 = S.events_at(3);
  ASSERT_EQ(AT3.size(), 2u) << "two events fall on frame 3";
  EXPECT_EQ(AT3[1].SCANCODE, draw2d::KEY_F1) << "events of one frame keep the script's order";
  EXPECT_FALSE(S.events_at(5)[0].DOWN) << "'up' releases";
  EXPECT_EQ(S.last_frame(), 5);
  const std::pair<const char*, int> KEYS[] = {
      {"Right", 77}, {"Tab", 15}, {"Enter", 28}, {"F4", 62}, {"PageUp", 73}, {"Period", 52},
      {"F11", 87}, {"F12", 88}};
  for (const auto& [NAME, CODE] : KEYS) {
    EXPECT_EQ(harness::key_scancode(NAME), CODE) << NAME << " has the library's scan code";
    EXPECT_STREQ(harness::key_name(CODE), NAME) << "names and codes map both ways";
  }
}

TEST(KeyScript, BadLineIsReportedWithFileAndLine) {
  const struct { const char* TEXT; int LINE; const char* WHAT;
  } CASES[] = {{"1 Up down\n0 Up down\n", 2, "frame '0'"},
               {"# c\n\n4 Space down\n", 3, "unknown key 'Space'"},
               {"4 Up\n", 1, "FRAME KEY down|up"},
               {"4 Up down now\n", 1, "'now'"},
               {"2 MOUSE 1.5 3\n", 1, "FRAME MOUSE X Y"},
               {"2 MOUSE 1 3 4\n", 1, "'4'"}};
  for (const auto& C : CASES) {
    harness::KeyScript S;
    std::string ERROR;
    EXPECT_FALSE(S.parse(C.TEXT, "demo.keys", ERROR)) << "refused: " << C.TEXT;
    const std::string WHERE = "demo.keys:" + std::to_string(C.LINE) + ": ";
    EXPECT_EQ(ERROR.rfind(WHERE, 0), 0u) << "'" << ERROR << "' must start with " << WHERE;
    EXPECT_NE(ERROR.find(C.WHAT), std::string::npos) << "'" << ERROR << "' must say " << C.WHAT;
    EXPECT_TRUE(S.events().empty()) << "a refused script holds no event";
  }
}

TEST(KeyScript, ApplySetsAndReleasesTheLibrarysKeyStates) {
  harness::KeyScript S;
  std::string ERROR;
  ASSERT_TRUE(S.parse("2 Tab down\n4 Tab up\n", "t", ERROR)) << ERROR;
  const bool HELD_FROM_2_TO_3[] = {false, true, true, false};
  for (int F = 1; F <= 4; ++F) {
    S.apply(F);
    EXPECT_EQ(draw2d::key_state(draw2d::KEY_TAB) != 0, HELD_FROM_2_TO_3[F - 1])
        << "frame " << F << ": Tab is pressed on frame 2, stays held, and is released on frame 4";
  }
}
