// harness: command-line options shared by volleyplay and volleyedit.
#include "harness/options.hpp"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>

#include "harness/version.hpp"
#include "leakscope/leakscope.hpp"

namespace harness {

namespace {

bool PARSE_COUNT(const std::string& TEXT, int32_t& OUT) {
  if (TEXT.empty() || TEXT[0] == '+' || TEXT[0] == '-') return false;
  const char* END = TEXT.data() + TEXT.size();
  auto [P, EC] = std::from_chars(TEXT.data(), END, OUT);
  return EC == std::errc() && P == END;
}

// Widest field a frame number may be padded to: wider fields would be cut at the 64-byte
// conversion buffer, and a width of millions makes snprintf pad for seconds.
constexpr int MAX_FIELD_WIDTH = 32;

// Length of an integer conversion starting at the '%' at PATTERN[I], or 0 when the text there
// is not one. Flags, a width up to MAX_FIELD_WIDTH and the conversions d, i and u are accepted.
std::size_t INT_CONVERSION_AT(const std::string& PATTERN, std::size_t I) {
  std::size_t J = I + 1;
  while (J < PATTERN.size() && std::strchr("-+ 0", PATTERN[J]) != nullptr) ++J;
  int WIDTH = 0;
  while (J < PATTERN.size() && PATTERN[J] >= '0' && PATTERN[J] <= '9') {
    WIDTH = WIDTH * 10 + (PATTERN[J] - '0');
    if (WIDTH > MAX_FIELD_WIDTH) return 0;
    ++J;
  }
  if (J < PATTERN.size() && std::strchr("diu", PATTERN[J]) != nullptr) return J - I + 1;
  return 0;
}

}  // namespace

bool valid_frame_pattern(const std::string& PATTERN) {
  int CONVERSIONS = 0;
  for (std::size_t I = 0; I < PATTERN.size(); ++I) {
    if (PATTERN[I] != '%') continue;
    if (I + 1 < PATTERN.size() && PATTERN[I + 1] == '%') {
      ++I;
      continue;
    }
    const std::size_t LEN = INT_CONVERSION_AT(PATTERN, I);
    if (LEN == 0) return false;
    ++CONVERSIONS;
    I += LEN - 1;
  }
  return CONVERSIONS == 1;
}

std::string frame_file_name(const std::string& PATTERN, int32_t F) {
  std::string OUT;
  for (std::size_t I = 0; I < PATTERN.size(); ++I) {
    if (PATTERN[I] != '%') {
      OUT += PATTERN[I];
      continue;
    }
    if (I + 1 < PATTERN.size() && PATTERN[I + 1] == '%') {
      OUT += '%';
      ++I;
      continue;
    }
    const std::size_t LEN = INT_CONVERSION_AT(PATTERN, I);
    if (LEN == 0) {  // not reached for a checked pattern; keep the text as it is
      OUT += PATTERN[I];
      continue;
    }
    // The conversion alone goes through snprintf, so the rest of the pattern is never a format.
    std::string SPEC = PATTERN.substr(I, LEN);
    char BUF[64];
    if (SPEC.back() == 'u') {
      std::snprintf(BUF, sizeof BUF, SPEC.c_str(), static_cast<unsigned>(F));
    } else {
      std::snprintf(BUF, sizeof BUF, SPEC.c_str(), static_cast<int>(F));
    }
    OUT += BUF;
    I += LEN - 1;
  }
  return OUT;
}

std::string usage_text(const OptionsConfig& CONFIG) {
  std::string U = "usage: " + CONFIG.PROGRAM +
                  " [--headless] [--frames N] [--trace FILE [--trace-from A] [--trace-to B]]\n"
                  "       [--png PATTERN [--png-every K]] [--gif FILE [--gif-every K]] [--scale N]";
  if (CONFIG.ALLOW_KEYS) U += " [--keys FILE]";
  if (CONFIG.ALLOW_CAPTURE_KEYS) U += " [--capture-keys]";
  U += " [--help] [--version]\n"
       "With no option the program runs as usual in its window until you quit it.\n"
       "  --headless         no window: memory screen, virtual 60 Hz clock, no waits for keys\n"
       "  --frames N         leave after N frames as if a key had been pressed (N >= 1)\n"
       "  --trace FILE       JSON Lines, one object per frame with every cannon and live bullet\n"
       "  --trace-from A     first traced frame (default 1)\n"
       "  --trace-to B       last traced frame (default: the last frame), A <= B\n"
       "  --png PATTERN      one PNG per recorded frame, PATTERN holds one %d (e.g. f%05d.png)\n"
       "  --png-every K      record frames 1, 1+K, 1+2K, ... (default 1)\n"
       "  --gif FILE         an animated GIF of the recorded frames, timed at 60 frames/s\n"
       "  --gif-every K      record frames 1, 1+K, 1+2K, ... (default 1)\n"
       "  --scale N          window N times the screen's size, nearest-pixel, N from 1 to 8\n"
       "                     (default 1); pages, traces and recordings keep their size\n";
  if (CONFIG.ALLOW_KEYS) {
    U += "  --keys FILE        scripted keys, lines \"FRAME KEY down|up\"\n";
  }
  if (CONFIG.ALLOW_CAPTURE_KEYS) {
    U += "  --capture-keys     F12 writes volley_NNNN.png, F11 starts/stops volley_NNNN.gif\n"
         "                     (the next free numbers here); other keys still end the run\n";
  }
  U += "  --help             this text\n"
       "  --version          the version number and the commit the program was built from\n";
  if (CONFIG.HEADLESS_NEEDS_FRAMES) U += "--headless needs --frames N (nobody can press a key).\n";
  return U;
}

ParseResult parse_options(int ARGC, const char* const* ARGV, const OptionsConfig& CONFIG) {
  ParseResult R;
  RunOptions& O = R.OPTIONS;
  std::set<std::string> SEEN;
  auto FAIL = [&R](const std::string& LINE) {
    R.STATUS = ParseStatus::ERROR;
    R.ERROR = LINE;
    return R;
  };

  for (int I = 1; I < ARGC; ++I) {
    std::string ARG = ARGV[I] != nullptr ? ARGV[I] : "";
    std::string VALUE;
    bool HAS_INLINE_VALUE = false;
    if (ARG.rfind("--", 0) == 0) {
      const std::size_t EQ = ARG.find('=');
      if (EQ != std::string::npos) {
        VALUE = ARG.substr(EQ + 1);
        ARG = ARG.substr(0, EQ);
        HAS_INLINE_VALUE = true;
      }
    }

    const bool FLAG = ARG == "--headless" || ARG == "--help" || ARG == "--version" ||
                      (ARG == "--capture-keys" && CONFIG.ALLOW_CAPTURE_KEYS);
    const bool TEXT_VALUE = ARG == "--trace" || ARG == "--png" || ARG == "--gif" ||
                            (ARG == "--keys" && CONFIG.ALLOW_KEYS);
    const bool NUMBER_VALUE = ARG == "--frames" || ARG == "--trace-from" || ARG == "--trace-to" ||
                              ARG == "--png-every" || ARG == "--gif-every" || ARG == "--scale";
    if (!FLAG && !TEXT_VALUE && !NUMBER_VALUE) {
      if (ARG.rfind("-", 0) == 0) return FAIL("unknown option " + ARG);
      return FAIL("unexpected argument '" + ARG + "'");
    }
    if (!SEEN.insert(ARG).second) return FAIL("option " + ARG + " given twice");

    if (FLAG) {
      if (HAS_INLINE_VALUE) return FAIL("option " + ARG + " takes no value");
      // DEVIATION(version-option): --version prints the version line and ends the program.
      if (ARG == "--help" || ARG == "--version") {
        R.STATUS = ARG == "--help" ? ParseStatus::HELP : ParseStatus::VERSION;
        return R;
      }
      if (ARG == "--capture-keys") {
        O.CAPTURE_KEYS = true;
      } else {
        O.HEADLESS = true;
      }
      continue;
    }

    if (!HAS_INLINE_VALUE) {
      if (I + 1 >= ARGC || ARGV[I + 1] == nullptr) return FAIL("option " + ARG + " needs a value");
      VALUE = ARGV[++I];
    }

    if (TEXT_VALUE) {
      if (VALUE.empty()) return FAIL("option " + ARG + " needs a file name");
      if (ARG == "--trace") O.TRACE = VALUE;
      if (ARG == "--png") O.PNG = VALUE;
      if (ARG == "--gif") O.GIF = VALUE;
      if (ARG == "--keys") O.KEYS = VALUE;
      continue;
    }

    int32_t N = 0;
    const bool SCALE = ARG == "--scale";
    if (!PARSE_COUNT(VALUE, N) || N < 1 || (SCALE && N > 8)) {
      const std::string RANGE = SCALE ? "from 1 to 8" : "of at least 1";
      return FAIL("option " + ARG + " needs a whole number " + RANGE + ", not '" + VALUE + "'");
    }
    if (ARG == "--frames") O.FRAMES = N;
    if (ARG == "--trace-from") O.TRACE_FROM = N;
    if (ARG == "--trace-to") O.TRACE_TO = N;
    if (ARG == "--png-every") O.PNG_EVERY = N;
    if (ARG == "--gif-every") O.GIF_EVERY = N;
    // DEVIATION(window-scale): --scale N, an option that is off until given, makes the window
    // N times the screen. Pinned by VolleyplayWindow.OpensAtTheScreenSizeTimesTheScale.
    if (SCALE) O.SCALE = N;
  }

  // Options that only make sense with another one.
  if ((SEEN.count("--trace-from") || SEEN.count("--trace-to")) && O.TRACE.empty()) {
    return FAIL(std::string("option ") + (SEEN.count("--trace-from") ? "--trace-from" : "--trace-to") +
                " needs --trace FILE");
  }
  if (O.TRACE_FROM > O.TRACE_TO) {
    return FAIL("option --trace-from " + std::to_string(O.TRACE_FROM) + " lies after --trace-to " +
                std::to_string(O.TRACE_TO));
  }
  if (SEEN.count("--png-every") && O.PNG.empty()) return FAIL("option --png-every needs --png PATTERN");
  if (SEEN.count("--gif-every") && O.GIF.empty()) return FAIL("option --gif-every needs --gif FILE");
  if (!O.PNG.empty() && !valid_frame_pattern(O.PNG)) {
    return FAIL("option --png needs a pattern with exactly one %d for the frame number, not '" + O.PNG +
                "'");
  }
  // A headless run cannot receive a key, so it must be told when to stop.
  if (O.HEADLESS && O.FRAMES == 0 && CONFIG.HEADLESS_NEEDS_FRAMES) {
    return FAIL("option --headless needs --frames N");
  }
  return R;
}

void fail_before_run(const std::string& LINE) {
  std::fprintf(stderr, "%s\n", LINE.c_str());
  std::fflush(stderr);
  LEAKSCOPE_SET_EXIT_WAIT(false);
  std::exit(EXIT_USAGE);
}

RunOptions parse_options_or_exit(int ARGC, char** ARGV, const OptionsConfig& CONFIG) {
  ParseResult R = parse_options(ARGC, ARGV, CONFIG);
  if (R.STATUS == ParseStatus::HELP || R.STATUS == ParseStatus::VERSION) {
    const std::string TEXT =
        R.STATUS == ParseStatus::HELP ? usage_text(CONFIG) : version_text(CONFIG.PROGRAM);
    std::fputs(TEXT.c_str(), stdout);
    std::fflush(stdout);
    LEAKSCOPE_SET_EXIT_WAIT(false);
    std::exit(0);
  }
  if (R.STATUS == ParseStatus::ERROR) {
    std::fprintf(stderr, "%s: %s\n", CONFIG.PROGRAM.c_str(), R.ERROR.c_str());
    std::fputs(usage_text(CONFIG).c_str(), stderr);
    std::fflush(stderr);
    LEAKSCOPE_SET_EXIT_WAIT(false);
    std::exit(EXIT_USAGE);
  }
  return R.OPTIONS;
}

}  // namespace harness
