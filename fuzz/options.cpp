// Fuzz target: any command line for either program. Input: arguments separated by NUL bytes.
// A command line that parses has consistent options, and a --png pattern it accepts expands
// for every frame number without reading outside its text.
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/fuzz_common.hpp"
#include "harness/options.hpp"

namespace {

void PARSE(const std::vector<const char*>& ARGV, const harness::OptionsConfig& CONFIG) {
  const harness::ParseResult R =
      harness::parse_options(static_cast<int>(ARGV.size() - 1), ARGV.data(), CONFIG);
  FUZZ_CHECK(R.STATUS != harness::ParseStatus::ERROR || !R.ERROR.empty(),
             "a refused command line says why");
  if (R.STATUS != harness::ParseStatus::RUN) return;
  const harness::RunOptions& O = R.OPTIONS;
  FUZZ_CHECK(O.FRAMES >= 0, "frame count");
  FUZZ_CHECK(O.TRACE_FROM >= 1 && O.TRACE_FROM <= O.TRACE_TO, "trace range");
  FUZZ_CHECK(O.PNG_EVERY >= 1 && O.GIF_EVERY >= 1, "recording steps");
  FUZZ_CHECK(!O.HEADLESS || !CONFIG.HEADLESS_NEEDS_FRAMES || O.FRAMES > 0,
             "a headless run that must end has a frame count");
  FUZZ_CHECK(CONFIG.ALLOW_KEYS || O.KEYS.empty(), "--keys only where it is offered");
  FUZZ_CHECK(O.PNG.empty() || harness::valid_frame_pattern(O.PNG),
             "an accepted --png pattern is valid");
  for (int32_t F : {1, 7, 99999, 2147483647})
    FUZZ_CHECK(O.PNG.empty() || harness::frame_file_name(O.PNG, F).find('\0') == std::string::npos,
               "an accepted pattern expands to a name without NUL bytes");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* DATA, std::size_t SIZE) {
  const std::string TEXT(reinterpret_cast<const char*>(DATA), SIZE);  // ends in a NUL byte
  std::vector<const char*> ARGV{"program name"};
  for (std::size_t AT = 0; AT < SIZE && ARGV.size() <= 32; AT += std::strlen(ARGV.back()) + 1)
    ARGV.push_back(TEXT.c_str() + AT);
  ARGV.push_back(nullptr);
  PARSE(ARGV, {"volleyplay", false, true});
  PARSE(ARGV, {"volleyedit", true, false});
  return 0;
}
