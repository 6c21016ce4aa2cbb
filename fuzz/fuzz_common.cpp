// Fuzz targets: scratch files, process set-up and the drawing page.
#include "fuzz/fuzz_common.hpp"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "draw2d/draw2d.hpp"

namespace volley_fuzz {

namespace fs = std::filesystem;

static std::string SCRATCH;  // made by LLVMFuzzerInitialize
static uint8_t* const PAGE = draw2d::create_buffer(320, 240, 0);  // kept for the whole process

const std::string& scratch_dir() { return SCRATCH; }

std::string write_file(const std::string& NAME, const uint8_t* DATA, std::size_t SIZE) {
  const std::string PATH = SCRATCH + "/" + NAME;
  const auto* BYTES = reinterpret_cast<const char*>(DATA);
  FUZZ_CHECK(std::ofstream(PATH, std::ios::binary).write(BYTES, std::streamsize(SIZE)).flush(),
             "a scratch file can be written");
  return PATH;
}

std::string read_file(const std::string& PATH) {
  std::ifstream IN(PATH, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(IN), std::istreambuf_iterator<char>());
}

uint8_t* page() { return PAGE; }

void draw(const void* FRAME, uint32_t N) {
  if (FRAME == nullptr) return;
  draw2d::blit(page(), float(N % 300), float(N % 220), FRAME, draw2d::Blit::TRANSPARENT);
  draw2d::blit(page(), -3.0f, -3.0f, FRAME, draw2d::Blit::OPAQUE);
}

}  // namespace volley_fuzz

// Headless drawing, no key wait at exit, and the scratch directory made, with links to the
// generated assets the programs read.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  using namespace volley_fuzz;
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
  return 0;
}
