// assetgen glyphs: Volley's own small bitmap typeface, characters 32 to 126.
// Each glyph is 4 pixels wide and 6 rows high: rows 0-4 hold capitals and digits, row 5 the
// descenders. One hex digit per row; bit 3 is the leftmost column.
#pragma once

namespace assetgen {

inline constexpr int GLYPH_COLUMNS = 4;
inline constexpr int GLYPH_ROWS = 6;

inline constexpr const char* GLYPHS[95] = {
    "000000", "444040", "AA0000", "AFAFA0", "7C63E0", "912490", "4A4A50", "440000",  //  !"#$%&'
    "244420", "422240", "0A4A00", "04E400", "000448", "00E000", "000040", "112480",  // ()*+,-./
    "69BD60", "4C44E0", "E168F0", "E161E0", "26AF20", "F8E1E0", "68E960", "F12440",  // 01234567
    "696960", "697160", "040400", "040448", "248420", "0E0E00", "842480", "E16040",  // 89:;<=>?
    "69B870", "69F990", "E9E9E0", "788870", "E999E0", "F8E8F0", "F8E880", "78B970",  // @ABCDEFG
    "99F990", "E444E0", "111960", "9ACA90", "8888F0", "9FF990", "9DB990", "699960",  // HIJKLMNO
    "E9E880", "699A50", "E9EA90", "7861E0", "E44440", "999960", "AAAA40", "99FF90",  // PQRSTUVW
    "996990", "AA4440", "F248F0", "644460", "884210", "622260", "4A0000", "00000F",  // XYZ[\]^_
    "420000", "079970", "8E99E0", "078870", "179970", "06F870", "34E440", "079716",  // `abcdefg
    "8E9990", "40C4E0", "20222C", "89EA90", "C444E0", "000000", "0E9990", "069960",  // hijklmno (m: wide)
    "0E99E8", "079971", "0BC880", "07C3E0", "4E4430", "099970", "0AAA40", "000000",  // pqrstuvw (w: wide)
    "096690", "099716", "0F24F0", "24C420", "444440", "423240", "05A000",            // xyz{|}~
};

// Lower-case m and w need three strokes, which four columns cannot hold apart: they also use
// the gap column (column 4), one row per string, leftmost column first.
inline constexpr const char* WIDE_M[GLYPH_ROWS] = {"00000", "11010", "10101", "10101", "10101", "00000"};
inline constexpr const char* WIDE_W[GLYPH_ROWS] = {"00000", "10001", "10101", "10101", "01010", "00000"};

/// True when pixel (X, Y) of the glyph of CODE (32..126) is set.
inline bool GLYPH_BIT(int CODE, int X, int Y) {
  if (Y < 0 || Y >= GLYPH_ROWS || X < 0) return false;
  if ((CODE == 'm' || CODE == 'w') && X <= GLYPH_COLUMNS) {
    return (CODE == 'm' ? WIDE_M : WIDE_W)[Y][X] == '1';
  }
  if (CODE < 32 || CODE > 126 || X >= GLYPH_COLUMNS) return false;
  const char C = GLYPHS[CODE - 32][Y];
  const int V = C >= 'A' ? C - 'A' + 10 : C - '0';
  return (V >> (3 - X)) & 1;
}

}  // namespace assetgen
