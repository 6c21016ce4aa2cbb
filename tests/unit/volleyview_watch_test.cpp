// Tests of volleyview's file watching: which changes a poll sees (a rename over the file as
// editors save, a rewrite of the same size, a deletion) and which files it leaves out.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/unit/image_test_files.hpp"
#include "volleyview/watch.hpp"

namespace {

namespace fs = std::filesystem;
using NVIEW::FILE_CHANGE;

std::string KINDS(const std::vector<FILE_CHANGE>& CHANGES) {
  std::string S;
  for (const FILE_CHANGE& C : CHANGES) {
    S += C.WHAT == FILE_CHANGE::KIND::ADDED     ? "+"
         : C.WHAT == FILE_CHANGE::KIND::CHANGED ? "~"
                                                : "-";
    S += C.PATH.filename().string() + " ";
  }
  return S;
}

TEST(ViewWatch, PollSeesRenamesRewritesAndDeletions) {
  const fs::path DIR = imagetest::SCRATCH("watch_poll");
  fs::create_directories(DIR);
  std::ofstream(DIR / "a.json") << "one";
  std::ofstream(DIR / "b.json") << "two";
  for (const char* OTHER : {".a.json.swp", ".#b.json", "notes.txt"})
    std::ofstream(DIR / OTHER) << "x";
  NVIEW::WATCHER W({DIR.string()});
  EXPECT_EQ(KINDS(W.POLL()), "+a.json +b.json ")
      << "the first poll adds every pattern file, by name";
  EXPECT_EQ(KINDS(W.POLL()), "") << "nothing changed";

  std::ofstream(DIR / ".a.json.tmp") << "new";
  fs::rename(DIR / ".a.json.tmp", DIR / "a.json");
  EXPECT_EQ(KINDS(W.POLL()), "~a.json ") << "a temporary file renamed over the file is a change";

  const auto STAMP = fs::last_write_time(DIR / "b.json");
  std::ofstream(DIR / "b.json", std::ios::in | std::ios::out) << "TWO";  // same size, same inode
  fs::last_write_time(DIR / "b.json", STAMP + std::chrono::milliseconds(1));
  EXPECT_EQ(KINDS(W.POLL()), "~b.json ")
      << "a rewrite of the same size with a new time is a change";

  fs::remove(DIR / "a.json");
  std::ofstream(DIR / "c.vly") << "three";
  EXPECT_EQ(KINDS(W.POLL()), "-a.json +c.vly ");
  ASSERT_EQ(W.FILES().size(), 2u);
  EXPECT_EQ(W.FILES()[0].filename(), "b.json") << "the list follows the disk";
}

}  // namespace
