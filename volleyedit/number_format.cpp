// volleyedit number formats (namespace NDESIGNER).
#include "volleyedit/number_format.hpp"

#include <charconv>
#include <cstdint>

namespace NDESIGNER {

std::string FORMAT_INT(int32_t V) { return std::to_string(V); }

std::string FORMAT_REF(const void* P) {
  return std::to_string(reinterpret_cast<std::uintptr_t>(P));
}

std::string FORMAT_FLOAT(float V) {
  // CHOICE: the exponent form is that of C's %.7g ("1e+07", "1.234568e-05": signed, at least
  // two digits); pinned by
  // StatsFloatFormat.SevenSignificantDigitsAndExponentFormForVerySmallAndLargeValues.
  // The general format with 7 significant digits already drops trailing zeros and a bare
  // point; to_chars does not depend on the locale.
  char TEXT[32];
  const auto RESULT =
      std::to_chars(TEXT, TEXT + sizeof TEXT, static_cast<double>(V), std::chars_format::general, 7);
  return std::string(TEXT, RESULT.ptr);
}

}  // namespace NDESIGNER
