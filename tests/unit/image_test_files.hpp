// Test helpers for the image module and the font: writing ".put" sheets, palettes and 8-bit
// bitmaps into the test's working directory, and reading image buffers back.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace imagetest {

struct TESTFRAME {
  int W, H;
  std::vector<uint8_t> PIXELS;  // W x H, top row first
};

inline TESTFRAME SOLID(int W, int H, uint8_t COLOUR) {
  return TESTFRAME{W, H, std::vector<uint8_t>(static_cast<std::size_t>(W) * H, COLOUR)};
}

inline void WRITE_BYTES(const std::string& NAME, const std::vector<uint8_t>& BYTES) {
  std::FILE* F = std::fopen(NAME.c_str(), "wb");
  if (!F) return;
  if (!BYTES.empty()) std::fwrite(BYTES.data(), 1, BYTES.size(), F);
  std::fclose(F);
}

inline std::vector<uint8_t> BYTES_OF(const std::string& S) {
  return std::vector<uint8_t>(S.begin(), S.end());
}

/// Frame data as a ".put" file stores it: width x 8 + 1, height, pixels, pad to even.
inline std::vector<uint8_t> FRAME_DATA(const std::vector<TESTFRAME>& FRAMES) {
  std::vector<uint8_t> D;
  for (const TESTFRAME& F : FRAMES) {
    const unsigned WF = static_cast<unsigned>(F.W) * 8 + 1;
    D.push_back(static_cast<uint8_t>(WF));
    D.push_back(static_cast<uint8_t>(WF >> 8));
    D.push_back(static_cast<uint8_t>(F.H));
    D.push_back(static_cast<uint8_t>(F.H >> 8));
    D.insert(D.end(), F.PIXELS.begin(), F.PIXELS.end());
    if (D.size() % 2) D.push_back(0);
  }
  return D;
}

/// A ".put" file: 0xFD, segment, offset, length (of DATA, low 16 bits), DATA.
inline void WRITE_PUT(const std::string& NAME, const std::vector<uint8_t>& DATA) {
  std::vector<uint8_t> B(7, 0);
  B[0] = 0xFD;
  B[5] = static_cast<uint8_t>(DATA.size());
  B[6] = static_cast<uint8_t>(DATA.size() >> 8);
  B.insert(B.end(), DATA.begin(), DATA.end());
  WRITE_BYTES(NAME, B);
}

/// An 8-bit Windows bitmap (40-byte info header, 256-entry grey palette), bottom-up unless
/// TOP_DOWN (negative height). PIXEL(x, y) gives the index of each pixel.
template <typename FN>
void WRITE_BMP(const std::string& NAME, int W, int H, FN PIXEL, bool TOP_DOWN = false) {
  const int STRIDE = (W + 3) / 4 * 4;
  const uint32_t OFFBITS = 14 + 40 + 1024;
  const uint32_t SIZE = OFFBITS + static_cast<uint32_t>(STRIDE * H);
  std::vector<uint8_t> B;
  auto LE16 = [&](uint32_t V) { B.push_back(V & 255); B.push_back((V >> 8) & 255); };
  auto LE32 = [&](uint32_t V) { LE16(V & 0xFFFF); LE16(V >> 16); };
  B.push_back('B');
  B.push_back('M');
  LE32(SIZE); LE32(0); LE32(OFFBITS);
  LE32(40); LE32(static_cast<uint32_t>(W)); LE32(static_cast<uint32_t>(TOP_DOWN ? -H : H));
  LE16(1); LE16(8); LE32(0); LE32(static_cast<uint32_t>(STRIDE * H)); LE32(2835); LE32(2835);
  LE32(256); LE32(0);
  for (int I = 0; I < 256; ++I) {
    B.push_back(static_cast<uint8_t>(I)); B.push_back(static_cast<uint8_t>(I));
    B.push_back(static_cast<uint8_t>(I)); B.push_back(0);
  }
  for (int R = 0; R < H; ++R) {
    const int Y = TOP_DOWN ? R : H - 1 - R;
    for (int X = 0; X < STRIDE; ++X) B.push_back(X < W ? static_cast<uint8_t>(PIXEL(X, Y)) : 0);
  }
  WRITE_BYTES(NAME, B);
}

/// Pixel (X, Y) of an image buffer.
inline uint8_t PIXEL_AT(const void* BUFFER, int X, int Y) {
  const auto* B = static_cast<const uint8_t*>(BUFFER);
  const int W = (B[0] | B[1] << 8) / 8;
  return B[4 + Y * W + X];
}

}  // namespace imagetest
