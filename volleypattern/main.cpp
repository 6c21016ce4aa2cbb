// volleypattern: the pattern tool. Converts programmes between .vly and .json, checks them,
// joins sets and programmes into one, reports when each set starts and how many bullets the
// programme keeps alive, and records a headless run drawn as the designer draws its cannon.
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "barrage/cannon_draw.hpp"
#include "display/draw2d.hpp"
#include "harness/image_writers.hpp"
#include "harness/options.hpp"
#include "harness/recorder.hpp"
#include "image/pixbank_image.hpp"
#include "volley/volley.hpp"

namespace {

constexpr int EXIT_PROBLEM = 1;
constexpr int EXIT_USAGE = 2;
constexpr int PAGE_W = 320;
constexpr int PAGE_H = 240;
// CHOICE: info runs the programme until its last set has started and this many frames more
// (ten seconds at 60 frames a second), but never longer than RUN_LIMIT frames.
constexpr int64_t SETTLE_FRAMES = 600;
constexpr int64_t RUN_LIMIT = 1000000;

const char* const USAGE =
    "usage: volleypattern convert IN OUT\n"
    "       volleypattern check FILE...\n"
    "       volleypattern join SOURCE[:FRAMES]... -o OUT\n"
    "       volleypattern info FILE\n"
    "       volleypattern render FILE --frames N (--gif OUT.gif | --png PATTERN)\n"
    "       volleypattern --help\n"
    "\n"
    "Programmes are .vly files (one set, as the designer saves it) or .json files.\n"
    "  convert  reads IN and writes OUT, each in the format its extension names\n"
    "  check    reads every FILE; one line per file that cannot be read, exit 1 if any\n"
    "  join     one programme of the sets of every SOURCE in order; FRAMES becomes the\n"
    "           DELAY of the first set taken from that SOURCE\n"
    "  info     the sets, the frame each one starts and the peak of live bullets, found\n"
    "           by running the programme until its last set has started and 600 frames more\n"
    "  render   plays the programme for N frames on the 320 x 240 page, drawn with\n"
    "           korvane.pal and kv_bullet.put from the working directory; --png PATTERN\n"
    "           takes one integer conversion for the frame number (shot%04d.png)\n";

int usage_error(const std::string& WHY) {
  std::fprintf(stderr, "volleypattern: %s\n%s", WHY.c_str(), USAGE);
  return EXIT_USAGE;
}

int problem(const std::string& WHAT) {
  std::fprintf(stderr, "volleypattern: %s\n", WHAT.c_str());
  return EXIT_PROBLEM;
}

bool parse_count(std::string_view TEXT, int64_t MAX, int64_t& OUT) {
  int64_t V = 0;
  const auto R = std::from_chars(TEXT.data(), TEXT.data() + TEXT.size(), V);
  if (R.ec != std::errc() || R.ptr != TEXT.data() + TEXT.size() || V < 0 || V > MAX) return false;
  OUT = V;
  return true;
}

int convert(const std::vector<std::string>& ARGS) {
  if (ARGS.size() != 2) return usage_error("convert takes IN and OUT");
  try {
    volley::save_programme(volley::load_programme(ARGS[0]), ARGS[1]);
  } catch (const volley::Error& E) {
    return problem(E.what());
  }
  return 0;
}

int check(const std::vector<std::string>& ARGS) {
  if (ARGS.empty()) return usage_error("check takes at least one FILE");
  int STATUS = 0;
  for (const std::string& FILE : ARGS) {
    try {
      (void)volley::load_programme(FILE);
    } catch (const volley::Error& E) {
      STATUS = problem(E.what());
    }
  }
  return STATUS;
}

int join(const std::vector<std::string>& ARGS) {
  std::vector<std::string> SOURCES;
  std::string OUT;
  for (std::size_t K = 0; K < ARGS.size(); ++K) {
    if (ARGS[K] == "-o") {
      if (K + 1 >= ARGS.size() || !OUT.empty()) return usage_error("-o takes one OUT file");
      OUT = ARGS[++K];
    } else {
      SOURCES.push_back(ARGS[K]);
    }
  }
  if (OUT.empty()) return usage_error("join needs -o OUT");
  if (SOURCES.empty()) return usage_error("join takes at least one SOURCE");
  volley::Programme JOINED;
  try {
    for (const std::string& SOURCE : SOURCES) {
      // "name:120" gives 120 frames; a colon not followed by digits alone is part of the name.
      // CHOICE: FRAMES given with a programme becomes the DELAY of its first set.
      std::string PATH = SOURCE;
      int64_t FRAMES = -1;
      const std::size_t COLON = SOURCE.rfind(':');
      if (COLON != std::string::npos && COLON + 1 < SOURCE.size()) {
        const std::string_view TAIL = std::string_view(SOURCE).substr(COLON + 1);
        if (TAIL.find_first_not_of("0123456789") == std::string_view::npos) {
          if (!parse_count(TAIL, INT32_MAX, FRAMES))
            return usage_error("FRAMES of '" + SOURCE + "' is above 2147483647");
          PATH = SOURCE.substr(0, COLON);
        }
      }
      volley::Programme PART = volley::load_programme(PATH);
      if (FRAMES >= 0 && !PART.empty()) PART.front().DELAY = static_cast<int32_t>(FRAMES);
      JOINED.insert(JOINED.end(), PART.begin(), PART.end());
    }
    volley::save_programme(JOINED, OUT);
  } catch (const volley::Error& E) {
    return problem(E.what());
  }
  return 0;
}

int info(const std::vector<std::string>& ARGS) {
  if (ARGS.size() != 1) return usage_error("info takes one FILE");
  volley::Programme P;
  try {
    P = volley::load_programme(ARGS[0]);
  } catch (const volley::Error& E) {
    return problem(E.what());
  }
  // The frame the last set starts, if every set waits its whole DELAY: the run's length.
  int64_t LAST_START = 0;
  for (const volley::Set& S : P) LAST_START += (S.DELAY > 0 ? S.DELAY : 0) + 1;
  const int64_t FRAMES = std::min(LAST_START + SETTLE_FRAMES, RUN_LIMIT);

  volley::Cannon C(P);
  std::vector<int64_t> START(P.size(), 0);
  int PEAK = 0;
  int64_t PEAK_FRAME = 0;
  for (int64_t F = 1; F <= FRAMES; ++F) {
    const int32_t BEFORE = C.turret().LISTINDEX;
    C.step();
    // A set is applied when the list index moves on: it starts on this frame.
    const int32_t AFTER = C.turret().LISTINDEX;
    if (AFTER > BEFORE && AFTER >= 1 && static_cast<std::size_t>(AFTER) <= P.size())
      START[static_cast<std::size_t>(AFTER - 1)] = F;
    const int LIVE = C.live_bullets();
    if (LIVE > PEAK) {
      PEAK = LIVE;
      PEAK_FRAME = F;
    }
  }
  std::printf("%s: %zu set%s\n", ARGS[0].c_str(), P.size(), P.size() == 1 ? "" : "s");
  for (std::size_t K = 0; K < P.size(); ++K) {
    if (START[K] > 0) {
      std::printf("set %zu: starts at frame %lld (DELAY %d)\n", K + 1,
                  static_cast<long long>(START[K]), P[K].DELAY);
    } else {
      std::printf("set %zu: not started within %lld frames (DELAY %d)\n", K + 1,
                  static_cast<long long>(FRAMES), P[K].DELAY);
    }
  }
  if (PEAK > 0) {
    std::printf("peak live bullets: %d at frame %lld (frames 1 to %lld)\n", PEAK,
                static_cast<long long>(PEAK_FRAME), static_cast<long long>(FRAMES));
  } else {
    std::printf("peak live bullets: 0 (frames 1 to %lld)\n", static_cast<long long>(FRAMES));
  }
  return 0;
}

int render(const std::vector<std::string>& ARGS) {
  std::string FILE;
  harness::RunOptions OPTIONS;
  OPTIONS.HEADLESS = true;
  for (std::size_t K = 0; K < ARGS.size(); ++K) {
    const std::string& A = ARGS[K];
    if (A == "--frames" || A == "--gif" || A == "--png") {
      if (K + 1 >= ARGS.size()) return usage_error(A + " takes a value");
      const std::string& V = ARGS[++K];
      if (A == "--frames") {
        int64_t N = 0;
        if (OPTIONS.FRAMES != 0 || !parse_count(V, INT32_MAX, N) || N < 1)
          return usage_error("--frames takes one whole number of at least 1");
        OPTIONS.FRAMES = static_cast<int32_t>(N);
      } else if (A == "--gif") {
        if (!OPTIONS.GIF.empty()) return usage_error("--gif is given twice");
        OPTIONS.GIF = V;
      } else {
        if (!OPTIONS.PNG.empty()) return usage_error("--png is given twice");
        if (!harness::valid_frame_pattern(V))
          return usage_error("--png takes a pattern with one integer conversion, such as f%d.png");
        OPTIONS.PNG = V;
      }
    } else if (A.starts_with("--") || !FILE.empty()) {
      return usage_error("render does not take '" + A + "'");
    } else {
      FILE = A;
    }
  }
  if (FILE.empty()) return usage_error("render takes one FILE");
  if (OPTIONS.FRAMES == 0) return usage_error("render needs --frames N");
  if (OPTIONS.GIF.empty() && OPTIONS.PNG.empty()) return usage_error("render needs --gif or --png");

  volley::Programme P;
  try {
    P = volley::load_programme(FILE);
  } catch (const volley::Error& E) {
    return problem(E.what());
  }
  // The palette and the bullet sheet come from the working directory, as for the programs;
  // without them the picture would be black, so they must be there.
  for (const char* ASSET : {"korvane.pal", "kv_bullet.put"})
    if (!std::filesystem::is_regular_file(ASSET))
      return problem(std::string("cannot read ") + ASSET + " in the working directory");

  std::string ERROR;
  harness::Recorder RECORDER;
  if (!RECORDER.open(OPTIONS, ERROR)) return problem(ERROR);
  draw2d::set_headless(true);
  INIT_PALETTE_DATA("korvane.pal");
  const harness::Palette PALETTE = harness::current_palette();
  IMAGETYPE SHEET{};
  SHEET.INIT = IMAGE_INIT;
  SHEET.INIT(SHEET);
  SHEET.M_FILENAME = "kv_bullet.put";
  SHEET.LOAD(SHEET);
  uint8_t* PAGE = draw2d::create_buffer(PAGE_W, PAGE_H);

  int STATUS = 0;
  {
    volley::Cannon C(P);
    for (int32_t F = 1; F <= OPTIONS.FRAMES && PAGE != nullptr; ++F) {
      C.step();
      draw2d::box(PAGE, 0, 0, PAGE_W - 1, PAGE_H - 1, 0);
      NDESIGNER::DRAW_CANNON(PAGE, C.turret(), SHEET);
      if (RECORDER.wants(F) && !RECORDER.capture_indexed(F, PAGE, PALETTE, ERROR)) {
        STATUS = problem(ERROR);
        break;
      }
    }
  }
  if (PAGE == nullptr) STATUS = problem("cannot allocate the page");
  draw2d::free_buffer(PAGE);
  SHEET.DESTROY(SHEET);
  if (!RECORDER.close(ERROR) && STATUS == 0) STATUS = problem(ERROR);
  return STATUS;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return usage_error("no command given");
  const std::string COMMAND = argv[1];
  const std::vector<std::string> ARGS(argv + 2, argv + argc);
  if (COMMAND == "--help" || COMMAND == "-h" || COMMAND == "help") {
    std::fputs(USAGE, stdout);
    return 0;
  }
  if (COMMAND == "convert") return convert(ARGS);
  if (COMMAND == "check") return check(ARGS);
  if (COMMAND == "join") return join(ARGS);
  if (COMMAND == "info") return info(ARGS);
  if (COMMAND == "render") return render(ARGS);
  return usage_error("unknown command '" + COMMAND + "'");
}
