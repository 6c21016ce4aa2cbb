// draw2d core: image buffers, blits, grab, boxes, circles, the palette and memory images.
// Everything here works on plain memory; a null target is resolved to the screen's work page.
// Every operation clips to its target: a buffer's extent is what its header says.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "display/draw2d.hpp"
#include "draw2d/internal.hpp"

namespace draw2d {

namespace {

// Coordinates further out than this cannot touch any buffer (widths stop at 8191), and keeping
// them small lets the clipping arithmetic stay in int without overflow.
constexpr float COORD_LIMIT = 1.0e9f;

uint16_t read_u16(const void* P) {
  uint16_t V;
  std::memcpy(&V, P, sizeof V);
  return V;
}

void write_u16(void* P, uint16_t V) { std::memcpy(P, &V, sizeof V); }

uint8_t* pixels_of(void* BUFFER) { return static_cast<uint8_t*>(BUFFER) + HEADER_BYTES; }
const uint8_t* pixels_of(const void* BUFFER) {
  return static_cast<const uint8_t*>(BUFFER) + HEADER_BYTES;
}

void* resolve(void* TARGET) { return TARGET ? TARGET : detail::work_page(); }

// One row of a transparent blit: every source byte but 0 replaces the target byte. Eight
// pixels go at a time: the high bit of each non-zero source byte, spread over its byte, selects
// source or target, which costs no branch per pixel. Overlapping rows take the pixel loop.
void transparent_row(uint8_t* D, const uint8_t* S, std::size_t COUNT) {
  std::size_t I = 0;
  if (S + COUNT <= D || D + COUNT <= S) {
    constexpr uint64_t LOW7 = 0x7F7F7F7F7F7F7F7FULL;
    for (; I + 8 <= COUNT; I += 8) {
      uint64_t SRC, DST;
      std::memcpy(&SRC, S + I, 8);
      std::memcpy(&DST, D + I, 8);
      const uint64_t NONZERO = (((SRC & LOW7) + LOW7) | SRC) & ~LOW7;
      const uint64_t MASK = (NONZERO >> 7) * 0xFF;
      DST = (DST & ~MASK) | (SRC & MASK);
      std::memcpy(D + I, &DST, 8);
    }
  }
  for (; I < COUNT; ++I) {
    const uint8_t P = S[I];
    if (P != 0) D[I] = P;  // index 0 is the transparent colour
  }
}

uint32_t PALETTE[256] = {};
uint32_t PALETTE_VERSION = 1;

}  // namespace

// ---- Image buffers ----

int width_of(const void* BUFFER) { return BUFFER ? read_u16(BUFFER) / 8 : 0; }

int height_of(const void* BUFFER) {
  return BUFFER ? read_u16(static_cast<const uint8_t*>(BUFFER) + 2) : 0;
}

std::size_t buffer_bytes(int W, int H) {
  if (W < 0 || H < 0) return 0;
  const std::size_t N = HEADER_BYTES + static_cast<std::size_t>(W) * static_cast<std::size_t>(H);
  return (N + 1) & ~static_cast<std::size_t>(1);  // frames end on a 16-bit boundary
}

void write_header(void* BUFFER, int W, int H, int BPP_BITS) {
  if (!BUFFER) return;
  auto* B = static_cast<uint8_t*>(BUFFER);
  write_u16(B, static_cast<uint16_t>(W * 8 + (BPP_BITS & 7)));
  write_u16(B + 2, static_cast<uint16_t>(H));
}

uint8_t* create_buffer(int W, int H, uint8_t FILL) {
  // The width field holds W x 8 in 16 bits, the height field H.
  if (W < 0 || H < 0 || W > 8191 || H > 65535) return nullptr;
  // CHOICE: library buffers come from the system allocator, not the allocation tracker:
  // they belong to the drawing library, so they never show in the programs' leak report.
  auto* B = static_cast<uint8_t*>(std::calloc(buffer_bytes(W, H), 1));
  if (!B) return nullptr;
  write_header(B, W, H, 0);
  // calloc has already zeroed the pixels (and the pad byte); only another colour is written
  if (FILL != 0) {
    std::memset(B + HEADER_BYTES, FILL, static_cast<std::size_t>(W) * static_cast<std::size_t>(H));
  }
  return B;
}

void free_buffer(uint8_t* BUFFER) { std::free(BUFFER); }

// ---- Drawing ----

int round_coord(float V) {
  if (std::isnan(V)) return 0;
  V = std::clamp(V, -COORD_LIMIT, COORD_LIMIT);
  return static_cast<int>(std::round(V));  // std::round takes halves away from zero
}

void blit(void* TARGET, float X, float Y, const void* SOURCE, Blit MODE) {
  void* T = resolve(TARGET);
  if (!T || !SOURCE) return;
  const int SW = width_of(SOURCE), SH = height_of(SOURCE);
  const int TW = width_of(T), TH = height_of(T);
  const int X0 = round_coord(X), Y0 = round_coord(Y);

  // Visible part of the source, in source coordinates.
  const int SX = std::max(0, -X0), SY = std::max(0, -Y0);
  const int EX = std::min(SW, TW - X0), EY = std::min(SH, TH - Y0);
  if (SX < EX && SY < EY) {
    const std::size_t COUNT = static_cast<std::size_t>(EX - SX);
    const uint8_t* S = pixels_of(SOURCE) + static_cast<std::ptrdiff_t>(SY) * SW + SX;
    uint8_t* D = pixels_of(T) + static_cast<std::ptrdiff_t>(Y0 + SY) * TW + (X0 + SX);
    if (MODE == Blit::OPAQUE) {
      for (int ROW = SY; ROW < EY; ++ROW, S += SW, D += TW) std::memmove(D, S, COUNT);
    } else {
      for (int ROW = SY; ROW < EY; ++ROW, S += SW, D += TW) transparent_row(D, S, COUNT);
    }
  }
  detail::drawn(T, true);
}

void grab(const void* SOURCE, int X, int Y, int W, int H, void* DEST) {
  if (!DEST) return;
  W = std::max(W, 0);
  H = std::max(H, 0);
  write_header(DEST, W, H, 0);
  uint8_t* D = pixels_of(DEST);
  const std::size_t TOTAL = buffer_bytes(W, H) - HEADER_BYTES;
  std::memset(D, 0, TOTAL);  // outside the source, and the pad byte, read as 0
  if (!SOURCE) return;
  const int SW = width_of(SOURCE), SH = height_of(SOURCE);
  // Part of the grab rectangle that lies inside the source, in grab coordinates.
  const long long GX0 = std::max(0LL, -static_cast<long long>(X));
  const long long GY0 = std::max(0LL, -static_cast<long long>(Y));
  const long long GX1 = std::min<long long>(W, static_cast<long long>(SW) - X);
  const long long GY1 = std::min<long long>(H, static_cast<long long>(SH) - Y);
  if (GX0 >= GX1 || GY0 >= GY1) return;
  const uint8_t* S = pixels_of(SOURCE);
  for (long long GY = GY0; GY < GY1; ++GY) {
    std::memcpy(D + GY * W + GX0, S + (Y + GY) * SW + (X + GX0),
                static_cast<std::size_t>(GX1 - GX0));
  }
}

void box(void* TARGET, float X1, float Y1, float X2, float Y2, uint8_t COLOUR) {
  void* T = resolve(TARGET);
  if (!T) return;
  const int TW = width_of(T), TH = height_of(T);
  int AX = round_coord(X1), AY = round_coord(Y1), BX = round_coord(X2), BY = round_coord(Y2);
  if (AX > BX) std::swap(AX, BX);
  if (AY > BY) std::swap(AY, BY);
  AX = std::max(AX, 0);
  AY = std::max(AY, 0);
  BX = std::min(BX, TW - 1);
  BY = std::min(BY, TH - 1);
  if (AX > BX || AY > BY) return;
  uint8_t* D = pixels_of(T) + static_cast<std::ptrdiff_t>(AY) * TW + AX;
  for (int ROW = AY; ROW <= BY; ++ROW, D += TW)
    std::memset(D, COLOUR, static_cast<std::size_t>(BX - AX + 1));
  detail::drawn(T, false);
}

void circle(void* TARGET, float CX, float CY, float R, uint8_t COLOUR) {
  void* T = resolve(TARGET);
  if (!T) return;
  const int TW = width_of(T), TH = height_of(T);
  const int X0 = round_coord(CX), Y0 = round_coord(CY);
  const int RADIUS = round_coord(std::fabs(R));
  uint8_t* P = pixels_of(T);
  const auto PLOT = [&](long long X, long long Y) {
    if (X >= 0 && Y >= 0 && X < TW && Y < TH) P[Y * TW + X] = COLOUR;
  };
  // Midpoint circle: walk the octant from (R, 0) towards the diagonal and mirror each
  // step into the other seven octants. A radius of 0 gives the centre pixel alone.
  long long X = RADIUS, Y = 0, ERR = 1 - RADIUS;
  while (X >= Y) {
    PLOT(X0 + X, Y0 + Y);
    PLOT(X0 - X, Y0 + Y);
    PLOT(X0 + X, Y0 - Y);
    PLOT(X0 - X, Y0 - Y);
    PLOT(X0 + Y, Y0 + X);
    PLOT(X0 - Y, Y0 + X);
    PLOT(X0 + Y, Y0 - X);
    PLOT(X0 - Y, Y0 - X);
    ++Y;
    if (ERR < 0) {
      ERR += 2 * Y + 1;
    } else {
      --X;
      ERR += 2 * (Y - X) + 1;
    }
  }
  detail::drawn(T, false);
}

// ---- Palette ----

void set_palette(int INDEX, uint32_t PACKED) {
  if (INDEX < 0 || INDEX > 255) return;
  PACKED &= 0x3F3F3Fu;  // only the three 6-bit components count
  if (PALETTE[INDEX] == PACKED) return;
  PALETTE[INDEX] = PACKED;
  ++PALETTE_VERSION;
  detail::drawn(nullptr, false);  // the visible screen takes the new colour
}

uint32_t get_palette(int INDEX) { return INDEX < 0 || INDEX > 255 ? 0 : PALETTE[INDEX]; }

Rgb palette_rgb(int INDEX) {
  const uint32_t E = get_palette(INDEX);
  const auto SCALE = [](uint32_t C) { return static_cast<uint8_t>((C & 63u) * 255u / 63u); };
  return Rgb{SCALE(E), SCALE(E >> 8), SCALE(E >> 16)};
}

namespace detail {
const uint32_t* palette_table() { return PALETTE; }
uint32_t palette_version() { return PALETTE_VERSION; }
}  // namespace detail

// ---- Files ----

std::size_t load_memory_image(const char* FILE, void* DEST, std::size_t CAPACITY) {
  if (!FILE || !DEST) return 0;
  std::FILE* F = std::fopen(FILE, "rb");
  if (!F) return 0;
  unsigned char HEADER[7];
  std::size_t COPIED = 0;
  // CHOICE: a file without the 0xFD identifier is not a memory image and copies nothing.
  // Pinned by Draw2dMemoryImage.CopiesAtMostCapacityAndWhatTheFileHolds.
  if (std::fread(HEADER, 1, sizeof HEADER, F) == sizeof HEADER && HEADER[0] == 0xFD) {
    // The caller sized DEST from the file size, so the bytes actually present after the
    // header count, not the length field (which a damaged file may overstate or understate).
    COPIED = std::fread(DEST, 1, CAPACITY, F);
  }
  std::fclose(F);
  return COPIED;
}

}  // namespace draw2d
