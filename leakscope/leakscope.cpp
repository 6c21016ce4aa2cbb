// leakscope: the allocation tracker (list of live blocks, exit report, key wait at exit).
#include "leakscope/leakscope.hpp"

#include <cinttypes>
#include <cstdlib>
#include <cstring>
#include <termios.h>
#include <unistd.h>

LEAKSCOPE_T* LEAKSCOPE_LIST = nullptr;
std::mutex* LEAKSCOPE_MUTEX = nullptr;
int32_t LEAKSCOPE_INSTANCES = 0;

namespace {

bool EXIT_WAIT = true;
bool EXIT_REPORT = true;
std::FILE* ERR_STREAM = nullptr;  // null: stderr
std::FILE* OUT_STREAM = nullptr;  // null: stdout

std::string HEX(const void* PT) {
  char BUF[2 * sizeof(uintptr_t) + 1];
  std::snprintf(BUF, sizeof BUF, "%" PRIXPTR, reinterpret_cast<uintptr_t>(PT));
  return BUF;
}

char* COPY_TEXT(const char* S) {
  if (S == nullptr) S = "";
  const std::size_t N = std::strlen(S) + 1;
  char* C = static_cast<char*>(std::malloc(N));
  if (C != nullptr) std::memcpy(C, S, N);
  return C;
}

}  // namespace

void LEAKSCOPE_MUTEXLOCK() {
  if (LEAKSCOPE_MUTEX != nullptr) LEAKSCOPE_MUTEX->lock();
}

void LEAKSCOPE_MUTEXUNLOCK() {
  if (LEAKSCOPE_MUTEX != nullptr) LEAKSCOPE_MUTEX->unlock();
}

void LEAKSCOPE_PRINT(const std::string& S) {
  std::FILE* ERR = ERR_STREAM != nullptr ? ERR_STREAM : stderr;
  std::FILE* OUT = OUT_STREAM != nullptr ? OUT_STREAM : stdout;
  // Written verbatim, never used as a format. Standard error gets a bare carriage return.
  std::fputs("(LEAKSCOPE) ", ERR);
  std::fwrite(S.data(), 1, S.size(), ERR);
  std::fputc('\r', ERR);
  std::fflush(ERR);
  std::fputs("(LEAKSCOPE) ", OUT);
  std::fwrite(S.data(), 1, S.size(), OUT);
  std::fputc('\n', OUT);
  std::fflush(OUT);
}

LEAKSCOPE_T* LEAKSCOPE_FIND(void* PT) {
  LEAKSCOPE_MUTEXLOCK();
  LEAKSCOPE_T* E = LEAKSCOPE_LIST;
  while (E != nullptr && E->PT != PT) E = E->_NEXT;
  LEAKSCOPE_MUTEXUNLOCK();
  return E;
}

void LEAKSCOPE_ADD(void* PT, uint32_t BYTES, const char* FILE, int32_t LINENUM) {
  LEAKSCOPE_MUTEXLOCK();
  auto* E = static_cast<LEAKSCOPE_T*>(std::calloc(1, sizeof(LEAKSCOPE_T)));
  if (E != nullptr) {
    E->PT = PT;
    E->BYTES = BYTES;
    E->FILE = COPY_TEXT(FILE);
    E->LINENUM = LINENUM;
    E->_NEXT = LEAKSCOPE_LIST;
    if (LEAKSCOPE_LIST != nullptr) LEAKSCOPE_LIST->_PREV = E;
    LEAKSCOPE_LIST = E;
  }
  LEAKSCOPE_MUTEXUNLOCK();
}

void LEAKSCOPE_REMOVE(LEAKSCOPE_T* ELEM) {
  LEAKSCOPE_MUTEXLOCK();
  if (ELEM->_NEXT != nullptr) ELEM->_NEXT->_PREV = ELEM->_PREV;
  if (ELEM->_PREV != nullptr) ELEM->_PREV->_NEXT = ELEM->_NEXT;
  if (ELEM == LEAKSCOPE_LIST) LEAKSCOPE_LIST = ELEM->_NEXT;
  std::free(ELEM->FILE);
  std::free(ELEM);
  LEAKSCOPE_MUTEXUNLOCK();
}

void* LEAKSCOPE_CALLOCATE(uint32_t BYTES, const char* FILE, int32_t LINENUM) {
  void* PT = std::calloc(1, BYTES);
  LEAKSCOPE_ADD(PT, BYTES, FILE, LINENUM);
  return PT;
}

void* LEAKSCOPE_REALLOCATE(void* PT, uint32_t BYTES, const char* FILE, int32_t LINENUM) {
  // CHOICE: a resize to 0 bytes keeps a 1-byte block, so the record never holds a pointer
  // that realloc has already released.
  // The record is looked up before the resize: PT's value is not used once realloc has run.
  LEAKSCOPE_T* E = PT != nullptr ? LEAKSCOPE_FIND(PT) : nullptr;
  void* NEWPT = std::realloc(PT, BYTES == 0 ? 1 : BYTES);
  if (E != nullptr) {
    // Updated outside the lock, as a find followed by an update.
    E->PT = NEWPT;
    E->BYTES = BYTES;
    std::free(E->FILE);
    E->FILE = COPY_TEXT(FILE);
    E->LINENUM = LINENUM;
  } else {
    LEAKSCOPE_ADD(NEWPT, BYTES, FILE, LINENUM);
  }
  return NEWPT;
}

void LEAKSCOPE_DEALLOCATE(void* PT, const char* FILE, int32_t LINENUM, const char* VARNAME) {
  LEAKSCOPE_T* E = PT != nullptr ? LEAKSCOPE_FIND(PT) : nullptr;
  if (E != nullptr) {
    LEAKSCOPE_REMOVE(E);
  } else {
    LEAKSCOPE_PRINT(std::string("Invalid deallocate(") + (VARNAME ? VARNAME : "") + ") [&H" +
                    HEX(PT) + "] at " + (FILE ? FILE : "") + ":" + std::to_string(LINENUM));
  }
  std::free(PT);
}

int LEAKSCOPE_READ_KEY() {
  unsigned char C = 0;
  if (isatty(STDIN_FILENO)) {
    termios SAVED{};
    if (tcgetattr(STDIN_FILENO, &SAVED) == 0) {
      termios RAW = SAVED;
      RAW.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
      RAW.c_cc[VMIN] = 1;
      RAW.c_cc[VTIME] = 0;
      tcsetattr(STDIN_FILENO, TCSANOW, &RAW);
      const ssize_t N = read(STDIN_FILENO, &C, 1);
      tcsetattr(STDIN_FILENO, TCSANOW, &SAVED);
      return N == 1 ? C : -1;
    }
  }
  return read(STDIN_FILENO, &C, 1) == 1 ? C : -1;
}

void LEAKSCOPE_INIT() {
  // The report's outputs are the C streams, which are ready before any constructor runs.
  if (LEAKSCOPE_INSTANCES == 0) LEAKSCOPE_MUTEX = new std::mutex;
  LEAKSCOPE_INSTANCES += 1;
}

void LEAKSCOPE_EXIT() {
  LEAKSCOPE_INSTANCES -= 1;
  if (LEAKSCOPE_INSTANCES == 0) {
    if (LEAKSCOPE_LIST != nullptr) {
      LEAKSCOPE_T* E = LEAKSCOPE_LIST;
      LEAKSCOPE_LIST = nullptr;
      while (E != nullptr) {  // newest first
        LEAKSCOPE_T* NEXT = E->_NEXT;
        if (EXIT_REPORT)
          LEAKSCOPE_PRINT(std::to_string(E->BYTES) + " bytes allocated at " +
                          (E->FILE ? E->FILE : "") + ":" + std::to_string(E->LINENUM) + " [&H" +
                          HEX(E->PT) + "] not deallocated!");
        std::free(E->FILE);
        std::free(E);
        E = NEXT;
      }
    } else if (EXIT_REPORT) {
      LEAKSCOPE_PRINT("All memory deallocated");
    }
    delete LEAKSCOPE_MUTEX;
    LEAKSCOPE_MUTEX = nullptr;
  }
  if (EXIT_WAIT) LEAKSCOPE_READ_KEY();
}

void LEAKSCOPE_SET_EXIT_WAIT(bool WAIT) { EXIT_WAIT = WAIT; }

void LEAKSCOPE_SET_EXIT_REPORT(bool REPORT) { EXIT_REPORT = REPORT; }

void LEAKSCOPE_SET_STREAMS(std::FILE* ERR, std::FILE* OUT) {
  ERR_STREAM = ERR;
  OUT_STREAM = OUT;
}

std::size_t LEAKSCOPE_COUNT() {
  LEAKSCOPE_MUTEXLOCK();
  std::size_t N = 0;
  for (LEAKSCOPE_T* E = LEAKSCOPE_LIST; E != nullptr; E = E->_NEXT) ++N;
  LEAKSCOPE_MUTEXUNLOCK();
  return N;
}

namespace {
// The hooks run before every other constructor and after every other destructor (and after
// the static destructors registered with atexit), while the C streams still work.
__attribute__((constructor(101))) void LEAKSCOPE_START_HOOK() { LEAKSCOPE_INIT(); }
__attribute__((destructor(101))) void LEAKSCOPE_END_HOOK() { LEAKSCOPE_EXIT(); }
}  // namespace
