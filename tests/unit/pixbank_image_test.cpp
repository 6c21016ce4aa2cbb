// Tests of the image module: palettes, the ".put" index walk, the bitmap loaders and the two
// builds' differences. Built twice (designer and player copies of the module).
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "display/draw2d.hpp"
#include "image/pixbank_image.hpp"
#include "leakscope/leakscope.hpp"
#include "tests/unit/image_test_files.hpp"

using namespace imagetest;

namespace {

// Files are named after the build and the test, so parallel test processes never share one.
// Names hold no dot before the extension: the frame-list name is cut at the first dot.
std::string NAME(const std::string& EXT) {
  const auto* INFO = ::testing::UnitTest::GetInstance()->current_test_info();
  return std::string(IMAGE_PLAYER_BUILD ? "pbiplay_" : "pbiedit_") + INFO->test_suite_name() +
         "_" + INFO->name() + EXT;
}

class Image : public ::testing::Test {
 protected:
  void SetUp() override {
    draw2d::set_headless(true);
    IMG.INIT = IMAGE_INIT;
    IMG.INIT(IMG);
  }
  void TearDown() override {
    if (IMG.P_DATA || IMG.P_DATAINDEX) IMG.DESTROY(IMG);
  }
  void LOAD_PUT(const std::vector<uint8_t>& DATA) {
    IMG.M_FILENAME = NAME(".put");
    WRITE_PUT(IMG.M_FILENAME, DATA);
    IMG.LOAD(IMG);
  }
  IMAGETYPE IMG{};
};

// Captures the tracker's report lines during a block of code.
class TrackerOutput {
 public:
  TrackerOutput() : ERR_(std::tmpfile()), OUT_(std::tmpfile()) { LEAKSCOPE_SET_STREAMS(ERR_, OUT_); }
  ~TrackerOutput() {
    LEAKSCOPE_SET_STREAMS(stderr, stdout);
    std::fclose(ERR_);
    std::fclose(OUT_);
  }
  std::string TEXT() {
    std::fflush(OUT_);
    std::rewind(OUT_);
    std::string S;
    for (int C = std::fgetc(OUT_); C != EOF; C = std::fgetc(OUT_)) S.push_back(static_cast<char>(C));
    return S;
  }

 private:
  std::FILE* ERR_;
  std::FILE* OUT_;
};

uint8_t PATTERN(int X, int Y) { return static_cast<uint8_t>((X + 7 * Y) % 250 + 1); }

}  // namespace

// ---- palettes -------------------------------------------------------------------------------

TEST(ImagePalette, EntriesAreLittleEndianSixBitValues) {
  std::vector<uint8_t> PAL(1024, 0);
  PAL[0] = 0x00; PAL[1] = 0x1F; PAL[2] = 0x3F; PAL[3] = 0x00;
  PAL[1020] = 0x3F; PAL[1021] = 0x01;
  const std::string FILE = NAME(".pal");
  WRITE_BYTES(FILE, PAL);
  INIT_PALETTE_DATA(FILE);
  EXPECT_EQ(draw2d::get_palette(0) & 0x3F3F3F, 0x3F1F00u) << "bytes 00 1F 3F 00: red 0, green 31, blue 63";
  EXPECT_EQ(draw2d::get_palette(255) & 0x3F3F3F, 0x00013Fu) << "the last 4 bytes are entry 255";
  EXPECT_EQ(draw2d::get_palette(1) & 0x3F3F3F, 0u);
}

TEST(ImagePalette, EmptyNameTurnsEveryEntryBlack) {
  for (int I = 0; I < 256; ++I) draw2d::set_palette(I, 0x3F3F3F);
  INIT_PALETTE_DATA("");
  for (int I = 0; I < 256; ++I) {
    ASSERT_EQ(draw2d::get_palette(I) & 0x3F3F3F, 0u) << "entry " << I << " should be black";
  }
}

TEST(ImagePalette, ShortOrMissingFileLeavesTheRestBlack) {
  for (int I = 0; I < 256; ++I) draw2d::set_palette(I, 0x3F3F3F);
  const std::string FILE = NAME(".pal");
  WRITE_BYTES(FILE, {0x10, 0x20, 0x30, 0x00, 0x3F, 0x3F});  // one entry and a half
  INIT_PALETTE_DATA(FILE);
  EXPECT_EQ(draw2d::get_palette(0) & 0x3F3F3F, 0x302010u);
  EXPECT_EQ(draw2d::get_palette(1) & 0x3F3F3F, 0u) << "a half entry is not supplied";
  EXPECT_EQ(draw2d::get_palette(200) & 0x3F3F3F, 0u);
  for (int I = 0; I < 256; ++I) draw2d::set_palette(I, 0x3F3F3F);
  INIT_PALETTE_DATA(NAME("_missing.pal"));
  EXPECT_EQ(draw2d::get_palette(7) & 0x3F3F3F, 0u) << "a missing file still sets the palette";
}

// ---- the ".put" index walk ------------------------------------------------------------------

TEST_F(Image, FramesAreIndexedBackToBackOnWordBoundaries) {
  LOAD_PUT(FRAME_DATA({SOLID(3, 3, 5), SOLID(2, 2, 6), SOLID(0, 0, 0), SOLID(1, 1, 7)}));
  ASSERT_EQ(IMG.M_MAXINDEX, 3u);
  EXPECT_EQ(IMG.P_DATAINDEX[1], 7u) << "a 3x3 frame takes 7 words (4 header, 9 pixels, 1 pad)";
  EXPECT_EQ(IMG.P_DATAINDEX[2], 11u);
  EXPECT_EQ(IMG.P_DATAINDEX[3], 13u) << "a 0x0 frame is 2 words and still a frame";
  EXPECT_EQ(IMG.M_SIZE, 16u);
  const uint8_t* F1 = IMAGE_FRAME(IMG, 1);
  ASSERT_NE(F1, nullptr);
  EXPECT_EQ(draw2d::width_of(F1), 2);
  EXPECT_EQ(PIXEL_AT(F1, 1, 1), 6);
}

TEST_F(Image, TrailingIncompleteFrameIsNotIndexed) {
  std::vector<uint8_t> DATA = FRAME_DATA({SOLID(3, 3, 5)});
  const std::vector<uint8_t> PARTIAL = FRAME_DATA({SOLID(4, 4, 9)});
  DATA.insert(DATA.end(), PARTIAL.begin(), PARTIAL.end() - 2);
  LOAD_PUT(DATA);
  EXPECT_EQ(IMG.M_MAXINDEX, 0u) << "the cut-off 4x4 frame gives no frame";
}

TEST_F(Image, OneOrTwoStrayBytesGiveNoExtraFrame) {
  for (int STRAY = 1; STRAY <= 2; ++STRAY) {
    std::vector<uint8_t> DATA = FRAME_DATA({SOLID(3, 3, 5), SOLID(1, 2, 4)});
    DATA.insert(DATA.end(), static_cast<std::size_t>(STRAY), 0);
    LOAD_PUT(DATA);
    EXPECT_EQ(IMG.M_MAXINDEX, 1u) << STRAY << " stray byte(s) after the last frame";
    IMG.DESTROY(IMG);
  }
}

TEST_F(Image, TwoThousandFramesAreAllIndexed) {
  std::vector<TESTFRAME> FRAMES(2000, SOLID(1, 1, 3));
  LOAD_PUT(FRAME_DATA(FRAMES));
  ASSERT_EQ(IMG.M_MAXINDEX, 1999u);
  EXPECT_EQ(IMG.P_DATAINDEX[1999], 1999u * 3) << "1x1 frames are 3 words apart";
}

TEST_F(Image, MoreThanTwoThousandFramesGrowTheList) {
  std::vector<TESTFRAME> FRAMES(4500, SOLID(0, 0, 0));
  FRAMES[4499] = SOLID(2, 1, 8);
  LOAD_PUT(FRAME_DATA(FRAMES));
  ASSERT_EQ(IMG.M_MAXINDEX, 4499u) << "frames after the 2000th are kept, not written past the list";
  EXPECT_EQ(IMG.P_DATAINDEX[4499], 4499u * 2);
  ASSERT_NE(IMAGE_FRAME(IMG, 4499), nullptr);
  EXPECT_EQ(PIXEL_AT(IMAGE_FRAME(IMG, 4499), 1, 0), 8);
}

TEST_F(Image, MissingOrShortFileGivesAnEmptySheet) {
  for (const std::vector<uint8_t>& CONTENT :
       {std::vector<uint8_t>{}, std::vector<uint8_t>{0xFD, 0, 0}, std::vector<uint8_t>{0xFD, 0, 0, 0, 0, 0, 0},
        std::vector<uint8_t>{0xFD, 0, 0, 0, 0, 9, 0, 1}}) {
    IMG.M_FILENAME = NAME(".put");
    WRITE_BYTES(IMG.M_FILENAME, CONTENT);
    if (CONTENT.empty()) std::remove(IMG.M_FILENAME.c_str());  // missing file
    IMG.LOAD(IMG);
    EXPECT_EQ(IMG.M_MAXINDEX, 0xFFFFFFFFu) << "no frame for a file of " << CONTENT.size() << " bytes";
    EXPECT_EQ(IMG.M_SIZE, 0u) << "the size must not wrap below the 7-byte header";
    EXPECT_NE(IMG.P_DATA, nullptr) << "the frame store is still a block DESTROY can return";
    EXPECT_NE(IMG.P_DATAINDEX, nullptr);
    EXPECT_EQ(IMAGE_FRAME(IMG, 0), nullptr);
    IMG.DESTROY(IMG);
  }
}

TEST_F(Image, LoadHoldsTwoBlocksAndDestroyReturnsBothQuietly) {
  const std::size_t BEFORE = LEAKSCOPE_COUNT();
  LOAD_PUT(FRAME_DATA({SOLID(3, 3, 5)}));
  EXPECT_EQ(LEAKSCOPE_COUNT(), BEFORE + 2) << "frame store and index; the temporary list is gone";
  TrackerOutput OUT;
  IMG.DESTROY(IMG);
  EXPECT_EQ(LEAKSCOPE_COUNT(), BEFORE);
  EXPECT_EQ(OUT.TEXT(), "") << "releasing real blocks reports nothing";
  EXPECT_EQ(IMG.P_DATA, nullptr);
  EXPECT_EQ(IMG.P_DATAINDEX, nullptr);
}

// ---- frame lookup for drawing ---------------------------------------------------------------

TEST_F(Image, FrameNumbersOutsideTheSheetGiveNoBuffer) {
  LOAD_PUT(FRAME_DATA({SOLID(2, 2, 5), SOLID(2, 2, 6)}));
  EXPECT_NE(IMAGE_FRAME(IMG, 1), nullptr);
  EXPECT_EQ(IMAGE_FRAME(IMG, 2), nullptr) << "one past the last frame";
  EXPECT_EQ(IMAGE_FRAME(IMG, -1), nullptr);
  EXPECT_EQ(IMAGE_FRAME(IMG, 999), nullptr);
  IMG.P_DATAINDEX[1] = IMG.M_SIZE - 1;  // a damaged entry pointing at the last word
  EXPECT_EQ(IMAGE_FRAME(IMG, 1), nullptr) << "a header past the store is never read";
}

TEST_F(Image, BlittingAFrameDrawsItsPixelsWithZeroTransparent) {
  TESTFRAME F = SOLID(3, 2, 9);
  F.PIXELS[1] = 0;
  LOAD_PUT(FRAME_DATA({SOLID(1, 1, 1), F}));
  uint8_t* PAGE = draw2d::create_buffer(8, 8, 4);
  draw2d::blit(PAGE, 2, 3, IMAGE_FRAME(IMG, 1), draw2d::Blit::TRANSPARENT);
  EXPECT_EQ(PIXEL_AT(PAGE, 2, 3), 9);
  EXPECT_EQ(PIXEL_AT(PAGE, 3, 3), 4) << "index 0 of the frame leaves the page alone";
  EXPECT_EQ(PIXEL_AT(PAGE, 4, 4), 9);
  EXPECT_EQ(PIXEL_AT(PAGE, 5, 4), 4) << "nothing right of the frame";
  draw2d::free_buffer(PAGE);
}

// ---- bitmaps --------------------------------------------------------------------------------

TEST_F(Image, TileSetCutsWholeTilesRowByRow) {
  IMG.M_FILENAME = NAME(".bmp");
  WRITE_BMP(IMG.M_FILENAME, 100, 50, PATTERN);
  IMG.LOAD_BMP_SET(IMG, 16, 16);
  ASSERT_EQ(IMG.M_MAXINDEX, 17u) << "6 x 3 tiles; the right 4 columns and bottom 2 rows dropped";
  EXPECT_EQ(IMG.M_SIZE, 18u * 130);
  for (uint32_t N = 0; N < 18; ++N) EXPECT_EQ(IMG.P_DATAINDEX[N], N * 130) << "tile " << N;
  const uint8_t* T = IMAGE_FRAME(IMG, 13);  // row 2, column 1
  ASSERT_NE(T, nullptr);
  EXPECT_EQ(draw2d::width_of(T), 16);
  EXPECT_EQ(draw2d::height_of(T), 16);
  EXPECT_EQ(PIXEL_AT(T, 0, 0), PATTERN(16, 32));
  EXPECT_EQ(PIXEL_AT(T, 15, 15), PATTERN(31, 47));
}

TEST_F(Image, OddTilesAreSevenWordsApartAndDoNotOverlap) {
  IMG.M_FILENAME = NAME(".bmp");
  WRITE_BMP(IMG.M_FILENAME, 7, 4, PATTERN);
  IMG.LOAD_BMP_SET(IMG, 3, 3);
  ASSERT_EQ(IMG.M_MAXINDEX, 1u);
  EXPECT_EQ(IMG.P_DATAINDEX[1], 7u);
  EXPECT_EQ(PIXEL_AT(IMAGE_FRAME(IMG, 0), 2, 2), PATTERN(2, 2)) << "the last pixel before the pad";
  EXPECT_EQ(PIXEL_AT(IMAGE_FRAME(IMG, 1), 0, 0), PATTERN(3, 0));
}

TEST_F(Image, TilesThatDoNotFitGiveNoFrame) {
  IMG.M_FILENAME = NAME(".bmp");
  WRITE_BMP(IMG.M_FILENAME, 10, 10, PATTERN);
  for (const auto& [TW, TH] : {std::pair{11, 4}, std::pair{4, 11}, std::pair{0, 4}, std::pair{4, 0},
                              std::pair{-3, 4}, std::pair{4, -1}}) {
    IMG.LOAD_BMP_SET(IMG, TW, TH);
    EXPECT_EQ(IMG.M_MAXINDEX, 0xFFFFFFFFu) << "tile " << TW << " x " << TH;
    EXPECT_EQ(IMG.M_SIZE, 0u);
    EXPECT_EQ(IMAGE_FRAME(IMG, 0), nullptr);
    IMG.DESTROY(IMG);
  }
}

TEST_F(Image, TopDownBitmapLoadsTheRightWayUp) {
  IMG.M_FILENAME = NAME(".bmp");
  WRITE_BMP(IMG.M_FILENAME, 8, 6, PATTERN, /*TOP_DOWN=*/true);
  IMG.LOAD_BMP_SET(IMG, 8, 6);
  ASSERT_EQ(IMG.M_MAXINDEX, 0u) << "the negative height counts as its absolute value";
  EXPECT_EQ(PIXEL_AT(IMAGE_FRAME(IMG, 0), 1, 0), PATTERN(1, 0));
  EXPECT_EQ(PIXEL_AT(IMAGE_FRAME(IMG, 0), 7, 5), PATTERN(7, 5));
}

TEST_F(Image, FrameListCutsFramesFromTheTopStrip) {
  IMG.M_FILENAME = NAME(".sheet.bmp");
  WRITE_BMP(IMG.M_FILENAME, 12, 5, PATTERN);
  const std::string LIST = NAME(".txt");
  EXPECT_EQ(IMAGE_FRAME_LIST_NAME(IMG.M_FILENAME), LIST);
  WRITE_BYTES(LIST, BYTES_OF("200\r\n1\n\"ship, left\",0,2,3,2,10\nright,1,6,4,3,0\n"));
  IMG.LOAD_BMP_SETL(IMG);
  ASSERT_EQ(IMG.M_MAXINDEX, 1u);
  EXPECT_EQ(IMG.M_SIZE, 100u) << "the store holds MAX_ELEMENT bytes";
  EXPECT_EQ(IMG.P_DATAINDEX[0], 10u);
  EXPECT_EQ(IMG.P_DATAINDEX[1], 0u);
  const uint8_t* A = IMAGE_FRAME(IMG, 0);
  ASSERT_NE(A, nullptr);
  EXPECT_EQ(draw2d::width_of(A), 3);
  EXPECT_EQ(PIXEL_AT(A, 0, 0), PATTERN(2, 0)) << "START_OFFSET is the left column, row 0 the top";
  EXPECT_EQ(PIXEL_AT(A, 2, 1), PATTERN(4, 1));
  EXPECT_EQ(PIXEL_AT(IMAGE_FRAME(IMG, 1), 3, 2), PATTERN(9, 2));
}

TEST_F(Image, FrameListValuesOutsideTheBuffersGiveFramesThatDrawNothing) {
  IMG.M_FILENAME = NAME(".bmp");
  WRITE_BMP(IMG.M_FILENAME, 12, 5, PATTERN);
  const char* TEXT =
      "60,5\n"
      "a,0,10,3,2,0\n"     // reaches past the bitmap's right edge
      "b,0,0,3,6,0\n"      // taller than the bitmap
      "c,0,-1,2,2,0\n"     // left of the bitmap
      "d,0,0,4,4,22\n"     // past the 60-byte (30-word) store
      "e,0,zz,2,2,-5\n"    // junk reads 0, negative offset
      "f,0,1,2,2,26\n";    // fits exactly: 26 + 4 words = 30
  WRITE_BYTES(NAME(".txt"), BYTES_OF(TEXT));
  IMG.LOAD_BMP_SETL(IMG);
  ASSERT_EQ(IMG.M_MAXINDEX, 5u);
  for (int N = 0; N < 5; ++N) {
    EXPECT_EQ(IMG.P_DATAINDEX[N], IMAGE_NO_FRAME) << "frame " << N << " is refused";
    EXPECT_EQ(IMAGE_FRAME(IMG, N), nullptr);
  }
  ASSERT_NE(IMAGE_FRAME(IMG, 5), nullptr);
  EXPECT_EQ(PIXEL_AT(IMAGE_FRAME(IMG, 5), 1, 1), PATTERN(2, 1));
}

TEST_F(Image, MissingFrameListGivesNoFrame) {
  IMG.M_FILENAME = NAME(".bmp");
  WRITE_BMP(IMG.M_FILENAME, 4, 4, PATTERN);
  std::remove(NAME(".txt").c_str());
  IMG.LOAD_BMP_SETL(IMG);
  EXPECT_EQ(IMG.M_MAXINDEX, 0xFFFFFFFFu);
  EXPECT_EQ(IMAGE_FRAME(IMG, 0), nullptr);
}

TEST(ImageFrameList, NameIsCutAtTheFirstDot) {
  EXPECT_EQ(IMAGE_FRAME_LIST_NAME("gfx.sheet.bmp"), "gfx.txt");
  EXPECT_EQ(IMAGE_FRAME_LIST_NAME("ship"), "ship.txt") << "a name without a dot keeps all of it";
  EXPECT_EQ(IMAGE_FRAME_LIST_NAME("./gfx.bmp"), ".txt") << "the first dot of the whole name";
}

// ---- the two builds -------------------------------------------------------------------------

TEST_F(Image, SingleFrameBitmapLoad) {
  IMG.M_FILENAME = NAME(".bmp");
  WRITE_BMP(IMG.M_FILENAME, 5, 3, PATTERN);
  IMG.M_MAXINDEX = 77;
  IMG.LOAD_BMP(IMG, 5, 3);
  EXPECT_EQ(IMG.M_SIZE, 10u) << "2 + (5 x 3 + 1) \\ 2 words";
  EXPECT_EQ(IMG.P_DATA[0], 5 * 8 + 1);
  EXPECT_EQ(PIXEL_AT(IMG.P_DATA, 4, 2), PATTERN(4, 2));
  if constexpr (IMAGE_PLAYER_BUILD) {
    EXPECT_EQ(IMG.P_DATAINDEX, nullptr) << "the player's copy builds no index";
    EXPECT_EQ(IMG.M_MAXINDEX, 77u);
  } else {
    ASSERT_NE(IMG.P_DATAINDEX, nullptr);
    EXPECT_EQ(IMG.M_MAXINDEX, 0u) << "the whole bitmap is frame 0";
    EXPECT_NE(IMAGE_FRAME(IMG, 0), nullptr);
  }
}

TEST_F(Image, SecondDestroyHandsNullToTheTrackerOnlyInTheDesigner) {
  LOAD_PUT(FRAME_DATA({SOLID(1, 1, 1)}));
  IMG.DESTROY(IMG);
  TrackerOutput OUT;
  IMG.DESTROY(IMG);
  const std::string TEXT = OUT.TEXT();
  if constexpr (IMAGE_PLAYER_BUILD) {
    EXPECT_EQ(TEXT, "") << "the player's copy skips null pointers";
  } else {
    EXPECT_NE(TEXT.find("image.p_data)"), std::string::npos) << "the designer reports null: " << TEXT;
    EXPECT_NE(TEXT.find("image.p_dataindex"), std::string::npos) << TEXT;
  }
}

TEST_F(Image, UnrepresentableBitmapSizeIsFatalWithExitCodeZero) {
  IMG.M_FILENAME = NAME(".bmp");
  EXPECT_EXIT(IMG.LOAD_BMP(IMG, 9000, 2), ::testing::ExitedWithCode(0), "")
      << "a width whose field cannot be stored is a buffer that cannot be obtained";
}
