// Allocation tracker: report lines, list bookkeeping, and the exit report of a child program.
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "leakscope/leakscope.hpp"
#include "tests/unit/leakscope_capture.hpp"

using volley_test::ReportCapture;

namespace {

std::string HEX(const void* P) {
  char BUF[32];
  std::snprintf(BUF, sizeof BUF, "%" PRIXPTR, reinterpret_cast<uintptr_t>(P));
  return BUF;
}

struct CHILD_RUN {
  int STATUS = -1;
  std::string OUT;
  std::string ERR;
};

// Runs the helper with standard input from /dev/null; standard error goes to a temporary file.
CHILD_RUN RUN_HELPER(const char* MODE) {
  char ERR_PATH[] = "/tmp/leakscope_test_XXXXXX";
  const int FD = mkstemp(ERR_PATH);
  CHILD_RUN R;
  if (FD < 0) return R;
  close(FD);
  const std::string CMD = std::string("timeout 20 '") + LEAKSCOPE_HELPER + "' " + MODE +
                          " </dev/null 2>'" + ERR_PATH + "'";
  std::FILE* P = popen(CMD.c_str(), "r");
  if (P == nullptr) return R;
  char BUF[512];
  std::size_t N;
  while ((N = std::fread(BUF, 1, sizeof BUF, P)) > 0) R.OUT.append(BUF, N);
  R.STATUS = pclose(P);
  if (std::FILE* E = std::fopen(ERR_PATH, "rb")) {
    while ((N = std::fread(BUF, 1, sizeof BUF, E)) > 0) R.ERR.append(BUF, N);
    std::fclose(E);
  }
  std::remove(ERR_PATH);
  return R;
}

}  // namespace

// ---- Report lines -------------------------------------------------------------------------

TEST(LeakscopeReport, PrintWritesBothStreamsVerbatim) {
  ReportCapture CAP;
  LEAKSCOPE_PRINT("100% %s %n done");
  EXPECT_EQ(CAP.ERR_TEXT(), "(LEAKSCOPE) 100% %s %n done\r")
      << "standard error ends the line with a bare carriage return; the text is never a format";
  EXPECT_EQ(CAP.OUT_TEXT(), "(LEAKSCOPE) 100% %s %n done\n") << "the console gets a line break";
}

TEST(LeakscopeReport, ReleasingNullReportsAddressZero) {
  const std::size_t BEFORE = LEAKSCOPE_COUNT();
  ReportCapture CAP;
  LEAKSCOPE_DEALLOCATE(nullptr, "volleyplay", 12, "cannon");
  EXPECT_EQ(CAP.ERR_TEXT(), "(LEAKSCOPE) Invalid deallocate(cannon) [&H0] at volleyplay:12\r");
  EXPECT_EQ(CAP.OUT_TEXT(), "(LEAKSCOPE) Invalid deallocate(cannon) [&H0] at volleyplay:12\n");
  EXPECT_EQ(LEAKSCOPE_COUNT(), BEFORE) << "nothing is released";
}

TEST(LeakscopeReport, ReleasingAnUnrecordedBlockNamesItsAddress) {
  void* P = std::calloc(1, 8);
  const std::string ADDR = HEX(P);
  ReportCapture CAP;
  LEAKSCOPE_DEALLOCATE(P, "display", -3, "p_vpage");  // released all the same
  EXPECT_EQ(CAP.OUT_TEXT(), "(LEAKSCOPE) Invalid deallocate(p_vpage) [&H" + ADDR + "] at display:-3\n")
      << "upper-case hex without leading zeros; the release call's file and line";
  EXPECT_EQ(ADDR.find_first_of("abcdef"), std::string::npos);
}

// ---- List bookkeeping ---------------------------------------------------------------------

TEST(LeakscopeList, AllocationsAreRecordedNewestFirst) {
  char NAME[] = "pixbank_image";
  auto* A = static_cast<unsigned char*>(LEAKSCOPE_CALLOCATE(64, NAME, 10));
  void* B = LEAKSCOPE_CALLOCATE(3, "display", 20);
  NAME[0] = 'X';
  ASSERT_NE(LEAKSCOPE_LIST, nullptr);
  LEAKSCOPE_T* HEAD = LEAKSCOPE_LIST;
  EXPECT_EQ(HEAD->PT, B) << "the newest record is the head";
  EXPECT_EQ(HEAD->BYTES, 3u);
  EXPECT_STREQ(HEAD->FILE, "display");
  ASSERT_NE(HEAD->_NEXT, nullptr);
  EXPECT_EQ(HEAD->_NEXT->PT, A);
  EXPECT_EQ(HEAD->_NEXT->_PREV, HEAD);
  EXPECT_EQ(HEAD->_PREV, nullptr);
  EXPECT_STREQ(HEAD->_NEXT->FILE, "pixbank_image") << "the record owns a copy of the file name";
  EXPECT_EQ(HEAD->_NEXT->LINENUM, 10);
  bool ZERO = true;
  for (int I = 0; I < 64; ++I) ZERO = ZERO && A[I] == 0;
  EXPECT_TRUE(ZERO) << "blocks are zero-filled";
  LEAKSCOPE_DEALLOCATE(A, "t", 1, "a");
  LEAKSCOPE_DEALLOCATE(B, "t", 2, "b");
}

TEST(LeakscopeList, ReleasingAMiddleRecordRelinksItsNeighbours) {
  void* A = LEAKSCOPE_CALLOCATE(1, "t", 1);
  void* B = LEAKSCOPE_CALLOCATE(2, "t", 2);
  void* C = LEAKSCOPE_CALLOCATE(3, "t", 3);
  LEAKSCOPE_DEALLOCATE(B, "t", 4, "b");
  ASSERT_EQ(LEAKSCOPE_LIST->PT, C);
  ASSERT_NE(LEAKSCOPE_LIST->_NEXT, nullptr);
  EXPECT_EQ(LEAKSCOPE_LIST->_NEXT->PT, A) << "the newer record now points past the removed one";
  EXPECT_EQ(LEAKSCOPE_LIST->_NEXT->_PREV, LEAKSCOPE_LIST) << "and back";
  LEAKSCOPE_DEALLOCATE(C, "t", 5, "c");
  EXPECT_EQ(LEAKSCOPE_LIST->PT, A) << "removing the head makes its successor the head";
  EXPECT_EQ(LEAKSCOPE_LIST->_PREV, nullptr);
  LEAKSCOPE_DEALLOCATE(A, "t", 6, "a");
}

TEST(LeakscopeList, ResizeUpdatesTheRecordInPlace) {
  const std::size_t BEFORE = LEAKSCOPE_COUNT();
  auto* P = static_cast<char*>(LEAKSCOPE_CALLOCATE(4, "old", 1));
  std::memcpy(P, "abc", 4);
  auto* Q = static_cast<char*>(LEAKSCOPE_REALLOCATE(P, 4096, "new", 99));
  EXPECT_EQ(LEAKSCOPE_COUNT(), BEFORE + 1) << "one record, not two";
  LEAKSCOPE_T* E = LEAKSCOPE_FIND(Q);
  ASSERT_NE(E, nullptr);
  EXPECT_EQ(E->BYTES, 4096u);
  EXPECT_STREQ(E->FILE, "new");
  EXPECT_EQ(E->LINENUM, 99);
  EXPECT_STREQ(Q, "abc") << "the contents survive the resize";
  LEAKSCOPE_DEALLOCATE(Q, "t", 1, "q");
  EXPECT_EQ(LEAKSCOPE_COUNT(), BEFORE);
}

TEST(LeakscopeList, ResizingNullOrAnUnrecordedBlockAddsARecord) {
  const std::size_t BEFORE = LEAKSCOPE_COUNT();
  void* A = LEAKSCOPE_REALLOCATE(nullptr, 16, "t", 1);
  void* B = LEAKSCOPE_REALLOCATE(std::malloc(4), 32, "t", 2);
  EXPECT_EQ(LEAKSCOPE_COUNT(), BEFORE + 2);
  EXPECT_EQ(LEAKSCOPE_LIST->PT, B);
  EXPECT_EQ(LEAKSCOPE_LIST->BYTES, 32u);
  LEAKSCOPE_DEALLOCATE(A, "t", 3, "a");
  LEAKSCOPE_DEALLOCATE(B, "t", 4, "b");
}

TEST(LeakscopeList, FindReturnsTheNewestOfDuplicates) {
  int X = 0;
  LEAKSCOPE_ADD(&X, 1, "t", 1);
  LEAKSCOPE_ADD(&X, 1, "t", 2);
  LEAKSCOPE_T* E = LEAKSCOPE_FIND(&X);
  ASSERT_NE(E, nullptr);
  EXPECT_EQ(E->LINENUM, 2) << "the walk starts at the newest record";
  LEAKSCOPE_REMOVE(E);
  E = LEAKSCOPE_FIND(&X);
  ASSERT_NE(E, nullptr);
  EXPECT_EQ(E->LINENUM, 1);
  LEAKSCOPE_REMOVE(E);
  EXPECT_EQ(LEAKSCOPE_FIND(&X), nullptr);
}

// ---- The exit report (child program) ------------------------------------------------------

TEST(LeakscopeExit, HeldBlocksAreReportedNewestFirst) {
  const CHILD_RUN R = RUN_HELPER("leak");
  ASSERT_EQ(R.STATUS, 0) << R.OUT << R.ERR;
  const std::size_t NL = R.OUT.find('\n');
  ASSERT_NE(NL, std::string::npos) << R.OUT;
  const std::string ADDRS = R.OUT.substr(0, NL);
  const std::string A = ADDRS.substr(0, ADDRS.find(' '));
  const std::string B = ADDRS.substr(ADDRS.find(' ') + 1);
  const std::string L24 = "(LEAKSCOPE) 24 bytes allocated at U:7 [&H" + B + "] not deallocated!";
  const std::string L360 = "(LEAKSCOPE) 360 bytes allocated at T:53 [&H" + A + "] not deallocated!";
  EXPECT_EQ(R.OUT.substr(NL + 1), L24 + "\n" + L360 + "\n") << "newest first, one line each";
  EXPECT_EQ(R.ERR, L24 + "\r" + L360 + "\r") << "standard error: bare carriage returns";
}

TEST(LeakscopeExit, CleanProgramWritesOneLineToEachStream) {
  const CHILD_RUN R = RUN_HELPER("clean");
  ASSERT_EQ(R.STATUS, 0);
  EXPECT_EQ(R.OUT, "(LEAKSCOPE) All memory deallocated\n");
  EXPECT_EQ(R.ERR, "(LEAKSCOPE) All memory deallocated\r");
}

TEST(LeakscopeExit, KeyWaitEndsAtTheEndOfInput) {
  const CHILD_RUN R = RUN_HELPER("wait");
  EXPECT_EQ(R.STATUS, 0) << "with no input the exit wait returns instead of hanging";
  EXPECT_EQ(R.OUT, "(LEAKSCOPE) All memory deallocated\n");
}
