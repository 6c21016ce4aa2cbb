// Tests of the image module: palettes, the ".put" index walk, the bitmap loaders and the two
// builds' differences. Built twice (designer and player copies of the module); every file is
// written into the test program's scratch directory.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "image/pixbank_image.hpp"
#include "leakscope/leakscope.hpp"
#include "tests/unit/image_test_files.hpp"

using namespace imagetest;
using BYTES = std::vector<uint8_t>;

constexpr uint32_t NO_FRAMES = 0xFFFFFFFFu;  // M_MAXINDEX of a sheet without frames

TEST(ImagePalette, EntriesAreSixBitAndThoseNotSuppliedAreBlack) {
  WRITE_BYTES(SCRATCH("short.pal"), {0x00, 0x1F, 0x3F, 0x00, 0x3F, 0x3F});  // an entry and a half
  for (int I = 0; I < 256; ++I) draw2d::set_palette(I, 0x3F3F3F);
  INIT_PALETTE_DATA(SCRATCH("short.pal"));
  std::vector<uint32_t> GOT(256), WANT(256, 0);
  for (int I = 0; I < 256; ++I) GOT[I] = draw2d::get_palette(I) & 0x3F3F3F;
  WANT[0] = 0x3F1F00;
  EXPECT_EQ(GOT, WANT) << "bytes 00 1F 3F 00 are red 0, green 31, blue 63; a short file "
                          "supplies its whole entries only and the rest are black";
}

class Image : public ::testing::Test {
 protected:
  Image() {
    draw2d::set_headless(true);  // headless: no key wait
    IMG.INIT = IMAGE_INIT;
    IMG.INIT(IMG);
  }
  ~Image() override { RESET(); }
  void RESET() { if (IMG.P_DATA || IMG.P_DATAINDEX) IMG.DESTROY(IMG); }
  void LOAD_PUT(const BYTES& DATA) {
    WRITE_PUT(IMG.M_FILENAME = SCRATCH("sheet.put"), DATA);
    IMG.LOAD(IMG);
  }
  IMAGETYPE IMG{};
};

TEST_F(Image, PutWalkStopsAtTheLastWholeFrameHoweverManyThereAre) {
  auto CAT = [](BYTES A, const BYTES& B) { A.insert(A.end(), B.begin(), B.end()); return A; };
  const BYTES ONE = FRAME_DATA({{3, 3, 5}}), CUT = FRAME_DATA({{4, 4, 9}});
  std::vector<SOLID> MANY(4500, {1, 1, 3});  // 3 words each, as is the 2 x 1 frame marking the last
  MANY[1999] = MANY[4499] = {2, 1, 8};
  const struct { BYTES DATA; uint32_t LAST; const char* WHY;
  } CASES[] = {
      {CAT(ONE, BYTES(CUT.begin(), CUT.end() - 2)), 0, "a cut-off frame is no frame"},
      {CAT(ONE, {0}), 0, "1 stray byte"},
      {FRAME_DATA({{0, 0, 0}, {2, 2, 5}, {2, 1, 8}}), 2, "a 0 x 0 frame is 2 words and a frame"},
      {FRAME_DATA(std::vector<SOLID>(MANY.begin(), MANY.begin() + 2000)), 1999,
       "exactly 2000 frames"},
      {FRAME_DATA(MANY), 4499, "frames after the 2000th grow the list, not write past it"}};
  for (const auto& C : CASES) {
    LOAD_PUT(C.DATA);
    ASSERT_EQ(IMG.M_MAXINDEX, C.LAST) << C.WHY;
    if (C.LAST > 0) {
      EXPECT_EQ(IMG.P_DATAINDEX[C.LAST], C.LAST * 3) << C.WHY;
      ASSERT_NE(IMAGE_FRAME(IMG, C.LAST), nullptr) << C.WHY;
      EXPECT_EQ(PIXEL_AT(IMAGE_FRAME(IMG, C.LAST), 1, 0), 8) << C.WHY;
    }
    RESET();
  }
  for (const BYTES& CONTENT : {BYTES{0xFD, 0, 0}, {0xFD, 0, 0, 0, 0, 9, 0, 1}}) {
    WRITE_BYTES(IMG.M_FILENAME = SCRATCH("short.put"), CONTENT);
    IMG.LOAD(IMG);
    EXPECT_EQ(IMG.M_MAXINDEX, NO_FRAMES) << "no frame for a file of " << CONTENT.size() << " bytes";
    EXPECT_EQ(IMG.M_SIZE, 0u) << "the size must not wrap below the 7-byte header";
    EXPECT_EQ(IMAGE_FRAME(IMG, 0), nullptr);
    RESET();
  }
}

TEST_F(Image, TileSetCutsWholeTilesRowByRow) {
  const struct { int BW, BH, TW, TH; uint32_t FRAMES, WORDS; const char* WHY; } CASES[] = {
      {100, 50, 16, 16, 18, 130, "6 x 3 tiles; 4 columns and 2 rows dropped"},
      {7, -4, 3, 3, 2, 7, "odd tiles are 7 words apart; a negative height is top-down"},
      {10, 10, 11, 4, 0, 0, "too wide"}};
  for (const auto& C : CASES) {
    SCOPED_TRACE(C.WHY);
    WRITE_BMP(IMG.M_FILENAME = SCRATCH("tiles.bmp"), C.BW, std::abs(C.BH), C.BH < 0);
    IMG.LOAD_BMP_SET(IMG, C.TW, C.TH);
    ASSERT_EQ(IMAGE_FRAME_COUNT(IMG), C.FRAMES);
    EXPECT_EQ(IMG.M_SIZE, C.FRAMES * C.WORDS);
    for (uint32_t N = 0; N < C.FRAMES; ++N) {
      const uint8_t* T = IMAGE_FRAME(IMG, N);
      const int X0 = N % (C.BW / C.TW) * C.TW, Y0 = N / (C.BW / C.TW) * C.TH;
      EXPECT_EQ(IMG.P_DATAINDEX[N], N * C.WORDS) << "tile " << N;
      ASSERT_NE(T, nullptr);
      EXPECT_EQ(PIXEL_AT(T, C.TW - 1, C.TH - 1), PATTERN(X0 + C.TW - 1, Y0 + C.TH - 1))
          << "bottom right";
    }
    RESET();
  }
}

TEST_F(Image, FailedResizeKeepsTheStore) {
  static const LEAKSCOPE_ALLOCATOR NO_RESIZE{
      std::calloc, [](void*, std::size_t) -> void* { return nullptr; }, std::free};
  WRITE_BMP(IMG.M_FILENAME = SCRATCH("grow.bmp"), 8, 8);
  LEAKSCOPE_SET_ALLOCATOR(&NO_RESIZE);
  IMG.LOAD_BMP_SET(IMG, 4, 4);  // four 4 x 4 tiles need more words than the 8 x 8 frame
  LEAKSCOPE_SET_ALLOCATOR(nullptr);
  EXPECT_NE(IMG.P_DATA, nullptr) << "the bitmap's store stays the record's, for DESTROY to return";
  EXPECT_EQ(IMAGE_FRAME_COUNT(IMG), 0u) << "no tile is cut into a store that could not grow";
}

TEST_F(Image, FrameListCutsFramesFromTheTopStrip) {
  EXPECT_EQ(IMAGE_FRAME_LIST_NAME("gfx.sheet.bmp"), "gfx.txt")
      << "the name is cut at the first dot";
  EXPECT_EQ(IMAGE_FRAME_LIST_NAME("./gfx.bmp"), ".txt") << "the first dot of the whole name";
  WRITE_BMP(IMG.M_FILENAME = SCRATCH("strip.sheet.bmp"), 12, 5);
  const std::string LIST = "200\r\n1\n\"ship, left\",0,2,3,2,10\nright,1,6,4,3,0\n";
  WRITE_BYTES(SCRATCH("strip.txt"), BYTES(LIST.begin(), LIST.end()));
  IMG.LOAD_BMP_SETL(IMG);
  ASSERT_EQ(IMG.M_MAXINDEX, 1u);
  EXPECT_EQ(IMG.M_SIZE, 100u) << "the store holds MAX_ELEMENT bytes";
  EXPECT_EQ(IMG.P_DATAINDEX[0], 10u) << "OFFSET gives the word of each frame";
  const uint8_t* A = IMAGE_FRAME(IMG, 0);
  ASSERT_NE(A, nullptr);
  EXPECT_EQ(PIXEL_AT(A, 0, 0), PATTERN(2, 0)) << "START_OFFSET is the left column, row 0 the top";
  EXPECT_EQ(PIXEL_AT(A, 2, 1), PATTERN(4, 1));
  EXPECT_EQ(PIXEL_AT(IMAGE_FRAME(IMG, 1), 3, 2), PATTERN(9, 2));
}

TEST_F(Image, BadFrameListValuesDrawNothingAndAMissingListGivesNoFrame) {
  WRITE_BMP(IMG.M_FILENAME = SCRATCH("bad.bmp"), 12, 5);
  // Frames a to e lie past the bitmap's right edge, below it, left of it, past the 60-byte
  // (30-word) store, and at a junk column (read as 0) with a negative offset; f fits exactly.
  const std::string LIST = "60,5\na,0,10,3,2,0\nb,0,0,3,6,0\nc,0,-1,2,2,0\nd,0,0,4,4,22\n"
                           "e,0,zz,2,2,-5\nf,0,1,2,2,26\n";
  WRITE_BYTES(SCRATCH("bad.txt"), BYTES(LIST.begin(), LIST.end()));
  IMG.LOAD_BMP_SETL(IMG);
  ASSERT_EQ(IMG.M_MAXINDEX, 5u);
  for (int N = 0; N < 5; ++N) {
    EXPECT_EQ(IMG.P_DATAINDEX[N], IMAGE_NO_FRAME) << "frame " << N << " is refused";
    EXPECT_EQ(IMAGE_FRAME(IMG, N), nullptr) << "frame " << N << " draws nothing";
  }
  ASSERT_NE(IMAGE_FRAME(IMG, 5), nullptr);
  EXPECT_EQ(PIXEL_AT(IMAGE_FRAME(IMG, 5), 1, 1), PATTERN(2, 1));
  RESET();
  std::remove(SCRATCH("bad.txt").c_str());
  IMG.LOAD_BMP_SETL(IMG);
  EXPECT_EQ(IMG.M_MAXINDEX, NO_FRAMES) << "a missing frame list gives no frame";
  EXPECT_EQ(IMAGE_FRAME(IMG, 0), nullptr);
}

// ---- the two builds -------------------------------------------------------------------------

TEST_F(Image, SingleFrameBitmapLoad) {
  WRITE_BMP(IMG.M_FILENAME = SCRATCH("single.bmp"), 5, 3);
  IMG.M_MAXINDEX = 77;
  IMG.LOAD_BMP(IMG, 5, 3);
  EXPECT_EQ(IMG.M_SIZE, 10u) << "2 + (5 x 3 + 1) \\ 2 words";
  EXPECT_EQ(IMG.P_DATA[0], 5 * 8 + 1);
  EXPECT_EQ(PIXEL_AT(IMG.P_DATA, 4, 2), PATTERN(4, 2));
  if constexpr (IMAGE_PLAYER_BUILD) {
    EXPECT_EQ(IMG.M_MAXINDEX, 77u) << "the player's copy builds no index";
  } else {
    EXPECT_EQ(IMG.M_MAXINDEX, 0u) << "the whole bitmap is frame 0";
    EXPECT_NE(IMAGE_FRAME(IMG, 0), nullptr);
  }
}

TEST_F(Image, SecondDestroyHandsNullToTheTrackerOnlyInTheDesigner) {
  LOAD_PUT(FRAME_DATA({{1, 1, 1}}));
  ::testing::internal::CaptureStdout();  // the tracker reports on standard output
  IMG.DESTROY(IMG);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "")
      << "releasing real blocks reports nothing";
  EXPECT_EQ(IMG.P_DATAINDEX, nullptr) << "DESTROY forgets the index";
  ::testing::internal::CaptureStdout();
  IMG.DESTROY(IMG);
  const std::string TEXT = ::testing::internal::GetCapturedStdout();
  if constexpr (IMAGE_PLAYER_BUILD) {
    EXPECT_EQ(TEXT, "") << "the player's copy skips null pointers";
  } else {
    EXPECT_NE(TEXT.find("image.p_dataindex"), TEXT.npos)
        << "the designer hands the nulls to the tracker, which reports them: " << TEXT;
  }
}

TEST_F(Image, UnrepresentableBitmapSizeIsFatalWithExitCodeZero) {
  IMG.M_FILENAME = SCRATCH("none.bmp");
  EXPECT_EXIT(IMG.LOAD_BMP(IMG, 9000, 2), ::testing::ExitedWithCode(0), "")
      << "a width whose field cannot be stored is a buffer that cannot be obtained";
}
