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
    const std::size_t AT = static_cast<std::size_t>(I) * 4;
    uint32_t WANT = 0;
    if (AT + 4 <= SIZE) {
      WANT = static_cast<uint32_t>(DATA[AT]) | static_cast<uint32_t>(DATA[AT + 1]) << 8 |
             static_cast<uint32_t>(DATA[AT + 2]) << 16 | static_cast<uint32_t>(DATA[AT + 3]) << 24;
    }
    const uint32_t GOT = draw2d::get_palette(I);
    FUZZ_CHECK((GOT & 0x3F3F3Fu) == (WANT & 0x3F3F3Fu), "entry read as stored, little-endian");
    const draw2d::Rgb C = draw2d::palette_rgb(I);
    FUZZ_CHECK(C.R == ((WANT & 0x3F) * 255) / 63, "red scaled from 6 bits");
  }
  return 0;
}
