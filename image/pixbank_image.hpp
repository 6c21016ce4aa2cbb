// pixbank_image: palettes, sprite sheets and bitmaps for both programs.
// A loaded sheet is an IMAGETYPE: one tracked block holding every frame back to back (the
// frame store, 16-bit words) and one tracked block with the word offset of each frame.
#pragma once

#include <cstdint>
#include <string>

#include "image/image_variant.hpp"

/// A sprite sheet. The owner zero-fills it (`IMAGETYPE IMAGE{};`), stores IMAGE_INIT in INIT
/// and calls it, sets M_FILENAME, calls one loader; draws; calls DESTROY. The record owns
/// P_DATA and P_DATAINDEX (tracker module "pixbank_image"). One load per record between INIT
/// and DESTROY: a second load does not return the first load's blocks.
struct IMAGETYPE {
  uint32_t M_SIZE;       ///< size of the frame store in 16-bit words
  uint32_t M_PITCH;      ///< not used by any operation
  uint32_t M_MAXINDEX;   ///< index of the last frame; all bits set when there is no frame
  std::string M_FILENAME;
  uint16_t* P_DATA;      ///< the frame store (owned)
  uint32_t* P_DATAINDEX; ///< entry n: word offset of frame n in P_DATA (owned)
  void (*INIT)(IMAGETYPE& IMAGE);
  void (*LOAD)(IMAGETYPE& IMAGE);
  void (*LOAD_BMP)(IMAGETYPE& IMAGE, int32_t WID, int32_t HEI);
  void (*LOAD_BMP_SET)(IMAGETYPE& IMAGE, int32_t TILE_WID, int32_t TILE_HEI);
  void (*LOAD_BMP_SETL)(IMAGETYPE& IMAGE);
  void (*DESTROY)(IMAGETYPE& IMAGE);
};

/// Index entry of a frame that a frame list described outside the bitmap or the frame store:
/// IMAGE_FRAME gives no buffer for it, so drawing it draws nothing.
inline constexpr uint32_t IMAGE_NO_FRAME = 0xFFFFFFFFu;

/// Sets all 256 entries of the drawing library's palette from a ".pal" file (256 little-endian
/// packed 6-bit entries). An empty name, a missing file or a short file leaves the entries it
/// does not supply black; the palette is set all the same.
void INIT_PALETTE_DATA(const std::string& FILENAME);

/// Fills the slots LOAD to DESTROY. Touches no data field and not the INIT slot.
void IMAGE_INIT(IMAGETYPE& IMAGE);

/// Loads the ".put" sheet M_FILENAME (7-byte header, then frames) and indexes its frames.
/// A missing file or one shorter than its header gives an empty sheet (no frame).
void IMAGE_LOAD(IMAGETYPE& IMAGE);

/// Loads the 8-bit bitmap M_FILENAME as one frame of WID x HEI pixels.
/// VARIANT(play): builds no index (P_DATAINDEX and M_MAXINDEX stay as they were).
/// Fatal (console line, key, exit 0) when the frame store cannot be obtained.
void IMAGE_LOAD_BMP(IMAGETYPE& IMAGE, int32_t WID, int32_t HEI);

/// Loads the bitmap M_FILENAME and cuts it into TILE_WID x TILE_HEI tiles, left to right then
/// top to bottom; partial tiles at the right and bottom edges are dropped. Tiles larger than
/// the bitmap, or zero or negative tile sizes, give a sheet with no frame.
void IMAGE_LOAD_BMP_SET(IMAGETYPE& IMAGE, int32_t TILE_WID, int32_t TILE_HEI);

/// Loads the bitmap M_FILENAME and cuts it as its frame list says (the name up to its first
/// "." plus ".txt"). Frames that would lie outside the bitmap or the frame store are indexed
/// as IMAGE_NO_FRAME. A missing frame list gives no frame.
void IMAGE_LOAD_BMP_SETL(IMAGETYPE& IMAGE);

/// Returns both blocks to the tracker and nulls the pointers.
/// VARIANT(play): a null pointer is skipped instead of being handed to the tracker.
void IMAGE_DESTROY(IMAGETYPE& IMAGE);

/// Builds the frame index of the loaded frame store by walking the frame headers; a trailing
/// incomplete frame is not indexed.
void IMAGE_INDEX(IMAGETYPE& IMAGE);

/// Cuts the loaded single-frame bitmap in P_DATA into tiles (see IMAGE_LOAD_BMP_SET).
void IMAGE_INDEX_BMP(IMAGETYPE& IMAGE, int32_t TILE_WID, int32_t TILE_HEI, int32_t BMP_WID,
                     int32_t BMP_HEI);

/// The image buffer of frame N (borrowed from the frame store), or null when N is not a frame
/// of the sheet or its header or pixels would lie outside the frame store. Drawing code uses
/// it so that a frame number outside the sheet draws nothing.
const uint8_t* IMAGE_FRAME(const IMAGETYPE& IMAGE, int64_t N);

/// Number of frames of the sheet (M_MAXINDEX + 1, 0 when it holds none).
uint32_t IMAGE_FRAME_COUNT(const IMAGETYPE& IMAGE);

/// The frame list's name for a bitmap name: everything before the first "." of the whole name,
/// then ".txt" ("gfx.sheet.bmp" gives "gfx.txt", "ship" gives "ship.txt").
std::string IMAGE_FRAME_LIST_NAME(const std::string& BITMAP_NAME);
