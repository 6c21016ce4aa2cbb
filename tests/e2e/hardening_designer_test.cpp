// Hardening of the designer: a long scripted session keeps the tracker's count of live blocks
// from growing; a save that fails part-way leaves the file that was there; a load never
// changes a file on disk.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "display/draw2d.hpp"
#include "leakscope/leakscope.hpp"
#include "volleyedit/barrage_file.hpp"
#include "volleyedit/designer.hpp"
#include "volleyedit/menu.hpp"

namespace {

namespace fs = std::filesystem;
using NDESIGNER::KEY;

std::string READ(const fs::path& P) {
  std::ifstream IN(P, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(IN), std::istreambuf_iterator<char>());
}

void WRITE(const fs::path& P, const std::string& BYTES) {
  std::ofstream OUT(P, std::ios::binary | std::ios::trunc);
  OUT << BYTES;
}

std::string PATTERN(std::size_t N, int SEED) {
  std::string S(N, '\0');
  for (std::size_t I = 0; I < N; ++I) S[I] = static_cast<char>(SEED + 13 * I);
  return S;
}

// A scratch directory holding links to the generated assets; it is the working directory
// while the test runs.
class HardeningFiles : public ::testing::Test {
 protected:
  fs::path OLD_DIR, DIR;
  void SetUp() override {
    OLD_DIR = fs::current_path();
    DIR = fs::temp_directory_path() /
          ("hardening_" + std::to_string(::getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(DIR);
    fs::create_directories(DIR);
    for (const char* NAME : {"korvane.pal", "kv_bullet.put", "tiny_font.put", "qzfntdg.put"})
      fs::create_symlink(fs::path(VOLLEY_RUN_DIR) / NAME, DIR / NAME);
    fs::current_path(DIR);
  }
  void TearDown() override {
    fs::current_path(OLD_DIR);
    fs::permissions(DIR, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(DIR);
  }
};

// A designer running headless in mode 0; KEYS(frame) sets the scripted keys of each frame.
class HardeningSession : public HardeningFiles {
 protected:
  NDESIGNER::DESIGNER_TYPE* D = nullptr;
  std::function<void(int32_t)> KEYS = [](int32_t) {};

  void SetUp() override {
    HardeningFiles::SetUp();
    draw2d::set_headless(true);
    NDESIGNER::FRAME_CLOCK = NDESIGNER::FRAME_CLOCK_TYPE{};
    NDESIGNER::FRAME_CLOCK.HOOKS.BEGIN_FRAME = [this](int32_t F) { KEYS(F); };
    NDESIGNER::U_KEY = {};
    NDESIGNER::D_KEY = {};
    D = new NDESIGNER::DESIGNER_TYPE;
    NDESIGNER::START(*D, {0, 8, 0});
  }
  void TearDown() override {
    NDESIGNER::SHUTDOWN(*D);
    delete D;
    for (int K = 0; K < NDESIGNER::KEY_COUNT; ++K)
      draw2d::set_key(NDESIGNER::SCAN_CODE(static_cast<KEY>(K)), false);
    draw2d::close_screen();
    NDESIGNER::FRAME_CLOCK = NDESIGNER::FRAME_CLOCK_TYPE{};
    HardeningFiles::TearDown();
  }
  static void SET(KEY K, bool DOWN) { draw2d::set_key(NDESIGNER::SCAN_CODE(K), DOWN); }
};

// ---- live blocks over a long session ------------------------------------------------------

TEST_F(HardeningSession, LiveBlocksNeverGrowOverALongEditingSession) {
  // Every 40 frames one action of the key map, pressed for 12 frames: edits on moving rows,
  // the switch, rounding, saves, loads of what was saved, and the chooser confirmed.
  const KEY CYCLE[] = {KEY::DOWN, KEY::RIGHT, KEY::LEFT, KEY::TAB, KEY::F3, KEY::F1,
                       KEY::F2,   KEY::RIGHT, KEY::UP,   KEY::F4, KEY::ENTER};
  KEYS = [&CYCLE](int32_t F) {
    const KEY K = CYCLE[(F / 40) % std::size(CYCLE)];
    for (KEY OTHER : CYCLE) SET(OTHER, false);
    if (F % 40 < 12) SET(K, true);
    if (F % 400 == 300) fs::copy_file("barrage.vly", "barrage2.vly", fs::copy_options::overwrite_existing);
  };
  ASSERT_TRUE(NDESIGNER::RUN_FRAME(*D));
  const std::size_t AFTER_START = LEAKSCOPE_COUNT();
  std::size_t PREVIOUS = AFTER_START;
  int32_t GREW_AT = 0, F = 1;
  while (F < 4000 && GREW_AT == 0) {
    ++F;
    ASSERT_TRUE(NDESIGNER::RUN_FRAME(*D)) << "nothing in the cycle quits (frame " << F << ")";
    if (LEAKSCOPE_COUNT() > PREVIOUS) GREW_AT = F;
    PREVIOUS = LEAKSCOPE_COUNT();
  }
  EXPECT_EQ(GREW_AT, 0) << "a frame took a block it did not return (frame " << GREW_AT << ")";
  EXPECT_TRUE(fs::exists("barrage.vly")) << "the cycle saved at least once";
}

// ---- a save that fails part-way -------------------------------------------------------------

// Runs SAVE_DATA(NAME) in a child process whose files may not grow beyond LIMIT bytes.
// Returns the child's status: exit 0 when the save reported success, 1 when it reported failure.
int SAVE_UNDER_SIZE_LIMIT(const std::string& NAME, rlim_t LIMIT, bool IGNORE_SIGNAL) {
  std::fflush(nullptr);
  const pid_t PID = ::fork();
  if (PID == 0) {
    if (IGNORE_SIGNAL) ::signal(SIGXFSZ, SIG_IGN);
    const rlimit R{LIMIT, LIMIT};
    ::setrlimit(RLIMIT_FSIZE, &R);
    for (int32_t K = 0; K < NDESIGNER::MENU_ROWS; ++K) NDESIGNER::MENU[K].VALUE = 1000.0f + K;
    std::fclose(stderr);  // the report line is not part of this test's output
    ::_exit(NDESIGNER::SAVE_DATA(NAME) ? 0 : 1);
  }
  int STATUS = 0;
  ::waitpid(PID, &STATUS, 0);
  return STATUS;
}

TEST_F(HardeningFiles, SaveCutShortLeavesTheLongerFileAsItWas) {
  const std::string OLD = PATTERN(200, 3);
  WRITE("barrage.vly", OLD);
  const int STATUS = SAVE_UNDER_SIZE_LIMIT("barrage.vly", 100, true);
  ASSERT_TRUE(WIFEXITED(STATUS)) << "the save does not kill the designer";
  EXPECT_EQ(WEXITSTATUS(STATUS), 1) << "a save cut short is reported as a failure";
  EXPECT_EQ(READ("barrage.vly"), OLD) << "no half-written file where a good one was";
}

TEST_F(HardeningFiles, SaveCutShortLeavesTheShorterFileAsItWas) {
  const std::string OLD = PATTERN(60, 9);
  WRITE("barrage.vly", OLD);
  const int STATUS = SAVE_UNDER_SIZE_LIMIT("barrage.vly", 100, true);
  ASSERT_TRUE(WIFEXITED(STATUS));
  EXPECT_EQ(WEXITSTATUS(STATUS), 1);
  EXPECT_EQ(READ("barrage.vly"), OLD) << "the old bytes are back and the file did not grow";
}

TEST_F(HardeningFiles, SaveCutShortLeavesNoNewFile) {
  const int STATUS = SAVE_UNDER_SIZE_LIMIT("barrage.vly", 100, true);
  ASSERT_TRUE(WIFEXITED(STATUS));
  EXPECT_EQ(WEXITSTATUS(STATUS), 1);
  EXPECT_FALSE(fs::exists("barrage.vly")) << "a file the failed save created is removed";
}

TEST_F(HardeningFiles, FileSizeSignalDoesNotEndTheDesigner) {
  // With no room at all the first byte already crosses the limit: the system raises SIGXFSZ,
  // whose default action ends the process.
  WRITE("barrage.vly", PATTERN(200, 5));
  const int STATUS = SAVE_UNDER_SIZE_LIMIT("barrage.vly", 0, false);
  EXPECT_TRUE(WIFEXITED(STATUS)) << "SIGXFSZ must not kill the designer and its unsaved design";
  EXPECT_EQ(READ("barrage.vly"), PATTERN(200, 5));
}

TEST_F(HardeningFiles, SaveWithinTheLimitStillRewritesTheFirst140Bytes) {
  const std::string OLD = PATTERN(200, 1);
  WRITE("barrage.vly", OLD);
  const int STATUS = SAVE_UNDER_SIZE_LIMIT("barrage.vly", 150, true);
  ASSERT_TRUE(WIFEXITED(STATUS));
  EXPECT_EQ(WEXITSTATUS(STATUS), 0) << "a write below the size limit succeeds";
  const std::string NOW = READ("barrage.vly");
  ASSERT_EQ(NOW.size(), 200u);
  EXPECT_NE(NOW.substr(0, 140), OLD.substr(0, 140)) << "the values were written";
  EXPECT_EQ(NOW.substr(140), OLD.substr(140)) << "bytes 140 to 199 stay";
}

// ---- a load never changes a file ------------------------------------------------------------

struct FILE_STATE {
  std::string BYTES;
  timespec MTIME;
  mode_t MODE;
};

FILE_STATE STATE_OF(const char* NAME) {
  struct stat ST {};
  ::stat(NAME, &ST);
  return {READ(NAME), ST.st_mtim, ST.st_mode};
}

TEST_F(HardeningSession, LoadLeavesShortLongAndReadOnlyFilesUntouched) {
  struct CASE {
    const char* WHAT;
    std::string BYTES;
    bool READ_ONLY;
  };
  const CASE CASES[] = {{"short", PATTERN(6, 2), false},
                        {"long", PATTERN(200, 4), false},
                        {"read-only", PATTERN(140, 6), true}};
  int32_t F = 0;
  for (const CASE& C : CASES) {
    fs::remove("barrage2.vly");
    WRITE("barrage2.vly", C.BYTES);
    // An old time stamp: any write would move it.
    const timespec OLD_TIMES[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, "barrage2.vly", OLD_TIMES, 0), 0);
    if (C.READ_ONLY) fs::permissions("barrage2.vly", fs::perms::owner_read);
    const FILE_STATE BEFORE = STATE_OF("barrage2.vly");
    const int32_t PRESS = F + 1;
    KEYS = [PRESS](int32_t FRAME) { SET(KEY::F2, FRAME == PRESS); };
    for (int I = 0; I < 3; ++I, ++F) ASSERT_TRUE(NDESIGNER::RUN_FRAME(*D));
    const FILE_STATE AFTER = STATE_OF("barrage2.vly");
    EXPECT_EQ(AFTER.BYTES, BEFORE.BYTES) << "F2 changed the bytes of the " << C.WHAT << " file";
    EXPECT_EQ(AFTER.MTIME.tv_sec, BEFORE.MTIME.tv_sec) << "F2 wrote to the " << C.WHAT << " file";
    EXPECT_EQ(AFTER.MTIME.tv_nsec, BEFORE.MTIME.tv_nsec);
    EXPECT_EQ(AFTER.MODE, BEFORE.MODE) << "F2 changed the " << C.WHAT << " file's mode";
  }
}

}  // namespace
