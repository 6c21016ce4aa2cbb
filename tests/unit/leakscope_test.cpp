// Allocation tracker: report lines, list bookkeeping, and the exit report of a child program.
#include <gtest/gtest.h>

#include <algorithm>
#include <cinttypes>
#include <cstdlib>
#include <string>

#include "leakscope/leakscope.hpp"
#include "tests/e2e/run_program.hpp"
#include "tests/unit/leakscope_capture.hpp"

using volley_test::ReportCapture;

namespace {

std::string HEX(const void* P) {
  char BUF[32];
  std::snprintf(BUF, sizeof BUF, "%" PRIXPTR, reinterpret_cast<uintptr_t>(P));
  return BUF;
}

// Runs the helper with standard input at its end.
e2e::RunResult RUN_HELPER(const char* MODE) { return e2e::RUN({LEAKSCOPE_HELPER, MODE}, ".", 20); }

}  // namespace

TEST(LeakscopeReport, LinesGoToBothStreamsVerbatim) {
  void* P = std::calloc(1, 8);
  const std::string ADDR = HEX(P);
  const std::size_t BEFORE = LEAKSCOPE_COUNT();
  ReportCapture CAP;
  LEAKSCOPE_PRINT("100% %s %n done");
  LEAKSCOPE_DEALLOCATE(nullptr, "volleyplay", 12, "cannon");
  LEAKSCOPE_DEALLOCATE(P, "display", -3, "p_vpage");  // unrecorded, released all the same
  const std::string L[] = {
      "(LEAKSCOPE) 100% %s %n done",
      "(LEAKSCOPE) Invalid deallocate(cannon) [&H0] at volleyplay:12",
      "(LEAKSCOPE) Invalid deallocate(p_vpage) [&H" + ADDR + "] at display:-3"};
  EXPECT_EQ(CAP.ERR_TEXT(), L[0] + "\r" + L[1] + "\r" + L[2] + "\r")
      << "standard error ends each line with a bare carriage return; the text is never a format; "
         "a null release names address 0, an unrecorded one its address and the release call's "
         "place";
  EXPECT_EQ(CAP.OUT_TEXT(), L[0] + "\n" + L[1] + "\n" + L[2] + "\n")
      << "the console gets line breaks";
  EXPECT_EQ(LEAKSCOPE_COUNT(), BEFORE) << "invalid releases change no record";
}

TEST(LeakscopeList, RecordsAreNewestFirstAndRelinkedOnRelease) {
  char NAME[] = "pixbank_image";
  auto* A = static_cast<unsigned char*>(LEAKSCOPE_CALLOCATE(64, NAME, 10));
  void* B = LEAKSCOPE_CALLOCATE(3, "display", 20);
  NAME[0] = 'X';
  EXPECT_STREQ(LEAKSCOPE_FIND(A)->FILE, "pixbank_image") << "a record keeps its own file name";
  EXPECT_EQ(std::count(A, A + 64, 0), 64) << "blocks are zero-filled";
  EXPECT_EQ(LEAKSCOPE_LIST->PT, B) << "the newest record is the head";
  LEAKSCOPE_DEALLOCATE(B, "t", 4, "b");
  EXPECT_EQ(LEAKSCOPE_LIST->_PREV, nullptr) << "removing the head promotes its successor";
  auto* Q = static_cast<unsigned char*>(LEAKSCOPE_REALLOCATE(A, 4096, "new", 99));
  ASSERT_EQ(LEAKSCOPE_FIND(Q), LEAKSCOPE_LIST) << "a resize updates the record in place";
  EXPECT_EQ(LEAKSCOPE_LIST->BYTES, 4096u);
  LEAKSCOPE_DEALLOCATE(Q, "t", 6, "a");
}

TEST(LeakscopeExit, HeldBlocksAreReportedNewestFirst) {
  const auto [EXIT, TIMED_OUT, OUT, ERR] = RUN_HELPER("leak");
  ASSERT_EQ(EXIT, 0) << OUT << ERR;
  const std::size_t NL = OUT.find('\n'), SP = OUT.find(' ');
  ASSERT_LT(SP, NL) << "the helper prints both addresses on its first line: " << OUT;
  const std::string L24 = "(LEAKSCOPE) 24 bytes allocated at U:7 [&H" +
                          OUT.substr(SP + 1, NL - SP - 1) + "] not deallocated!";
  const std::string L360 =
      "(LEAKSCOPE) 360 bytes allocated at T:53 [&H" + OUT.substr(0, SP) + "] not deallocated!";
  EXPECT_EQ(OUT.substr(NL + 1), L24 + "\n" + L360 + "\n") << "newest first, one line each";
  EXPECT_EQ(ERR, L24 + "\r" + L360 + "\r") << "standard error: bare carriage returns";
}

TEST(LeakscopeExit, CleanProgramReportsOnceAndTheKeyWaitEndsAtEndOfInput) {
  for (const char* MODE : {"clean", "wait"}) {
    const e2e::RunResult R = RUN_HELPER(MODE);
    EXPECT_EQ(R.EXIT, 0) << MODE << ": with no input the exit wait returns instead of hanging";
    EXPECT_EQ(R.OUT, "(LEAKSCOPE) All memory deallocated\n") << MODE;
    EXPECT_EQ(R.ERR, "(LEAKSCOPE) All memory deallocated\r") << MODE;
  }
}

namespace {

// A system allocator whose resizes fail and whose releases are counted.
int FREES = 0;
const LEAKSCOPE_ALLOCATOR FAILING_RESIZE{
    std::calloc, [](void*, std::size_t) -> void* { return nullptr; },
    [](void* P) { ++FREES, std::free(P); }};

// An allocator that always hands out the same block, as a real one may after a release.
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
  const std::size_t BEFORE = LEAKSCOPE_COUNT();
  void* P = LEAKSCOPE_CALLOCATE(16, "old", 1);
  LEAKSCOPE_SET_ALLOCATOR(&FAILING_RESIZE);
  EXPECT_EQ(LEAKSCOPE_REALLOCATE(P, 64, "new", 2), nullptr) << "the resize fails";
  const LEAKSCOPE_T* E = LEAKSCOPE_FIND(P);
  ASSERT_NE(E, nullptr) << "the old block keeps its record";
  EXPECT_EQ(E->BYTES, 16u);
  EXPECT_EQ(E->LINENUM, 1);
  EXPECT_EQ(LEAKSCOPE_FIND(nullptr), nullptr) << "no phantom record at address 0";
  ReportCapture CAP;
  LEAKSCOPE_DEALLOCATE(P, "t", 3, "p");
  EXPECT_EQ(CAP.OUT_TEXT(), "") << "the old block's release is a valid one";
  EXPECT_EQ(FREES, 1);
  EXPECT_EQ(LEAKSCOPE_COUNT(), BEFORE);
}

TEST_F(LeakscopeFaults, SecondReleaseIsReportedAndNotFreedAgain) {
  void* P = LEAKSCOPE_CALLOCATE(24, "t", 1);
  LEAKSCOPE_DEALLOCATE(P, "t", 2, "p");
  ReportCapture CAP;
  LEAKSCOPE_DEALLOCATE(P, "t", 3, "p");  // a double free under ASan (and glibc) if freed again
  EXPECT_EQ(CAP.OUT_TEXT(), "(LEAKSCOPE) Invalid deallocate(p) [&H" + HEX(P) + "] at t:3\n");

  LEAKSCOPE_SET_ALLOCATOR(&ONE_BLOCK);
  void* A = LEAKSCOPE_CALLOCATE(8, "t", 4);
  LEAKSCOPE_DEALLOCATE(A, "t", 5, "a");
  void* B = LEAKSCOPE_REALLOCATE(nullptr, 8, "t", 6);
  ASSERT_EQ(A, B) << "the allocator handed the released block out again";
  LEAKSCOPE_DEALLOCATE(B, "t", 7, "b");
  EXPECT_EQ(FREES, 2) << "a block handed out again is released again";
  LEAKSCOPE_DEALLOCATE(B, "t", 8, "b");
  EXPECT_EQ(FREES, 2) << "its second release frees nothing";
  static int NEVER_RECORDED = 0;
  LEAKSCOPE_DEALLOCATE(&NEVER_RECORDED, "t", 9, "n");
  EXPECT_EQ(FREES, 3) << "a pointer the tracker never saw is still freed";
}
