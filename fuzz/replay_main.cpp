// Runs a fuzz target's body over files, without libFuzzer: the regression inputs and the seed
// corpus as plain tests of the ordinary and sanitizer builds. Arguments are directories (a
// missing one ends the run with an exception); every file inside whose name does not start
// with "." runs, in name order. Exit 0 when every input ran.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "fuzz/fuzz_common.hpp"

int main(int ARGC, char** ARGV) {
  LLVMFuzzerInitialize(&ARGC, &ARGV);
  std::vector<std::filesystem::path> FILES;
  for (int I = 1; I < ARGC; ++I)
    for (const std::filesystem::directory_entry& E : std::filesystem::directory_iterator(ARGV[I]))
      if (E.path().filename().string()[0] != '.') FILES.push_back(E.path());
  std::sort(FILES.begin(), FILES.end());
  for (const std::filesystem::path& P : FILES) {
    std::fprintf(stderr, "replay: %s\n", P.c_str());  // names the input a failure comes from
    const std::string BYTES = volley_fuzz::read_file(P.string());
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(BYTES.data()), BYTES.size());
  }
  std::printf("replay: %zu inputs ran\n", FILES.size());
}
