// Fuzz target: a ".put" sprite sheet is loaded, indexed, and every indexed frame is drawn.
// Every frame the index names must lie inside the frame store; DESTROY brings the tracker
// back to the block count it had when the load began.
#include "fuzz/image_frames.hpp"
#include "image/pixbank_image.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* DATA, std::size_t SIZE) {
  const volley_fuzz::SameBlocks BLOCKS;
  IMAGETYPE IMAGE{};
  IMAGE.INIT = IMAGE_INIT;
  IMAGE.INIT(IMAGE);
  IMAGE.M_FILENAME = volley_fuzz::write_file("sheet.put", DATA, SIZE);
  IMAGE.LOAD(IMAGE);
  FUZZ_CHECK(SIZE >= 7 || IMAGE_FRAME_COUNT(IMAGE) == 0, "a file shorter than a header: no frame");
  volley_fuzz::check_frames(IMAGE, false);
  IMAGE.DESTROY(IMAGE);
  return 0;
}
