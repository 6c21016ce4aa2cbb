// Fuzz target: any command line for either program. Input: arguments separated by NUL bytes.
// A command line that parses has consistent options, and a --png pattern it accepts expands
// for every frame number without reading outside its text.
#include <string>
#include <vector>

#include "fuzz/fuzz_common.hpp"
#include "harness/options.hpp"

namespace {

void CHECK_PATTERN(const std::string& PATTERN) {
  if (!harness::valid_frame_pattern(PATTERN)) return;
  for (int32_t F : {1, 7, 99999, 2147483647}) {
    const std::string NAME = harness::frame_file_name(PATTERN, F);
    FUZZ_CHECK(NAME.find('\0') == std::string::npos || PATTERN.find('\0') != std::string::npos,
               "an expanded name holds no NUL byte of its own");
  }
}

void PARSE(const std::vector<std::string>& ARGS, const harness::OptionsConfig& CONFIG) {
  std::vector<const char*> ARGV;
  ARGV.push_back(CONFIG.PROGRAM.c_str());
  for (const std::string& A : ARGS) ARGV.push_back(A.c_str());
  ARGV.push_back(nullptr);
  const harness::ParseResult R =
      harness::parse_options(static_cast<int>(ARGV.size() - 1), ARGV.data(), CONFIG);
  if (R.STATUS == harness::ParseStatus::ERROR) {
    FUZZ_CHECK(!R.ERROR.empty(), "a refused command line says why");
    return;
  }
  if (R.STATUS != harness::ParseStatus::RUN) return;
  const harness::RunOptions& O = R.OPTIONS;
  FUZZ_CHECK(O.FRAMES >= 0, "frame count");
  FUZZ_CHECK(O.TRACE_FROM >= 1 && O.TRACE_FROM <= O.TRACE_TO, "trace range");
  FUZZ_CHECK(O.PNG_EVERY >= 1 && O.GIF_EVERY >= 1, "recording steps");
  FUZZ_CHECK(!O.HEADLESS || !CONFIG.HEADLESS_NEEDS_FRAMES || O.FRAMES > 0,
             "a headless run that must end has a frame count");
  FUZZ_CHECK(CONFIG.ALLOW_KEYS || O.KEYS.empty(), "--keys only where it is offered");
  if (!O.PNG.empty()) {
    FUZZ_CHECK(harness::valid_frame_pattern(O.PNG), "an accepted --png pattern is valid");
    CHECK_PATTERN(O.PNG);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* DATA, std::size_t SIZE) {
  std::vector<std::string> ARGS(1);
  for (std::size_t I = 0; I < SIZE && ARGS.size() <= 32; ++I) {
    if (DATA[I] == 0) {
      ARGS.emplace_back();
    } else {
      ARGS.back().push_back(static_cast<char>(DATA[I]));
    }
  }
  if (SIZE == 0) ARGS.clear();
  harness::OptionsConfig PLAY{"volleyplay", false, true};
  harness::OptionsConfig EDIT{"volleyedit", true, false};
  PARSE(ARGS, PLAY);
  PARSE(ARGS, EDIT);
  for (const std::string& A : ARGS) CHECK_PATTERN(A);
  return 0;
}
