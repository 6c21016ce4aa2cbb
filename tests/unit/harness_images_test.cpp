// Tests of the PNG and GIF writers through the frame recorder: every file is read back with
// libpng or giflib and compared with what was written.
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "draw2d/draw2d.hpp"
#include "harness/recorder.hpp"
#include "tests/unit/image_test_files.hpp"

namespace {

using BYTES = std::vector<uint8_t>;

harness::Palette RAMP(int SHIFT) {
  harness::Palette P{};
  for (int I = 0; I < 256; ++I)
    P[std::size_t(I)] = {uint8_t(I), uint8_t((I + SHIFT) & 255), uint8_t(255 - I)};
  return P;
}

// Run frame F as an image buffer: the header, then W x 4 pixels (I * 7 + F * 13) & 255.
BYTES FRAME(int F, int W = 9) {
  BYTES B(draw2d::buffer_bytes(W, 4));
  draw2d::write_header(B.data(), W, 4);
  for (std::size_t I = 4; I < B.size(); ++I) B[I] = uint8_t(((I - 4) * 7 + F * 13) & 255);
  return B;
}

}  // namespace

// One run of 8 frames: PNGs of every 3rd, a GIF of every 2nd from frame 1, the palette
// changing at frame 5 and a frame of another size refused by the GIF.
TEST(HarnessRecorder, RecordsFramesOneAndEveryKthAfter) {
  harness::RunOptions O;
  O.PNG = imagetest::SCRATCH("rec_%d.png");
  O.PNG_EVERY = 3;
  O.GIF = imagetest::SCRATCH("rec.gif");
  O.GIF_EVERY = 2;
  harness::Recorder REC;
  std::string ERROR;
  ASSERT_TRUE(REC.open(O, ERROR)) << ERROR;
  for (int32_t F = 1; F <= 7; ++F) {
    std::remove(harness::frame_file_name(O.PNG, F).c_str());  // open() wrote frame 1's file
    ASSERT_TRUE(REC.capture_indexed(F, FRAME(F).data(), RAMP(F < 5 ? 1 : 99), ERROR)) << ERROR;
  }
  EXPECT_FALSE(REC.capture_indexed(9, FRAME(9, 10).data(), RAMP(1), ERROR))
      << "all GIF frames share the first's size";
  ASSERT_TRUE(REC.close(ERROR)) << ERROR;

  png_image PNG{};
  PNG.version = PNG_IMAGE_VERSION;
  ASSERT_NE(png_image_begin_read_from_file(&PNG, harness::frame_file_name(O.PNG, 4).c_str()), 0);
  EXPECT_NE(PNG.format & PNG_FORMAT_FLAG_COLORMAP, 0u) << "an 8-bit page is a palette image";
  PNG.format = PNG_FORMAT_RGB;
  BYTES GOT(PNG_IMAGE_SIZE(PNG)), WANT;
  ASSERT_NE(png_image_finish_read(&PNG, nullptr, GOT.data(), 0, nullptr), 0);
  for (uint8_t I : FRAME(4)) WANT.insert(WANT.end(), {RAMP(1)[I].R, RAMP(1)[I].G, RAMP(1)[I].B});
  WANT.erase(WANT.begin(), WANT.begin() + 12);  // the header's 4 bytes
  EXPECT_EQ(GOT, WANT) << "every pixel of frame 4 shows its palette colour";
  for (int F = 1; F <= 9; ++F) {
    const bool WRITTEN = std::remove(harness::frame_file_name(O.PNG, F).c_str()) == 0;
    EXPECT_EQ(WRITTEN, F == 1 || F == 4 || F == 7) << "PNG of frame " << F << " (every 3rd from 1)";
  }

  std::unique_ptr<GifFileType, void (*)(GifFileType*)> R(
      DGifOpenFileName(O.GIF.c_str(), nullptr), [](GifFileType* G) { DGifCloseFile(G, nullptr); });
  ASSERT_NE(R, nullptr);
  ASSERT_EQ(DGifSlurp(R.get()), GIF_OK) << "giflib must decode the file";
  ASSERT_EQ(R->ImageCount, 4) << "frames 1, 3, 5 and 7 go into the GIF";
  ASSERT_NE(R->SColorMap, nullptr) << "the first palette is the global table";
  const GifColorType C = R->SColorMap->Colors[200];
  EXPECT_EQ(harness::Colour({C.Red, C.Green, C.Blue}), RAMP(1)[200]) << "global entry 200";
  std::vector<int> DELAYS;
  for (int K = 0; K < 4; ++K) {
    BYTES GOT = FRAME(0);  // the header, then the pixels of GIF frame K
    std::copy(R->SavedImages[K].RasterBits, R->SavedImages[K].RasterBits + 36, GOT.begin() + 4);
    EXPECT_EQ(GOT, FRAME(2 * K + 1)) << "GIF frame " << K << " is run frame " << 2 * K + 1;
    GraphicsControlBlock GCB{};
    DGifSavedExtensionToGCB(R.get(), K, &GCB);
    DELAYS.push_back(GCB.DelayTime);
  }
  EXPECT_EQ(DELAYS, (std::vector<int>{3, 3, 4, 3}))
      << "every 2nd of 60 frames per second: the frames end at 3, 6, 10 and 13 cs, without drift";
  ASSERT_NE(R->SavedImages[2].ImageDesc.ColorMap, nullptr)
      << "a changed palette travels with its frame";
  EXPECT_EQ(R->SavedImages[2].ImageDesc.ColorMap->Colors[10].Green, RAMP(99)[10].G);
}

// Capture names: the lowest free number from 0001, each kind of file counted on its own, a
// freed number taken again; a directory that cannot hold the file gives no name and an error.
TEST(HarnessCaptureKeys, NamesTakeTheLowestFreeNumber) {
  const std::string DIR = imagetest::SCRATCH("capture_names");
  std::filesystem::create_directory(DIR);
  std::string ERROR;
  std::vector<std::string> NAMES;
  for (const char* EXT : {"png", "png", "gif"})
    NAMES.push_back(harness::claim_capture_name(DIR, EXT, ERROR));
  std::filesystem::remove(DIR + "/volley_0001.png");
  NAMES.push_back(harness::claim_capture_name(DIR, "png", ERROR));
  for (std::string& N : NAMES) N = N.substr(DIR.size());
  EXPECT_EQ(NAMES, (std::vector<std::string>{"/volley_0001.png", "/volley_0002.png",
                                             "/volley_0001.gif", "/volley_0001.png"}));
  EXPECT_EQ(harness::claim_capture_name(DIR + "/missing", "png", ERROR), "");
  EXPECT_NE(ERROR.find("/missing/volley_0001.png"), std::string::npos) << ERROR;
}
