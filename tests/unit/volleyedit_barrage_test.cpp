// Tests of barrage files: saving over longer and shorter files, saves that fail (file-size
// limits, a name that cannot be opened) and must leave the old file and say so, and loads of
// short, long and wild files (that a load never changes its file is a check of the barrage_load
// fuzz target).
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
    for (int32_t K = 0; K < NDESIGNER::MENU_ROWS; ++K)
      if (K != 12 && K != 34) MENU[K].VALUE = static_cast<float>(K % 2);
  }
  void TearDown() override { fs::remove_all(DIR); }
};

// Each case saves in a child process (a death test) whose files may not grow beyond LIMIT bytes;
// the file-size signal keeps its default action there, which would end the child. Standard
// error is held in a buffer until the limit is lifted again, so its line is never cut. For the
// write-only case a root test runs the child as user nobody, for whom permission bits count.
TEST_F(BarrageFileTest, SaveRewritesTheFirst140BytesOrLeavesTheFileAsItWas) {
  ASSERT_TRUE(NDESIGNER::SAVE_DATA((DIR / "fresh.vly").string()));
  const std::string NEW = READ_FILE(DIR / "fresh.vly");
  ASSERT_EQ(NEW.size(), 140u) << "a fresh save writes the 35 values";
  constexpr int NONE = -1, A_DIRECTORY = -2;
  struct CASE {
    const char* WHAT;
    int OLD;  // bytes in the old file, or NONE, or A_DIRECTORY
    rlim_t LIMIT;
    bool SAVED, WRITE_ONLY = false;  // the old file may be written but not read
  };
  const CASE CASES[] = {
      {"a new file", NONE, RLIM_INFINITY, true},
      {"a longer file", 200, RLIM_INFINITY, true},
      {"a longer file below a limit of 150", 201, 150, true},
      {"a longer file cut short at 100", 202, 100, false},
      {"a shorter file cut short at 100", 60, 100, false},
      {"a new file cut short at 100", NONE, 100, false},
      {"a file with no room at all (the file-size signal)", 203, 0, false},
      {"a name that cannot be opened for writing, even by root", A_DIRECTORY, RLIM_INFINITY, false},
      {"a file that can be written but not read", 204, RLIM_INFINITY, false, true},
  };
  const fs::path FILE = DIR / "barrage.vly";
  for (const CASE& C : CASES) {
    SCOPED_TRACE(C.WHAT);
    const std::string OLD =
        C.OLD == NONE ? "no file" : C.OLD == A_DIRECTORY ? "a directory" : PATTERN(C.OLD);
    fs::remove(FILE);
    if (C.OLD == A_DIRECTORY) fs::create_directory(FILE);
    if (C.OLD > 0) std::ofstream(FILE, std::ios::binary) << OLD;
    if (C.WRITE_ONLY) fs::permissions(FILE, fs::perms::owner_write | fs::perms::others_write);
    const auto SAVE = [&C, &FILE] {
      std::setvbuf(stderr, nullptr, _IOFBF, 4096);
      rlimit R{C.LIMIT, RLIM_INFINITY};
      ::setrlimit(RLIMIT_FSIZE, &R);
      if (C.WRITE_ONLY && ::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
        std::_Exit(3);
      const bool SAVED = NDESIGNER::SAVE_DATA(FILE.string());
      R.rlim_cur = RLIM_INFINITY;
      ::setrlimit(RLIMIT_FSIZE, &R);
      std::fflush(stderr);
      std::_Exit(SAVED ? 0 : 1);
    };
    EXPECT_EXIT(SAVE(), ::testing::ExitedWithCode(C.SAVED ? 0 : 1),
                C.SAVED ? "^$" : "^[^\n]*barrage\\.vly[^\n]*\n$")
        << "SAVE_DATA tells success from failure, never ends the designer, and reports a "
        << "failure in one line on standard error that names the file";
    if (C.WRITE_ONLY) fs::permissions(FILE, fs::perms::owner_read, fs::perm_options::add);
    const std::string NOW =
        fs::is_directory(FILE) ? "a directory" : fs::exists(FILE) ? READ_FILE(FILE) : "no file";
    EXPECT_EQ(NOW, !C.SAVED ? OLD : NEW + (C.OLD > 140 ? OLD.substr(140) : ""))
        << "saved: 140 new bytes and the old ones beyond them; failed: the file as it was, and "
        << "no file where the save created one";
  }
}

// tests/golden/designer_loaded_limits.txt: a file shorter or longer than 140 bytes, each row
// loaded from a value beyond its limits, one within them and the non-finite ones ("N floats of
// V": N little-endian floats, like the file; "6 bytes": 5.0 and two more) => the value each row
// ends up with, then the notice on standard error.
TEST_F(BarrageFileTest, ValuesAreLimitedToTheirRows) {
  volley_test::EXPECT_GOLDEN_TABLE("designer_loaded_limits.txt", [this](const std::string& IN) {
    std::size_t N = 0;
    std::string UNIT, OF, V = "0";
    std::istringstream(IN) >> N >> UNIT >> OF >> V;
    const std::vector<float> VALUES(N, std::stof(V));
    std::ofstream(DIR / "wild.vly", std::ios::binary)
        << (UNIT == "floats" ? std::string(reinterpret_cast<const char*>(VALUES.data()), 4 * N)
                             : std::string("\x00\x00\xA0\x40\x11\x22", 6));
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(NDESIGNER::LOAD_DATA((DIR / "wild.vly").string())) << IN;
    std::string OUT = "| " + ::testing::internal::GetCapturedStderr();
    if (const auto AT = OUT.find(DIR.string()); AT != std::string::npos)
      OUT.replace(AT, DIR.string().size(), "DIR");
    for (int32_t K = NDESIGNER::MENU_ROWS - 1; K >= 0; --K)
      OUT = std::to_string(MENU[K].VALUE) + " " + OUT;
    return OUT.substr(0, OUT.find_last_not_of("| \n") + 1);
  });
}
