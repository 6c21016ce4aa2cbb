// Tests of the bitmap font: glyph placement, spacing, centring, clipping, characters without
// a glyph, and the score format.
#include <gtest/gtest.h>

#include <string>

#include "display/draw2d.hpp"
#include "display/font.hpp"
#include "tests/unit/image_test_files.hpp"

using namespace imagetest;

namespace {

// Glyph colour of a character: every test glyph is a solid bar in its own colour.
uint8_t INK(int CODE) { return static_cast<uint8_t>(CODE); }

// A sheet of GLYPHS frames for codes 32 upward: the space is SPACE_W x 1 and transparent, the
// others GLYPH_W x 1 solid in the colour INK(code).
std::string WRITE_FONT(int SPACE_W, int GLYPH_W, int GLYPHS = 95) {
  std::vector<TESTFRAME> FRAMES = {SOLID(SPACE_W, 1, 0)};
  for (int CODE = 33; CODE < 32 + GLYPHS; ++CODE) FRAMES.push_back(SOLID(GLYPH_W, 1, INK(CODE)));
  const auto* INFO = ::testing::UnitTest::GetInstance()->current_test_info();
  const std::string NAME = std::string("font_") + INFO->test_suite_name() + "_" + INFO->name() + ".put";
  WRITE_PUT(NAME, FRAME_DATA(FRAMES));
  return NAME;
}

class Font : public ::testing::Test {
 protected:
  void SetUp() override { PAGE = draw2d::create_buffer(320, 240, 0); }
  void TearDown() override {
    if (FONT.DESTROY) FONT.DESTROY(FONT);
    draw2d::free_buffer(PAGE);
  }
  void LOAD(const std::string& SHEET) {
    FONT.INIT = NFONT::INIT;
    FONT.INIT(FONT);
    FONT.S_IMAGE.M_FILENAME = SHEET;
    FONT.LOAD(FONT);
  }
  // The first column (from X0) on row Y that is not 0, or -1.
  int FIRST_INKED(int Y, int X0 = 0) const {
    for (int X = X0; X < 320; ++X) {
      if (PIXEL_AT(PAGE, X, Y) != 0) return X;
    }
    return -1;
  }
  FONTTYPE FONT{};
  uint8_t* PAGE = nullptr;
};

}  // namespace

TEST_F(Font, InitFillsSlotsAndLoadSetsTheScreenSize) {
  FONT.M_TEXT = "kept";
  FONT.M_X = 9;
  LOAD(WRITE_FONT(8, 8));
  EXPECT_EQ(FONT.INIT, &NFONT::INIT) << "INIT leaves its own slot alone";
  EXPECT_EQ(FONT.M_TEXT, "kept") << "INIT leaves M_TEXT alone";
  EXPECT_EQ(FONT.M_SCREEN_W, 320);
  EXPECT_EQ(FONT.M_SCREEN_H, 240);
  EXPECT_EQ(FONT.M_X, 0) << "LOAD resets the position";
  EXPECT_EQ(FONT.S_IMAGE.M_MAXINDEX, 94u);
  FONT.DESTROY(FONT);
  EXPECT_EQ(FONT.M_TEXT, "") << "DESTROY empties the text";
  EXPECT_EQ(FONT.S_IMAGE.P_DATA, nullptr);
  FONT.DESTROY = nullptr;
}

TEST_F(Font, GlyphsFollowEachOtherAtTheSpacing) {
  LOAD(WRITE_FONT(8, 8));
  FONT.M_TEXT = "AB";
  FONT.M_X = 10;
  FONT.M_Y = 5;
  FONT.DRAW(FONT, PAGE);
  EXPECT_EQ(PIXEL_AT(PAGE, 10, 5), INK('A')) << "A at (10, 5)";
  EXPECT_EQ(PIXEL_AT(PAGE, 17, 5), INK('A'));
  EXPECT_EQ(PIXEL_AT(PAGE, 18, 5), INK('B')) << "B at (18, 5)";
  EXPECT_EQ(PIXEL_AT(PAGE, 26, 5), 0) << "nothing after the last glyph";
  EXPECT_EQ(PIXEL_AT(PAGE, 9, 5), 0);
  EXPECT_EQ(FIRST_INKED(4), -1) << "glyphs are one row high here";
}

TEST_F(Font, SpacingComesFromTheFirstFrameOnly) {
  LOAD(WRITE_FONT(6, 3));
  FONT.M_TEXT = "ABC";
  FONT.DRAW(FONT, PAGE);
  EXPECT_EQ(PIXEL_AT(PAGE, 6, 0), INK('B')) << "a 6-pixel space glyph spaces every character by 6";
  EXPECT_EQ(PIXEL_AT(PAGE, 12, 0), INK('C'));
  EXPECT_EQ(PIXEL_AT(PAGE, 3, 0), 0) << "the 3-pixel glyph leaves a gap";
}

TEST_F(Font, CentredTextStartsAtHalfTheRemainingWidth) {
  LOAD(WRITE_FONT(8, 8));
  FONT.M_X = 77;  // ignored when centred
  FONT.M_CENTERED = -1;
  FONT.M_TEXT = "ABCDE";
  FONT.DRAW(FONT, PAGE);
  EXPECT_EQ(FIRST_INKED(0), 140) << "(320 - 5 x 8) / 2";
  FONT.M_Y = 2;
  FONT.M_TEXT = "AB!";  // 24 px: (320 - 24) / 2 = 148
  FONT.DRAW(FONT, PAGE);
  EXPECT_EQ(FIRST_INKED(2), 148);
}

TEST_F(Font, TextWiderThanThePageStartsLeftOfItAndIsClipped) {
  LOAD(WRITE_FONT(8, 8));
  FONT.M_CENTERED = 1;
  FONT.M_TEXT = std::string("B") + std::string(39, 'A') + "C";  // 41 characters: X = -4
  FONT.DRAW(FONT, PAGE);
  EXPECT_EQ(PIXEL_AT(PAGE, 0, 0), INK('B')) << "the first glyph shows its right half";
  EXPECT_EQ(PIXEL_AT(PAGE, 3, 0), INK('B'));
  EXPECT_EQ(PIXEL_AT(PAGE, 4, 0), INK('A'));
  EXPECT_EQ(PIXEL_AT(PAGE, 319, 0), INK('C')) << "the last glyph starts at 316 and is cut at 319";
  EXPECT_EQ(PIXEL_AT(PAGE, 0, 1), 0) << "nothing wraps onto the next row";
}

TEST_F(Font, OddCentringTruncatesTowardZero) {
  LOAD(WRITE_FONT(7, 7));
  FONT.M_CENTERED = 1;
  FONT.M_TEXT = "A";  // (320 - 7) / 2 = 156.5 -> 156
  FONT.DRAW(FONT, PAGE);
  EXPECT_EQ(FIRST_INKED(0), 156);
  FONT.M_Y = 1;
  FONT.M_TEXT = "B" + std::string(46, 'A');  // (320 - 329) / 2 = -4.5 -> -4, not -5
  FONT.DRAW(FONT, PAGE);
  EXPECT_EQ(PIXEL_AT(PAGE, 2, 1), INK('B')) << "the first glyph covers -4 to 2";
  EXPECT_EQ(PIXEL_AT(PAGE, 3, 1), INK('A'));
}

TEST_F(Font, EmptyTextDrawsNothing) {
  LOAD(WRITE_FONT(8, 8));
  FONT.M_TEXT = "";
  FONT.M_CENTERED = 1;
  FONT.DRAW(FONT, PAGE);
  for (int Y = 0; Y < 240; ++Y) ASSERT_EQ(FIRST_INKED(Y), -1) << "row " << Y;
}

TEST_F(Font, CharactersWithoutAGlyphAreSkippedButKeepTheirPlace) {
  LOAD(WRITE_FONT(8, 8, 40));  // glyphs for 32..71 only
  FONT.M_TEXT = std::string("A\n") + '\xC8' + "Z" + "B";  // newline, code 200, 'Z' (90): no glyph
  FONT.DRAW(FONT, PAGE);
  EXPECT_EQ(PIXEL_AT(PAGE, 0, 0), INK('A'));
  EXPECT_EQ(FIRST_INKED(0, 8), 32) << "three missing glyphs leave a 24-pixel gap before B";
  EXPECT_EQ(PIXEL_AT(PAGE, 32, 0), INK('B'));
}

TEST_F(Font, MissingSheetDrawsNothing) {
  LOAD("font_no_such_sheet.put");
  FONT.M_TEXT = "ABC";
  FONT.DRAW(FONT, PAGE);
  EXPECT_EQ(FIRST_INKED(0), -1);
}

TEST(FontScore, DigitsArePaddedAndGroupedInThrees) {
  EXPECT_EQ(NFONT::SCORE_TEXT("1234567", 9), "001,234,567");
  EXPECT_EQ(NFONT::SCORE_TEXT(" 42 ", 3), "042") << "spaces around the number are trimmed";
  EXPECT_EQ(NFONT::SCORE_TEXT("12345", 4), "0,000") << "a number longer than MAXLEN shows zeros";
  EXPECT_EQ(NFONT::SCORE_TEXT("7", 0), "");
  EXPECT_EQ(NFONT::SCORE_TEXT("7", -3), "") << "a negative length counts as 0";
  EXPECT_EQ(NFONT::SCORE_TEXT("abc", 6), "000,abc") << "the grouping does not look at characters";
  EXPECT_EQ(NFONT::SCORE_TEXT("", 3), "000");
}

TEST_F(Font, ScoreIsDrawnLikeTextAndLeavesMTextAlone) {
  LOAD(WRITE_FONT(8, 8));
  FONT.M_TEXT = "12345";
  FONT.M_X = 0;
  FONT.DRAW_SCORE(FONT, 4, PAGE);  // "0,000"
  EXPECT_EQ(FONT.M_TEXT, "12345");
  EXPECT_EQ(PIXEL_AT(PAGE, 0, 0), INK('0'));
  EXPECT_EQ(PIXEL_AT(PAGE, 8, 0), INK(','));
  EXPECT_EQ(PIXEL_AT(PAGE, 39, 0), INK('0'));
  EXPECT_EQ(PIXEL_AT(PAGE, 40, 0), 0) << "five characters, no more";
  FONT.M_Y = 1;
  FONT.DRAW_SCORE(FONT, 0, PAGE);
  EXPECT_EQ(FIRST_INKED(1), -1) << "MAXLEN 0 draws nothing";
}
