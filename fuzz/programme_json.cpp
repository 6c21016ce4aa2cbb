// Fuzz target: any text read as a .json programme. It is refused with a volley::Error or
// loaded whole; a loaded programme written as .json and read again is the same bit for bit.
#include <cstring>

#include "fuzz/fuzz_common.hpp"
#include "lib/src/formats.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* DATA, std::size_t SIZE) {
  volley::Programme P;
  try {
    P = volley::detail::parse_json({reinterpret_cast<const char*>(DATA), SIZE}, "in.json");
  } catch (const volley::Error&) {
    return 0;
  }
  const volley::Programme BACK = volley::detail::parse_json(volley::programme_json(P), "back");
  FUZZ_CHECK(BACK.size() == P.size(), "the saved programme has every set");
  for (std::size_t K = 0; K < P.size(); ++K)
    FUZZ_CHECK(std::memcmp(&BACK[K], &P[K], sizeof P[K]) == 0, "a set reads back bit for bit");
  return 0;
}
