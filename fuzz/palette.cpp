// Fuzz target: a ".pal" palette file of any length sets all 256 entries; entries the file
// does not supply in full are black, and every component stays within 0 to 63.
#include <cstring>

#include "draw2d/draw2d.hpp"
#include "fuzz/fuzz_common.hpp"
#include "image/pixbank_image.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* DATA, std::size_t SIZE) {
  for (int I = 0; I < 256; ++I) draw2d::set_palette(I, 0x3F3F3Fu);  // not black beforehand
  INIT_PALETTE_DATA(volley_fuzz::write_file("colours.pal", DATA, SIZE));
  for (int I = 0; I < 256; ++I) {
    uint32_t WANT = 0;  // the file's entry, little-endian; black when it is not there in full
    if (4u * I + 4 <= SIZE) std::memcpy(&WANT, DATA + 4 * I, 4);
    FUZZ_CHECK((draw2d::get_palette(I) & 0x3F3F3Fu) == (WANT & 0x3F3F3Fu), "entry read as stored");
    FUZZ_CHECK(draw2d::palette_rgb(I).R == ((WANT & 0x3F) * 255) / 63, "red scaled from 6 bits");
  }
  return 0;
}
