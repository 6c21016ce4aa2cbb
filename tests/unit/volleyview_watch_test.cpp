// Tests of volleyview's file watching: which changes a poll sees (a rename over the file as
// editors save, a rewrite of the same size, a deletion) and which files it leaves out.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/unit/image_test_files.hpp"
#include "volleyview/watch.hpp"

namespace {

namespace fs = std::filesystem;

// The changes of a poll: "+" added, "~" changed, "-" removed, then the file name.
std::string POLL(NVIEW::WATCHER& W) {
  std::string S;
  for (const NVIEW::FILE_CHANGE& C : W.POLL())
    S += "+~-"[static_cast<int>(C.WHAT)] + C.PATH.filename().string() + " ";
  return S;
}

TEST(ViewWatch, PollSeesRenamesRewritesAndDeletions) {
  const fs::path DIR = imagetest::SCRATCH("watch_poll");
  fs::create_directories(DIR);
  for (const char* NAME : {"a.json", "b.json", ".a.json.swp", ".#b.json", "notes.txt"})
    std::ofstream(DIR / NAME) << "one";
  NVIEW::WATCHER W({DIR.string()});
  EXPECT_EQ(POLL(W), "+a.json +b.json ") << "the first poll adds every pattern file, by name";
  EXPECT_EQ(POLL(W), "") << "nothing changed";

  std::ofstream(DIR / ".a.json.tmp") << "new";
  fs::rename(DIR / ".a.json.tmp", DIR / "a.json");
  EXPECT_EQ(POLL(W), "~a.json ") << "a temporary file renamed over the file is a change";

  const auto STAMP = fs::last_write_time(DIR / "b.json");
  std::ofstream(DIR / "b.json", std::ios::in | std::ios::out) << "TWO";  // same size, same inode
  fs::last_write_time(DIR / "b.json", STAMP + std::chrono::milliseconds(1));
  EXPECT_EQ(POLL(W), "~b.json ") << "a rewrite of the same size with a new time is a change";

  fs::remove(DIR / "a.json");
  std::ofstream(DIR / "c.vly") << "three";
  EXPECT_EQ(POLL(W), "-a.json +c.vly ");
  EXPECT_EQ(W.FILES(), (std::vector<fs::path>{DIR / "b.json", DIR / "c.vly"}))
      << "the list follows the disk";
}

}  // namespace
