// harness: PNG (libpng) and animated GIF (giflib) writers for recorded runs.
// Indexed frames carry their 256-entry palette; RGBA frames (the designer's OpenGL texture)
// are written as RGBA PNGs, or mapped back to the colour map they came from for a GIF.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct GifFileType;

namespace harness {

struct Colour {
  uint8_t R = 0, G = 0, B = 0;
  bool operator==(const Colour&) const = default;
};

/// 256 display colours (8 bits per component).
using Palette = std::array<Colour, 256>;

/// The drawing library's palette in force, as the screen shows it (6-bit components scaled
/// by 255 / 63, truncated).
Palette current_palette();

/// Writes a W x H 8-bit indexed PNG with PALETTE as its colour table. ERROR on failure.
bool write_png_indexed(const std::string& PATH, int W, int H, const uint8_t* PIXELS,
                       const Palette& PALETTE, std::string& ERROR);
/// Writes a W x H RGB PNG (3 bytes per pixel, rows top first).
bool write_png_rgb(const std::string& PATH, int W, int H, const uint8_t* RGB, std::string& ERROR);
/// Writes a W x H RGBA PNG (4 bytes per pixel, rows top first).
bool write_png_rgba(const std::string& PATH, int W, int H, const uint8_t* RGBA, std::string& ERROR);

/// Maps RGBA pixels back to indices of COLOURMAP: the lowest index with exactly that colour,
/// or else the nearest colour (alpha is ignored).
std::vector<uint8_t> rgba_to_indices(const uint8_t* RGBA, int W, int H, const Palette& COLOURMAP);

/// Delay in centiseconds of the N-th recorded frame (N from 1) when every EVERY-th frame of
/// a 60 Hz run is recorded. The delays add up to the run's time (5 cs per 3 frames); players
/// stretch delays below 2 cs to 10 cs, so single-frame recordings use 2 cs (50 per second).
int gif_delay_cs(int32_t N, int32_t EVERY);

/// An animated GIF written frame by frame; loops for ever.
class GifWriter {
 public:
  GifWriter() = default;
  GifWriter(const GifWriter&) = delete;
  GifWriter& operator=(const GifWriter&) = delete;
  ~GifWriter();

  /// Creates PATH. The size is fixed by the first frame.
  bool open(const std::string& PATH, std::string& ERROR);
  /// Appends a W x H frame of palette indices shown for DELAY_CS centiseconds. The first
  /// frame's palette is the global colour table; a frame with another palette carries its own.
  bool add_frame(int W, int H, const uint8_t* PIXELS, const Palette& PALETTE, int DELAY_CS,
                 std::string& ERROR);
  /// Finishes the file; false when anything failed.
  bool close(std::string& ERROR);
  bool is_open() const { return GIF_ != nullptr; }

 private:
  bool start(int W, int H, const Palette& PALETTE, std::string& ERROR);

  GifFileType* GIF_ = nullptr;
  std::string PATH_;
  bool STARTED_ = false;
  int W_ = 0, H_ = 0;
  Palette GLOBAL_{};
};

}  // namespace harness
