// Test helpers for the image module, the font and the assets: a private scratch directory,
// ".put" files and 8-bit bitmaps written into it, and pixels of image buffers read back.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "draw2d/draw2d.hpp"

namespace imagetest {

/// NAME inside a directory of this test program's own, made with mkdtemp and removed when the
/// program ends (not by a death test's child). The path holds no dot: frame-list names are cut
/// at the first dot of the whole name.
inline std::string SCRATCH(const std::string& NAME) {
  static const struct Dir {
    std::string PATH = ::testing::TempDir() + "volley_XXXXXX";
    pid_t OWNER = getpid();
    std::error_code IGNORED;
    Dir() { PATH = mkdtemp(PATH.data()) != nullptr ? PATH + "/" : "/nonexistent-scratch/"; }
    ~Dir() { if (getpid() == OWNER) std::filesystem::remove_all(PATH, IGNORED); }
  } DIR;
  return DIR.PATH + NAME;
}

inline void WRITE_BYTES(const std::string& NAME, const std::vector<uint8_t>& BYTES) {
  std::ofstream(NAME, std::ios::binary)
      .write(reinterpret_cast<const char*>(BYTES.data()),
             static_cast<std::streamsize>(BYTES.size()));
}

/// A frame of W x H pixels of one colour.
struct SOLID { int W, H; uint8_t COLOUR; };

/// A ".put" file of FRAMES: 0xFD, segment, offset, length (of the data, low 16 bits), then per
/// frame width x 8 + 1, height, the pixels, a 0 to pad to even.
inline std::vector<uint8_t> PUT_FILE(const std::vector<SOLID>& FRAMES) {
  std::vector<uint8_t> D = {0xFD, 0, 0, 0, 0, 0, 0};
  for (const auto& [W, H, COLOUR] : FRAMES) {
    D.insert(D.end(), {uint8_t(W * 8 + 1), uint8_t((W * 8 + 1) >> 8), uint8_t(H), uint8_t(H >> 8)});
    D.insert(D.end(), static_cast<std::size_t>(W * H), COLOUR);
    if (W * H % 2) D.push_back(0);
  }
  D[5] = uint8_t(D.size() - 7);
  D[6] = uint8_t((D.size() - 7) >> 8);
  return D;
}

/// An 8-bit Windows bitmap (40-byte info header, 256-entry grey palette), bottom-up unless
/// TOP_DOWN (negative height), whose pixel (x, y) is PATTERN(x, y) (never 0); rows are padded to
/// 4 bytes with 0.
inline uint8_t PATTERN(int X, int Y) { return static_cast<uint8_t>((X + 7 * Y) % 250 + 1); }
inline void WRITE_BMP(const std::string& NAME, int W, int H, bool TOP_DOWN = false) {
  const uint32_t STRIDE = (W + 3) / 4 * 4, OFFBITS = 14 + 40 + 1024;
  std::vector<uint8_t> B = {'B', 'M'};
  for (uint32_t V :
       {OFFBITS + STRIDE * H, 0u, OFFBITS, 40u, uint32_t(W), uint32_t(TOP_DOWN ? -H : H),
        1u | 8u << 16, 0u, STRIDE * H, 2835u, 2835u, 256u, 0u})
    B.insert(B.end(), {uint8_t(V), uint8_t(V >> 8), uint8_t(V >> 16), uint8_t(V >> 24)});
  for (int I = 0; I < 256; ++I) B.insert(B.end(), {uint8_t(I), uint8_t(I), uint8_t(I), 0});
  for (int ROW = 0; ROW < H; ++ROW)
    for (int X = 0; X < int(STRIDE); ++X)
      B.push_back(X < W ? PATTERN(X, TOP_DOWN ? ROW : H - 1 - ROW) : 0);
  WRITE_BYTES(NAME, B);
}

/// Pixel (X, Y) of an image buffer.
inline uint8_t PIXEL_AT(const void* BUFFER, int X, int Y) {
  return static_cast<const uint8_t*>(BUFFER)[4 + Y * draw2d::width_of(BUFFER) + X];
}

}  // namespace imagetest
