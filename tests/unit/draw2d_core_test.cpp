// draw2d core: buffers, coordinate rounding, blits, grabs, boxes, circles, the palette and
// memory images. Targets sit between guard bytes, so a write past a buffer's extent is caught
// in plain builds too.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

#include "display/draw2d.hpp"
#include "tests/unit/image_test_files.hpp"

namespace {

using Pixels = std::set<std::pair<int, int>>;

// A W x H image buffer between two 64-byte margins of 0xA5 that must never change (no test
// draws index 0xA5, so every byte but the W x H pixels keeps it).
struct Guarded {
  int W, H;
  std::vector<uint8_t> B;
  Guarded(int W_, int H_) : W(W_), H(H_), B(128 + draw2d::buffer_bytes(W_, H_), 0xA5) {
    draw2d::write_header(buf(), W, H);
    std::fill_n(buf() + 4, W * H, 0);
  }
  uint8_t* buf() { return B.data() + 64; }
  uint8_t& at(int X, int Y) { return buf()[4 + Y * W + X]; }
  bool guards_intact() const {
    return std::count(B.begin(), B.end(), 0xA5) == static_cast<long>(B.size()) - 4 - W * H;
  }
  Pixels with(uint8_t C) {
    Pixels P;
    for (int I = 0; I < W * H; ++I)
      if (buf()[4 + I] == C) P.insert({I % W, I / W});
    return P;
  }
};

// A W x H source whose pixel (x, y) holds VALUES[y * W + x].
std::vector<uint8_t> source(int W, int H, const std::vector<uint8_t>& VALUES) {
  std::vector<uint8_t> S(draw2d::buffer_bytes(W, H), 0);
  draw2d::write_header(S.data(), W, H);
  std::copy(VALUES.begin(), VALUES.end(), S.begin() + 4);
  return S;
}

}  // namespace

TEST(Draw2dCore, RoundingGoesHalfAwayFromZero) {
  const std::pair<float, int> HALVES[] = {{2.5f, 3}, {-2.5f, -3}, {0.5f, 1},   {-0.5f, -1},
                                          {3.5f, 4}, {1.49f, 1},  {-1.51f, -2}, {NAN, 0}};
  for (auto [V, WANT] : HALVES)
    EXPECT_EQ(draw2d::round_coord(V), WANT) << V << ": halves go away from zero, NaN to 0";
  EXPECT_GT(draw2d::round_coord(3e38f), 100000) << "huge values saturate instead of overflowing";
  EXPECT_LT(draw2d::round_coord(-INFINITY), -100000);
}

TEST(Draw2dCore, CreatedBuffersAreFilledPaddedWithZeroAndBounded) {
  for (const uint8_t FILL : {uint8_t{0}, uint8_t{7}}) {
    uint8_t* B = draw2d::create_buffer(3, 3, FILL);
    ASSERT_NE(B, nullptr);
    EXPECT_EQ(draw2d::width_of(B), 3);
    EXPECT_EQ(draw2d::height_of(B), 3);
    EXPECT_EQ(std::count(B + 4, B + 13, FILL), 9) << "every pixel holds FILL " << int(FILL);
    EXPECT_EQ(B[13], 0) << "the pad byte after an odd pixel count stays 0 with FILL " << int(FILL);
    draw2d::free_buffer(B);
  }
  for (auto [W, H] : {std::pair{-1, 1}, {1, -1}, {8192, 1}, {1, 65536}})
    EXPECT_EQ(draw2d::create_buffer(W, H), nullptr) << W << " x " << H << " cannot be described";
}

// Wide rows go eight pixels at a time: every byte value, 0 among high-bit ones, and every
// row width up to 19 must give what the pixel rule gives.
TEST(Draw2dBlit, WideTransparentRowsFollowThePixelRule) {
  for (int W = 1; W < 20; ++W) {
    std::vector<uint8_t> VALUES(static_cast<std::size_t>(W) * 2);
    for (std::size_t I = 0; I < VALUES.size(); ++I)
      VALUES[I] = static_cast<uint8_t>(I % 3 == 0 ? 0 : I % 3 == 1 ? 0x80 : 37 * I + 1);
    Guarded T(W + 3, 4);
    std::fill_n(T.buf() + 4, (W + 3) * 4, 9);
    draw2d::blit(T.buf(), 2, 1, source(W, 2, VALUES).data(), draw2d::Blit::TRANSPARENT);
    for (int Y = 0; Y < 4; ++Y) {
      for (int X = 0; X < W + 3; ++X) {
        const bool IN = X >= 2 && X < 2 + W && Y >= 1 && Y < 3;
        const uint8_t S = IN ? VALUES[static_cast<std::size_t>((Y - 1) * W + X - 2)] : 0;
        EXPECT_EQ(T.at(X, Y), S != 0 ? S : 9) << "width " << W << ", pixel " << X << ", " << Y;
      }
    }
  }
}

TEST(Draw2dBlit, TransparencyClippingAndRoundedPositions) {
  Guarded T(5, 4);
  const auto S2 = source(3, 2, {1, 0, 2, 0, 3, 0});
  std::fill_n(T.buf() + 4, 20, 9);
  draw2d::blit(T.buf(), 1, 1, S2.data(), draw2d::Blit::TRANSPARENT);
  EXPECT_EQ(T.with(9).size(), 20u - 3u) << "transparent: index 0 leaves the target alone";
  EXPECT_EQ(T.with(2), (Pixels{{3, 1}})) << "source pixels land at their offsets";
  draw2d::blit(T.buf(), 1, 1, S2.data(), draw2d::Blit::OPAQUE);
  EXPECT_EQ(T.with(0), (Pixels{{2, 1}, {1, 2}, {3, 2}})) << "opaque blits copy index 0 too";
  EXPECT_EQ(T.with(9).size(), 20u - 6u) << "exactly the 3 x 2 rectangle was written";

  const auto S = source(3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9});
  const struct {
    float X, Y;
    Pixels WANT;  // target pixels that receive source pixels
  } CASES[] = {
      {-1, -1, {{0, 0}, {1, 0}, {0, 1}, {1, 1}}}, {3, -2, {{3, 0}}},  // top corners
      {-2, 3, {{0, 3}}},                          {3, 3, {{3, 3}}},   // bottom corners
      {-3, 0, {}}, {4, 0, {}}, {0, -3, {}}, {0, 4, {}},  // entirely beside the target
      {1.5f, 2.49f, {{2, 2}, {3, 2}, {2, 3}, {3, 3}}},  // rounds to (2, 2)
      {-0.5f, 2, {{0, 2}, {1, 2}, {0, 3}, {1, 3}}},     // rounds to (-1, 2)
  };
  for (const auto& C : CASES) {
    SCOPED_TRACE(::testing::Message() << "opaque blit at (" << C.X << ", " << C.Y << ")");
    Guarded U(4, 4);
    draw2d::blit(U.buf(), C.X, C.Y, S.data(), draw2d::Blit::OPAQUE);
    const long RX = std::lround(C.X), RY = std::lround(C.Y);
    const Pixels GOT = U.with(0);
    Pixels WRITTEN;
    for (int Y = 0; Y < 4; ++Y)
      for (int X = 0; X < 4; ++X)
        if (!GOT.count({X, Y})) {
          WRITTEN.insert({X, Y});
          EXPECT_EQ(U.at(X, Y), 1 + (Y - RY) * 3 + (X - RX)) << "the matching source pixel";
        }
    EXPECT_EQ(WRITTEN, C.WANT) << "the blit clips to the target";
    EXPECT_TRUE(U.guards_intact()) << "nothing is written outside the target";
  }
}

TEST(Draw2dGrab, InsideCopiesOutsideReadsZero) {
  const auto S = source(3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9});
  std::vector<uint8_t> D(draw2d::buffer_bytes(2, 2), 0xEE);
  draw2d::grab(S.data(), 1, 1, 2, 2, D.data());
  EXPECT_EQ(D, (std::vector<uint8_t>{16, 0, 2, 0, 5, 6, 8, 9})) << "header and inner pixels";
  std::vector<uint8_t> E(draw2d::buffer_bytes(3, 3) + 8, 0xEE);
  draw2d::grab(S.data(), -1, 2, 3, 3, E.data());
  EXPECT_EQ(std::vector<uint8_t>(E.begin() + 4, E.begin() + 15),
            (std::vector<uint8_t>{0, 7, 8, 0, 0, 0, 0, 0, 0, 0, 0xEE}))
      << "pixels left of and below the source and the pad byte are 0, nothing written beyond";
  draw2d::grab(S.data(), 50, -50, 3, 3, E.data());
  EXPECT_EQ(std::count(E.begin() + 4, E.begin() + 14, 0), 10) << "a grab wholly outside is 0";
}

TEST(Draw2dBox, CornersInclusiveInAnyOrderAndClipped) {
  const Pixels RECT = {{1, 1}, {2, 1}, {3, 1}, {1, 2}, {2, 2}, {3, 2}};
  const struct {
    float X1, Y1, X2, Y2;
    Pixels WANT;
  } CASES[] = {
      {1, 1, 3, 2, RECT}, {3, 2, 1, 1, RECT}, {3, 1, 1, 2, RECT}, {1, 2, 3, 1, RECT},
      {1, 1, 1, 1, {{1, 1}}},                              // equal corners: one pixel
      {0.5f, 0.4f, 1.4f, 1.5f, {{1, 0}, {1, 1}, {1, 2}}},  // corners round half away
      {2, -5, 8, 0, {{2, 0}, {3, 0}, {4, 0}}},             // clipped top and right
      {-5, -5, 0, 100, {{0, 0}, {0, 1}, {0, 2}, {0, 3}}},  // clipped left, top and bottom
      {-5, 0, -1, 2, {}}, {5, 0, 9, 2, {}}, {0, -5, 3, -1, {}}, {0, 4, 3, 9, {}},  // beside
  };
  for (const auto& C : CASES) {
    Guarded T(5, 4);
    draw2d::box(T.buf(), C.X1, C.Y1, C.X2, C.Y2, 6);
    EXPECT_EQ(T.with(6), C.WANT) << "box (" << C.X1 << "," << C.Y1 << ")-(" << C.X2 << ","
                                 << C.Y2 << ") fills both corners and everything between";
    EXPECT_TRUE(T.guards_intact());
  }
}

TEST(Draw2dCircle, SmallRadiiGiveExactPixelSetsAndClip) {
  const Pixels R1 = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
  const Pixels R2 = {{2, 0},  {-2, 0}, {0, 2},  {0, -2},  {2, 1},  {2, -1},
                     {-2, 1}, {-2, -1}, {1, 2}, {-1, 2}, {1, -2}, {-1, -2}};
  const Pixels R3 = {{3, 0},  {-3, 0}, {0, 3},  {0, -3},  {3, 1},  {3, -1},  {-3, 1}, {-3, -1},
                     {1, 3},  {-1, 3}, {1, -3}, {-1, -3}, {2, 2},  {2, -2}, {-2, 2}, {-2, -2}};
  const std::pair<float, Pixels> CASES[] = {
      {0, {{0, 0}}}, {1, R1}, {2, R2}, {3, R3}, {-2, R2}, {2.5f, R3}, {0.4f, {{0, 0}}}};
  for (const auto& [R, OFFSETS] : CASES) {
    Guarded T(11, 11);
    draw2d::circle(T.buf(), 4.5f, 5.49f, R, 15);  // the centre rounds to pixel (5, 5)
    Pixels WANT;
    for (auto [X, Y] : OFFSETS) WANT.insert({5 + X, 5 + Y});
    EXPECT_EQ(T.with(15), WANT) << "circle of radius " << R;
  }
  Guarded T(8, 6);
  draw2d::circle(T.buf(), 0, 0, 5, 2);
  draw2d::circle(T.buf(), -40, 30, 12, 2);
  EXPECT_TRUE(T.guards_intact() && T.with(2).count({5, 0}))
      << "a circle over the edges draws its visible part and writes only inside";
}

TEST(Draw2dPalette, SixBitComponentsScaleToEightBits) {
  // 63 becomes 255; 31 x 255 / 63 = 125.48 truncates; bits 6-7 and the top byte are ignored
  const std::pair<uint32_t, std::vector<int>> CASES[] = {
      {0x3F3F3F, {255, 255, 255}}, {31 | (42u << 8) | (1u << 16), {125, 170, 4}},
      {0xFFC0C0C1u, {4, 0, 0}}};
  for (const auto& [PACKED, WANT] : CASES) {
    draw2d::set_palette(10, PACKED);
    const auto C = draw2d::palette_rgb(10);
    EXPECT_EQ((std::vector<int>{C.R, C.G, C.B}), WANT) << "packed " << std::hex << PACKED;
  }
  EXPECT_EQ(draw2d::get_palette(10), 0x000001u) << "stored entries keep the 6-bit fields only";
  draw2d::set_palette(256, 0x3F);
  draw2d::set_palette(-1, 0x3F);
  EXPECT_EQ(draw2d::get_palette(256), 0u) << "indices outside 0-255 are ignored";
  draw2d::set_palette(10, 0);
}

TEST(Draw2dMemoryImage, CopiesAtMostCapacityAndWhatTheFileHolds) {
  using imagetest::SCRATCH, imagetest::WRITE_BYTES;
  // identifier 0xFD, four unused bytes, a 16-bit length, then the data
  WRITE_BYTES(SCRATCH("d2_ok.put"), {0xFD, 0, 0, 0, 0, 6, 0, 1, 2, 3, 4, 5, 6});
  WRITE_BYTES(SCRATCH("d2_short.put"), {0xFD, 0, 0, 0, 0, 0xF4, 1, 9, 8, 7});  // length 500
  WRITE_BYTES(SCRATCH("d2_head.put"), {0xFD, 0, 0});
  WRITE_BYTES(SCRATCH("d2_foreign.put"), {'B', 0, 0, 0, 0, 2, 0, 1, 2});
  const std::string OK = SCRATCH("d2_ok.put");
  std::vector<uint8_t> D(8, 0xEE);
  EXPECT_EQ(draw2d::load_memory_image(OK.c_str(), D.data(), D.size()), 6u);
  EXPECT_EQ(D, (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 0xEE, 0xEE})) << "the bytes after header";
  D.assign(8, 0xEE);
  EXPECT_EQ(draw2d::load_memory_image(OK.c_str(), D.data(), 4), 4u) << "capacity bounds it";
  EXPECT_EQ(D[4], 0xEE) << "no byte beyond CAPACITY is written";
  EXPECT_EQ(draw2d::load_memory_image(SCRATCH("d2_short.put").c_str(), D.data(), D.size()), 3u)
      << "a length field larger than the file copies only what is there";
  D.assign(8, 0xEE);
  for (const char* NAME : {"d2_head.put", "d2_foreign.put", "d2_none"})
    EXPECT_EQ(draw2d::load_memory_image(SCRATCH(NAME).c_str(), D.data(), D.size()), 0u)
        << NAME << ": a cut header, a foreign identifier or a missing file copies nothing";
  EXPECT_EQ(D, std::vector<uint8_t>(8, 0xEE)) << "the destination is left alone";
}
