// Tests of the bitmap font: glyph placement, spacing, centring, clipping, characters without
// a glyph (the texts and the pixels they ink are tests/golden/font_rows.txt), and the score
// format. Every test glyph is a solid bar one pixel tall in the colour of its code.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>

#include "display/font.hpp"
#include "tests/unit/golden.hpp"
#include "tests/unit/image_test_files.hpp"

using namespace imagetest;

class Font : public ::testing::Test {
 protected:
  ~Font() override {
    if (FONT.DESTROY) FONT.DESTROY(FONT);
    draw2d::free_buffer(PAGE);
  }
  // Loads a sheet for codes 32 upward (no file when GLYPHS is 0): the space W x 1 and
  // transparent, the others W x 1 in the colour of their code. Clears the page.
  void LOAD(int W, int GLYPHS) {
    std::vector<SOLID> FRAMES = {{W, 1, 0}};
    for (int CODE = 33; CODE < 32 + GLYPHS; ++CODE) FRAMES.push_back({W, 1, uint8_t(CODE)});
    std::remove(SCRATCH("font.put").c_str());
    if (GLYPHS > 0) WRITE_PUT(SCRATCH("font.put"), FRAME_DATA(FRAMES));
    if (FONT.DESTROY) FONT.DESTROY(FONT);
    FONT = FONTTYPE{};
    NFONT::INIT(FONT);
    FONT.S_IMAGE.M_FILENAME = SCRATCH("font.put");
    FONT.LOAD(FONT);
    std::fill(PAGE + 4, PAGE + 4 + 320 * 240, 0);
  }
  // The runs of one colour on the page: FIRST-LAST:COLOUR (as a character: a glyph's code),
  // with @ROW when the row is not 0.
  std::string RUNS() const {
    std::ostringstream S;
    for (int Y = 0; Y < 240; ++Y) {
      for (int X = 0, END = 0; X < 320; X = END + 1) {
        const uint8_t C = PIXEL_AT(PAGE, X, Y);
        for (END = X; END + 1 < 320 && PIXEL_AT(PAGE, END + 1, Y) == C;) ++END;
        if (C) S << " " << X << "-" << END << (Y ? "@" + std::to_string(Y) : "") << ":" << C;
      }
    }
    return S.str();
  }
  // "W GLYPHS X TEXT" (X "centred": on the page, M_X ignored; \xHH in TEXT is the byte HH).
  std::string OUTCOME(const std::string& LINE) {
    std::istringstream IN(LINE);
    int W = 0, GLYPHS = 0;
    std::string X, TEXT;
    IN >> W >> GLYPHS >> X;
    std::getline(IN.ignore(1), TEXT);
    for (std::size_t P; (P = TEXT.find("\\x")) != TEXT.npos;)
      TEXT.replace(P, 4, 1, char(std::stoi(TEXT.substr(P + 2, 2), nullptr, 16)));
    LOAD(W, GLYPHS);
    FONT.M_CENTERED = X == "centred" ? -1 : 0;
    FONT.M_X = X == "centred" ? 77 : std::stoi(X);
    FONT.M_TEXT = TEXT;
    FONT.DRAW(FONT, PAGE);
    return RUNS().empty() ? "nothing" : RUNS().substr(1);
  }
  FONTTYPE FONT{};
  uint8_t* PAGE = draw2d::create_buffer(320, 240, 0);
};

TEST_F(Font, TextsDrawAsTheTableSays) {
  volley_test::EXPECT_GOLDEN_TABLE("font_rows.txt",
                                   [this](const std::string& LINE) { return OUTCOME(LINE); });
}

TEST_F(Font, ScoreIsPaddedGroupedInThreesAndDrawnLikeText) {
  const struct { const char *TEXT, *SHOWN, *WHY; int MAXLEN; } CASES[] = {
      {"1234567", "001,234,567", "zeros in front, a comma every three digits", 9},
      {" 42 ", "042", "spaces around the number are trimmed", 3},
      {"12345", "0,000", "a number longer than MAXLEN shows zeros", 4},
      {"7", "", "a negative length counts as 0", -3}};
  for (const auto& C : CASES) EXPECT_EQ(NFONT::SCORE_TEXT(C.TEXT, C.MAXLEN), C.SHOWN) << C.WHY;
  LOAD(8, 95);
  FONT.M_TEXT = "12345";
  FONT.DRAW_SCORE(FONT, 4, PAGE);
  EXPECT_EQ(FONT.M_TEXT, "12345") << "drawing the score leaves M_TEXT alone";
  EXPECT_EQ(RUNS(), " 0-7:0 8-15:, 16-39:0") << "the score \"0,000\" is drawn like text";
}
