// volley_contact_sheet: one PNG showing every frame of the generated sheets and fonts, each
// with the palette it is shown with, scaled up so that a person can check the artwork.
// Usage: volley_contact_sheet <asset directory> <output.png> [scale, default 4]
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "display/draw2d.hpp"
#include "image/pixbank_image.hpp"
#include "leakscope/leakscope.hpp"

namespace {

constexpr int CELL = 12;     // pixels per cell side, before scaling (frames are at most 11)
constexpr int COLUMNS = 16;  // cells per row

struct RGB8 {
  uint8_t R, G, B;
};

struct SECTION {
  const char* SHEET;
  const char* PALETTE;
};

constexpr SECTION SECTIONS[] = {{"kv_bullet.put", "korvane.pal"},
                                {"bullet.put", "qz.pal"},
                                {"tiny_font.put", "korvane.pal"},
                                {"qzfntdg.put", "korvane.pal"}};

std::vector<RGB8> READ_PALETTE(const std::string& NAME) {
  std::vector<RGB8> OUT(256, RGB8{0, 0, 0});
  std::FILE* F = std::fopen(NAME.c_str(), "rb");
  if (!F) return OUT;
  unsigned char B[1024] = {};
  const std::size_t GOT = std::fread(B, 1, sizeof B, F);
  std::fclose(F);
  for (std::size_t I = 0; I < GOT / 4; ++I) {
    OUT[I] = RGB8{static_cast<uint8_t>((B[4 * I] & 63) * 255 / 63),
                  static_cast<uint8_t>((B[4 * I + 1] & 63) * 255 / 63),
                  static_cast<uint8_t>((B[4 * I + 2] & 63) * 255 / 63)};
  }
  return OUT;
}

bool WRITE_PNG(const std::string& NAME, int W, int H, const std::vector<RGB8>& PIXELS) {
  std::FILE* F = std::fopen(NAME.c_str(), "wb");
  if (!F) return false;
  png_structp PNG = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop INFO = PNG ? png_create_info_struct(PNG) : nullptr;
  if (!INFO || setjmp(png_jmpbuf(PNG))) {
    png_destroy_write_struct(&PNG, &INFO);
    std::fclose(F);
    return false;
  }
  png_init_io(PNG, F);
  png_set_IHDR(PNG, INFO, static_cast<png_uint_32>(W), static_cast<png_uint_32>(H), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(PNG, INFO);
  for (int Y = 0; Y < H; ++Y) {
    png_write_row(PNG, reinterpret_cast<png_const_bytep>(PIXELS.data() + static_cast<std::size_t>(Y) * W));
  }
  png_write_end(PNG, nullptr);
  png_destroy_write_struct(&PNG, &INFO);
  return std::fclose(F) == 0;
}

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
  std::vector<RGB8> PIXELS(static_cast<std::size_t>(W) * H, RGB8{36, 38, 52});
  int ROW = 0;
  for (std::size_t S = 0; S < std::size(SECTIONS); ++S) {
    const std::vector<RGB8> PAL = READ_PALETTE(DIR + SECTIONS[S].PALETTE);
    const int COUNT = static_cast<int>(IMAGE_FRAME_COUNT(SHEETS[S]));
    for (int N = 0; N < COUNT; ++N) {
      const uint8_t* FRAME = IMAGE_FRAME(SHEETS[S], N);
      if (!FRAME) continue;
      const int FW = draw2d::width_of(FRAME), FH = draw2d::height_of(FRAME);
      const int X0 = (N % COLUMNS) * CELL, Y0 = (ROW + N / COLUMNS) * CELL;
      for (int Y = 0; Y < FH && Y < CELL; ++Y) {
        for (int X = 0; X < FW && X < CELL; ++X) {
          const uint8_t INDEX = FRAME[draw2d::HEADER_BYTES + static_cast<std::size_t>(Y) * FW + X];
          const RGB8 C = INDEX == 0 ? RGB8{0, 0, 0} : PAL[INDEX];
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
  if (!WRITE_PNG(argv[2], W, H, PIXELS)) {
    std::fprintf(stderr, "volley_contact_sheet: cannot write %s\n", argv[2]);
    return 1;
  }
  std::printf("%s: %d x %d\n", argv[2], W, H);
  return 0;
}
