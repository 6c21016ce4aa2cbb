// font (namespace NFONT): fixed-width text and comma-grouped scores for the designer,
// drawn as transparent blits of the glyphs of a sprite sheet (frame n = character 32 + n).
#pragma once

#include <cstdint>
#include <string>

#include "image/pixbank_image.hpp"

namespace NFONT {

/// A font. The owner zero-fills it, stores NFONT::INIT in INIT and calls it, sets
/// S_IMAGE.M_FILENAME, calls LOAD; sets M_TEXT, M_X, M_Y, M_CENTERED and calls DRAW as often
/// as it likes; calls DESTROY. The font owns its glyph sheet S_IMAGE.
struct FONTTYPE {
  int32_t M_SCREEN_W;   ///< 320 after LOAD; not read
  int32_t M_SCREEN_H;   ///< 240 after LOAD; not read
  int32_t M_X;          ///< left edge of the first glyph
  int32_t M_Y;          ///< top edge of the glyphs
  std::string M_TEXT;   ///< the text to draw
  int32_t M_CENTERED;   ///< nonzero: centred on the 320-pixel page, M_X ignored
  int32_t M_DRAW_MODE;  ///< 0; not read (glyphs are always transparent)
  IMAGETYPE S_IMAGE;    ///< the glyph sheet (owned)
  void (*INIT)(FONTTYPE& FONT);
  void (*LOAD)(FONTTYPE& FONT);
  void (*DRAW)(FONTTYPE& FONT, void* VPAGE);
  void (*DRAW_SCORE)(FONTTYPE& FONT, int32_t MAXLEN, void* VPAGE);
  void (*DESTROY)(FONTTYPE& FONT);
};

/// Zeroes the position and mode fields, prepares the glyph sheet (empty name, IMAGE_INIT) and
/// fills the slots LOAD to DESTROY. Leaves the INIT slot and M_TEXT alone.
void INIT(FONTTYPE& FONT);

/// Sets the screen size fields and zeroes the position, then loads S_IMAGE.M_FILENAME.
void FONT_LOAD(FONTTYPE& FONT);

/// Draws M_TEXT onto the image buffer VPAGE (borrowed): glyph after glyph, the pen advancing
/// by the width of the sheet's first frame. Centred text starts at (320 - length x spacing) / 2
/// truncated toward zero. Characters without a glyph are skipped but still advance the pen.
void FONT_DRAW(FONTTYPE& FONT, void* VPAGE);

/// Draws M_TEXT as a score of MAXLEN digits: trimmed, right-aligned over MAXLEN zeros (all
/// zeros when longer), commas between groups of three from the right. M_TEXT is not changed.
/// MAXLEN 0 or less draws nothing.
void FONT_DRAW_SCORE(FONTTYPE& FONT, int32_t MAXLEN, void* VPAGE);

/// Releases the glyph sheet and empties M_TEXT.
void DESTROY(FONTTYPE& FONT);

/// The text FONT_DRAW_SCORE draws for TEXT and MAXLEN ("1234567", 9 gives "001,234,567").
std::string SCORE_TEXT(const std::string& TEXT, int32_t MAXLEN);

}  // namespace NFONT

using NFONT::FONTTYPE;
