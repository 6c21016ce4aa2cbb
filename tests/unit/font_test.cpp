// Tests of the bitmap font: glyph placement, spacing, centring, clipping, characters without
// a glyph, and the score format. Every test glyph is a solid bar in the colour of its code.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "display/font.hpp"
#include "tests/unit/image_test_files.hpp"

using namespace imagetest;

class Font : public ::testing::Test {
 protected:
  ~Font() override { if (FONT.DESTROY) FONT.DESTROY(FONT); draw2d::free_buffer(PAGE); }
  // Loads a sheet for codes 32 upward (no file when GLYPHS is 0): the space SPACE_W x 1 and
  // transparent, the others GLYPH_W x 1 in the colour of their code. Clears the page.
  void LOAD(int SPACE_W, int GLYPH_W, int GLYPHS = 95) {
    std::vector<SOLID> FRAMES = {{SPACE_W, 1, 0}};
    for (int CODE = 33; CODE < 32 + GLYPHS; ++CODE) FRAMES.push_back({GLYPH_W, 1, uint8_t(CODE)});
    std::remove(SCRATCH("font.put").c_str());
    if (GLYPHS > 0) WRITE_PUT(SCRATCH("font.put"), FRAME_DATA(FRAMES));
    if (FONT.DESTROY) FONT.DESTROY(FONT);
    FONT = FONTTYPE{};
    FONT.INIT = NFONT::INIT;
    FONT.INIT(FONT);
    FONT.S_IMAGE.M_FILENAME = SCRATCH("font.put");
    FONT.LOAD(FONT);
    std::fill(PAGE + 4, PAGE + 4 + 320 * 240, 0);
  }
  // The first column from X0 on row Y that is not 0, or -1.
  int FIRST_INKED(int Y, int X0 = 0) const {
    for (int X = X0; X < 320; ++X) if (PIXEL_AT(PAGE, X, Y) != 0) return X;
    return -1;
  }
  void DRAW(const std::string& TEXT) { FONT.M_TEXT = TEXT; FONT.DRAW(FONT, PAGE); }
  FONTTYPE FONT{};
  uint8_t* PAGE = draw2d::create_buffer(320, 240, 0);
};

TEST_F(Font, CentringTruncatesTowardZeroAndClipsAtBothEdges) {
  const struct { int W, LEN, X; } CASES[] = {{8, 3, 148}, {8, 41, -4}, {7, 47, -4}};
  for (const auto& C : CASES) {
    SCOPED_TRACE(std::to_string(C.LEN) + " glyphs " + std::to_string(C.W) + " wide start at " +
                 std::to_string(C.X));
    LOAD(C.W, C.W);
    FONT.M_X = 77;  // ignored when centred
    FONT.M_CENTERED = -1;
    DRAW(C.LEN == 1 ? "B" : "B" + std::string(C.LEN - 2, 'A') + "C");  // 7 x 47: -4.5 starts at -4
    EXPECT_EQ(FIRST_INKED(0), std::max(C.X, 0));
    EXPECT_EQ(PIXEL_AT(PAGE, C.X + C.W - 1, 0), 'B') << "the first glyph's last column";
    EXPECT_EQ(PIXEL_AT(PAGE, 319, 0), C.X + C.W * C.LEN > 320 ? 'C' : 0)
        << "the last glyph is cut at 319";
    EXPECT_EQ(FIRST_INKED(1), -1) << "nothing wraps onto the next row";
  }
}

TEST_F(Font, EmptyTextMissingGlyphsAndAMissingSheetDrawNothing) {
  LOAD(8, 8, 40);  // glyphs for 32..71 only
  FONT.M_CENTERED = 1;
  DRAW("");
  EXPECT_EQ(FIRST_INKED(0), -1) << "empty text draws nothing";
  FONT.M_CENTERED = 0;
  DRAW(std::string("A\n") + '\xC8' + "ZB");  // newline, code 200, 'Z' (90): no glyph
  EXPECT_EQ(PIXEL_AT(PAGE, 0, 0), 'A');
  EXPECT_EQ(FIRST_INKED(0, 8), 32) << "three missing glyphs leave a 24-pixel gap before B";
  EXPECT_EQ(PIXEL_AT(PAGE, 32, 0), 'B');
  LOAD(8, 8, 0);
  DRAW("ABC");
  EXPECT_EQ(FIRST_INKED(0), -1) << "a font without a sheet draws nothing";
}

TEST_F(Font, ScoreIsPaddedGroupedInThreesAndDrawnLikeText) {
  const struct { const char *TEXT, *SHOWN, *WHY; int MAXLEN; } CASES[] = {
      {"1234567", "001,234,567", "zeros in front, a comma every three digits", 9},
      {" 42 ", "042", "spaces around the number are trimmed", 3},
      {"12345", "0,000", "a number longer than MAXLEN shows zeros", 4},
      {"7", "", "a negative length counts as 0", -3}};
  for (const auto& C : CASES) EXPECT_EQ(NFONT::SCORE_TEXT(C.TEXT, C.MAXLEN), C.SHOWN) << C.WHY;
  LOAD(8, 8);
  FONT.M_TEXT = "12345";
  FONT.DRAW_SCORE(FONT, 4, PAGE);  // "0,000"
  EXPECT_EQ(FONT.M_TEXT, "12345") << "drawing the score leaves M_TEXT alone";
  EXPECT_EQ(PIXEL_AT(PAGE, 8, 0), ',') << "the score is drawn like text";
  EXPECT_EQ(FIRST_INKED(0, 40), -1) << "five characters, no more";
}
