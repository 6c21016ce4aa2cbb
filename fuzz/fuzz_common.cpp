// Fuzz targets: scratch files, process set-up and the drawing page.
#include "fuzz/fuzz_common.hpp"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "draw2d/draw2d.hpp"

namespace volley_fuzz {

namespace fs = std::filesystem;

namespace {
std::string SCRATCH;  // made by init_process
uint8_t* const PAGE = draw2d::create_buffer(320, 240, 0);  // kept for the whole process
}

void fail(const char* FILE, int LINE, const char* WHAT) {
  std::fprintf(stderr, "%s:%d: broken promise: %s\n", FILE, LINE, WHAT);
  std::abort();
}

void init_process() {
  draw2d::set_headless(true);
  LEAKSCOPE_SET_EXIT_WAIT(false);
  char TEMPLATE[] = "/tmp/volleyfuzzXXXXXX";
  FUZZ_CHECK(::mkdtemp(TEMPLATE) != nullptr, "a scratch directory can be made");
  SCRATCH = TEMPLATE;
  std::atexit([] {  // registered after SCRATCH was made, so it runs before SCRATCH goes
    std::error_code EC;
    fs::remove_all(SCRATCH, EC);
  });
  for (const char* NAME : {"korvane.pal", "kv_bullet.put", "tiny_font.put", "qzfntdg.put",
                           "qz.pal", "bullet.put"})
    fs::create_symlink(fs::path(VOLLEY_RUN_DIR) / NAME, fs::path(SCRATCH) / NAME);
}

const std::string& scratch_dir() { return SCRATCH; }

std::string write_file(const std::string& NAME, const uint8_t* DATA, std::size_t SIZE) {
  const std::string PATH = SCRATCH + "/" + NAME;
  std::ofstream OUT(PATH, std::ios::binary | std::ios::trunc);
  OUT.write(reinterpret_cast<const char*>(DATA), static_cast<std::streamsize>(SIZE));
  FUZZ_CHECK(OUT.flush(), "a scratch file can be written");
  return PATH;
}

std::string read_file(const std::string& PATH) {
  std::ifstream IN(PATH, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(IN), std::istreambuf_iterator<char>());
}

uint8_t* page() { return PAGE; }

void draw(const void* FRAME, uint32_t N) {
  if (FRAME == nullptr) return;
  const float X = static_cast<float>(N % 300), Y = static_cast<float>(N % 220);
  draw2d::blit(page(), X, Y, FRAME, draw2d::Blit::TRANSPARENT);
  draw2d::blit(page(), -3.0f, -3.0f, FRAME, draw2d::Blit::OPAQUE);
}

}  // namespace volley_fuzz

// The set-up of a target that needs nothing more; a target with its own (a strong definition)
// replaces it.
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int*, char***) {
  volley_fuzz::init_process();
  return 0;
}
