// Fuzz targets of the image loaders: the promises every loaded sheet keeps.
#pragma once

#include "fuzz/fuzz_common.hpp"
#include "image/pixbank_image.hpp"

namespace volley_fuzz {

/// Draws every frame of the loaded IMAGE. Each frame lies inside the frame store (IMAGE_FRAME
/// gives its buffer) unless its index entry marks it missing, or, when LISTED, a frame list
/// placed it outside; a missing frame gives no buffer, nor does a number outside the sheet.
inline void check_frames(const IMAGETYPE& IMAGE, bool LISTED) {
  for (uint32_t N = 0; N < IMAGE_FRAME_COUNT(IMAGE); ++N) {
    const bool MISSING = IMAGE.P_DATAINDEX[N] == IMAGE_NO_FRAME;
    if (MISSING || !LISTED)
      FUZZ_CHECK((IMAGE_FRAME(IMAGE, N) == nullptr) == MISSING, "only a missing frame is lost");
    draw(IMAGE_FRAME(IMAGE, N), N);
  }
  FUZZ_CHECK(IMAGE_FRAME(IMAGE, IMAGE_FRAME_COUNT(IMAGE)) == nullptr, "no frame past the last");
  FUZZ_CHECK(IMAGE_FRAME(IMAGE, -1) == nullptr, "no frame before the first");
}

}  // namespace volley_fuzz
