// Fuzz target: a ".put" sprite sheet is loaded, indexed, and every indexed frame is drawn.
// Every frame the index names must lie inside the frame store; DESTROY brings the tracker
// back to the block count it had when the load began.
#include "fuzz/fuzz_common.hpp"
#include "image/pixbank_image.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* DATA, std::size_t SIZE) {
  const volley_fuzz::SameBlocks BLOCKS;
  IMAGETYPE IMAGE{};
  IMAGE.INIT = IMAGE_INIT;
  IMAGE.INIT(IMAGE);
  IMAGE.M_FILENAME = volley_fuzz::write_file("sheet.put", DATA, SIZE);
  IMAGE.LOAD(IMAGE);
  const uint32_t COUNT = IMAGE_FRAME_COUNT(IMAGE);
  FUZZ_CHECK(SIZE >= 7 || COUNT == 0, "a file shorter than its header holds no frame");
  for (uint32_t N = 0; N < COUNT; ++N) {
    // The programs' way: the index entry, straight into the frame store.
    const uint32_t AT = IMAGE.P_DATAINDEX[N];
    FUZZ_CHECK(AT + 2u <= IMAGE.M_SIZE, "an indexed frame's header lies inside the store");
    const uint16_t* FRAME = IMAGE.P_DATA + AT;
    const uint64_t WORDS = (static_cast<uint64_t>(FRAME[0] / 8u) * FRAME[1] + 5) / 2;
    FUZZ_CHECK(AT + WORDS <= IMAGE.M_SIZE, "an indexed frame's pixels lie inside the store");
    FUZZ_CHECK(IMAGE_FRAME(IMAGE, N) == reinterpret_cast<const uint8_t*>(FRAME),
               "IMAGE_FRAME agrees with the index");
    volley_fuzz::draw(FRAME, N);
  }
  FUZZ_CHECK(IMAGE_FRAME(IMAGE, COUNT) == nullptr, "no frame past the last");
  FUZZ_CHECK(IMAGE_FRAME(IMAGE, -1) == nullptr, "no frame before the first");
  IMAGE.DESTROY(IMAGE);
  return 0;
}
