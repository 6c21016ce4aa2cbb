// harness: command-line options shared by volleyplay and volleyedit.
// Headless, traced and recorded runs are extensions; a program started without arguments
// opens its window, runs until its key, waits for a key after the tracker's report and ends
// with code 0.
#pragma once

#include <cstdint>
#include <limits>
#include <string>

namespace harness {

/// What a program accepts beyond the common options.
struct OptionsConfig {
  std::string PROGRAM;           ///< name printed in the usage text
  bool ALLOW_KEYS = false;       ///< accept --keys FILE (the designer's scripted input)
  bool HEADLESS_NEEDS_FRAMES = true;  ///< --headless without --frames N is refused
  bool ALLOW_CAPTURE_KEYS = false;    ///< accept --capture-keys (the player's F11/F12 switch)
};

/// The parsed options. A frame number F counts the passes of the frame loop from 1.
struct RunOptions {
  bool HEADLESS = false;
  int32_t FRAMES = 0;  ///< leave the loop after this many frames; 0: run until a key
  std::string TRACE;   ///< JSON-lines trace file, empty: none
  int32_t TRACE_FROM = 1;
  int32_t TRACE_TO = std::numeric_limits<int32_t>::max();
  std::string PNG;     ///< printf pattern with one integer conversion for the frame number
  int32_t PNG_EVERY = 1;
  std::string GIF;
  int32_t GIF_EVERY = 1;
  std::string KEYS;    ///< key script (only when OptionsConfig::ALLOW_KEYS)
  int32_t SCALE = 1;   ///< window scale, 1 to 8: the window only, never the page or the files
  bool CAPTURE_KEYS = false;  ///< F12/F11 capture instead of ending the run (the player)

  /// True when frame F belongs to the traced range.
  bool traces(int32_t F) const { return !TRACE.empty() && F >= TRACE_FROM && F <= TRACE_TO; }
  /// True when the loop must end after frame F as if a key had been pressed.
  bool last_frame(int32_t F) const { return FRAMES > 0 && F >= FRAMES; }
};

enum class ParseStatus { RUN, HELP, VERSION, ERROR };

struct ParseResult {
  ParseStatus STATUS = ParseStatus::RUN;
  RunOptions OPTIONS;
  std::string ERROR;  ///< one line naming the option, for ParseStatus::ERROR
};

/// Parses ARGV[1..ARGC-1]. Values follow their option as the next argument or after "=".
/// Numbers are whole decimal numbers of at least 1 (--scale at most 8); each option may be
/// given once.
ParseResult parse_options(int ARGC, const char* const* ARGV, const OptionsConfig& CONFIG);

/// The usage text (several lines, ending in a line break).
std::string usage_text(const OptionsConfig& CONFIG);

/// Checks a --png pattern: exactly one integer conversion (%d, %i or %u with optional flags
/// and width), any number of "%%", and no other conversion.
bool valid_frame_pattern(const std::string& PATTERN);

/// Expands a checked pattern for frame F.
std::string frame_file_name(const std::string& PATTERN, int32_t F);

/// For main(): on --help prints the usage, on --version the version line (harness/version.hpp),
/// on standard output and exits 0; on a bad option
/// prints the error line and the usage on standard error and exits 2. The tracker's exit
/// report still runs but does not wait for a key in either case.
RunOptions parse_options_or_exit(int ARGC, char** ARGV, const OptionsConfig& CONFIG);

/// Exit code of every harness failure (bad option, file that cannot be written).
// DEVIATION(command-line-options): the programs otherwise always end with 0; only a harness
// option that cannot be honoured ends with 2.
inline constexpr int EXIT_USAGE = 2;

/// Ends the program early: prints LINE on standard error and exits with EXIT_USAGE, without
/// the tracker's key wait. For failures found before the run starts.
[[noreturn]] void fail_before_run(const std::string& LINE);

}  // namespace harness
