// draw2d core: coordinate rounding, clipped blits and boxes, circles, the palette and memory
// images. Targets sit between guard bytes, so a write past a buffer's extent is caught.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

#include "draw2d/draw2d.hpp"
#include "tests/unit/image_test_files.hpp"

namespace {

using Pixels = std::set<std::pair<int, int>>;

// A W x H buffer between two 64-byte margins of 0xA5 that no test draws.
struct Guarded {
  int W, H;
  std::vector<uint8_t> B;
  Guarded(int W_, int H_) : W(W_), H(H_), B(128 + draw2d::buffer_bytes(W_, H_), 0xA5) {
    draw2d::write_header(buf(), W, H);
    std::fill_n(buf() + 4, W * H, 0);
  }
  uint8_t* buf() { return B.data() + 64; }
  long guard_bytes() const { return std::count(B.begin(), B.end(), 0xA5); }
  Pixels with(uint8_t C) {
    Pixels P;
    for (int I = 0; I < W * H; ++I)
      if (buf()[4 + I] == C) P.insert({I % W, I / W});
    return P;
  }
};

}  // namespace

TEST(Draw2dCore, RoundingGoesHalfAwayFromZeroAndSaturates) {
  const std::pair<float, int> CASES[] = {{2.5f, 3}, {-2.5f, -3}, {0.5f, 1}, {1.49f, 1}, {NAN, 0}};
  for (auto [V, WANT] : CASES) EXPECT_EQ(draw2d::round_coord(V), WANT) << V;
  EXPECT_GT(draw2d::round_coord(3e38f), 100000) << "huge values saturate";
  EXPECT_LT(draw2d::round_coord(-INFINITY), -100000);
  EXPECT_EQ(draw2d::create_buffer(8192, 1), nullptr) << "a width the header cannot hold";
}

// Wide rows go eight pixels at a time: every byte value, 0 among high-bit ones, and every
// row width up to 19 must give what the pixel rule gives.
TEST(Draw2dBlit, WideTransparentRowsFollowThePixelRule) {
  for (int W = 1; W < 20; ++W) {
    std::vector<uint8_t> S(draw2d::buffer_bytes(W, 2));
    draw2d::write_header(S.data(), W, 2);
    for (int I = 0; I < W * 2; ++I)
      S[4 + I] = static_cast<uint8_t>(I % 3 == 0 ? 0 : I % 3 == 1 ? 0x80 : 37 * I + 1);
    Guarded T(W + 3, 4);
    std::fill_n(T.buf() + 4, (W + 3) * 4, 9);
    draw2d::blit(T.buf(), 2, 1, S.data(), draw2d::Blit::TRANSPARENT);
    for (int Y = 0; Y < 4; ++Y) {
      for (int X = 0; X < W + 3; ++X) {
        const bool IN = X >= 2 && X < 2 + W && Y >= 1 && Y < 3;
        const uint8_t V = IN ? S[4 + (Y - 1) * W + X - 2] : 0;
        EXPECT_EQ(T.buf()[4 + Y * (W + 3) + X], V != 0 ? V : 9)
            << "width " << W << ", pixel " << X << ", " << Y;
      }
    }
  }
}

TEST(Draw2dBlit, ClipsToTheTargetAndKeepsTransparentPixels) {
  std::vector<uint8_t> S(draw2d::buffer_bytes(3, 3));
  draw2d::write_header(S.data(), 3, 3);
  for (int I = 0; I < 9; ++I) S[4 + I] = uint8_t(I == 4 ? 0 : I + 1);
  const struct { float X, Y; Pixels WANT; } CASES[] = {
      {-1, -1, {{1, 0}, {0, 1}, {1, 1}}}, {3, 3, {{3, 3}}}, {4, 0, {}}, {0, -3, {}},
      {1.5f, 2.49f, {{2, 2}, {3, 2}, {2, 3}}},  // rounds to (2, 2); the centre is 0
  };
  for (const auto& C : CASES) {
    Guarded T(4, 4);
    draw2d::blit(T.buf(), C.X, C.Y, S.data(), draw2d::Blit::TRANSPARENT);
    Pixels LIT;
    for (int V = 1; V <= 9; ++V)
      for (auto P : T.with(uint8_t(V))) LIT.insert(P);
    EXPECT_EQ(LIT, C.WANT) << "transparent blit at (" << C.X << ", " << C.Y << ")";
    EXPECT_EQ(T.guard_bytes(), 128) << "nothing is written outside the target";
  }
  Guarded T(4, 4);
  std::fill_n(T.buf() + 4, 16, 9);
  draw2d::blit(T.buf(), 0, 0, S.data(), draw2d::Blit::OPAQUE);
  EXPECT_EQ(T.with(0), (Pixels{{1, 1}})) << "an opaque blit copies index 0 too";
}

TEST(Draw2dBox, CornersInclusiveInAnyOrderAndClipped) {
  const struct { float X1, Y1, X2, Y2; Pixels WANT; } CASES[] = {
      {3, 2, 1, 1, {{1, 1}, {2, 1}, {3, 1}, {1, 2}, {2, 2}, {3, 2}}},
      {0.5f, 0.4f, 1.4f, 1.5f, {{1, 0}, {1, 1}, {1, 2}}},  // corners round half away
      {2, -5, 8, 0, {{2, 0}, {3, 0}, {4, 0}}},
      {-5, 0, -1, 2, {}},
  };
  for (const auto& C : CASES) {
    Guarded T(5, 4);
    draw2d::box(T.buf(), C.X1, C.Y1, C.X2, C.Y2, 6);
    EXPECT_EQ(T.with(6), C.WANT) << "box (" << C.X1 << "," << C.Y1 << ")-(" << C.X2 << ","
                                 << C.Y2 << ")";
    EXPECT_EQ(T.guard_bytes(), 128);
  }
}

TEST(Draw2dCircle, RadiusTwoIsAnExactRingAndEdgesClip) {
  Guarded T(11, 11);
  draw2d::circle(T.buf(), 4.5f, 5.49f, -2, 15);  // centre (5, 5); the radius's sign is ignored
  const Pixels RING = {{7, 5}, {3, 5}, {5, 7}, {5, 3}, {7, 6}, {7, 4},
                       {3, 6}, {3, 4}, {6, 7}, {4, 7}, {6, 3}, {4, 3}};
  EXPECT_EQ(T.with(15), RING);
  Guarded U(8, 6);
  draw2d::circle(U.buf(), 0, 0, 5, 2);
  EXPECT_EQ(U.guard_bytes(), 128) << "a circle over the edges writes only inside";
  EXPECT_EQ(U.with(2).count({5, 0}), 1u) << "and draws its visible part";
}

TEST(Draw2dPalette, SixBitComponentsScaleToEightBits) {
  draw2d::set_palette(10, 31 | (42u << 8) | (0xC1u << 16));  // bits 6 and 7 are ignored
  const auto C = draw2d::palette_rgb(10);
  EXPECT_EQ((std::vector<int>{C.R, C.G, C.B}), (std::vector<int>{125, 170, 4}))
      << "31 x 255 / 63 truncates";
  draw2d::set_palette(256, 0x3F);
  EXPECT_EQ(draw2d::get_palette(256), 0u) << "indices outside 0-255 are ignored";
  draw2d::set_palette(10, 0);
}

TEST(Draw2dMemoryImage, CopiesAtMostCapacityAndWhatTheFileHolds) {
  using imagetest::SCRATCH, imagetest::WRITE_BYTES;
  WRITE_BYTES(SCRATCH("d2_ok.put"), {0xFD, 0, 0, 0, 0, 6, 0, 1, 2, 3, 4, 5, 6});
  WRITE_BYTES(SCRATCH("d2_short.put"), {0xFD, 0, 0, 0, 0, 0xF4, 1, 9, 8, 7});  // length 500
  WRITE_BYTES(SCRATCH("d2_foreign.put"), {'B', 0, 0, 0, 0, 2, 0, 1, 2});
  const std::string OK = SCRATCH("d2_ok.put");
  std::vector<uint8_t> D(8, 0xEE);
  EXPECT_EQ(draw2d::load_memory_image(OK.c_str(), D.data(), 4), 4u) << "capacity bounds it";
  EXPECT_EQ(D, (std::vector<uint8_t>{1, 2, 3, 4, 0xEE, 0xEE, 0xEE, 0xEE}));
  EXPECT_EQ(draw2d::load_memory_image(SCRATCH("d2_short.put").c_str(), D.data(), 8), 3u)
      << "a length field larger than the file copies only what is there";
  EXPECT_EQ(draw2d::load_memory_image(SCRATCH("d2_foreign.put").c_str(), D.data(), 8), 0u)
      << "a foreign identifier copies nothing";
}
