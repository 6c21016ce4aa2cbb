// Test helpers: a PNG and a GIF read back by the standard decoders (libpng, giflib).
#pragma once

#include <gif_lib.h>
#include <png.h>

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

/// The PNG FILE as libpng decodes it into RGBA; WIDTH 0 and no pixels when it does not decode.
inline std::vector<uint8_t> PNG_RGBA(const std::string& FILE, unsigned& WIDTH) {
  WIDTH = 0;
  png_image IMAGE{};
  IMAGE.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&IMAGE, FILE.c_str()) == 0) return {};
  IMAGE.format = PNG_FORMAT_RGBA;
  std::vector<uint8_t> RGBA(PNG_IMAGE_SIZE(IMAGE));
  if (png_image_finish_read(&IMAGE, nullptr, RGBA.data(), 0, nullptr) == 0) return {};
  WIDTH = IMAGE.width;
  return RGBA;
}

/// Width of the PNG FILE as libpng decodes it, 0 when it does not decode.
inline unsigned PNG_WIDTH(const std::string& FILE) {
  unsigned W = 0;
  PNG_RGBA(FILE, W);
  return W;
}

/// Frames of the GIF FILE as giflib decodes it, -1 when it does not decode.
inline int GIF_FRAMES(const std::string& FILE) {
  GifFileType* G = DGifOpenFileName(FILE.c_str(), nullptr);
  if (G == nullptr) return -1;
  const int N = DGifSlurp(G) == GIF_OK ? G->ImageCount : -1;
  DGifCloseFile(G, nullptr);
  return N;
}

}  // namespace e2e
