// Tests of barrage files: saving over longer and shorter files, saves that fail (file-size
// limits, a name that cannot be opened) and must leave the old file and say so, and loads of
// short, long and wild files.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>
#include <vector>

#include "tests/e2e/run_program.hpp"
#include "tests/unit/golden.hpp"
#include "volleyedit/barrage_file.hpp"
#include "volleyedit/menu.hpp"

namespace {

namespace fs = std::filesystem;
using NDESIGNER::MENU;
using e2e::READ_FILE;

void WRITE_ALL(const fs::path& P, const std::string& BYTES) {
  std::ofstream(P, std::ios::binary) << BYTES;
}

std::string PATTERN(std::size_t N, int SEED) {
  std::string B(N, '\0');
  for (std::size_t I = 0; I < N; ++I) B[I] = static_cast<char>(SEED + 13 * I);
  return B;
}

// A file of little-endian floats (the test machine is little-endian like the file).
std::string FLOATS(const std::vector<float>& V) {
  return {reinterpret_cast<const char*>(V.data()), V.size() * 4};
}

class BarrageFileTest : public ::testing::Test {
 protected:
  fs::path DIR;
  void SetUp() override {
    DIR = e2e::SCRATCH_DIR("volleyedit_barrage", false);
    fs::permissions(DIR, fs::perms::others_exec, fs::perm_options::add);  // for user nobody
    NDESIGNER::INIT_MENU(225.0f, -1);
    for (int32_t K = 0; K < NDESIGNER::MENU_ROWS; ++K)
      if (K != 12 && K != 34) MENU[K].VALUE = static_cast<float>(K % 2);
  }
  void TearDown() override { fs::remove_all(DIR); }
  std::string PATH(const char* NAME) const { return (DIR / NAME).string(); }
};

// SAVE_DATA in a child process whose files may not grow beyond LIMIT bytes (the file-size signal
// keeps its default action, which ends the process); its standard error goes to ERR. With
// AS_NOBODY a root test runs the child as user nobody, for whom permission bits count.
int SAVE_IN_CHILD(const std::string& NAME, rlim_t LIMIT, std::string& ERR, bool AS_NOBODY) {
  int PIPE[2];
  if (::pipe(PIPE) != 0) return -1;
  std::fflush(nullptr);
  const pid_t PID = ::fork();
  if (PID == 0) {
    ::dup2(PIPE[1], 2);  // a pipe is not limited in size
    const rlimit R{LIMIT, LIMIT};
    ::setrlimit(RLIMIT_FSIZE, &R);
    if (AS_NOBODY && ::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(3);
    ::_exit(NDESIGNER::SAVE_DATA(NAME) ? 0 : 1);
  }
  ::close(PIPE[1]);
  char BUF[512];
  for (ssize_t N; (N = ::read(PIPE[0], BUF, sizeof BUF)) > 0;)
    ERR.append(BUF, static_cast<std::size_t>(N));
  ::close(PIPE[0]);
  int STATUS = 0;
  ::waitpid(PID, &STATUS, 0);
  return STATUS;
}

TEST_F(BarrageFileTest, SaveRewritesTheFirst140BytesOrLeavesTheFileAsItWas) {
  float VALUES[NDESIGNER::BARRAGE_VALUES];
  for (int32_t K = 0; K < NDESIGNER::BARRAGE_VALUES; ++K) VALUES[K] = MENU[K].VALUE;
  uint8_t ENCODED[NDESIGNER::BARRAGE_BYTES];
  NDESIGNER::ENCODE_BARRAGE(VALUES, ENCODED);
  const std::string NEW(reinterpret_cast<const char*>(ENCODED), 140);
  struct CASE {
    const char* WHAT;
    std::optional<std::string> OLD;  // no file when empty; an empty one stands for a directory
    rlim_t LIMIT;
    bool SAVED;
    bool WRITE_ONLY = false;  // the old file may be written but not read
  };
  const CASE CASES[] = {
      {"a new file", std::nullopt, RLIM_INFINITY, true},
      {"a longer file", PATTERN(200, 3), RLIM_INFINITY, true},
      {"a longer file below a limit of 150", PATTERN(200, 1), 150, true},
      {"a longer file cut short at 100", PATTERN(200, 3), 100, false},
      {"a shorter file cut short at 100", PATTERN(60, 9), 100, false},
      {"a new file cut short at 100", std::nullopt, 100, false},
      {"a file with no room at all (the file-size signal)", PATTERN(200, 5), 0, false},
      {"a name that cannot be opened for writing, even by root", "", RLIM_INFINITY, false},
      {"a file that can be written but not read", PATTERN(200, 7), RLIM_INFINITY, false, true},
  };
  for (const CASE& C : CASES) {
    SCOPED_TRACE(C.WHAT);
    fs::remove(DIR / "barrage.vly");
    if (C.OLD && C.OLD->empty()) fs::create_directory(DIR / "barrage.vly");
    else if (C.OLD) WRITE_ALL(DIR / "barrage.vly", *C.OLD);
    const fs::perms NO_READ = fs::perms::owner_write | fs::perms::others_write;
    if (C.WRITE_ONLY) fs::permissions(DIR / "barrage.vly", NO_READ);
    std::string ERR;
    const int STATUS = SAVE_IN_CHILD(PATH("barrage.vly"), C.LIMIT, ERR, C.WRITE_ONLY);
    if (C.WRITE_ONLY)
      fs::permissions(DIR / "barrage.vly", fs::perms::owner_read, fs::perm_options::add);
    ASSERT_TRUE(WIFEXITED(STATUS)) << "a save never kills the designer and its unsaved design";
    EXPECT_EQ(WEXITSTATUS(STATUS), C.SAVED ? 0 : 1) << "SAVE_DATA tells success from failure";
    if (C.SAVED) {
      EXPECT_EQ(READ_FILE(DIR / "barrage.vly"), NEW + (C.OLD ? C.OLD->substr(140) : ""))
          << "140 new bytes, the old ones beyond them kept";
      EXPECT_EQ(ERR, "") << "nothing to report";
    } else {
      EXPECT_EQ(fs::exists(DIR / "barrage.vly"), C.OLD.has_value())
          << "a file the save created is removed";
      if (C.OLD && C.OLD->empty()) EXPECT_TRUE(fs::is_directory(DIR / "barrage.vly"));
      else
        EXPECT_EQ(READ_FILE(DIR / "barrage.vly"), C.OLD.value_or(""))
            << "no half-written file where a good one was";
      EXPECT_EQ(std::count(ERR.begin(), ERR.end(), '\n'), 1)
          << "one line on standard error: " << ERR;
      EXPECT_NE(ERR.find("barrage.vly"), std::string::npos) << "the line names the file: " << ERR;
    }
  }
}

// Files shorter and longer than 140 bytes, and each row loaded from a value beyond its limits,
// one within them and the non-finite ones: tests/golden/designer_loaded_limits.txt holds the
// value each row ends up with and the notice on standard error.
TEST_F(BarrageFileTest, ValuesAreLimitedToTheirRows) {
  std::string TABLE;
  auto LOAD = [&](const std::string& WHAT, const std::string& BYTES) {
    WRITE_ALL(DIR / "wild.vly", BYTES);
    ::testing::internal::CaptureStderr();
    ASSERT_TRUE(NDESIGNER::LOAD_DATA(PATH("wild.vly")));
    std::string NOTICE = ::testing::internal::GetCapturedStderr();
    if (const auto AT = NOTICE.find(DIR.string()); AT != std::string::npos)
      NOTICE.replace(AT, DIR.string().size(), "DIR");
    TABLE += WHAT + ":";
    for (int32_t K = 0; K < NDESIGNER::MENU_ROWS; ++K) TABLE += " " + std::to_string(MENU[K].VALUE);
    TABLE += "\n" + NOTICE;
  };
  LOAD("6 bytes, 5.0 and two more", std::string("\x00\x00\xA0\x40\x11\x22", 6));
  LOAD("50 floats of 10", FLOATS(std::vector<float>(50, 10.0f)));
  const float WILD[] = {1000.0f, -5.0f, 12.25f, 0.5f, std::numeric_limits<float>::quiet_NaN(),
                        std::numeric_limits<float>::infinity(), -1e10f, 3.0e9f};
  for (const float W : WILD)
    LOAD("35 floats of " + std::to_string(W), FLOATS(std::vector<float>(35, W)));
  volley_test::EXPECT_GOLDEN("designer_loaded_limits.txt", TABLE);
}

}  // namespace
