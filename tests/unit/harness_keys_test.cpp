// Tests of key scripts: tests/golden/harness_key_scripts.txt holds one script per line (with
// \n for a line break) and, after "=>", the events it holds or the error that refuses it; and
// applying a frame sets the drawing library's key states.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "draw2d/draw2d.hpp"
#include "harness/key_script.hpp"
#include "tests/unit/golden.hpp"

namespace {

std::string UNESCAPE(std::string S) {
  for (std::size_t AT; (AT = S.find("\\n")) != std::string::npos;) S.replace(AT, 2, "\n");
  for (std::size_t AT; (AT = S.find("\\r")) != std::string::npos;) S.replace(AT, 2, "\r");
  return S;
}

// What a script gives: its events in order (frame, name and scan code, down or up, and the
// pointer of a mouse move), or the error line.
std::string OUTCOME(const std::string& TEXT) {
  harness::KeyScript S;
  std::string ERROR;
  if (!S.parse(TEXT, "demo.keys", ERROR)) {
    const std::string HELD = S.events().empty() ? "" : " (but events are kept)";
    return "error " + ERROR + HELD;
  }
  std::ostringstream OUT;
  for (const harness::KeyEvent& E : S.events()) {
    const std::string NAME = harness::key_name(E.SCANCODE);
    OUT << E.FRAME << " " << NAME << "=" << E.SCANCODE;
    if (!NAME.empty() && harness::key_scancode(NAME) != E.SCANCODE) OUT << "(no round trip)";
    OUT << (E.SCANCODE == harness::MOUSE_MOVE ? " " + std::to_string(E.X) + "," +
                                                    std::to_string(E.Y)
                                              : E.DOWN ? " down" : " up")
        << "; ";
  }
  OUT << "last " << S.last_frame() << ", at 3: " << S.events_at(3).size();
  return OUT.str();
}

}  // namespace

TEST(KeyScript, GoldenScriptsGiveTheirEventsOrTheirErrorLine) {
  volley_test::EXPECT_GOLDEN_TABLE("harness_key_scripts.txt",
                                  [](const std::string& IN) { return OUTCOME(UNESCAPE(IN)); });
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
