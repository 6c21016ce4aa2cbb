// Runs a fuzz target's body over files, without libFuzzer: the regression inputs and the seed
// corpus as plain tests of the ordinary and sanitizer builds. Arguments are files or
// directories (every file inside whose name does not start with ".", in name order). Exit 0
// when every input ran.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "fuzz/fuzz_common.hpp"

int main(int ARGC, char** ARGV) {
  namespace fs = std::filesystem;
  LLVMFuzzerInitialize(&ARGC, &ARGV);
  std::vector<fs::path> FILES;
  for (int I = 1; I < ARGC; ++I) {
    FUZZ_CHECK(fs::exists(ARGV[I]), "every argument names a file or a directory");
    if (!fs::is_directory(ARGV[I])) FILES.emplace_back(ARGV[I]);
    for (const fs::directory_entry& E : fs::is_directory(ARGV[I]) ? fs::directory_iterator(ARGV[I])
                                                       : fs::directory_iterator())
      if (E.path().filename().string()[0] != '.') FILES.push_back(E.path());
  }
  std::sort(FILES.begin(), FILES.end());
  for (const fs::path& P : FILES) {
    const std::string BYTES = volley_fuzz::read_file(P.string());
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(BYTES.data()), BYTES.size());
  }
  std::printf("replay: %zu inputs ran\n", FILES.size());
}
