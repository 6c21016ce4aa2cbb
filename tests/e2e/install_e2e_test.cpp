// The programs as an installed tool meets them: --version, and assets found through
// $VOLLEY_DATA_DIR from a directory that holds none (the package check covers the installed
// files themselves).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "image/asset_path.hpp"
#include "run_program.hpp"

namespace {

std::string PROGRAM(const char* NAME) { return std::string(VOLLEY_RUN_DIR) + "/" + NAME; }

TEST(InstalledPrograms, VersionNamesTheProjectVersionAndTheCommit) {
  for (const char* NAME : {"volleyplay", "volleyedit", "volleypattern", "volleyview"}) {
    SCOPED_TRACE(NAME);
    const e2e::RunResult R = e2e::RUN({PROGRAM(NAME), "--version"}, ".", 20.0, true);
    ASSERT_FALSE(R.TIMED_OUT) << "--version must not start a run";
    EXPECT_EQ(R.EXIT, 0);
    // The players' tracker report follows, as after --help.
    const std::string FIRST = R.OUT.substr(0, R.OUT.find('\n') + 1);
    const std::string HEAD = std::string(NAME) + " " + VOLLEY_VERSION + " (commit ";
    ASSERT_EQ(FIRST.substr(0, HEAD.size()), HEAD) << "a version line first, not: " << R.OUT;
    std::string COMMIT = FIRST.substr(HEAD.size());
    ASSERT_GE(COMMIT.size(), 2u) << FIRST;
    EXPECT_EQ(COMMIT.substr(COMMIT.size() - 2), ")\n") << FIRST;
    COMMIT.resize(COMMIT.size() - 2);
    if (COMMIT.size() > 12 && COMMIT.substr(12) == "-modified") COMMIT.resize(12);
    const bool HEX = COMMIT.size() == 12 &&
                     COMMIT.find_first_not_of("0123456789abcdef") == std::string::npos;
    EXPECT_TRUE(HEX || COMMIT == "unknown") << "12 hex digits or 'unknown', not: " << COMMIT;
  }
}

TEST(InstalledPrograms, AssetsComeFromTheDataDirectoryWhenTheCurrentOneHasNone) {
  const std::filesystem::path DIR = e2e::SCRATCH_DIR("volley_install", false);
  setenv("VOLLEY_DATA_DIR", VOLLEY_RUN_DIR, 1);
  const e2e::RunResult PLAY =
      e2e::RUN({PROGRAM("volleyplay"), "--headless", "--frames", "30"}, DIR.string(), 60.0);
  const e2e::RunResult EDIT =
      e2e::RUN({PROGRAM("volleyedit"), "--headless", "--frames", "2"}, DIR.string(), 60.0);
  setenv("VOLLEY_DATA_DIR", DIR.c_str(), 1);
  const e2e::RunResult LOST =
      e2e::RUN({PROGRAM("volleyplay"), "--headless", "--frames", "30"}, DIR.string(), 60.0);
  unsetenv("VOLLEY_DATA_DIR");

  EXPECT_EQ(PLAY.EXIT, 0) << PLAY.ERR;
  EXPECT_NE(PLAY.OUT.find("(LEAKSCOPE) All memory deallocated"), std::string::npos) << PLAY.OUT;
  EXPECT_EQ(EDIT.EXIT, 0) << EDIT.ERR;
  EXPECT_NE(EDIT.OUT.find("(LEAKSCOPE) All memory deallocated"), std::string::npos) << EDIT.OUT;
  if (std::filesystem::exists(std::filesystem::path(assets::installed_data_dir()) / "bullet.put")) {
    GTEST_SKIP() << "an installed copy holds bullet.put, so the player cannot miss it";
  }
  EXPECT_EQ(LOST.EXIT, 0) << "a missing asset stops the program as every fatal load error does";
  const std::string MESSAGE = "cannot find bullet.put in the current directory, " + DIR.string() +
                              " or " + assets::installed_data_dir();
  EXPECT_NE(LOST.OUT.find(MESSAGE), std::string::npos) << LOST.OUT;
  std::filesystem::remove_all(DIR);
}

}  // namespace
