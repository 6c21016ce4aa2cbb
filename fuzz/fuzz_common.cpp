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

namespace {

std::string& DIR() {
  static std::string D;
  return D;
}

void REMOVE_DIR() {
  std::error_code EC;
  if (!DIR().empty()) fs::remove_all(DIR(), EC);
}

}  // namespace

const std::string& scratch_dir() {
  if (DIR().empty()) {
    char TEMPLATE[] = "/tmp/volleyfuzzXXXXXX";
    if (::mkdtemp(TEMPLATE) == nullptr) fail(__FILE__, __LINE__, "no scratch directory");
    DIR() = TEMPLATE;
    std::atexit(REMOVE_DIR);
  }
  return DIR();
}

std::string write_file(const std::string& NAME, const uint8_t* DATA, std::size_t SIZE) {
  const std::string PATH = scratch_dir() + "/" + NAME;
  std::FILE* F = std::fopen(PATH.c_str(), "wb");
  if (F == nullptr) fail(__FILE__, __LINE__, "cannot write a scratch file");
  if (SIZE > 0 && std::fwrite(DATA, 1, SIZE, F) != SIZE) fail(__FILE__, __LINE__, "short write");
  std::fclose(F);
  return PATH;
}

std::string read_file(const std::string& PATH) {
  std::ifstream IN(PATH, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(IN), std::istreambuf_iterator<char>());
}

void init_process() {
  static bool DONE = false;
  if (DONE) return;
  DONE = true;
  draw2d::set_headless(true);
  LEAKSCOPE_SET_EXIT_WAIT(false);
  scratch_dir();
}

void link_assets();

void enter_asset_dir() {
  static bool DONE = false;
  if (!DONE) link_assets();
  DONE = true;
  fs::current_path(scratch_dir());
}

void link_assets() {
  for (const char* NAME : {"korvane.pal", "kv_bullet.put", "tiny_font.put", "qzfntdg.put",
                           "qz.pal", "bullet.put"}) {
    std::error_code EC;
    fs::create_symlink(fs::path(VOLLEY_RUN_DIR) / NAME, fs::path(scratch_dir()) / NAME, EC);
  }
}

}  // namespace volley_fuzz
