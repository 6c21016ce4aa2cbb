// Child program of the tracker tests. "leak" keeps two blocks (360 bytes from T:53, then 24
// bytes from U:7) and prints their addresses first; "clean" releases what it takes; "wait"
// is "clean" with the exit key wait left on.
#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "leakscope/leakscope.hpp"

// The blocks are kept on purpose: under AddressSanitizer the leak checker must stay quiet so
// that standard error holds the tracker's report alone.
extern "C" const char* __asan_default_options() { return "detect_leaks=0"; }

int main(int argc, char** argv) {
  const char* MODE = argc > 1 ? argv[1] : "clean";
  if (std::strcmp(MODE, "wait") != 0) LEAKSCOPE_SET_EXIT_WAIT(false);
  if (std::strcmp(MODE, "leak") != 0) {
    LEAKSCOPE_DEALLOCATE(LEAKSCOPE_CALLOCATE(10, "T", 1), "T", 2, "a");
    return 0;
  }
  void* A = LEAKSCOPE_CALLOCATE(360, "T", 53);
  void* B = LEAKSCOPE_CALLOCATE(24, "U", 7);
  std::printf("%" PRIXPTR " %" PRIXPTR "\n", reinterpret_cast<uintptr_t>(A),
              reinterpret_cast<uintptr_t>(B));
  return 0;
}
