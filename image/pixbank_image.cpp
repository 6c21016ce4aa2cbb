// pixbank_image: palettes, sprite sheets and bitmaps for both programs.
// Every block goes through the allocation tracker under the module name "pixbank_image".
#include "image/pixbank_image.hpp"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "draw2d/draw2d.hpp"
#include "leakscope/leakscope.hpp"

namespace {

constexpr const char* MODULE = "pixbank_image";
constexpr uint32_t TEMP_ENTRIES = 2000;        // first size of the index walk's list
constexpr uint32_t PUT_HEADER_BYTES = 7;       // 0xFD, segment, offset, length
constexpr uint64_t MAX_BLOCK_BYTES = 0x7FFFFFFFu;  // the tracker counts bytes in 32 bits
// CHOICE: a frame list may describe at most this many frames and this large a frame store;
// larger values are cut down so that a damaged list cannot ask for gigabytes.
constexpr int64_t MAX_LIST_FRAMES = 65536;
constexpr int64_t MAX_LIST_BYTES = 16 * 1024 * 1024;

// The fatal lines of the steps that need a bitmap-sized block (each is said in two places).
constexpr const char* LOAD_BMP_FAILED = "error allocating memory to hold BMP in image_load_BMP";
constexpr const char* INDEX_BMP_FAILED =
    "error allocating memory to hold BMP in image_index_BMP";


// Words of a frame of W x H pixels: 4 header bytes plus the pixels, rounded up to even.
uint64_t FRAME_WORDS(uint64_t W, uint64_t H) { return (W * H + 5) / 2; }

// Size of a file in bytes, or -1 when it cannot be opened.
int64_t FILE_SIZE(const std::string& NAME) {
  std::FILE* F = std::fopen(NAME.c_str(), "rb");
  if (!F) return -1;
  int64_t SIZE = -1;
  if (std::fseek(F, 0, SEEK_END) == 0) SIZE = std::ftell(F);
  std::fclose(F);
  return SIZE;
}

int32_t READ_LE32(const unsigned char* P) {
  const uint32_t V = static_cast<uint32_t>(P[0]) | static_cast<uint32_t>(P[1]) << 8 |
                     static_cast<uint32_t>(P[2]) << 16 | static_cast<uint32_t>(P[3]) << 24;
  return static_cast<int32_t>(V);
}

// Width (offset 18) and height (offset 22) from a bitmap's header; 0 x 0 when unreadable.
void READ_BMP_SIZE(const std::string& NAME, int32_t& WID, int32_t& HEI) {
  WID = 0;
  HEI = 0;
  std::FILE* F = std::fopen(NAME.c_str(), "rb");
  if (!F) return;
  unsigned char HEADER[26];
  if (std::fread(HEADER, 1, sizeof HEADER, F) == sizeof HEADER) {
    WID = READ_LE32(HEADER + 18);
    HEI = READ_LE32(HEADER + 22);
  }
  std::fclose(F);
  // CHOICE: a top-down bitmap stores a negative height; its frame is as tall as its absolute
  // value (the library's decoder turns it the right way up). Sizes the frame header cannot
  // hold (width x 8 above 16 bits, height above 16 bits, or negative width) count as 0.
  // The top-down case is pinned by Image.FilesLoadAsTheTableSays.
  if (HEI < 0) HEI = HEI == std::numeric_limits<int32_t>::min() ? 0 : -HEI;
  if (WID < 0 || WID > draw2d::MAX_BUFFER_WIDTH) WID = 0;
  if (HEI > draw2d::MAX_BUFFER_HEIGHT) HEI = 0;
}

// The frame list's values: separated by commas or line ends; quotes protect commas inside a
// name. Blank lines and a comma at the end of a line separate nothing.
class FRAME_LIST_READER {
 public:
  explicit FRAME_LIST_READER(std::FILE* F) : FILE_(F) {}

  bool AT_END() {
    SKIP_BLANK_LINES();
    return PEEK() == EOF;
  }

  std::string TEXT() {
    SKIP_BLANK_LINES();
    std::string VALUE;
    bool QUOTED = false;
    for (int C = GET(); C != EOF; C = GET()) {
      if (C == '"') {
        QUOTED = !QUOTED;
        continue;
      }
      if (!QUOTED && C == ',') {
        // A comma right before a line end ends the value together with the line end.
        const int NEXT = PEEK();
        if (NEXT == '\r' || NEXT == '\n') SKIP_LINE_END();
        break;
      }
      if (!QUOTED && (C == '\r' || C == '\n')) {
        UNGET(C);
        SKIP_LINE_END();
        break;
      }
      VALUE.push_back(static_cast<char>(C));
    }
    return VALUE;
  }

  // CHOICE: a value that is not a number (or is missing) reads as 0; a number is read up to
  // its first non-digit ("12.7" reads 12) and held to the 32-bit range. A value that is not
  // a number is pinned by Image.FilesLoadAsTheTableSays.
  int64_t NUMBER() {
    const std::string T = TEXT();
    const char* P = T.c_str();
    while (*P == ' ' || *P == '\t') ++P;
    char* END = nullptr;
    long long V = std::strtoll(P, &END, 10);
    if (END == P) return 0;
    if (V > std::numeric_limits<int32_t>::max()) V = std::numeric_limits<int32_t>::max();
    if (V < std::numeric_limits<int32_t>::min()) V = std::numeric_limits<int32_t>::min();
    return V;
  }

 private:
  int GET() {
    if (HAVE_PUSHED_) {
      HAVE_PUSHED_ = false;
      return PUSHED_;
    }
    return FILE_ ? std::fgetc(FILE_) : EOF;
  }
  void UNGET(int C) {
    PUSHED_ = C;
    HAVE_PUSHED_ = true;
  }
  int PEEK() {
    const int C = GET();
    UNGET(C);
    return C;
  }
  void SKIP_LINE_END() {
    int C = GET();
    if (C == '\r') {
      C = GET();
      if (C != '\n') UNGET(C);
    } else if (C != '\n') {
      UNGET(C);
    }
  }
  void SKIP_BLANK_LINES() {
    for (;;) {
      const int C = PEEK();
      if (C == '\r' || C == '\n') {
        SKIP_LINE_END();
      } else {
        return;
      }
    }
  }

  std::FILE* FILE_;
  int PUSHED_ = EOF;
  bool HAVE_PUSHED_ = false;
};

// Returns a block to the tracker and nulls the pointer.
void RELEASE(void*& PT, int32_t LINENUM, const char* VARNAME) {
  if constexpr (IMAGE_PLAYER_BUILD) {
    // VARIANT(play): a null pointer is skipped.
    if (PT) LEAKSCOPE_DEALLOCATE(PT, MODULE, LINENUM, VARNAME);
  } else {
    // The designer's copy hands a null pointer to the tracker, which reports it.
    LEAKSCOPE_DEALLOCATE(PT, MODULE, LINENUM, VARNAME);
  }
  PT = nullptr;
}

}  // namespace

void INIT_PALETTE_DATA(const std::string& FILENAME) {
  // Every entry starts black.
  uint32_t TABLE[256] = {};
  // A missing or short file leaves the entries it does not supply black.
  if (!FILENAME.empty()) {
    if (std::FILE* F = std::fopen(FILENAME.c_str(), "rb")) {
      unsigned char BYTES[1024] = {};
      const std::size_t GOT = std::fread(BYTES, 1, sizeof BYTES, F);
      std::fclose(F);
      for (std::size_t I = 0; I < GOT / 4; ++I) {
        TABLE[I] = static_cast<uint32_t>(READ_LE32(BYTES + 4 * I));
      }
    }
  }
  // Every entry is set, in index order.
  for (int I = 0; I < 256; ++I) draw2d::set_palette(I, TABLE[I]);
}

void IMAGE_INIT(IMAGETYPE& IMAGE) {
  IMAGE.LOAD = IMAGE_LOAD;
  IMAGE.LOAD_BMP = IMAGE_LOAD_BMP;
  IMAGE.LOAD_BMP_SET = IMAGE_LOAD_BMP_SET;
  IMAGE.LOAD_BMP_SETL = IMAGE_LOAD_BMP_SETL;
  IMAGE.DESTROY = IMAGE_DESTROY;
}

void IMAGE_LOAD(IMAGETYPE& IMAGE) {
  // Frame store size in words. CHOICE: a missing file, or one shorter than its 7-byte
  // header, gives an empty store (0 words) instead of the wrapped unsigned (size - 7) \ 2;
  // the index walk then finds no frame. Pinned by
  // Image.FilesLoadAsTheTableSays.
  const int64_t SIZE = FILE_SIZE(IMAGE.M_FILENAME);
  uint64_t WORDS = SIZE >= static_cast<int64_t>(PUT_HEADER_BYTES)
                       ? static_cast<uint64_t>(SIZE - PUT_HEADER_BYTES) / 2
                       : 0;
  if (WORDS * 2 > MAX_BLOCK_BYTES) WORDS = MAX_BLOCK_BYTES / 2;
  IMAGE.M_SIZE = static_cast<uint32_t>(WORDS);
  // A zero-filled frame store.
  IMAGE.P_DATA = static_cast<uint16_t*>(
      LEAKSCOPE_CALLOCATE(IMAGE.M_SIZE * 2, MODULE, __LINE__));
  if (!IMAGE.P_DATA) IMAGE.M_SIZE = 0;
  // The data bytes, never more than the store holds.
  if (IMAGE.M_SIZE > 0) {
    draw2d::load_memory_image(IMAGE.M_FILENAME.c_str(), IMAGE.P_DATA,
                              static_cast<std::size_t>(IMAGE.M_SIZE) * 2);
  }
  // The frame index over the bytes that were read.
  IMAGE_INDEX(IMAGE);
}

void IMAGE_INDEX(IMAGETYPE& IMAGE) {
  // A temporary list, 2000 entries to start with.
  uint32_t CAPACITY = TEMP_ENTRIES;
  auto* LIST = static_cast<uint32_t*>(LEAKSCOPE_CALLOCATE(CAPACITY * 4, MODULE, __LINE__));
  uint64_t CURRENTIMAGE = 0;
  uint32_t INDEXNUM = 0;
  const uint64_t LASTINT = IMAGE.P_DATA ? IMAGE.M_SIZE : 0;
  // Walk the frame headers; an incomplete last frame is not indexed.
  while (LIST && CURRENTIMAGE < LASTINT && LASTINT - CURRENTIMAGE >= 2) {
    const uint64_t WIDTH = IMAGE.P_DATA[CURRENTIMAGE] / 8u;
    const uint64_t HEIGHT = IMAGE.P_DATA[CURRENTIMAGE + 1];
    const uint64_t ARRAYSIZE = FRAME_WORDS(WIDTH, HEIGHT);
    if (CURRENTIMAGE + ARRAYSIZE > LASTINT) break;
    if (INDEXNUM == CAPACITY) {
      // CHOICE: a sheet of more than 2000 frames grows the list instead of losing frames.
      // A frame takes at least 2 words, so the count stays far below the 32-bit range.
      // Pinned by Image.FilesLoadAsTheTableSays.
      CAPACITY *= 2;
      auto* GROWN = static_cast<uint32_t*>(
          LEAKSCOPE_REALLOCATE(LIST, CAPACITY * 4, MODULE, __LINE__));
      if (!GROWN) break;
      LIST = GROWN;
    }
    LIST[INDEXNUM] = static_cast<uint32_t>(CURRENTIMAGE);
    CURRENTIMAGE += ARRAYSIZE;
    ++INDEXNUM;
  }
  // The index proper, exactly as long as the frames found.
  IMAGE.P_DATAINDEX =
      static_cast<uint32_t*>(LEAKSCOPE_CALLOCATE(INDEXNUM * 4, MODULE, __LINE__));
  if (!IMAGE.P_DATAINDEX) INDEXNUM = 0;
  if (INDEXNUM > 0) std::memcpy(IMAGE.P_DATAINDEX, LIST, INDEXNUM * 4u);
  IMAGE.M_MAXINDEX = INDEXNUM - 1;  // all bits set when there is no frame
  LEAKSCOPE_DEALLOCATE(LIST, MODULE, __LINE__, "temparray");
}

void IMAGE_LOAD_BMP(IMAGETYPE& IMAGE, int32_t WID, int32_t HEI) {
  // CHOICE: a negative size is a 0 x 0 frame; a size the frame header cannot hold, or a
  // store the tracker cannot count, is treated as a block that could not be obtained. A size
  // the header cannot hold is pinned by Image.SingleFrameBitmapLoadFailureAndSecondDestroy.
  const uint64_t W = WID > 0 ? static_cast<uint64_t>(WID) : 0;
  const uint64_t H = HEI > 0 ? static_cast<uint64_t>(HEI) : 0;
  const uint64_t WORDS = FRAME_WORDS(W, H);
  // A zero-filled store (every pixel the transparent index 0) with the frame header.
  if (W > draw2d::MAX_BUFFER_WIDTH || H > draw2d::MAX_BUFFER_HEIGHT ||
      WORDS * 2 > MAX_BLOCK_BYTES) {
    draw2d::fatal(LOAD_BMP_FAILED);
  }
  IMAGE.M_SIZE = static_cast<uint32_t>(WORDS);
  IMAGE.P_DATA =
      static_cast<uint16_t*>(LEAKSCOPE_CALLOCATE(IMAGE.M_SIZE * 2, MODULE, __LINE__));
  if (!IMAGE.P_DATA) draw2d::fatal(LOAD_BMP_FAILED);
  draw2d::write_header(IMAGE.P_DATA, static_cast<int>(W), static_cast<int>(H), 1);
  // The decoder writes the bitmap's own header and never more than the store holds.
  draw2d::load_bitmap(IMAGE.M_FILENAME.c_str(), IMAGE.P_DATA,
                      static_cast<std::size_t>(IMAGE.M_SIZE) * 2);
  // One frame: the whole bitmap.
  if constexpr (!IMAGE_PLAYER_BUILD) {
    IMAGE_INDEX(IMAGE);
  }
  // VARIANT(play): no index is built; P_DATAINDEX and M_MAXINDEX stay as they were.
}

void IMAGE_LOAD_BMP_SET(IMAGETYPE& IMAGE, int32_t TILE_WID, int32_t TILE_HEI) {
  // The bitmap's size comes from its header; the whole bitmap is loaded as one frame.
  int32_t BMP_WID = 0, BMP_HEI = 0;
  READ_BMP_SIZE(IMAGE.M_FILENAME, BMP_WID, BMP_HEI);
  IMAGE_LOAD_BMP(IMAGE, BMP_WID, BMP_HEI);
  // The single-frame index is replaced by the tile index.
  if constexpr (!IMAGE_PLAYER_BUILD) {
    LEAKSCOPE_DEALLOCATE(IMAGE.P_DATAINDEX, MODULE, __LINE__, "image.p_dataindex");
    IMAGE.P_DATAINDEX = nullptr;
  }
  // VARIANT(play): IMAGE_LOAD_BMP built no index, so there is none to return.
  IMAGE_INDEX_BMP(IMAGE, TILE_WID, TILE_HEI, BMP_WID, BMP_HEI);
}

void IMAGE_INDEX_BMP(IMAGETYPE& IMAGE, int32_t TILE_WID, int32_t TILE_HEI, int32_t BMP_WID,
                     int32_t BMP_HEI) {
  // CHOICE: zero or negative tile sizes give no tile (no division by zero); so do tiles
  // larger than the bitmap. The larger tiles are pinned by Image.FilesLoadAsTheTableSays.
  uint64_t NUMTILES = 0;
  uint64_t SIZE = 2;
  if (TILE_WID > 0 && TILE_HEI > 0 && BMP_WID > 0 && BMP_HEI > 0) {
    NUMTILES = static_cast<uint64_t>(BMP_WID / TILE_WID) * static_cast<uint64_t>(BMP_HEI / TILE_HEI);
    SIZE = FRAME_WORDS(static_cast<uint64_t>(TILE_WID), static_cast<uint64_t>(TILE_HEI));
  }
  if (NUMTILES * SIZE * 2 > MAX_BLOCK_BYTES) {
    draw2d::fatal(INDEX_BMP_FAILED);
  }
  // The whole bitmap as a library buffer.
  uint8_t* IMAGE_BUFFER = draw2d::create_buffer(BMP_WID > 0 ? BMP_WID : 0,
                                                BMP_HEI > 0 ? BMP_HEI : 0, 0);
  if (!IMAGE_BUFFER) draw2d::fatal(INDEX_BMP_FAILED);
  if (IMAGE.P_DATA) draw2d::blit(IMAGE_BUFFER, 0, 0, IMAGE.P_DATA, draw2d::Blit::OPAQUE);
  // The store shrinks or grows to the tiles.
  // DEVIATION(image-failed-resize): a store that cannot be resized stays the record's (and
  // is returned by DESTROY) instead of being lost behind a null pointer; the sheet then holds
  // no tile. Pinned by Image.FilesLoadAsTheTableSays.
  auto* TILES = static_cast<uint16_t*>(LEAKSCOPE_REALLOCATE(
      IMAGE.P_DATA, static_cast<uint32_t>(NUMTILES * SIZE * 2), MODULE, __LINE__));
  if (TILES) {
    IMAGE.P_DATA = TILES;
  } else {
    NUMTILES = 0;
  }
  IMAGE.M_SIZE = static_cast<uint32_t>(NUMTILES * SIZE);
  // Left to right, then top to bottom; partial tiles at the edges are dropped.
  uint64_t I = 0;
  if (NUMTILES > 0) {
    for (int32_t Y = 0; Y < BMP_HEI / TILE_HEI; ++Y) {
      for (int32_t X = 0; X < BMP_WID / TILE_WID; ++X) {
        draw2d::grab(IMAGE_BUFFER, X * TILE_WID, Y * TILE_HEI, TILE_WID, TILE_HEI,
                     IMAGE.P_DATA + I * SIZE);
        ++I;
      }
    }
  }
  draw2d::free_buffer(IMAGE_BUFFER);
  // One index entry per tile, SIZE words apart.
  IMAGE.P_DATAINDEX = static_cast<uint32_t*>(
      LEAKSCOPE_CALLOCATE(static_cast<uint32_t>(NUMTILES * 4), MODULE, __LINE__));
  if (!IMAGE.P_DATAINDEX) NUMTILES = 0;
  for (uint64_t N = 0; N < NUMTILES; ++N) IMAGE.P_DATAINDEX[N] = static_cast<uint32_t>(N * SIZE);
  IMAGE.M_MAXINDEX = static_cast<uint32_t>(NUMTILES) - 1;
}

void IMAGE_LOAD_BMP_SETL(IMAGETYPE& IMAGE) {
  // The bitmap, by the size its header gives, in a library buffer.
  int32_t BMP_WID = 0, BMP_HEI = 0;
  READ_BMP_SIZE(IMAGE.M_FILENAME, BMP_WID, BMP_HEI);
  uint8_t* IMAGE_BUFFER = draw2d::create_buffer(BMP_WID, BMP_HEI, 0);
  if (!IMAGE_BUFFER) {
    draw2d::fatal("error allocating memory to hold BMP in image_load_BMP_setl");
  }
  draw2d::load_bitmap(IMAGE.M_FILENAME.c_str(), IMAGE_BUFFER,
                      draw2d::buffer_bytes(BMP_WID, BMP_HEI));
  // CHOICE: a missing frame list reads as no values, which gives no frame.
  // Pinned by Image.FilesLoadAsTheTableSays.
  std::FILE* LIST = std::fopen(IMAGE_FRAME_LIST_NAME(IMAGE.M_FILENAME).c_str(), "rb");
  FRAME_LIST_READER READER(LIST);
  int64_t MAX_ELEMENT = READER.NUMBER();
  int64_t MAX_INDEX = READER.NUMBER();
  if (MAX_ELEMENT < 0) MAX_ELEMENT = 0;
  if (MAX_ELEMENT > MAX_LIST_BYTES) MAX_ELEMENT = MAX_LIST_BYTES;
  if (MAX_INDEX < -1 || !LIST) MAX_INDEX = -1;
  if (MAX_INDEX >= MAX_LIST_FRAMES) MAX_INDEX = MAX_LIST_FRAMES - 1;
  // A frame store of MAX_ELEMENT bytes (new bytes zero-filled) and the index.
  const uint32_t OLD_BYTES = IMAGE.P_DATA ? IMAGE.M_SIZE * 2 : 0;
  // DEVIATION(image-failed-resize): a store that cannot be resized stays the record's, with
  // no frame cut into it. Pinned by Image.FilesLoadAsTheTableSays.
  auto* STORE = static_cast<uint16_t*>(LEAKSCOPE_REALLOCATE(
      IMAGE.P_DATA, static_cast<uint32_t>(MAX_ELEMENT), MODULE, __LINE__));
  if (STORE) IMAGE.P_DATA = STORE;
  // DEVIATION(frame-list-sets-size): M_SIZE follows the store that is now held (MAX_ELEMENT \ 2
  // words) instead of keeping its old value, so that the frame checks and IMAGE_FRAME see the
  // real store. Pinned by Image.FilesLoadAsTheTableSays.
  IMAGE.M_SIZE = STORE ? static_cast<uint32_t>(MAX_ELEMENT / 2) : 0;
  if (!STORE) MAX_INDEX = -1;
  if (STORE && MAX_ELEMENT > OLD_BYTES) {
    std::memset(reinterpret_cast<uint8_t*>(IMAGE.P_DATA) + OLD_BYTES, 0,
                static_cast<std::size_t>(MAX_ELEMENT - OLD_BYTES));
  }
  IMAGE.P_DATAINDEX = static_cast<uint32_t*>(
      LEAKSCOPE_CALLOCATE(static_cast<uint32_t>((MAX_INDEX + 1) * 4), MODULE, __LINE__));
  if (!IMAGE.P_DATAINDEX) MAX_INDEX = -1;
  IMAGE.M_MAXINDEX = static_cast<uint32_t>(MAX_INDEX);
  // Frames are cut from the top edge of the bitmap, a horizontal strip.
  for (int64_t I = 0; I <= MAX_INDEX; ++I) {
    READER.TEXT();    // INDEX_STR, not used
    READER.NUMBER();  // INDEX_NUM, not used
    const int64_t START_OFFSET = READER.NUMBER();
    const int64_t WID = READER.NUMBER();
    const int64_t HEI = READER.NUMBER();
    const int64_t OFFSET = READER.NUMBER();
    // CHOICE: a frame that reaches outside the bitmap or the frame store is not grabbed; its
    // index entry says "no frame", so drawing it draws nothing.
    // Pinned by Image.FilesLoadAsTheTableSays.
    const bool INSIDE_BITMAP = START_OFFSET >= 0 && WID >= 0 && HEI >= 0 &&
                               START_OFFSET + WID <= BMP_WID && HEI <= BMP_HEI;
    const bool INSIDE_STORE =
        IMAGE.P_DATA && OFFSET >= 0 &&
        static_cast<uint64_t>(OFFSET) + FRAME_WORDS(static_cast<uint64_t>(WID < 0 ? 0 : WID),
                                                    static_cast<uint64_t>(HEI < 0 ? 0 : HEI)) <=
            IMAGE.M_SIZE;
    if (INSIDE_BITMAP && INSIDE_STORE) {
      draw2d::grab(IMAGE_BUFFER, static_cast<int>(START_OFFSET), 0, static_cast<int>(WID),
                   static_cast<int>(HEI), IMAGE.P_DATA + OFFSET);
      IMAGE.P_DATAINDEX[I] = static_cast<uint32_t>(OFFSET);
    } else {
      IMAGE.P_DATAINDEX[I] = IMAGE_NO_FRAME;
    }
  }
  if (LIST) std::fclose(LIST);
  draw2d::free_buffer(IMAGE_BUFFER);
}

void IMAGE_DESTROY(IMAGETYPE& IMAGE) {
  RELEASE(reinterpret_cast<void*&>(IMAGE.P_DATA), __LINE__, "image.p_data");
  RELEASE(reinterpret_cast<void*&>(IMAGE.P_DATAINDEX), __LINE__, "image.p_dataindex");
}

uint32_t IMAGE_FRAME_COUNT(const IMAGETYPE& IMAGE) {
  if (!IMAGE.P_DATAINDEX) return 0;
  return IMAGE.M_MAXINDEX == 0xFFFFFFFFu ? 0 : IMAGE.M_MAXINDEX + 1;
}

const uint8_t* IMAGE_FRAME(const IMAGETYPE& IMAGE, int64_t N) {
  if (!IMAGE.P_DATA || N < 0 || N >= static_cast<int64_t>(IMAGE_FRAME_COUNT(IMAGE))) {
    return nullptr;
  }
  const uint64_t OFFSET = IMAGE.P_DATAINDEX[N];
  if (OFFSET >= IMAGE.M_SIZE || IMAGE.M_SIZE - OFFSET < 2) return nullptr;
  const uint64_t WIDTH = IMAGE.P_DATA[OFFSET] / 8u;
  const uint64_t HEIGHT = IMAGE.P_DATA[OFFSET + 1];
  if (FRAME_WORDS(WIDTH, HEIGHT) > IMAGE.M_SIZE - OFFSET) return nullptr;
  return reinterpret_cast<const uint8_t*>(IMAGE.P_DATA + OFFSET);
}

std::string IMAGE_FRAME_LIST_NAME(const std::string& BITMAP_NAME) {
  // QUIRK: the name is cut at the first "." of the whole name, directories included
  // ("gfx.sheet.bmp" gives "gfx.txt"); pinned by Image.FilesLoadAsTheTableSays.
  return BITMAP_NAME.substr(0, BITMAP_NAME.find('.')) + ".txt";
}
