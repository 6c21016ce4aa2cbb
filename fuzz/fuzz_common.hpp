// Fuzz targets: what every target shares. Loaders take file names, so each input is written
// to a file in a scratch directory of this process (its path holds no "." so that a frame
// list name cut at the first dot stays inside it). Failures abort, which both libFuzzer and
// the replay driver report as a crash.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "leakscope/leakscope.hpp"

// The targets read and write files' little-endian integers in host order.
static_assert(std::endian::native == std::endian::little);

/// Aborts the run when a promise of the code under test does not hold.
#define FUZZ_CHECK(COND, WHAT) ((COND) ? void() : ::volley_fuzz::fail(__FILE__, __LINE__, WHAT))

namespace volley_fuzz {

[[noreturn]] inline void fail(const char* FILE, int LINE, const char* WHAT) {
  std::fprintf(stderr, "%s:%d: broken promise: %s\n", FILE, LINE, WHAT);
  std::abort();
}

/// The scratch directory of this process (made by LLVMFuzzerInitialize, removed at exit).
const std::string& scratch_dir();

/// Writes SIZE bytes to scratch_dir()/NAME (replacing it) and returns the full path.
std::string write_file(const std::string& NAME, const uint8_t* DATA, std::size_t SIZE);

/// The whole contents of PATH (empty when it cannot be read).
std::string read_file(const std::string& PATH);

/// A 320 x 240 page kept for the whole process.
uint8_t* page();

/// Draws frame buffer FRAME (nothing for null) on page(): transparent at a place that moves
/// with N, and opaque clipped at the top left corner.
void draw(const void* FRAME, uint32_t N);

/// Fails when the allocation tracker, at the end of this object's scope, holds another number
/// of blocks than at its start.
struct SameBlocks {
  std::size_t AT = LEAKSCOPE_COUNT();
  ~SameBlocks() { FUZZ_CHECK(LEAKSCOPE_COUNT() == AT, "every block of the tracker returns"); }
};

}  // namespace volley_fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* DATA, std::size_t SIZE);
/// Headless drawing, no key wait at exit, and the scratch directory made, with links to the
/// generated assets the programs read ("korvane.pal", "kv_bullet.put", ...). Arguments unused.
extern "C" int LLVMFuzzerInitialize(int* ARGC, char*** ARGV);
