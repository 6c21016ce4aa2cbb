// Fuzz target: an 8-bit bitmap through the three bitmap loaders, with its frame list.
// Input: [0] loader (0 single frame, 1 tiles, 2 frame list), [1] [2] tile width and height,
// [3..4] [5..6] frame width and height for the single-frame loader (signed 16-bit),
// [7..8] length L of the frame list, L bytes of frame list text, then the bitmap file.
// Every frame the sheet indexes must lie inside its store (a frame list may place frames
// outside: they give no buffer) and is drawn; DESTROY returns every block.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "draw2d/draw2d.hpp"
#include "fuzz/image_frames.hpp"
#include "image/pixbank_image.hpp"

namespace {

constexpr std::size_t HEAD = 9;
// A bitmap larger than this is refused by the fuzzer: the loaders' failing allocations end
// the program (a console line and exit), which is the intended fatal path, not a fault.
constexpr int64_t MAX_PIXELS = int64_t{1} << 22;

// The little-endian integer of type T at P.
template <class T>
int64_t LE(const uint8_t* P) {
  T V;
  std::memcpy(&V, P, sizeof V);
  return V;
}

// True when neither the module's reading of the header (32-bit width and height at 18 and 22)
// nor the decoder's (16-bit for the 12-byte core header) asks for a huge image.
bool SIZE_IS_MODEST(const uint8_t* BMP, std::size_t SIZE) {
  if (SIZE < 26) return true;
  const int64_t W32 = std::llabs(LE<int32_t>(BMP + 18)), H32 = std::llabs(LE<int32_t>(BMP + 22));
  const bool MODULE_OK = W32 > draw2d::MAX_BUFFER_WIDTH || H32 > draw2d::MAX_BUFFER_HEIGHT ||
                         W32 * H32 <= MAX_PIXELS;
  return MODULE_OK && LE<uint16_t>(BMP + 18) * LE<uint16_t>(BMP + 20) <= MAX_PIXELS &&
         W32 <= 1 << 20 && H32 <= 1 << 20;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* DATA, std::size_t SIZE) {
  if (SIZE < HEAD) return 0;
  const std::size_t LIST_LEN = std::min<std::size_t>(LE<uint16_t>(DATA + 7), SIZE - HEAD);
  const uint8_t* BMP = DATA + HEAD + LIST_LEN;
  if (!SIZE_IS_MODEST(BMP, SIZE - HEAD - LIST_LEN)) return 0;
  const volley_fuzz::SameBlocks BLOCKS;
  // The frame list is named after the bitmap: "strip.bmp" reads "strip.txt".
  volley_fuzz::write_file("strip.txt", DATA + HEAD, LIST_LEN);
  IMAGETYPE IMAGE{};
  IMAGE.INIT = IMAGE_INIT;
  IMAGE.INIT(IMAGE);
  IMAGE.M_FILENAME = volley_fuzz::write_file("strip.bmp", BMP, SIZE - HEAD - LIST_LEN);
  const int LOADER = DATA[0] % 3;
  const int64_t WID = LE<int16_t>(DATA + 3) % 2049, HEI = LE<int16_t>(DATA + 5) % 2049;
  if (LOADER == 0) IMAGE.LOAD_BMP(IMAGE, WID, HEI);
  if (LOADER == 1) IMAGE.LOAD_BMP_SET(IMAGE, DATA[1], DATA[2]);
  if (LOADER == 2) IMAGE.LOAD_BMP_SETL(IMAGE);
  volley_fuzz::check_frames(IMAGE, LOADER == 2);
  IMAGE.DESTROY(IMAGE);  // the designer's copy reports a null pointer: that costs no block
  return 0;
}
