// draw2d bitmap loader: SDL decodes the file (top-down or bottom-up rows, row padding, RLE);
// an 8-bit paletted bitmap becomes one image buffer of palette indices, top row first.
#include <SDL.h>

#include <algorithm>
#include <cstring>

#include "draw2d/draw2d.hpp"

namespace draw2d {

namespace {

// Bits per pixel stored in the file's info header (offset 28), or 0 when unreadable or when the
// header asks for a size no image buffer can hold (wider than MAX_BUFFER_WIDTH or taller
// than MAX_BUFFER_HEIGHT).
// SDL widens 1- and 4-bit bitmaps to 8-bit surfaces, so the file itself tells whether it was
// 8-bit. The size is checked before SDL decodes: SDL allocates the whole surface first, so a
// few hundred bytes claiming half a million columns would take a gigabyte for nothing.
int file_bit_count(SDL_RWops* RW) {
  uint8_t HEAD[30];
  if (SDL_RWread(RW, HEAD, 1, sizeof HEAD) != sizeof HEAD) return 0;
  if (HEAD[0] != 'B' || HEAD[1] != 'M') return 0;
  const auto LE32 = [&HEAD](int AT) {
    return static_cast<int32_t>(static_cast<uint32_t>(HEAD[AT]) | static_cast<uint32_t>(HEAD[AT + 1]) << 8 |
                                static_cast<uint32_t>(HEAD[AT + 2]) << 16 |
                                static_cast<uint32_t>(HEAD[AT + 3]) << 24);
  };
  const int64_t W = LE32(18), H = LE32(22);
  if (W > MAX_BUFFER_WIDTH || H > MAX_BUFFER_HEIGHT || H < -MAX_BUFFER_HEIGHT) return 0;
  return HEAD[28] | (HEAD[29] << 8);
}

}  // namespace

bool load_bitmap(const char* FILE, void* DEST, std::size_t CAPACITY) {
  if (!FILE || !DEST || CAPACITY < HEADER_BYTES) return false;
  SDL_RWops* RW = SDL_RWFromFile(FILE, "rb");
  if (!RW) return false;
  const int BITS = file_bit_count(RW);
  if (BITS != 8 || SDL_RWseek(RW, 0, RW_SEEK_SET) != 0) {
    SDL_RWclose(RW);
    return false;
  }
  SDL_Surface* S = SDL_LoadBMP_RW(RW, 1);  // closes RW
  if (!S) return false;
  const bool OK = S->format->BitsPerPixel == 8 && S->w <= MAX_BUFFER_WIDTH &&
                  S->h <= MAX_BUFFER_HEIGHT;
  if (OK) {
    write_header(DEST, S->w, S->h, 1);
    // Rows go out top first; whatever does not fit into CAPACITY is dropped.
    std::size_t ROOM = CAPACITY - HEADER_BYTES;
    auto* D = static_cast<uint8_t*>(DEST) + HEADER_BYTES;
    SDL_LockSurface(S);
    const auto* SRC = static_cast<const uint8_t*>(S->pixels);
    for (int Y = 0; Y < S->h && ROOM > 0; ++Y) {
      const std::size_t N = std::min<std::size_t>(static_cast<std::size_t>(S->w), ROOM);
      std::memcpy(D, SRC + static_cast<std::ptrdiff_t>(Y) * S->pitch, N);
      D += N;
      ROOM -= N;
    }
    SDL_UnlockSurface(S);
  }
  SDL_FreeSurface(S);
  return OK;
}

}  // namespace draw2d
