// draw2d core: coordinate rounding (tests/golden/draw2d_rounding.txt), clipped blits, boxes and
// circles (golden pictures), the palette and memory images. Targets sit between guard bytes, so
// a write past a buffer's extent is caught.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "draw2d/draw2d.hpp"
#include "tests/unit/golden.hpp"
#include "tests/unit/image_test_files.hpp"

// A W x H buffer between two 64-byte margins of 0xA5 that no test draws, its pixels FILL;
// blit sources are made the same way.
struct Guarded {
  std::vector<uint8_t> B;
  Guarded(int W, int H, uint8_t FILL) : B(128 + draw2d::buffer_bytes(W, H), 0xA5) {
    draw2d::write_header(buf(), W, H);
    std::fill_n(buf() + 4, W * H, FILL);
  }
  uint8_t* buf() { return B.data() + 64; }
  long guard_bytes() const { return std::count(B.begin(), B.end(), 0xA5); }
};

TEST(Draw2dCore, RoundingGoesHalfAwayFromZeroAndSaturates) {
  volley_test::EXPECT_GOLDEN_TABLE("draw2d_rounding.txt", [](const std::string& V) {
    return std::to_string(draw2d::round_coord(std::stof(V)));
  });
  EXPECT_EQ(draw2d::create_buffer(8192, 1), nullptr) << "a width the header cannot hold";
}

// Wide rows go eight pixels at a time: every byte value, 0 among high-bit ones, and every
// row width up to 19 must give what the pixel rule gives.
TEST(Draw2dBlit, WideTransparentRowsFollowThePixelRule) {
  for (int W = 1; W < 20; ++W) {
    Guarded S(W, 2, 0);
    for (int I = 0; I < W * 2; ++I)
      S.buf()[4 + I] = uint8_t(I % 3 == 0 ? 0 : I % 3 == 1 ? 0x80 : 37 * I + 1);
    Guarded T(W + 3, 4, 9);
    draw2d::blit(T.buf(), 2, 1, S.buf(), draw2d::Blit::TRANSPARENT);
    for (int I = 0; I < (W + 3) * 4; ++I) {
      const int X = I % (W + 3) - 2, Y = I / (W + 3) - 1;  // in the source
      const uint8_t V = X >= 0 && X < W && Y >= 0 && Y < 2 ? S.buf()[4 + Y * W + X] : 0;
      EXPECT_EQ(T.buf()[4 + I], V != 0 ? V : 9)
          << "width " << W << ", source pixel " << X << ", " << Y;
    }
  }
}

// tests/golden/draw2d_shapes.txt: each line names a blit of a 3 x 3 source (indices 1 to 9,
// the centre 0), a box or a circle; the picture under it is the 11 x 7 target it leaves
// ("-" the background index 20, "." index 0, "#" index 15).
TEST(Draw2dShapes, ClipRoundAndKeepTransparentPixelsAsTheGoldenPicturesShow) {
  Guarded S(3, 3, 0);
  for (int I = 0; I < 9; ++I) S.buf()[4 + I] = uint8_t(I == 4 ? 0 : I + 1);
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
    Guarded T(11, 7, 20);
    if (OP.starts_with("blit"))
      draw2d::blit(T.buf(), A, B, S.buf(),
                   OP == "blit" ? draw2d::Blit::TRANSPARENT : draw2d::Blit::OPAQUE);
    else if (OP == "box")
      draw2d::box(T.buf(), A, B, C, D, 6);
    else
      draw2d::circle(T.buf(), A, B, C, 15);
    EXPECT_EQ(T.guard_bytes(), Guarded(11, 7, 20).guard_bytes())
        << LINE << ": nothing is written outside the target";
    for (int I = 0; I < 77; ++I) {
      const uint8_t V = T.buf()[4 + I];
      if (I % 11 == 0) GOT += "  ";
      GOT += V < 10 ? ".123456789"[V] : V == 20 ? '-' : V == 15 ? '#' : '?';
      if (I % 11 == 10) GOT += "\n";
    }
  }
  volley_test::EXPECT_GOLDEN("draw2d_shapes.txt", GOT);
}

TEST(Draw2dPalette, SixBitComponentsScaleToEightBits) {
  draw2d::set_palette(10, 31 | (42u << 8) | (0xC1u << 16));  // bits 6 and 7 are ignored
  draw2d::set_palette(256, 0x3F);  // there is no entry 256
  const auto C = draw2d::palette_rgb(10);
  EXPECT_EQ((std::vector<uint32_t>{C.R, C.G, C.B, draw2d::get_palette(256)}),
            (std::vector<uint32_t>{125, 170, 4, 0}))
      << "red, green and blue (31 x 255 / 63 truncates), then entry 256, which is ignored";
}

TEST(Draw2dMemoryImage, CopiesAtMostCapacityAndWhatTheFileHolds) {
  using imagetest::SCRATCH, imagetest::WRITE_BYTES;
  WRITE_BYTES(SCRATCH("d2_ok.put"), {0xFD, 0, 0, 0, 0, 6, 0, 1, 2, 3, 4, 5, 6});
  WRITE_BYTES(SCRATCH("d2_short.put"), {0xFD, 0, 0, 0, 0, 0xF4, 1, 9, 8, 7});  // length 500
  WRITE_BYTES(SCRATCH("d2_foreign.put"), {'B', 0, 0, 0, 0, 2, 0, 1, 2});
  std::vector<uint8_t> D(8, 0xEE);
  EXPECT_EQ(draw2d::load_memory_image(SCRATCH("d2_ok.put").c_str(), D.data(), 4), 4u)
      << "capacity bounds it";
  EXPECT_EQ(D, (std::vector<uint8_t>{1, 2, 3, 4, 0xEE, 0xEE, 0xEE, 0xEE}));
  EXPECT_EQ(draw2d::load_memory_image(SCRATCH("d2_short.put").c_str(), D.data(), 8), 3u)
      << "a length field larger than the file copies only what is there";
  EXPECT_EQ(draw2d::load_memory_image(SCRATCH("d2_foreign.put").c_str(), D.data(), 8), 0u)
      << "a foreign identifier copies nothing";
}
