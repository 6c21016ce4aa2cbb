// Fuzz target: an 8-bit bitmap through the three bitmap loaders, with its frame list.
// Input: [0] loader (0 single frame, 1 tiles, 2 frame list), [1] [2] tile width and height,
// [3..4] [5..6] frame width and height for the single-frame loader (signed 16-bit),
// [7..8] length L of the frame list, L bytes of frame list text, then the bitmap file.
// Every frame the sheet indexes must lie inside its store and is drawn.
#include <cstdlib>
#include <cstring>

#include "draw2d/draw2d.hpp"
#include "fuzz/fuzz_common.hpp"
#include "image/pixbank_image.hpp"
#include "leakscope/leakscope.hpp"

namespace {

constexpr std::size_t HEAD = 9;
// A bitmap larger than this is refused by the fuzzer: the loaders' failing allocations end
// the program (a console line and exit), which is the intended fatal path, not a fault.
constexpr int64_t MAX_PIXELS = int64_t{1} << 22;

int64_t LE16(const uint8_t* P) { return static_cast<int64_t>(P[0] | P[1] << 8); }
int64_t LE32S(const uint8_t* P) {
  return static_cast<int32_t>(static_cast<uint32_t>(P[0]) | static_cast<uint32_t>(P[1]) << 8 |
                              static_cast<uint32_t>(P[2]) << 16 |
                              static_cast<uint32_t>(P[3]) << 24);
}

// True when neither the module's reading of the header (32-bit width and height at 18 and 22)
// nor the decoder's (16-bit for the 12-byte core header) asks for a huge image.
bool SIZE_IS_MODEST(const uint8_t* BMP, std::size_t SIZE) {
  if (SIZE < 26) return true;
  const int64_t W32 = std::llabs(LE32S(BMP + 18)), H32 = std::llabs(LE32S(BMP + 22));
  const int64_t W16 = LE16(BMP + 18), H16 = LE16(BMP + 20);
  const bool MODULE_OK = W32 > draw2d::MAX_BUFFER_WIDTH || H32 > draw2d::MAX_BUFFER_HEIGHT ||
                         W32 * H32 <= MAX_PIXELS;
  return MODULE_OK && W16 * H16 <= MAX_PIXELS && W32 <= 1 << 20 && H32 <= 1 << 20;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* DATA, std::size_t SIZE) {
  uint8_t H[HEAD] = {};
  std::memcpy(H, DATA, SIZE < HEAD ? SIZE : HEAD);
  const std::size_t REST = SIZE > HEAD ? SIZE - HEAD : 0;
  const std::size_t LIST_LEN = std::min<std::size_t>(static_cast<std::size_t>(LE16(H + 7)), REST);
  const uint8_t* LIST = DATA + HEAD;
  const uint8_t* BMP = LIST + LIST_LEN;
  const std::size_t BMP_LEN = REST - LIST_LEN;
  if (!SIZE_IS_MODEST(BMP, BMP_LEN)) return 0;
  const int LOADER = H[0] % 3;
  const int32_t WID = static_cast<int16_t>(LE16(H + 3)) % 2049;
  const int32_t HEI = static_cast<int16_t>(LE16(H + 5)) % 2049;

  const std::size_t BLOCKS = LEAKSCOPE_COUNT();
  // The frame list is named after the bitmap: "strip.bmp" reads "strip.txt".
  volley_fuzz::write_file("strip.txt", LIST, LIST_LEN);
  IMAGETYPE IMAGE{};
  IMAGE.INIT = IMAGE_INIT;
  IMAGE.INIT(IMAGE);
  IMAGE.M_FILENAME = volley_fuzz::write_file("strip.bmp", BMP, BMP_LEN);
  if (LOADER == 0) {
    IMAGE.LOAD_BMP(IMAGE, WID, HEI);
  } else if (LOADER == 1) {
    IMAGE.LOAD_BMP_SET(IMAGE, H[1], H[2]);
  } else {
    IMAGE.LOAD_BMP_SETL(IMAGE);
  }

  uint8_t* PAGE = draw2d::create_buffer(320, 240, 0);
  FUZZ_CHECK(PAGE != nullptr, "page");
  const uint32_t COUNT = IMAGE_FRAME_COUNT(IMAGE);
  for (uint32_t N = 0; N < COUNT; ++N) {
    const uint8_t* FRAME = IMAGE_FRAME(IMAGE, N);
    const uint32_t AT = IMAGE.P_DATAINDEX[N];
    if (AT == IMAGE_NO_FRAME) {
      FUZZ_CHECK(FRAME == nullptr, "a frame marked missing gives no buffer");
      continue;
    }
    // Tile sheets and single frames index only whole frames inside the store.
    if (LOADER != 2) FUZZ_CHECK(FRAME != nullptr, "an indexed tile lies inside the store");
    if (FRAME != nullptr) draw2d::blit(PAGE, 1.0f, 1.0f, FRAME, draw2d::Blit::TRANSPARENT);
  }
  draw2d::free_buffer(PAGE);
  IMAGE.DESTROY(IMAGE);
  // The designer's copy reports a null pointer to the tracker; that costs no block.
  FUZZ_CHECK(LEAKSCOPE_COUNT() == BLOCKS, "DESTROY returns every block of the load");
  return 0;
}
