// Fuzz targets: scratch files, process set-up and the asset directory.
#include "fuzz/fuzz_common.hpp"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "draw2d/draw2d.hpp"
#include "leakscope/leakscope.hpp"

namespace volley_fuzz {

namespace fs = std::filesystem;

const std::string& scratch_dir() {
  static const std::string* DIR = [] {  // never destroyed: the exit hook still reads it
    char TEMPLATE[] = "/tmp/volleyfuzzXXXXXX";
    if (::mkdtemp(TEMPLATE) == nullptr) fail(__FILE__, __LINE__, "no scratch directory");
    std::atexit([] {
      std::error_code EC;
      fs::remove_all(scratch_dir(), EC);
    });
    return new std::string(TEMPLATE);
  }();
  return *DIR;
}

std::string write_file(const std::string& NAME, const uint8_t* DATA, std::size_t SIZE) {
  const std::string PATH = scratch_dir() + "/" + NAME;
  std::ofstream OUT(PATH, std::ios::binary | std::ios::trunc);
  OUT.write(reinterpret_cast<const char*>(DATA), static_cast<std::streamsize>(SIZE));
  if (!OUT.flush()) fail(__FILE__, __LINE__, "cannot write a scratch file");
  return PATH;
}

std::string read_file(const std::string& PATH) {
  std::ifstream IN(PATH, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(IN), std::istreambuf_iterator<char>());
}

void init_process() {
  draw2d::set_headless(true);
  LEAKSCOPE_SET_EXIT_WAIT(false);
  scratch_dir();
}

void enter_asset_dir() {
  for (const char* NAME : {"korvane.pal", "kv_bullet.put", "tiny_font.put", "qzfntdg.put",
                           "qz.pal", "bullet.put"}) {
    std::error_code EC;  // already linked on later calls
    fs::create_symlink(fs::path(VOLLEY_RUN_DIR) / NAME, fs::path(scratch_dir()) / NAME, EC);
  }
  fs::current_path(scratch_dir());
}

}  // namespace volley_fuzz

// The set-up of a target that needs nothing more; a target with its own (a strong definition)
// replaces it.
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int*, char***) {
  volley_fuzz::init_process();
  return 0;
}
