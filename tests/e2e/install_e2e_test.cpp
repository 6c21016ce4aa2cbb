// The programs as an installed tool meets them: --version, and assets found through
// $VOLLEY_DATA_DIR from a directory that holds none (the package check covers the installed
// files themselves).
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "image/asset_path.hpp"
#include "run_program.hpp"

namespace {

e2e::RunResult RUN(const char* NAME, std::vector<std::string> ARGS, const std::string& DIR,
                   bool PIPE = false) {
  ARGS.insert(ARGS.begin(), std::string(VOLLEY_RUN_DIR) + "/" + NAME);
  return e2e::RUN(ARGS, DIR, 60.0, PIPE);  // PIPE: standard input stays open
}

TEST(InstalledPrograms, VersionNamesTheProjectVersionAndTheCommit) {
  for (const char* NAME : {"volleyplay", "volleyedit", "volleypattern", "volleyview"}) {
    const e2e::RunResult R = RUN(NAME, {"--version"}, ".", true);  // it must not wait for input
    EXPECT_EQ(R.EXIT, 0) << NAME << ", timed out: " << R.TIMED_OUT;
    // A version line first; the players' tracker report follows, as after --help.
    const std::string FIRST = R.OUT.substr(0, R.OUT.find('\n'));
    const std::string HEAD = std::string(NAME) + " " + VOLLEY_VERSION + " (commit ";
    std::string COMMIT = FIRST.starts_with(HEAD) ? FIRST.substr(HEAD.size()) : FIRST;
    if (COMMIT.ends_with("-modified)")) COMMIT.erase(COMMIT.size() - 10, 9);
    for (char& C : COMMIT) C = std::isxdigit(static_cast<unsigned char>(C)) != 0 ? 'h' : C;
    EXPECT_TRUE(COMMIT == "hhhhhhhhhhhh)" || COMMIT == "unknown)")
        << "'" << HEAD << "' and 12 hex digits or 'unknown' in parentheses, not: " << FIRST;
  }
}

TEST(InstalledPrograms, AssetsComeFromTheDataDirectoryWhenTheCurrentOneHasNone) {
  const std::filesystem::path DIR = e2e::SCRATCH_DIR("volley_install", false);
  setenv("VOLLEY_DATA_DIR", VOLLEY_RUN_DIR, 1);
  const e2e::RunResult PLAY = RUN("volleyplay", {"--headless", "--frames", "30"}, DIR);
  const e2e::RunResult EDIT = RUN("volleyedit", {"--headless", "--frames", "2"}, DIR);
  setenv("VOLLEY_DATA_DIR", DIR.c_str(), 1);
  const e2e::RunResult LOST = RUN("volleyplay", {"--headless", "--frames", "30"}, DIR);
  unsetenv("VOLLEY_DATA_DIR");
  for (const e2e::RunResult& R : {PLAY, EDIT}) {
    EXPECT_EQ(R.EXIT, 0) << R.ERR;
    EXPECT_NE(R.OUT.find("(LEAKSCOPE) All memory deallocated"), std::string::npos) << R.OUT;
  }
  if (std::filesystem::exists(std::filesystem::path(assets::installed_data_dir()) / "bullet.put"))
    GTEST_SKIP() << "an installed copy holds bullet.put, so the player cannot miss it";
  EXPECT_EQ(LOST.EXIT, 0) << "a missing asset stops the program as every fatal load error does";
  const std::string MESSAGE = "cannot find bullet.put in the current directory, " + DIR.string() +
                              " or " + assets::installed_data_dir();
  EXPECT_NE(LOST.OUT.find(MESSAGE), std::string::npos) << LOST.OUT;
  std::filesystem::remove_all(DIR);
}

}  // namespace
