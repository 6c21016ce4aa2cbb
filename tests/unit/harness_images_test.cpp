// Tests of the PNG and GIF writers and of the frame recorder: every file is read back with
// libpng or giflib and compared with what was written.
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <tuple>

#include "draw2d/draw2d.hpp"
#include "harness/recorder.hpp"
#include "tests/unit/image_test_files.hpp"

namespace {

using harness::Palette;

Palette RAMP(int SHIFT) {
  Palette P{};
  for (int I = 0; I < 256; ++I)
    P[std::size_t(I)] = {uint8_t(I), uint8_t((I + SHIFT) & 255), uint8_t(255 - I)};
  return P;
}

std::vector<uint8_t> PATTERN(int SEED) {  // 9 x 4 pixels
  std::vector<uint8_t> P(36);
  for (std::size_t I = 0; I < P.size(); ++I) P[I] = uint8_t((I * 7 + SEED) & 255);
  return P;
}

using imagetest::SCRATCH;  // files in a scratch directory removed at exit

// The decoded GIF, or null when giflib cannot read it.
std::unique_ptr<GifFileType, void (*)(GifFileType*)> READ_GIF(const std::string& PATH) {
  std::unique_ptr<GifFileType, void (*)(GifFileType*)> G(
      DGifOpenFileName(PATH.c_str(), nullptr), [](GifFileType* F) { DGifCloseFile(F, nullptr); });
  if (G && DGifSlurp(G.get()) != GIF_OK) G.reset();
  return G;
}

TEST(HarnessPng, IndexedFramesReadBackAsPaletteImages) {
  const Palette P = RAMP(40);
  const std::vector<uint8_t> PIX = PATTERN(3);
  std::string ERROR;
  ASSERT_TRUE(harness::write_png_indexed(SCRATCH("indexed.png"), 9, 4, PIX.data(), P, ERROR))
      << ERROR;
  png_image IMAGE{};
  IMAGE.version = PNG_IMAGE_VERSION;
  ASSERT_NE(png_image_begin_read_from_file(&IMAGE, SCRATCH("indexed.png").c_str()), 0);
  EXPECT_NE(IMAGE.format & PNG_FORMAT_FLAG_COLORMAP, 0u) << "an 8-bit page is a palette image";
  IMAGE.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> GOT(PNG_IMAGE_SIZE(IMAGE)), WANT;
  ASSERT_NE(png_image_finish_read(&IMAGE, nullptr, GOT.data(), 0, nullptr), 0);
  for (uint8_t I : PIX) WANT.insert(WANT.end(), {P[I].R, P[I].G, P[I].B});
  EXPECT_EQ(GOT, WANT) << "every pixel shows its palette colour";
}

TEST(HarnessGif, FramesPaletteAndDelaysReadBack) {
  const Palette P1 = RAMP(0), P2 = RAMP(99);
  const std::vector<uint8_t> A = PATTERN(0), B = PATTERN(50);
  std::string ERROR;
  {
    harness::GifWriter G;
    ASSERT_TRUE(G.open(SCRATCH("anim.gif"), ERROR)) << ERROR;
    const std::tuple<const std::vector<uint8_t>*, const Palette*, int> FRAMES[] = {
        {&A, &P1, 3}, {&B, &P1, 4}, {&A, &P2, 2}};
    for (const auto& [PIXELS, PALETTE, DELAY] : FRAMES)
      ASSERT_TRUE(G.add_frame(9, 4, PIXELS->data(), *PALETTE, DELAY, ERROR)) << ERROR;
    EXPECT_FALSE(G.add_frame(10, 4, A.data(), P1, 2, ERROR)) << "all frames share the first's size";
    ASSERT_TRUE(G.close(ERROR)) << ERROR;
  }
  const auto R = READ_GIF(SCRATCH("anim.gif"));
  ASSERT_NE(R, nullptr) << "giflib must decode the file";
  ASSERT_EQ(R->ImageCount, 3);
  ASSERT_NE(R->SColorMap, nullptr) << "the first palette is the global table";
  const GifColorType C = R->SColorMap->Colors[200];
  EXPECT_EQ(harness::Colour({C.Red, C.Green, C.Blue}), P1[200]) << "global entry 200";
  for (int F = 0; F < 3; ++F) {
    EXPECT_EQ(std::memcmp(R->SavedImages[F].RasterBits, (F == 1 ? B : A).data(), 36), 0)
        << "frame " << F;
  }
  ASSERT_NE(R->SavedImages[2].ImageDesc.ColorMap, nullptr)
      << "a changed palette travels with its frame";
  EXPECT_EQ(R->SavedImages[2].ImageDesc.ColorMap->Colors[10].Green, P2[10].G);
}

TEST(HarnessRecorder, RecordsFramesOneAndEveryKthAfter) {
  harness::RunOptions O;
  O.PNG = SCRATCH("rec_%d.png"), O.PNG_EVERY = 3, O.GIF = SCRATCH("rec.gif"), O.GIF_EVERY = 2;
  harness::Recorder REC;
  std::string ERROR;
  ASSERT_TRUE(REC.open(O, ERROR)) << ERROR;
  for (int32_t F = 1; F <= 7; ++F) {
    std::remove(harness::frame_file_name(O.PNG, F).c_str());  // open() wrote frame 1's file
    std::vector<uint8_t> B(draw2d::buffer_bytes(6, 2), uint8_t(F));
    draw2d::write_header(B.data(), 6, 2);
    ASSERT_TRUE(REC.capture_indexed(F, B.data(), RAMP(1), ERROR)) << ERROR;
  }
  ASSERT_TRUE(REC.close(ERROR)) << ERROR;
  for (int F = 1; F <= 7; ++F) {
    const bool WRITTEN = std::remove(harness::frame_file_name(O.PNG, F).c_str()) == 0;
    EXPECT_EQ(WRITTEN, F == 1 || F == 4 || F == 7) << "PNG of frame " << F << " (every 3rd from 1)";
  }
  const auto R = READ_GIF(O.GIF);
  ASSERT_NE(R, nullptr);
  ASSERT_EQ(R->ImageCount, 4) << "frames 1, 3, 5 and 7 go into the GIF";
  EXPECT_EQ(R->SavedImages[1].RasterBits[0], 3) << "the second GIF frame is run frame 3";
  std::vector<int> DELAYS;
  for (int F = 0; F < 3; ++F) {
    GraphicsControlBlock GCB{};
    DGifSavedExtensionToGCB(R.get(), F, &GCB);
    DELAYS.push_back(GCB.DelayTime);
  }
  EXPECT_EQ(DELAYS, (std::vector<int>{3, 3, 4}))
      << "every 2nd of 60 frames per second: the frames end at 3, 6 and 10 cs, without drift";
}

}  // namespace

TEST(HarnessCaptureKeys, NamesTakeTheLowestFreeNumber) {
  const std::string DIR = SCRATCH("capture_names");
  std::filesystem::create_directory(DIR);
  std::string ERROR;
  EXPECT_EQ(harness::claim_capture_name(DIR, "png", ERROR), DIR + "/volley_0001.png");
  EXPECT_EQ(harness::claim_capture_name(DIR, "png", ERROR), DIR + "/volley_0002.png");
  EXPECT_EQ(harness::claim_capture_name(DIR, "gif", ERROR), DIR + "/volley_0001.gif")
      << "each kind of file counts on its own";
  std::remove((DIR + "/volley_0001.png").c_str());
  EXPECT_EQ(harness::claim_capture_name(DIR, "png", ERROR), DIR + "/volley_0001.png")
      << "a number freed again is taken again";
  EXPECT_EQ(harness::claim_capture_name(DIR + "/missing", "png", ERROR), "");
  EXPECT_NE(ERROR.find("/missing/volley_0001.png"), std::string::npos) << ERROR;
}
