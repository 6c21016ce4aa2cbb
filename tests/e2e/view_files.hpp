// Test helpers for volleyview: files saved as editors save them, and trace lines read back by
// frame.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "run_program.hpp"

namespace e2e {

/// Writes TEXT to PATH through a temporary file and a rename, as editors save.
inline void SAVE_BY_RENAME(const std::filesystem::path& PATH, const std::string& TEXT) {
  const std::filesystem::path TMP = PATH.parent_path() / (".tmp_" + PATH.filename().string());
  std::ofstream(TMP) << TEXT;
  std::filesystem::rename(TMP, PATH);
}

/// The trace lines of a JSON-lines trace, by frame.
/// Only lines that end in a line break count: a trace still being written may end in part of
/// a line.
inline std::map<int, std::string> TRACE_BY_FRAME(const std::filesystem::path& TRACE) {
  std::map<int, std::string> OUT;
  const std::string TEXT = READ_FILE(TRACE);
  for (std::size_t AT = 0, END; (END = TEXT.find('\n', AT)) != std::string::npos; AT = END + 1)
    if (TEXT.compare(AT, 9, "{\"frame\":") == 0)
      OUT[std::stoi(TEXT.substr(AT + 9, 12))] = TEXT.substr(AT, END - AT);
  return OUT;
}

/// Text of the first value named NAME in LINE at or after FROM ("" when there is none).
inline std::string FIELD(const std::string& LINE, const std::string& NAME, std::size_t FROM = 0) {
  const std::size_t AT = LINE.find("\"" + NAME + "\":", FROM);
  if (AT == std::string::npos) return {};
  const std::size_t START = AT + NAME.size() + 3;
  return LINE.substr(START, LINE.find_first_of(",}", START) - START);
}

/// A field of the cannon (the first cannon of the line).
inline std::string CANNON_FIELD(const std::string& LINE, const std::string& NAME) {
  const std::size_t AT = LINE.find("\"cannons\":[{");
  return AT == std::string::npos ? std::string() : FIELD(LINE, NAME, AT);
}

}  // namespace e2e
