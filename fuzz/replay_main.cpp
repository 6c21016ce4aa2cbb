// Runs a fuzz target's body over files, without libFuzzer: the regression inputs and the seed
// corpus as plain tests of the ordinary and sanitizer builds. Arguments are files or
// directories (every regular file inside whose name does not start with ".", in name order). Exit 0
// when every input ran.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz/fuzz_common.hpp"

int main(int ARGC, char** ARGV) {
  namespace fs = std::filesystem;
  LLVMFuzzerInitialize(&ARGC, &ARGV);
  std::vector<fs::path> FILES;
  for (int I = 1; I < ARGC; ++I) {
    const fs::path P(ARGV[I]);
    if (fs::is_directory(P)) {
      for (const auto& E : fs::directory_iterator(P))
        if (E.is_regular_file() && E.path().filename().string()[0] != '.')
          FILES.push_back(E.path());
    } else if (fs::is_regular_file(P)) {
      FILES.push_back(P);
    } else {
      std::fprintf(stderr, "replay: %s is neither a file nor a directory\n", ARGV[I]);
      return 1;
    }
  }
  std::sort(FILES.begin(), FILES.end());
  for (const fs::path& P : FILES) {
    const std::string BYTES = volley_fuzz::read_file(P.string());
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(BYTES.data()), BYTES.size());
  }
  std::printf("replay: %zu inputs ran\n", FILES.size());
  return 0;
}
