// Tests of barrage files: saving over longer and shorter files, saves that fail (file-size
// limits, a name that cannot be opened) and must leave the old file and say so, and loads of
// short, long and wild files, which a load never changes.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "tests/e2e/run_program.hpp"
#include "tests/unit/golden.hpp"
#include "volleyedit/barrage_file.hpp"
#include "volleyedit/menu.hpp"

namespace fs = std::filesystem;
using e2e::READ_FILE;
using NDESIGNER::MENU;

// N bytes of a pattern that depends on N.
static std::string PATTERN(int N) {
  std::string B(N, '\0');
  for (int I = 0; I < N; ++I) B[I] = static_cast<char>(N + 13 * I);
  return B;
}

class BarrageFileTest : public ::testing::Test {
 protected:
  fs::path DIR = e2e::SCRATCH_DIR("volleyedit_barrage", false);
  void SetUp() override {
    fs::permissions(DIR, fs::perms::others_exec, fs::perm_options::add);  // for user nobody
    NDESIGNER::INIT_MENU(225.0f, -1);
  }
  void TearDown() override { fs::remove_all(DIR); }
};

// tests/golden/designer_saves.txt: the old file ("none", "directory", or its size in bytes, with
// "w" when it can be written but not read) and the file-size limit in bytes ("none" for no
// limit) => how a save ends, the file it leaves and its standard error. Each save runs in a
// child (a death test) whose files may not grow beyond the limit; the file-size signal keeps its
// default action there, which would end it. Standard error goes to a file and is held in a
// buffer until the limit is lifted again. For a "w" case a root test runs the child as user
// nobody, for whom permission bits count.
TEST_F(BarrageFileTest, SaveRewritesTheFirst140BytesOrLeavesTheFileAsItWas) {
  ASSERT_TRUE(NDESIGNER::SAVE_DATA((DIR / "fresh.vly").string()));
  const std::string NEW = READ_FILE(DIR / "fresh.vly"), FILE = (DIR / "barrage.vly").string();
  ASSERT_EQ(NEW.size(), 140u) << "a save writes the 35 values of the menu";
  volley_test::EXPECT_GOLDEN_TABLE("designer_saves.txt", [&](const std::string& CASE) {
    std::string OLD_FILE, LIMIT_WORD;
    std::istringstream(CASE) >> OLD_FILE >> LIMIT_WORD;
    const int BYTES = std::atoi(OLD_FILE.c_str());
    const bool WRITE_ONLY = OLD_FILE.ends_with("w");
    const rlim_t LIMIT = LIMIT_WORD == "none" ? RLIM_INFINITY : std::stoul(LIMIT_WORD);
    const std::string OLD = PATTERN(BYTES);
    fs::remove(FILE);
    if (OLD_FILE == "directory") fs::create_directory(FILE);
    if (BYTES > 0) std::ofstream(FILE, std::ios::binary) << OLD;
    if (WRITE_ONLY) fs::permissions(FILE, fs::perms::owner_write | fs::perms::others_write);
    const auto SAVE = [&] {
      if (!std::freopen((DIR / "stderr.txt").c_str(), "w", stderr)) std::_Exit(4);
      std::setvbuf(stderr, nullptr, _IOFBF, 4096);
      rlimit R{LIMIT, RLIM_INFINITY};
      ::setrlimit(RLIMIT_FSIZE, &R);
      if (WRITE_ONLY && ::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
        std::_Exit(3);
      const bool SAVED = NDESIGNER::SAVE_DATA(FILE);
      R.rlim_cur = RLIM_INFINITY;
      ::setrlimit(RLIMIT_FSIZE, &R);
      std::fflush(stderr);
      std::_Exit(SAVED ? 0 : 1);
    };
    int STATUS = -1;
    EXPECT_EXIT(SAVE(), ([&STATUS](int S) { return (STATUS = S) >= 0; }), "");
    if (WRITE_ONLY) fs::permissions(FILE, fs::perms::owner_read, fs::perm_options::add);
    std::string NOW =
        fs::is_directory(FILE) ? "a directory" : fs::exists(FILE) ? READ_FILE(FILE) : "no file";
    if (NOW == NEW + (BYTES > 140 ? OLD.substr(140) : "")) NOW = "140 new bytes, then any old ones";
    if (BYTES > 0 && NOW == OLD) NOW = "the old file as it was";
    std::string ERR = READ_FILE(DIR / "stderr.txt");
    if (const auto AT = ERR.find(DIR.string()); AT != std::string::npos)
      ERR.replace(AT, DIR.string().size(), "DIR");
    return (WIFEXITED(STATUS) ? "exit " + std::to_string(WEXITSTATUS(STATUS)) : "killed") + "; " +
           NOW + "; standard error: " + (ERR.empty() ? "nothing" : ERR.substr(0, ERR.size() - 1));
  });
}

// tests/golden/designer_loaded_limits.txt: a file shorter or longer than 140 bytes, each row
// loaded from a value beyond its limits, one within them and the non-finite ones ("N floats of
// V": N little-endian floats, like the file; "6 bytes": 5.0 and two more) => the value each row
// ends up with, then the notice on standard error. Each file is read-only and stays as it was.
TEST_F(BarrageFileTest, ValuesAreLimitedToTheirRows) {
  volley_test::EXPECT_GOLDEN_TABLE("designer_loaded_limits.txt", [this](const std::string& IN) {
    std::size_t N = 0;
    std::string UNIT, OF, V = "0";
    std::istringstream(IN) >> N >> UNIT >> OF >> V;
    const std::vector<float> VALUES(N, std::stof(V));
    std::ofstream(DIR / "wild.vly", std::ios::binary)
        << (UNIT == "floats" ? std::string(reinterpret_cast<const char*>(VALUES.data()), 4 * N)
                             : std::string("\x00\x00\xA0\x40\x11\x22", 6));
    const std::string BEFORE = READ_FILE(DIR / "wild.vly");
    fs::permissions(DIR / "wild.vly", fs::perms::owner_read);
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(NDESIGNER::LOAD_DATA((DIR / "wild.vly").string())) << IN;
    EXPECT_EQ(READ_FILE(DIR / "wild.vly"), BEFORE) << IN << ": a load never changes its file";
    fs::remove(DIR / "wild.vly");
    std::string OUT = "| " + ::testing::internal::GetCapturedStderr();
    if (const auto AT = OUT.find(DIR.string()); AT != std::string::npos)
      OUT.replace(AT, DIR.string().size(), "DIR");
    for (int32_t K = NDESIGNER::MENU_ROWS - 1; K >= 0; --K)
      OUT = std::to_string(MENU[K].VALUE) + " " + OUT;
    return OUT.substr(0, OUT.find_last_not_of("| \n") + 1);
  });
}
