// Tests of the bitmap font: glyph placement, spacing, centring, clipping, characters without
// a glyph and the score format: the texts and the pixels they ink are one reviewed table,
// tests/golden/font_rows.txt. Every test glyph is a solid bar one pixel tall in the colour of
// its code.
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
  // Loads a sheet for codes 32 upward (GLYPHS 0: a missing file): the space W x 1 and
  // transparent, the others W x 1 in the colour of their code. Clears the page.
  void LOAD(int W, int GLYPHS) {
    std::vector<SOLID> FRAMES = {{W, 1, 0}};
    for (int CODE = 33; CODE < 32 + GLYPHS; ++CODE) FRAMES.push_back({W, 1, uint8_t(CODE)});
    WRITE_BYTES(SCRATCH("font.put"), PUT_FILE(FRAMES));
    if (FONT.DESTROY) FONT.DESTROY(FONT);
    NFONT::INIT(FONT);
    FONT.S_IMAGE.M_FILENAME = SCRATCH(GLYPHS > 0 ? "font.put" : "missing.put");
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
  // "W GLYPHS X TEXT": X is the left edge, "centred" (M_X ignored) or "scoreN" (TEXT drawn as a
  // score of N places, which is shown quoted); \xHH in TEXT is the byte HH.
  std::string OUTCOME(const std::string& LINE) {
    std::istringstream IN(LINE);
    int W = 0, GLYPHS = 0;
    std::string X, TEXT;
    IN >> W >> GLYPHS >> X;
    std::getline(IN.ignore(1), TEXT);
    for (std::size_t P; (P = TEXT.find("\\x")) != TEXT.npos;)
      TEXT.replace(P, 4, 1, char(std::stoi(TEXT.substr(P + 2, 2), nullptr, 16)));
    LOAD(W, GLYPHS);
    const int SCORE = X.starts_with("score") ? std::stoi(X.substr(5)) : INT32_MIN;
    FONT.M_CENTERED = X == "centred" ? -1 : 0;
    FONT.M_X = X == "centred" ? 77 : SCORE != INT32_MIN ? 0 : std::stoi(X);
    FONT.M_TEXT = TEXT;
    if (SCORE != INT32_MIN) FONT.DRAW_SCORE(FONT, SCORE, PAGE);
    else FONT.DRAW(FONT, PAGE);
    std::string OUT = SCORE != INT32_MIN ? "'" + NFONT::SCORE_TEXT(TEXT, SCORE) + "' " : "";
    OUT += RUNS().empty() ? "nothing" : RUNS().substr(1);
    return OUT + (FONT.M_TEXT == TEXT ? "" : ", the text changed");
  }
  FONTTYPE FONT{};
  uint8_t* PAGE = draw2d::create_buffer(320, 240, 0);
};

TEST_F(Font, TextsDrawAsTheTableSays) {
  volley_test::EXPECT_GOLDEN_TABLE("font_rows.txt",
                                   [this](const std::string& LINE) { return OUTCOME(LINE); });
}
