// volley_contact_sheet: one PNG showing every frame of the generated sheets and fonts, each
// with the palette it is shown with, scaled up so that a person can check the artwork.
// Usage: volley_contact_sheet <asset directory> <output.png> [scale, default 4]
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "draw2d/draw2d.hpp"
#include "harness/image_writers.hpp"
#include "image/pixbank_image.hpp"
#include "leakscope/leakscope.hpp"

namespace {

constexpr int CELL = 12;     // pixels per cell side, before scaling (frames are at most 11)
constexpr int COLUMNS = 16;  // cells per row

struct SECTION {
  const char* SHEET;
  const char* PALETTE;
};

constexpr SECTION SECTIONS[] = {{"kv_bullet.put", "korvane.pal"},
                                {"bullet.put", "qz.pal"},
                                {"tiny_font.put", "korvane.pal"},
                                {"qzfntdg.put", "korvane.pal"}};

}  // namespace

int main(int argc, char** argv) {
  LEAKSCOPE_SET_EXIT_WAIT(false);
  if (argc < 3) {
    std::fprintf(stderr, "usage: volley_contact_sheet <asset directory> <output.png> [scale]\n");
    return 2;
  }
  const std::string DIR = std::string(argv[1]) + "/";
  const int SCALE = argc > 3 ? std::max(1, std::atoi(argv[3])) : 4;

  // Load every sheet first: the picture's height follows from the frame counts.
  IMAGETYPE SHEETS[std::size(SECTIONS)] = {};
  int ROWS = 0;
  for (std::size_t S = 0; S < std::size(SECTIONS); ++S) {
    SHEETS[S].INIT = IMAGE_INIT;
    SHEETS[S].INIT(SHEETS[S]);
    SHEETS[S].M_FILENAME = DIR + SECTIONS[S].SHEET;
    SHEETS[S].LOAD(SHEETS[S]);
    ROWS += (static_cast<int>(IMAGE_FRAME_COUNT(SHEETS[S])) + COLUMNS - 1) / COLUMNS;
    if (S > 0) ++ROWS;  // an empty row between sheets
  }
  const int W = COLUMNS * CELL * SCALE, H = ROWS * CELL * SCALE;
  // Gutters dark slate; each frame's own rectangle black (its transparent index).
  using harness::Colour;
  static_assert(sizeof(Colour) == 3, "rows are handed to the PNG writer as RGB bytes");
  std::vector<Colour> PIXELS(static_cast<std::size_t>(W) * H, Colour{36, 38, 52});
  int ROW = 0;
  for (std::size_t S = 0; S < std::size(SECTIONS); ++S) {
    // The palette file as the library loads and shows it (6-bit components scaled to 8).
    INIT_PALETTE_DATA(DIR + SECTIONS[S].PALETTE);
    const harness::Palette PAL = harness::current_palette();
    const int COUNT = static_cast<int>(IMAGE_FRAME_COUNT(SHEETS[S]));
    for (int N = 0; N < COUNT; ++N) {
      const uint8_t* FRAME = IMAGE_FRAME(SHEETS[S], N);
      if (!FRAME) continue;
      const int FW = draw2d::width_of(FRAME), FH = draw2d::height_of(FRAME);
      const int X0 = (N % COLUMNS) * CELL, Y0 = (ROW + N / COLUMNS) * CELL;
      for (int Y = 0; Y < FH && Y < CELL; ++Y) {
        for (int X = 0; X < FW && X < CELL; ++X) {
          const uint8_t INDEX = FRAME[draw2d::HEADER_BYTES + static_cast<std::size_t>(Y) * FW + X];
          const Colour C = INDEX == 0 ? Colour{0, 0, 0} : PAL[INDEX];
          for (int SY = 0; SY < SCALE; ++SY) {
            for (int SX = 0; SX < SCALE; ++SX) {
              PIXELS[static_cast<std::size_t>((Y0 + Y) * SCALE + SY) * W + (X0 + X) * SCALE + SX] = C;
            }
          }
        }
      }
    }
    ROW += (COUNT + COLUMNS - 1) / COLUMNS + 1;
    SHEETS[S].DESTROY(SHEETS[S]);
  }
  std::string ERROR;
  if (!harness::write_png_rgb(argv[2], W, H, reinterpret_cast<const uint8_t*>(PIXELS.data()), ERROR)) {
    std::fprintf(stderr, "volley_contact_sheet: cannot write %s\n", argv[2]);
    return 1;
  }
  std::printf("%s: %d x %d\n", argv[2], W, H);
  return 0;
}
