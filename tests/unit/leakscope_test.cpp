// Allocation tracker: list bookkeeping, the invalid-release report and its two streams, the
// failed-resize and double-release faults, and the exit report of a child program
// (tests/golden/leakscope_exit.txt). Every test of every test program also checks, through
// the listener in test_main, that it returns each block it took.
#include <gtest/gtest.h>

#include <algorithm>
#include <cinttypes>
#include <cstdlib>
#include <sstream>
#include <string>

#include "leakscope/leakscope.hpp"
#include "tests/e2e/run_program.hpp"
#include "tests/unit/golden.hpp"
#include "tests/unit/leakscope_capture.hpp"

using volley_test::ReportCapture;

namespace {

std::string HEX(const void* P) {
  char BUF[32];
  std::snprintf(BUF, sizeof BUF, "%" PRIXPTR, reinterpret_cast<uintptr_t>(P));
  return BUF;
}

std::string REPLACE(std::string TEXT, const std::string& FROM, const std::string& TO) {
  for (std::size_t AT = 0; (AT = TEXT.find(FROM, AT)) != std::string::npos; AT += TO.size())
    TEXT.replace(AT, FROM.size(), TO);
  return TEXT;
}

// A system allocator whose resizes fail.
const LEAKSCOPE_ALLOCATOR FAILING_RESIZE{
    std::calloc, [](void*, std::size_t) -> void* { return nullptr; }, std::free};

// An allocator that always hands out the same block, as a real one may after a release, and
// counts its releases.
int FREES = 0;
alignas(16) unsigned char SAME_BLOCK[16];
const LEAKSCOPE_ALLOCATOR ONE_BLOCK{
    [](std::size_t, std::size_t) -> void* { return SAME_BLOCK; },
    [](void*, std::size_t) -> void* { return SAME_BLOCK; }, [](void*) { ++FREES; }};

struct LeakscopeFaults : ::testing::Test {
  void SetUp() override { FREES = 0; }
  void TearDown() override { LEAKSCOPE_SET_ALLOCATOR(nullptr); }
};

}  // namespace

TEST_F(LeakscopeFaults, FailedResizeKeepsTheOldRecord) {
  char NAME[] = "old";
  auto* A = static_cast<unsigned char*>(LEAKSCOPE_CALLOCATE(64, NAME, 1));
  void* B = LEAKSCOPE_CALLOCATE(3, "display", 20);
  NAME[0] = 'X';
  EXPECT_STREQ(LEAKSCOPE_FIND(A)->FILE, "old") << "a record keeps its own file name";
  EXPECT_EQ(std::count(A, A + 64, 0), 64) << "blocks are zero-filled";
  LEAKSCOPE_DEALLOCATE(B, "t", 4, "b");
  EXPECT_EQ(LEAKSCOPE_LIST->_PREV, nullptr) << "removing the head promotes its successor";
  void* P = LEAKSCOPE_REALLOCATE(A, 4096, "new", 99);  // updates A's record
  LEAKSCOPE_SET_ALLOCATOR(&FAILING_RESIZE);
  EXPECT_EQ(LEAKSCOPE_REALLOCATE(P, 8192, "newer", 2), nullptr) << "the resize fails";
  const LEAKSCOPE_T* E = LEAKSCOPE_FIND(P);
  ASSERT_NE(E, nullptr) << "the old block keeps its record";
  EXPECT_EQ(E->BYTES, 4096u) << "as the last successful resize left it";
  EXPECT_EQ(E->LINENUM, 99);
  EXPECT_EQ(LEAKSCOPE_FIND(nullptr), nullptr) << "no phantom record at address 0";
  ReportCapture CAP;
  LEAKSCOPE_DEALLOCATE(P, "t", 3, "p");
  EXPECT_EQ(CAP.OUT_TEXT(), "") << "the old block's release is a valid one";
}

TEST_F(LeakscopeFaults, SecondReleaseIsReportedAndNotFreedAgain) {
  LEAKSCOPE_SET_ALLOCATOR(&ONE_BLOCK);
  void* A = LEAKSCOPE_CALLOCATE(8, "t", 4);
  LEAKSCOPE_DEALLOCATE(A, "t", 5, "a");
  void* B = LEAKSCOPE_REALLOCATE(nullptr, 8, "t", 6);  // the same block, handed out again
  LEAKSCOPE_DEALLOCATE(B, "t", 7, "b");
  EXPECT_EQ(FREES, 2) << "a block handed out again is released again";
  ReportCapture CAP;
  LEAKSCOPE_DEALLOCATE(B, "volleyplay", 12, "b");  // a double free if it were freed again
  EXPECT_EQ(FREES, 2) << "its second release frees nothing";
  static int NEVER_RECORDED = 0;
  LEAKSCOPE_DEALLOCATE(&NEVER_RECORDED, "display", -3, "p_vpage");
  EXPECT_EQ(FREES, 3) << "a pointer the tracker never saw is still freed";
  LEAKSCOPE_DEALLOCATE(nullptr, "t", 9, "cannon");
  LEAKSCOPE_PRINT("100% %s %n done");
  const std::string OUT = CAP.OUT_TEXT();
  EXPECT_EQ(OUT, "(LEAKSCOPE) Invalid deallocate(b) [&H" + HEX(B) + "] at volleyplay:12\n"
                 "(LEAKSCOPE) Invalid deallocate(p_vpage) [&H" + HEX(&NEVER_RECORDED) +
                 "] at display:-3\n(LEAKSCOPE) Invalid deallocate(cannon) [&H0] at t:9\n"
                 "(LEAKSCOPE) 100% %s %n done\n")
      << "invalid releases name their address and place; printed text is never a format";
  EXPECT_EQ(CAP.ERR_TEXT(), REPLACE(OUT, "\n", "\r"))
      << "standard error gets the same lines, each ended by a bare carriage return";
}

// The helper's modes and how it ends: its "leak" mode prints the two addresses it keeps first.
TEST(LeakscopeExit, HeldBlocksAreReportedNewestFirstAndTheKeyWaitEndsAtEndOfInput) {
  volley_test::EXPECT_GOLDEN_TABLE("leakscope_exit.txt", [](const std::string& MODE) {
    const auto [EXIT, TIMED_OUT, OUT, ERR] = e2e::RUN({LEAKSCOPE_HELPER, MODE}, ".", 20);
    std::string TEXT = "exit " + std::to_string(EXIT) + ", out " + OUT + ", err " + ERR;
    std::istringstream ADDRESSES(MODE == "leak" ? OUT : "");
    std::string A, B;
    ADDRESSES >> A >> B;
    if (!A.empty()) TEXT = REPLACE(REPLACE(TEXT, A, "<360>"), B, "<24>");
    return REPLACE(REPLACE(TEXT, "\n", "\\n"), "\r", "\\r");
  });
}
