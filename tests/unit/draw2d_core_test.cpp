// draw2d core: buffers, coordinate rounding, blits, grabs, boxes, circles, the palette and
// memory images. Buffers sit between guard bytes so that a write past a buffer's extent is
// caught in plain builds too.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "display/draw2d.hpp"

namespace {

using Pixels = std::set<std::pair<int, int>>;

constexpr uint8_t GUARD = 0xA5;
constexpr std::size_t GUARD_BYTES = 64;

// An image buffer of W x H pixels inside a larger block whose edges must never change.
struct Guarded {
  std::vector<uint8_t> BLOCK;
  int W, H;
  Guarded(int W_, int H_, uint8_t FILL = 0) : W(W_), H(H_) {
    BLOCK.assign(GUARD_BYTES * 2 + draw2d::buffer_bytes(W, H), GUARD);
    draw2d::write_header(buf(), W, H);
    for (int Y = 0; Y < H; ++Y)
      for (int X = 0; X < W; ++X) at(X, Y) = FILL;
  }
  uint8_t* buf() { return BLOCK.data() + GUARD_BYTES; }
  uint8_t& at(int X, int Y) { return buf()[draw2d::HEADER_BYTES + Y * W + X]; }
  bool guards_intact() const {
    const std::size_t TAIL = GUARD_BYTES + draw2d::HEADER_BYTES + static_cast<std::size_t>(W * H);
    for (std::size_t I = 0; I < BLOCK.size(); ++I) {
      if ((I < GUARD_BYTES || I >= TAIL) && BLOCK[I] != GUARD) return false;
    }
    return true;
  }
  Pixels with(uint8_t C) {
    Pixels P;
    for (int Y = 0; Y < H; ++Y)
      for (int X = 0; X < W; ++X)
        if (at(X, Y) == C) P.insert({X, Y});
    return P;
  }
};

// A W x H source whose pixel (x, y) holds VALUES[y * W + x].
std::vector<uint8_t> source(int W, int H, const std::vector<uint8_t>& VALUES) {
  std::vector<uint8_t> S(draw2d::buffer_bytes(W, H), 0);
  draw2d::write_header(S.data(), W, H);
  std::copy(VALUES.begin(), VALUES.end(), S.begin() + draw2d::HEADER_BYTES);
  return S;
}

Pixels shifted(const Pixels& OFFSETS, int CX, int CY) {
  Pixels P;
  for (auto [X, Y] : OFFSETS) P.insert({CX + X, CY + Y});
  return P;
}

}  // namespace

// ---- Buffers and rounding ----

TEST(Draw2dBuffers, LayoutMatchesTheFrameFormat) {
  EXPECT_EQ(draw2d::buffer_bytes(3, 3), 14u) << "9 pixels + 4 header bytes pad to an even 14";
  EXPECT_EQ(draw2d::buffer_bytes(2, 2), 8u) << "an even frame needs no pad byte";
  EXPECT_EQ(draw2d::buffer_bytes(320, 240), 76804u) << "a page is 4 + 320 x 240 bytes";

  uint8_t* B = draw2d::create_buffer(5, 3, 7);
  ASSERT_NE(B, nullptr);
  EXPECT_EQ(B[0] | (B[1] << 8), 40) << "width field holds width x 8 (little-endian)";
  EXPECT_EQ(B[2] | (B[3] << 8), 3) << "height field follows the width field";
  EXPECT_EQ(draw2d::width_of(B), 5);
  EXPECT_EQ(draw2d::height_of(B), 3);
  for (int I = 0; I < 15; ++I) EXPECT_EQ(B[4 + I], 7) << "every pixel takes the fill index";
  draw2d::free_buffer(B);

  uint8_t HDR[4];
  draw2d::write_header(HDR, 16, 2, 1);
  EXPECT_EQ(draw2d::width_of(HDR), 16) << "bytes-per-pixel bits do not change the width";
  EXPECT_EQ(HDR[0] & 7, 1) << "bytes-per-pixel bits are kept in bits 0-2";

  EXPECT_EQ(draw2d::create_buffer(-1, 4), nullptr) << "a negative width gives no buffer";
  EXPECT_EQ(draw2d::create_buffer(4, -1), nullptr) << "a negative height gives no buffer";
  EXPECT_EQ(draw2d::create_buffer(9000, 1), nullptr) << "a width the 16-bit field cannot hold";
}

TEST(Draw2dRounding, HalvesGoAwayFromZero) {
  EXPECT_EQ(draw2d::round_coord(2.5f), 3) << "2.5 rounds up";
  EXPECT_EQ(draw2d::round_coord(-2.5f), -3) << "-2.5 rounds down, away from zero";
  EXPECT_EQ(draw2d::round_coord(0.5f), 1);
  EXPECT_EQ(draw2d::round_coord(-0.5f), -1);
  EXPECT_EQ(draw2d::round_coord(3.5f), 4) << "not to the even neighbour";
  EXPECT_EQ(draw2d::round_coord(1.49f), 1);
  EXPECT_EQ(draw2d::round_coord(-1.51f), -2);
  EXPECT_EQ(draw2d::round_coord(std::nanf("")), 0) << "NaN lands on a defined pixel";
  EXPECT_GT(draw2d::round_coord(3e38f), 100000) << "huge values saturate instead of overflowing";
  EXPECT_LT(draw2d::round_coord(-INFINITY), -100000);
}

// ---- Blits ----

TEST(Draw2dBlit, TransparentSkipsIndexZeroOpaqueCopiesAll) {
  const auto S = source(3, 2, {1, 0, 2, 0, 3, 0});
  Guarded T(5, 4, 9);
  draw2d::blit(T.buf(), 1, 1, S.data(), draw2d::Blit::TRANSPARENT);
  EXPECT_EQ(T.at(1, 1), 1);
  EXPECT_EQ(T.at(2, 1), 9) << "index 0 leaves the target pixel alone";
  EXPECT_EQ(T.at(3, 1), 2);
  EXPECT_EQ(T.at(2, 2), 3);
  EXPECT_EQ(T.at(1, 2), 9);
  EXPECT_EQ(T.at(0, 0), 9) << "nothing outside the source rectangle changes";

  draw2d::blit(T.buf(), 1, 1, S.data(), draw2d::Blit::OPAQUE);
  EXPECT_EQ(T.at(2, 1), 0) << "opaque blits copy index 0 too";
  EXPECT_EQ(T.at(3, 2), 0);
  EXPECT_EQ(T.with(9).size(), 20u - 6u) << "exactly the 3 x 2 rectangle was written";
  EXPECT_TRUE(T.guards_intact());
}

TEST(Draw2dBlit, ClipsOnEveryEdge) {
  const auto S = source(3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9});
  struct Case {
    float X, Y;
    Pixels EXPECT;  // target pixels that receive source pixels (value checked separately)
  };
  const std::vector<Case> CASES = {
      {-1, -1, {{0, 0}, {1, 0}, {0, 1}, {1, 1}}},  // top-left corner
      {3, -2, {{3, 0}}},                           // top-right corner
      {-2, 3, {{0, 3}}},                           // bottom-left corner
      {3, 3, {{3, 3}}},                            // bottom-right corner
      {-3, 0, {}},                                 // entirely left
      {4, 0, {}},                                  // entirely right
      {0, -3, {}},                                 // entirely above
      {0, 4, {}},                                  // entirely below
  };
  for (const auto& C : CASES) {
    Guarded T(4, 4, 0);
    draw2d::blit(T.buf(), C.X, C.Y, S.data(), draw2d::Blit::OPAQUE);
    Pixels GOT;
    for (int Y = 0; Y < 4; ++Y)
      for (int X = 0; X < 4; ++X)
        if (T.at(X, Y) != 0) {
          GOT.insert({X, Y});
          const int SX = X - static_cast<int>(C.X), SY = Y - static_cast<int>(C.Y);
          EXPECT_EQ(T.at(X, Y), 1 + SY * 3 + SX) << "target pixel takes the matching source pixel";
        }
    EXPECT_EQ(GOT, C.EXPECT) << "blit at (" << C.X << ", " << C.Y << ") clips to the target";
    EXPECT_TRUE(T.guards_intact()) << "blit at (" << C.X << ", " << C.Y << ") wrote outside";
  }
}

TEST(Draw2dBlit, PositionsRoundHalfAwayFromZero) {
  const auto S = source(1, 1, {4});
  Guarded T(4, 4, 0);
  draw2d::blit(T.buf(), 1.5f, 0.49f, S.data(), draw2d::Blit::OPAQUE);
  EXPECT_EQ(T.with(4), (Pixels{{2, 0}})) << "1.5 goes to 2, 0.49 to 0";
  Guarded U(4, 4, 0);
  draw2d::blit(U.buf(), -0.5f, 1, S.data(), draw2d::Blit::OPAQUE);
  EXPECT_TRUE(U.with(4).empty()) << "-0.5 goes to -1, off the target";
}

// ---- Grab ----

TEST(Draw2dGrab, InsideCopiesOutsideReadsZero) {
  const auto S = source(3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9});
  std::vector<uint8_t> D(draw2d::buffer_bytes(2, 2), 0xEE);
  draw2d::grab(S.data(), 1, 1, 2, 2, D.data());
  EXPECT_EQ(draw2d::width_of(D.data()), 2);
  EXPECT_EQ(draw2d::height_of(D.data()), 2);
  EXPECT_EQ(std::vector<uint8_t>(D.begin() + 4, D.end()), (std::vector<uint8_t>{5, 6, 8, 9}));

  std::vector<uint8_t> E(draw2d::buffer_bytes(3, 3) + 8, 0xEE);
  draw2d::grab(S.data(), -1, 2, 3, 3, E.data());
  EXPECT_EQ(std::vector<uint8_t>(E.begin() + 4, E.begin() + 14),
            (std::vector<uint8_t>{0, 7, 8, 0, 0, 0, 0, 0, 0, 0}))
      << "pixels left of and below the source, and the pad byte, are 0";
  EXPECT_EQ(E[14], 0xEE) << "grab writes no further than buffer_bytes(W, H)";

  std::vector<uint8_t> F(draw2d::buffer_bytes(2, 1), 0xEE);
  draw2d::grab(S.data(), 50, -50, 2, 1, F.data());
  EXPECT_EQ(F[4], 0);
  EXPECT_EQ(F[5], 0) << "a grab entirely outside the source is all 0";
}

// ---- Box ----

TEST(Draw2dBox, CornersInclusiveInAnyOrder) {
  const Pixels EXPECT = {{1, 1}, {2, 1}, {3, 1}, {1, 2}, {2, 2}, {3, 2}};
  const float CORNERS[4][4] = {{1, 1, 3, 2}, {3, 2, 1, 1}, {3, 1, 1, 2}, {1, 2, 3, 1}};
  for (const auto& C : CORNERS) {
    Guarded T(5, 4, 0);
    draw2d::box(T.buf(), C[0], C[1], C[2], C[3], 6);
    EXPECT_EQ(T.with(6), EXPECT) << "box (" << C[0] << "," << C[1] << ")-(" << C[2] << ","
                                 << C[3] << ") fills both corners and everything between";
  }
  Guarded P(3, 3, 0);
  draw2d::box(P.buf(), 1, 1, 1, 1, 2);
  EXPECT_EQ(P.with(2), (Pixels{{1, 1}})) << "equal corners give one pixel";
  Guarded R(3, 3, 0);
  draw2d::box(R.buf(), 0.5f, 0.4f, 1.4f, 1.5f, 2);
  EXPECT_EQ(R.with(2), (Pixels{{1, 0}, {1, 1}, {1, 2}})) << "corners round half away from zero";
}

TEST(Draw2dBox, ClipsToTheTarget) {
  Guarded T(4, 3, 0);
  draw2d::box(T.buf(), -10, -10, 100, 100, 3);
  EXPECT_EQ(T.with(3).size(), 12u) << "a box over the whole target fills it";
  EXPECT_TRUE(T.guards_intact()) << "and nothing beyond it";

  Guarded U(4, 3, 0);
  draw2d::box(U.buf(), 2, -5, 8, 0, 3);
  EXPECT_EQ(U.with(3), (Pixels{{2, 0}, {3, 0}}));
  for (const auto& C : std::vector<std::vector<float>>{
           {-5, 0, -1, 2}, {4, 0, 9, 2}, {0, -5, 3, -1}, {0, 3, 3, 9}}) {
    Guarded V(4, 3, 0);
    draw2d::box(V.buf(), C[0], C[1], C[2], C[3], 3);
    EXPECT_TRUE(V.with(3).empty()) << "a box beside the target draws nothing";
    EXPECT_TRUE(V.guards_intact());
  }
}

// ---- Circle ----

TEST(Draw2dCircle, SmallRadiiGiveExactPixelSets) {
  const Pixels R1 = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
  const Pixels R2 = {{2, 0}, {-2, 0}, {0, 2}, {0, -2}, {2, 1}, {2, -1},
                     {-2, 1}, {-2, -1}, {1, 2}, {-1, 2}, {1, -2}, {-1, -2}};
  const Pixels R3 = {{3, 0},  {-3, 0}, {0, 3},  {0, -3},  {3, 1},  {3, -1},
                     {-3, 1}, {-3, -1}, {1, 3}, {-1, 3},  {1, -3}, {-1, -3},
                     {2, 2},  {2, -2}, {-2, 2}, {-2, -2}};
  const std::vector<std::pair<float, Pixels>> CASES = {
      {0, {{0, 0}}}, {1, R1}, {2, R2}, {3, R3}, {-2, R2}, {2.5f, R3}, {0.4f, {{0, 0}}}};
  for (const auto& [R, OFFSETS] : CASES) {
    Guarded T(11, 11, 0);
    draw2d::circle(T.buf(), 5, 5, R, 15);
    EXPECT_EQ(T.with(15), shifted(OFFSETS, 5, 5)) << "circle of radius " << R;
  }
  Guarded T(11, 11, 0);
  draw2d::circle(T.buf(), 4.5f, 5.49f, 0, 1);
  EXPECT_EQ(T.with(1), (Pixels{{5, 5}})) << "centre (4.5, 5.49) rounds to pixel (5, 5)";
}

TEST(Draw2dCircle, OutlineIsRoundClosedAndThin) {
  for (int R = 1; R <= 60; ++R) {
    const int SIZE = 2 * R + 3, C = R + 1;
    Guarded T(SIZE, SIZE, 0);
    draw2d::circle(T.buf(), static_cast<float>(C), static_cast<float>(C), static_cast<float>(R), 1);
    const Pixels P = T.with(1);
    for (auto [X, Y] : P) {
      const double D = std::hypot(X - C, Y - C);
      ASSERT_LT(std::fabs(D - R), 0.75) << "radius " << R << ": pixel (" << X - C << ","
                                        << Y - C << ") lies off the circle";
      ASSERT_TRUE(P.count({C + (Y - C), C + (X - C)}) && P.count({2 * C - X, Y}) &&
                  P.count({X, 2 * C - Y}))
          << "radius " << R << ": the outline is symmetric (circular, not elliptic)";
    }
    // Every row through the circle is crossed: no gaps on the steep parts.
    for (int Y = C - R; Y <= C + R; ++Y) {
      bool HIT = false;
      for (int X = 0; X < SIZE; ++X) HIT = HIT || T.at(X, Y) == 1;
      ASSERT_TRUE(HIT) << "radius " << R << ": row " << Y - C << " has no outline pixel";
    }
    ASSERT_EQ(T.at(C, C), 0) << "radius " << R << ": the circle is not filled";
  }
}

TEST(Draw2dCircle, ClipsToTheTarget) {
  Guarded T(8, 6, 0);
  draw2d::circle(T.buf(), 0, 0, 5, 2);
  draw2d::circle(T.buf(), 7, 5, 9, 2);
  draw2d::circle(T.buf(), -40, 30, 12, 2);
  EXPECT_TRUE(T.guards_intact()) << "circles over the edges write only inside";
  EXPECT_TRUE(T.with(2).count({5, 0})) << "the visible quarter of the first circle is drawn";
}

// ---- Palette ----

TEST(Draw2dPalette, SixBitComponentsScaleToEightBits) {
  draw2d::set_palette(10, 0x3F3F3F);
  auto C = draw2d::palette_rgb(10);
  EXPECT_EQ(C.R, 255) << "63 becomes 255";
  EXPECT_EQ(C.G, 255);
  EXPECT_EQ(C.B, 255);

  draw2d::set_palette(11, 31 | (42u << 8) | (1u << 16));
  C = draw2d::palette_rgb(11);
  EXPECT_EQ(C.R, 125) << "31 x 255 / 63 = 125.48 truncates to 125";
  EXPECT_EQ(C.G, 170) << "green comes from bits 8-13";
  EXPECT_EQ(C.B, 4) << "blue comes from bits 16-21";

  draw2d::set_palette(12, 0xFFC0C0C0u | 0x01u);
  C = draw2d::palette_rgb(12);
  EXPECT_EQ(C.R, 4) << "bits 6-7 of each byte and the top byte are ignored";
  EXPECT_EQ(C.G, 0);
  EXPECT_EQ(C.B, 0);
  EXPECT_EQ(draw2d::get_palette(12), 0x000001u) << "stored entries keep the 6-bit fields only";

  draw2d::set_palette(256, 0x3F);
  draw2d::set_palette(-1, 0x3F);
  EXPECT_EQ(draw2d::get_palette(256), 0u) << "indices outside 0-255 are ignored";
  for (int I = 10; I <= 12; ++I) draw2d::set_palette(I, 0);
}

// ---- Memory images ----

namespace {

std::string write_file(const std::string& NAME, const std::vector<uint8_t>& BYTES) {
  const std::string PATH = ::testing::TempDir() + NAME;
  std::FILE* F = std::fopen(PATH.c_str(), "wb");
  std::fwrite(BYTES.data(), 1, BYTES.size(), F);
  std::fclose(F);
  return PATH;
}

std::vector<uint8_t> memory_image(uint16_t LENGTH, const std::vector<uint8_t>& DATA) {
  std::vector<uint8_t> B(7 + DATA.size(), 0);
  B[0] = 0xFD;
  B[5] = static_cast<uint8_t>(LENGTH & 0xFF);
  B[6] = static_cast<uint8_t>(LENGTH >> 8);
  for (std::size_t I = 0; I < DATA.size(); ++I) B[7 + I] = DATA[I];
  return B;
}

}  // namespace

TEST(Draw2dMemoryImage, CopiesTheBytesAfterTheHeader) {
  const auto PATH = write_file("d2_ok.put", memory_image(6, {1, 2, 3, 4, 5, 6}));
  std::vector<uint8_t> D(10, 0xEE);
  EXPECT_EQ(draw2d::load_memory_image(PATH.c_str(), D.data(), D.size()), 6u);
  EXPECT_EQ(D, (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 0xEE, 0xEE, 0xEE, 0xEE}));
}

TEST(Draw2dMemoryImage, NeverCopiesMoreThanCapacityOrTheFileHolds) {
  const auto PATH = write_file("d2_cap.put", memory_image(6, {1, 2, 3, 4, 5, 6}));
  std::vector<uint8_t> D(6, 0xEE);
  EXPECT_EQ(draw2d::load_memory_image(PATH.c_str(), D.data(), 4), 4u) << "capacity bounds it";
  EXPECT_EQ(D[4], 0xEE) << "no byte beyond CAPACITY is written";

  const auto SHORT = write_file("d2_short.put", memory_image(500, {9, 8, 7}));
  std::vector<uint8_t> E(8, 0xEE);
  EXPECT_EQ(draw2d::load_memory_image(SHORT.c_str(), E.data(), E.size()), 3u)
      << "a length field larger than the file copies only what is there";

  const auto HEADONLY = write_file("d2_head.put", {0xFD, 0, 0});
  EXPECT_EQ(draw2d::load_memory_image(HEADONLY.c_str(), E.data(), E.size()), 0u)
      << "a file shorter than its header copies nothing";
}

TEST(Draw2dMemoryImage, MissingOrForeignFilesCopyNothing) {
  std::vector<uint8_t> D(4, 0xEE);
  EXPECT_EQ(draw2d::load_memory_image((::testing::TempDir() + "d2_none.put").c_str(), D.data(),
                                      D.size()),
            0u);
  auto BYTES = memory_image(2, {1, 2});
  BYTES[0] = 'B';
  const auto PATH = write_file("d2_foreign.put", BYTES);
  EXPECT_EQ(draw2d::load_memory_image(PATH.c_str(), D.data(), D.size()), 0u)
      << "a file without the 0xFD identifier is not a memory image";
  EXPECT_EQ(D, (std::vector<uint8_t>(4, 0xEE))) << "the destination is left alone";
}
