// draw2d core: coordinate rounding, clipped blits, boxes and circles (golden pictures), the
// palette and memory images. Targets sit between guard bytes, so a write past a buffer's
// extent is caught.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "draw2d/draw2d.hpp"
#include "tests/unit/golden.hpp"
#include "tests/unit/image_test_files.hpp"

namespace {

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

// tests/golden/draw2d_shapes.txt: each line names a blit of a 3 x 3 source (indices 1 to 9,
// the centre 0), a box or a circle; the picture under it is the 11 x 7 target it leaves
// ("-" the background index 20, "." index 0, "#" index 15).
TEST(Draw2dShapes, ClipRoundAndKeepTransparentPixelsAsTheGoldenPicturesShow) {
  std::vector<uint8_t> S(draw2d::buffer_bytes(3, 3));
  draw2d::write_header(S.data(), 3, 3);
  for (int I = 0; I < 9; ++I) S[4 + I] = uint8_t(I == 4 ? 0 : I + 1);
  std::ifstream IN(std::string(VOLLEY_SOURCE_DIR) + "/tests/golden/draw2d_shapes.txt");
  std::string GOT;
  for (std::string LINE; std::getline(IN, LINE);) {
    if (LINE.empty() || LINE[0] == ' ') continue;  // a picture: drawn again below
    GOT += LINE + "\n";
    if (LINE[0] == '#') continue;
    std::istringstream WORDS(LINE);
    std::string OP;
    float A = 0, B = 0, C = 0, D = 0;
    WORDS >> OP >> A >> B >> C >> D;
    Guarded T(11, 7);
    std::fill_n(T.buf() + 4, 77, 20);
    if (OP == "blit" || OP == "blit-opaque") {
      const auto MODE = OP == "blit" ? draw2d::Blit::TRANSPARENT : draw2d::Blit::OPAQUE;
      draw2d::blit(T.buf(), A, B, S.data(), MODE);
    } else if (OP == "box") {
      draw2d::box(T.buf(), A, B, C, D, 6);
    } else {
      draw2d::circle(T.buf(), A, B, C, 15);
    }
    EXPECT_EQ(T.guard_bytes(), Guarded(11, 7).guard_bytes())
        << LINE << ": nothing is written outside the target";
    for (int Y = 0; Y < 7; ++Y) {
      GOT += "  ";
      for (int X = 0; X < 11; ++X) {
        const uint8_t V = T.buf()[4 + Y * 11 + X];
        GOT += V == 20 ? '-' : V == 0 ? '.' : V == 15 ? '#' : V < 10 ? char('0' + V) : '?';
      }
      GOT += "\n";
    }
  }
  volley_test::EXPECT_GOLDEN("draw2d_shapes.txt", GOT);
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
