// Tests of key scripts: tests/golden/harness_key_scripts.txt holds one script per line (with
// \n and \r for line breaks) and, after "=>", the events it holds or the error that refuses it.
// How applied events hold and release keys frame by frame is pinned by the designer's key-script
// sessions (tests/golden/designer/), which hold keys over many frames.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "harness/key_script.hpp"
#include "tests/unit/golden.hpp"

namespace {

// What a script gives: its events in order (frame, name and scan code, down or up, and the
// pointer of a mouse move), or the error line.
std::string OUTCOME(std::string TEXT) {
  for (std::size_t AT; (AT = TEXT.find('\\')) != std::string::npos;)
    TEXT.replace(AT, 2, TEXT[AT + 1] == 'n' ? "\n" : "\r");
  harness::KeyScript S;
  std::string ERROR;
  if (!S.parse(TEXT, "demo.keys", ERROR))
    return "error " + ERROR + (S.events().empty() ? "" : " (but events are kept)");
  std::ostringstream OUT;
  for (const harness::KeyEvent& E : S.events()) {
    OUT << E.FRAME << " " << harness::key_name(E.SCANCODE) << "=" << E.SCANCODE;
    if (E.SCANCODE == harness::MOUSE_MOVE) OUT << " " << E.X << "," << E.Y << "; ";
    if (E.SCANCODE != harness::MOUSE_MOVE) OUT << (E.DOWN ? " down; " : " up; ");
  }
  OUT << "last " << S.last_frame() << ", at 3: " << S.events_at(3).size();
  return OUT.str();
}

}  // namespace

TEST(KeyScript, GoldenScriptsGiveTheirEventsOrTheirErrorLine) {
  volley_test::EXPECT_GOLDEN_TABLE("harness_key_scripts.txt", OUTCOME);
}
