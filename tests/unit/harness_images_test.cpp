// Tests of the PNG and GIF writers and of the frame recorder: every file is read back with
// libpng or giflib and compared with what was written.
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <cstring>
#include <numeric>
#include <string>
#include <vector>

#include "display/draw2d.hpp"
#include "harness/image_writers.hpp"
#include "harness/recorder.hpp"

namespace {

using harness::Colour;
using harness::Palette;

Palette RAMP(int SHIFT) {
  Palette P{};
  for (int I = 0; I < 256; ++I) {
    P[static_cast<std::size_t>(I)] = Colour{static_cast<uint8_t>(I), static_cast<uint8_t>((I + SHIFT) & 255),
                                            static_cast<uint8_t>(255 - I)};
  }
  return P;
}

std::vector<uint8_t> PATTERN(int W, int H, int SEED) {
  std::vector<uint8_t> P(static_cast<std::size_t>(W * H));
  for (int I = 0; I < W * H; ++I) P[static_cast<std::size_t>(I)] = static_cast<uint8_t>((I * 7 + SEED) & 255);
  return P;
}

std::string TEMP(const std::string& NAME) { return ::testing::TempDir() + "harness_" + NAME; }

struct PngRead {
  bool OK = false;
  bool COLOURMAPPED = false;
  int W = 0, H = 0;
  std::vector<uint8_t> RGBA;
};

PngRead READ_PNG(const std::string& PATH) {
  PngRead R;
  png_image IMAGE;
  std::memset(&IMAGE, 0, sizeof IMAGE);
  IMAGE.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&IMAGE, PATH.c_str()) == 0) return R;
  R.COLOURMAPPED = (IMAGE.format & PNG_FORMAT_FLAG_COLORMAP) != 0;
  IMAGE.format = PNG_FORMAT_RGBA;
  R.W = static_cast<int>(IMAGE.width);
  R.H = static_cast<int>(IMAGE.height);
  R.RGBA.resize(PNG_IMAGE_SIZE(IMAGE));
  R.OK = png_image_finish_read(&IMAGE, nullptr, R.RGBA.data(), 0, nullptr) != 0;
  return R;
}

TEST(HarnessPng, IndexedFrameReadsBackThroughItsPalette) {
  const int W = 13, H = 5;
  const Palette P = RAMP(40);
  const std::vector<uint8_t> PIX = PATTERN(W, H, 3);
  const std::string PATH = TEMP("indexed.png");
  std::string ERROR;
  ASSERT_TRUE(harness::write_png_indexed(PATH, W, H, PIX.data(), P, ERROR)) << ERROR;
  const PngRead R = READ_PNG(PATH);
  ASSERT_TRUE(R.OK) << "libpng must read the file back";
  EXPECT_TRUE(R.COLOURMAPPED) << "an 8-bit page is stored as a palette image";
  ASSERT_EQ(R.W, W);
  ASSERT_EQ(R.H, H);
  for (std::size_t I = 0; I < PIX.size(); ++I) {
    const Colour& C = P[PIX[I]];
    ASSERT_EQ(R.RGBA[I * 4], C.R) << "pixel " << I << " shows its palette colour";
    ASSERT_EQ(R.RGBA[I * 4 + 1], C.G) << "pixel " << I;
    ASSERT_EQ(R.RGBA[I * 4 + 2], C.B) << "pixel " << I;
  }
  std::remove(PATH.c_str());
}

TEST(HarnessPng, RgbaFrameReadsBackUnchanged) {
  const int W = 4, H = 3;
  std::vector<uint8_t> RGBA(static_cast<std::size_t>(W * H * 4));
  std::iota(RGBA.begin(), RGBA.end(), uint8_t{10});
  const std::string PATH = TEMP("rgba.png");
  std::string ERROR;
  ASSERT_TRUE(harness::write_png_rgba(PATH, W, H, RGBA.data(), ERROR)) << ERROR;
  const PngRead R = READ_PNG(PATH);
  ASSERT_TRUE(R.OK);
  EXPECT_EQ(R.RGBA, RGBA) << "RGBA pixels, alpha included, survive the round trip";
  std::remove(PATH.c_str());
}

TEST(HarnessGifDelay, SixtyFramesPerSecondWithoutDrift) {
  for (int32_t EVERY : {2, 3, 5, 7}) {
    int64_t SUM = 0;
    for (int32_t N = 1; N <= 300; ++N) {
      const int D = harness::gif_delay_cs(N, EVERY);
      EXPECT_GE(D, 2) << "players stretch delays below 2 cs";
      SUM += D;
    }
    // 300 recorded frames of EVERY run frames each last 300 x EVERY / 60 s = 5 x EVERY s.
    EXPECT_EQ(SUM, 500 * EVERY) << "the delays add up to the run's time for every " << EVERY;
  }
  EXPECT_EQ(harness::gif_delay_cs(1, 2), 3);
  EXPECT_EQ(harness::gif_delay_cs(2, 2), 3);
  EXPECT_EQ(harness::gif_delay_cs(3, 2), 4) << "frames end at 3, 6 and 10 cs";
  EXPECT_EQ(harness::gif_delay_cs(7, 1), 2) << "a recording of every frame plays at 2 cs per frame";
}

TEST(HarnessRgba, MapsColoursBackToTheLowestIndexOrTheNearest) {
  Palette MAP{};
  MAP[5] = Colour{10, 20, 30};
  MAP[9] = Colour{10, 20, 30};  // a repeated colour: index 5 wins
  MAP[7] = Colour{200, 200, 200};
  const uint8_t RGBA[] = {10, 20, 30, 255, 200, 200, 200, 0, 198, 201, 199, 255, 0, 0, 0, 255};
  const std::vector<uint8_t> OUT = harness::rgba_to_indices(RGBA, 4, 1, MAP);
  EXPECT_EQ(OUT[0], 5) << "the lowest index holding a colour is chosen";
  EXPECT_EQ(OUT[1], 7) << "alpha plays no part";
  EXPECT_EQ(OUT[2], 7) << "a colour not in the map takes the nearest entry";
  EXPECT_EQ(OUT[3], 0) << "black is entry 0 of this map";
}

struct GifRead {
  GifFileType* GIF = nullptr;
  ~GifRead() {
    if (GIF != nullptr) DGifCloseFile(GIF, nullptr);
  }
};

TEST(HarnessGif, FramesPaletteAndDelaysReadBack) {
  const int W = 9, H = 4;
  const Palette P1 = RAMP(0), P2 = RAMP(99);
  const std::vector<uint8_t> A = PATTERN(W, H, 0), B = PATTERN(W, H, 50);
  const std::string PATH = TEMP("anim.gif");
  std::string ERROR;
  {
    harness::GifWriter G;
    ASSERT_TRUE(G.open(PATH, ERROR)) << ERROR;
    ASSERT_TRUE(G.add_frame(W, H, A.data(), P1, 3, ERROR)) << ERROR;
    ASSERT_TRUE(G.add_frame(W, H, B.data(), P1, 4, ERROR)) << ERROR;
    ASSERT_TRUE(G.add_frame(W, H, A.data(), P2, 2, ERROR)) << ERROR;
    EXPECT_FALSE(G.add_frame(W + 1, H, A.data(), P1, 2, ERROR)) << "all frames share the first's size";
    ASSERT_TRUE(G.close(ERROR)) << ERROR;
  }
  GifRead R;
  int CODE = 0;
  R.GIF = DGifOpenFileName(PATH.c_str(), &CODE);
  ASSERT_NE(R.GIF, nullptr) << GifErrorString(CODE);
  ASSERT_EQ(DGifSlurp(R.GIF), GIF_OK) << "giflib must decode the file";
  EXPECT_EQ(R.GIF->SWidth, W);
  EXPECT_EQ(R.GIF->SHeight, H);
  ASSERT_EQ(R.GIF->ImageCount, 3);
  ASSERT_NE(R.GIF->SColorMap, nullptr) << "the first palette is the global colour table";
  ASSERT_EQ(R.GIF->SColorMap->ColorCount, 256);
  for (int I = 0; I < 256; ++I) {
    const GifColorType C = R.GIF->SColorMap->Colors[I];
    ASSERT_TRUE(C.Red == P1[I].R && C.Green == P1[I].G && C.Blue == P1[I].B) << "global entry " << I;
  }
  const int DELAYS[] = {3, 4, 2};
  const std::vector<uint8_t>* PIXELS[] = {&A, &B, &A};
  for (int F = 0; F < 3; ++F) {
    const SavedImage& IMG = R.GIF->SavedImages[F];
    ASSERT_EQ(std::memcmp(IMG.RasterBits, PIXELS[F]->data(), PIXELS[F]->size()), 0)
        << "frame " << F << " keeps its indices";
    GraphicsControlBlock GCB{};
    ASSERT_EQ(DGifSavedExtensionToGCB(R.GIF, F, &GCB), GIF_OK) << "every frame carries a delay";
    EXPECT_EQ(GCB.DelayTime, DELAYS[F]) << "frame " << F << " delay";
  }
  EXPECT_EQ(R.GIF->SavedImages[1].ImageDesc.ColorMap, nullptr) << "the same palette needs no local table";
  ASSERT_NE(R.GIF->SavedImages[2].ImageDesc.ColorMap, nullptr) << "a changed palette travels with its frame";
  EXPECT_EQ(R.GIF->SavedImages[2].ImageDesc.ColorMap->Colors[10].Green, P2[10].G);
  std::remove(PATH.c_str());
}

// ---- Recorder ---------------------------------------------------------------------------------

std::vector<uint8_t> BUFFER(int W, int H, uint8_t FILL) {
  std::vector<uint8_t> B(draw2d::buffer_bytes(W, H), FILL);
  draw2d::write_header(B.data(), W, H);
  return B;
}

TEST(HarnessRecorder, RecordsFramesOneAndEveryKthAfter) {
  harness::RunOptions O;
  O.PNG = TEMP("rec_%d.png");
  O.PNG_EVERY = 3;
  O.GIF = TEMP("rec.gif");
  O.GIF_EVERY = 2;
  harness::Recorder REC;
  std::string ERROR;
  ASSERT_TRUE(REC.open(O, ERROR)) << ERROR;
  for (int F = 1; F <= 7; ++F) std::remove(harness::frame_file_name(O.PNG, F).c_str());
  const Palette P = RAMP(1);
  for (int32_t F = 1; F <= 7; ++F) {
    const std::vector<uint8_t> B = BUFFER(6, 2, static_cast<uint8_t>(F));
    ASSERT_TRUE(REC.capture_indexed(F, B.data(), P, ERROR)) << ERROR;
  }
  ASSERT_TRUE(REC.close(ERROR)) << ERROR;
  for (int F = 1; F <= 7; ++F) {
    const std::string NAME = harness::frame_file_name(O.PNG, F);
    std::FILE* FILE = std::fopen(NAME.c_str(), "rb");
    EXPECT_EQ(FILE != nullptr, F == 1 || F == 4 || F == 7) << "PNG of frame " << F << " (every 3rd from 1)";
    if (FILE != nullptr) std::fclose(FILE);
    std::remove(NAME.c_str());
  }
  GifRead R;
  R.GIF = DGifOpenFileName(O.GIF.c_str(), nullptr);
  ASSERT_NE(R.GIF, nullptr);
  ASSERT_EQ(DGifSlurp(R.GIF), GIF_OK);
  ASSERT_EQ(R.GIF->ImageCount, 4) << "frames 1, 3, 5 and 7 go into the GIF";
  EXPECT_EQ(R.GIF->SavedImages[1].RasterBits[0], 3) << "the second GIF frame is run frame 3";
  std::remove(O.GIF.c_str());
}

TEST(HarnessRecorder, RgbaFramesBecomeIndexedGifFrames) {
  harness::RunOptions O;
  O.GIF = TEMP("rgba.gif");
  harness::Recorder REC;
  std::string ERROR;
  ASSERT_TRUE(REC.open(O, ERROR)) << ERROR;
  const Palette MAP = RAMP(0);
  std::vector<uint8_t> RGBA;
  for (int I : {17, 200, 3}) {
    const Colour& C = MAP[static_cast<std::size_t>(I)];
    RGBA.insert(RGBA.end(), {C.R, C.G, C.B, 255});
  }
  ASSERT_TRUE(REC.capture_rgba(1, RGBA.data(), 3, 1, MAP, ERROR)) << ERROR;
  ASSERT_TRUE(REC.close(ERROR)) << ERROR;
  GifRead R;
  R.GIF = DGifOpenFileName(O.GIF.c_str(), nullptr);
  ASSERT_NE(R.GIF, nullptr);
  ASSERT_EQ(DGifSlurp(R.GIF), GIF_OK);
  ASSERT_EQ(R.GIF->ImageCount, 1);
  const uint8_t* BITS = R.GIF->SavedImages[0].RasterBits;
  EXPECT_TRUE(BITS[0] == 17 && BITS[1] == 200 && BITS[2] == 3) << "texels map back to their colour-map entries";
  std::remove(O.GIF.c_str());
}

TEST(HarnessRecorder, UnwritableTargetsFailAtOpen) {
  std::string ERROR;
  harness::RunOptions PNG;
  PNG.PNG = "/nonexistent-dir/f%d.png";
  harness::Recorder A;
  EXPECT_FALSE(A.open(PNG, ERROR)) << "a PNG pattern in a missing directory fails before the run";
  EXPECT_NE(ERROR.find("/nonexistent-dir/f1.png"), std::string::npos) << "the message names frame 1's file";
  harness::RunOptions GIF;
  GIF.GIF = "/nonexistent-dir/a.gif";
  harness::Recorder B;
  EXPECT_FALSE(B.open(GIF, ERROR)) << "a GIF in a missing directory fails before the run";
}

}  // namespace
