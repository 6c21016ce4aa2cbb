// harness: PNG and animated GIF writers.
#include "harness/image_writers.hpp"

#include <gif_lib.h>
#include <png.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <unordered_map>

#include "draw2d/draw2d.hpp"

namespace harness {

Palette current_palette() {
  Palette P{};
  for (int I = 0; I < 256; ++I) {
    const draw2d::Rgb C = draw2d::palette_rgb(I);
    P[static_cast<std::size_t>(I)] = Colour{C.R, C.G, C.B};
  }
  return P;
}

namespace {

// Writes IMAGE (size and format set by the caller) from rows of ROW_BYTES bytes.
bool WRITE_PNG(png_image& IMAGE, const std::string& PATH, const uint8_t* PIXELS, int ROW_BYTES,
               const uint8_t* COLOURMAP, std::string& ERROR) {
  if (png_image_write_to_file(&IMAGE, PATH.c_str(), 0, PIXELS, ROW_BYTES, COLOURMAP) == 0) {
    ERROR = "cannot write the PNG file '" + PATH + "': " + IMAGE.message;
    png_image_free(&IMAGE);
    return false;
  }
  return true;
}

png_image IMAGE_OF(int W, int H, png_uint_32 FORMAT) {
  png_image IMAGE;
  std::memset(&IMAGE, 0, sizeof IMAGE);
  IMAGE.version = PNG_IMAGE_VERSION;
  IMAGE.width = static_cast<png_uint_32>(W);
  IMAGE.height = static_cast<png_uint_32>(H);
  IMAGE.format = FORMAT;
  return IMAGE;
}

}  // namespace

bool write_png_indexed(const std::string& PATH, int W, int H, const uint8_t* PIXELS,
                       const Palette& PALETTE, std::string& ERROR) {
  png_image IMAGE = IMAGE_OF(W, H, PNG_FORMAT_RGB_COLORMAP);
  IMAGE.colormap_entries = 256;
  uint8_t MAP[256 * 3];
  for (std::size_t I = 0; I < 256; ++I) {
    MAP[I * 3] = PALETTE[I].R;
    MAP[I * 3 + 1] = PALETTE[I].G;
    MAP[I * 3 + 2] = PALETTE[I].B;
  }
  return WRITE_PNG(IMAGE, PATH, PIXELS, W, MAP, ERROR);
}

bool write_png_rgb(const std::string& PATH, int W, int H, const uint8_t* RGB, std::string& ERROR) {
  png_image IMAGE = IMAGE_OF(W, H, PNG_FORMAT_RGB);
  return WRITE_PNG(IMAGE, PATH, RGB, W * 3, nullptr, ERROR);
}

bool write_png_rgba(const std::string& PATH, int W, int H, const uint8_t* RGBA, std::string& ERROR) {
  png_image IMAGE = IMAGE_OF(W, H, PNG_FORMAT_RGBA);
  return WRITE_PNG(IMAGE, PATH, RGBA, W * 4, nullptr, ERROR);
}

std::vector<uint8_t> rgba_to_indices(const uint8_t* RGBA, int W, int H, const Palette& COLOURMAP) {
  std::unordered_map<uint32_t, uint8_t> EXACT;
  for (int I = 255; I >= 0; --I) {  // the lowest index wins for repeated colours
    const Colour& C = COLOURMAP[static_cast<std::size_t>(I)];
    EXACT[(uint32_t{C.R} << 16) | (uint32_t{C.G} << 8) | C.B] = static_cast<uint8_t>(I);
  }
  const std::size_t N = static_cast<std::size_t>(W) * static_cast<std::size_t>(H);
  std::vector<uint8_t> OUT(N);
  for (std::size_t P = 0; P < N; ++P) {
    const uint8_t R = RGBA[P * 4], G = RGBA[P * 4 + 1], B = RGBA[P * 4 + 2];
    const uint32_t KEY = (uint32_t{R} << 16) | (uint32_t{G} << 8) | B;
    auto FOUND = EXACT.find(KEY);
    if (FOUND != EXACT.end()) {
      OUT[P] = FOUND->second;
      continue;
    }
    // A reduced colour depth (16-bit window) can change a texel: take the nearest entry.
    int BEST = 0;
    long BEST_D = -1;
    for (int I = 0; I < 256; ++I) {
      const Colour& C = COLOURMAP[static_cast<std::size_t>(I)];
      const long DR = long{C.R} - R, DG = long{C.G} - G, DB = long{C.B} - B;
      const long D = DR * DR + DG * DG + DB * DB;
      if (BEST_D < 0 || D < BEST_D) {
        BEST_D = D;
        BEST = I;
      }
    }
    OUT[P] = static_cast<uint8_t>(BEST);
    EXACT[KEY] = static_cast<uint8_t>(BEST);
  }
  return OUT;
}

int gif_delay_cs(int32_t N, int32_t EVERY) {
  if (EVERY < 1) EVERY = 1;
  // GIF players show delays of 0 or 1 cs as 10 cs, which would make a recording of
  // every frame crawl; it plays at 2 cs per frame (50 per second) instead.
  if (EVERY == 1) return 2;
  // Frame N ends at N x EVERY / 60 s = 5 x N x EVERY / 3 cs; whole centiseconds by truncation,
  // so the delays alternate (3, 3, 4 for EVERY 2) and never drift from the run's time.
  const int64_t END = 5 * int64_t{N} * EVERY / 3;
  const int64_t START = 5 * int64_t{N - 1} * EVERY / 3;
  return static_cast<int>(END - START);
}

GifWriter::~GifWriter() {
  std::string IGNORED;
  close(IGNORED);
}

bool GifWriter::open(const std::string& PATH, std::string& ERROR) {
  std::string IGNORED;
  close(IGNORED);
  // Opened here rather than by giflib, which would create the file readable by its owner only.
  const int FD = ::open(PATH.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
  if (FD < 0) {
    ERROR = "cannot write the GIF file '" + PATH + "': " + std::strerror(errno);
    return false;
  }
  int CODE = 0;
  GIF_ = EGifOpenFileHandle(FD, &CODE);
  if (GIF_ == nullptr) {
    ::close(FD);
    ERROR = "cannot write the GIF file '" + PATH + "': " + GifErrorString(CODE);
    return false;
  }
  PATH_ = PATH;
  STARTED_ = false;
  return true;
}

namespace {

ColorMapObject* MAKE_MAP(const Palette& P) {
  GifColorType COLOURS[256];
  for (std::size_t I = 0; I < 256; ++I) COLOURS[I] = GifColorType{P[I].R, P[I].G, P[I].B};
  return GifMakeMapObject(256, COLOURS);
}

std::string GIF_MESSAGE(const std::string& PATH, GifFileType* GIF) {
  return "cannot write the GIF file '" + PATH + "': " + GifErrorString(GIF->Error);
}

}  // namespace

bool GifWriter::start(int W, int H, const Palette& PALETTE, std::string& ERROR) {
  ColorMapObject* MAP = MAKE_MAP(PALETTE);
  EGifSetGifVersion(GIF_, true);  // GIF89a: delays and the loop extension
  const int OK = EGifPutScreenDesc(GIF_, W, H, 8, 0, MAP);
  GifFreeMapObject(MAP);
  if (OK == GIF_ERROR) {
    ERROR = GIF_MESSAGE(PATH_, GIF_);
    return false;
  }
  // Loop for ever: the application extension "NETSCAPE2.0" with a loop count of 0.
  const unsigned char LOOP[3] = {1, 0, 0};
  if (EGifPutExtensionLeader(GIF_, APPLICATION_EXT_FUNC_CODE) == GIF_ERROR ||
      EGifPutExtensionBlock(GIF_, 11, "NETSCAPE2.0") == GIF_ERROR ||
      EGifPutExtensionBlock(GIF_, 3, LOOP) == GIF_ERROR || EGifPutExtensionTrailer(GIF_) == GIF_ERROR) {
    ERROR = GIF_MESSAGE(PATH_, GIF_);
    return false;
  }
  W_ = W;
  H_ = H;
  GLOBAL_ = PALETTE;
  STARTED_ = true;
  return true;
}

bool GifWriter::add_frame(int W, int H, const uint8_t* PIXELS, const Palette& PALETTE, int DELAY_CS,
                          std::string& ERROR) {
  if (GIF_ == nullptr) {
    ERROR = "the GIF file is not open";
    return false;
  }
  if (!STARTED_ && !start(W, H, PALETTE, ERROR)) return false;
  if (W != W_ || H != H_) {
    ERROR = "GIF frames must all have the size of the first (" + std::to_string(W_) + "x" +
            std::to_string(H_) + ")";
    return false;
  }

  GraphicsControlBlock GCB{};
  GCB.DisposalMode = DISPOSE_DO_NOT;
  GCB.UserInputFlag = false;
  GCB.DelayTime = DELAY_CS;
  GCB.TransparentColor = NO_TRANSPARENT_COLOR;
  GifByteType EXT[4];
  const size_t EXT_LEN = EGifGCBToExtension(&GCB, EXT);
  if (EGifPutExtension(GIF_, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(EXT_LEN), EXT) == GIF_ERROR) {
    ERROR = GIF_MESSAGE(PATH_, GIF_);
    return false;
  }

  ColorMapObject* LOCAL = PALETTE == GLOBAL_ ? nullptr : MAKE_MAP(PALETTE);
  const int OK = EGifPutImageDesc(GIF_, 0, 0, W, H, false, LOCAL);
  if (LOCAL != nullptr) GifFreeMapObject(LOCAL);
  if (OK == GIF_ERROR) {
    ERROR = GIF_MESSAGE(PATH_, GIF_);
    return false;
  }
  for (int Y = 0; Y < H; ++Y) {
    // giflib takes non-const rows but only reads them.
    GifPixelType* ROW = const_cast<GifPixelType*>(PIXELS + static_cast<std::size_t>(Y) * W);
    if (EGifPutLine(GIF_, ROW, W) == GIF_ERROR) {
      ERROR = GIF_MESSAGE(PATH_, GIF_);
      return false;
    }
  }
  return true;
}

bool GifWriter::close(std::string& ERROR) {
  if (GIF_ == nullptr) return true;
  bool OK = true;
  if (!STARTED_) {
    // A recording without frames is still a valid (empty) GIF.
    Palette BLACK{};
    OK = start(1, 1, BLACK, ERROR);
  }
  int CODE = 0;
  if (EGifCloseFile(GIF_, &CODE) == GIF_ERROR) {
    ERROR = "cannot finish the GIF file '" + PATH_ + "': " + GifErrorString(CODE);
    OK = false;
  }
  GIF_ = nullptr;
  STARTED_ = false;
  return OK;
}

}  // namespace harness
