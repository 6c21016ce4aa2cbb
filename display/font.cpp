// font (namespace NFONT): fixed-width text and comma-grouped scores for the designer.
#include "display/font.hpp"

#include "draw2d/draw2d.hpp"

namespace NFONT {

namespace {

constexpr int32_t PAGE_WIDTH = 320;

std::string TRIM_SPACES(const std::string& S) {
  const std::size_t FIRST = S.find_first_not_of(' ');
  if (FIRST == std::string::npos) return "";
  const std::size_t LAST = S.find_last_not_of(' ');
  return S.substr(FIRST, LAST - FIRST + 1);
}

// Draws TEXT as FONT_DRAW draws M_TEXT.
void DRAW_TEXT(const FONTTYPE& FONT, const std::string& TEXT, void* VPAGE) {
  const IMAGETYPE& SHEET = FONT.S_IMAGE;
  // Spacing: the width of the frame that starts the frame store (0 for an empty sheet).
  const int64_t SPACING = SHEET.P_DATA && SHEET.M_SIZE > 0 ? SHEET.P_DATA[0] / 8 : 0;
  const int64_t Y = FONT.M_Y;
  // Centred text starts at (320 - length x spacing) / 2, truncated toward zero.
  int64_t X = FONT.M_CENTERED == 0
                  ? FONT.M_X
                  : (PAGE_WIDTH - static_cast<int64_t>(TEXT.size()) * SPACING) / 2;
  for (const char C : TEXT) {
    // CHOICE: a character without a glyph (below 32 or beyond the sheet) draws nothing and the
    // pen still advances, so a text keeps its fixed width and its centring.
    // Pinned by Font.TextsDrawAsTheTableSays.
    const int64_t GLYPH = static_cast<int64_t>(static_cast<unsigned char>(C)) - 32;
    if (const uint8_t* FRAME = IMAGE_FRAME(SHEET, GLYPH)) {
      draw2d::blit(VPAGE, static_cast<float>(X), static_cast<float>(Y), FRAME,
                   draw2d::Blit::TRANSPARENT);
    }
    X += SPACING;
  }
}

}  // namespace

void INIT(FONTTYPE& FONT) {
  FONT.M_SCREEN_W = 0;
  FONT.M_SCREEN_H = 0;
  FONT.M_X = 0;
  FONT.M_Y = 0;
  FONT.M_CENTERED = 0;
  FONT.M_DRAW_MODE = 0;
  FONT.S_IMAGE.M_FILENAME = "";
  FONT.S_IMAGE.INIT = IMAGE_INIT;
  FONT.S_IMAGE.INIT(FONT.S_IMAGE);
  FONT.LOAD = FONT_LOAD;
  FONT.DRAW = FONT_DRAW;
  FONT.DRAW_SCORE = FONT_DRAW_SCORE;
  FONT.DESTROY = DESTROY;
}

void FONT_LOAD(FONTTYPE& FONT) {
  FONT.M_SCREEN_W = 320;
  FONT.M_SCREEN_H = 240;
  FONT.M_X = 0;
  FONT.M_Y = 0;
  FONT.M_CENTERED = 0;
  FONT.M_DRAW_MODE = 0;
  FONT.S_IMAGE.LOAD(FONT.S_IMAGE);
}

void FONT_DRAW(FONTTYPE& FONT, void* VPAGE) { DRAW_TEXT(FONT, FONT.M_TEXT, VPAGE); }

std::string SCORE_TEXT(const std::string& TEXT, int32_t MAXLEN) {
  // CHOICE: a negative MAXLEN counts as 0 (nothing is drawn).
  // Pinned by Font.TextsDrawAsTheTableSays.
  const std::size_t LEN = MAXLEN > 0 ? static_cast<std::size_t>(MAXLEN) : 0;
  std::string DIGITS(LEN, '0');
  // The number is right-aligned over the zeros; a longer number leaves them all zeros.
  const std::string NUMBER = TRIM_SPACES(TEXT);
  if (NUMBER.size() <= LEN) DIGITS.replace(LEN - NUMBER.size(), NUMBER.size(), NUMBER);
  // A comma after every character with 3, 6, 9, ... characters to its right. The result
  // needs no trimming: it starts and ends with a zero or with the trimmed number's own ends.
  std::string GROUPED;
  for (std::size_t I = 0; I < LEN; ++I) {
    GROUPED.push_back(DIGITS[I]);
    const std::size_t RIGHT = LEN - 1 - I;
    if (RIGHT > 0 && RIGHT % 3 == 0) GROUPED.push_back(',');
  }
  return GROUPED;
}

void FONT_DRAW_SCORE(FONTTYPE& FONT, int32_t MAXLEN, void* VPAGE) {
  DRAW_TEXT(FONT, SCORE_TEXT(FONT.M_TEXT, MAXLEN), VPAGE);
}

void DESTROY(FONTTYPE& FONT) {
  FONT.S_IMAGE.DESTROY(FONT.S_IMAGE);
  FONT.M_TEXT = "";
}

}  // namespace NFONT
