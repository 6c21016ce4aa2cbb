// Fuzz target: any bytes read as a .vly file. Short files are refused; others give one set
// within the designer's limits, which saved as .vly (when the file can hold it) and read
// again is the same set bit for bit.
#include <cstring>

#include "fuzz/fuzz_common.hpp"
#include "lib/src/formats.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* DATA, std::size_t SIZE) {
  volley::Programme P;
  try {
    P = volley::detail::parse_vly(DATA, SIZE, "in.vly");
  } catch (const volley::Error&) {
    FUZZ_CHECK(SIZE < 140, "only a file shorter than 140 bytes is refused");
    return 0;
  }
  FUZZ_CHECK(P.size() == 1, "a .vly file is one set");
  FUZZ_CHECK(P[0].MAXBULLET >= 0 && P[0].MAXBULLET <= 128, "slot count within the slots");
  FUZZ_CHECK(P[0].BULLETS_PER_SHOT >= 0 && P[0].BULLETS_PER_SHOT <= 128, "shot within the slots");
  std::vector<uint8_t> BYTES;
  try {
    BYTES = volley::detail::vly_bytes(P, "out.vly");
  } catch (const volley::Error&) {
    FUZZ_CHECK(P[0].ROTATION_AI == INT32_MAX, "only a saturated rotation switch cannot be saved");
    return 0;
  }
  const volley::Programme BACK = volley::detail::parse_vly(BYTES.data(), BYTES.size(), "back");
  FUZZ_CHECK(std::memcmp(&BACK[0], &P[0], sizeof P[0]) == 0, "the set reads back bit for bit");
  return 0;
}
