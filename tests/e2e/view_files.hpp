// Test helpers for volleyview: pattern files written as .json programmes, and trace lines
// read back by frame.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace e2e {

/// One set of a programme: the fields of a cannon in the middle of the page firing a fan of
/// four, with the named fields replaced (values as JSON text).
inline std::string SET_JSON(const std::map<std::string, std::string>& CHANGES) {
  std::map<std::string, std::string> F = {{"X", "160"},
                                          {"Y", "120"},
                                          {"ACTIVE", "-1"},
                                          {"RADIUS", "10"},
                                          {"MAXROTATION", "359"},
                                          {"ROTSPEED", "8"},
                                          {"ROTDIR", "1"},
                                          {"MAXSPAWNDELAY", "4"},
                                          {"MAXBULLET", "128"},
                                          {"BULLETS_PER_SHOT", "4"},
                                          {"SPREAD_ROTATION", "25"},
                                          {"BULLETSPEED", "4"},
                                          {"BULLETOFFSET", "1.3"},
                                          {"BULLETWAVEMAXDELAY", "3"},
                                          {"BULLET_TYPE", "1"},
                                          {"BULLET_MIN_FRAME", "26"},
                                          {"BULLET_NUM_FRAME", "1"}};
  for (const auto& [K, V] : CHANGES) F[K] = V;
  std::string S = "{";
  for (const auto& [K, V] : F) S += (S.size() > 1 ? ", \"" : "\"") + K + "\": " + V;
  return S + "}";
}

/// A programme file of the given sets.
inline std::string PROGRAMME_JSON(const std::vector<std::string>& SETS) {
  std::string S = "{\"format\": \"volley-programme\", \"version\": 1, \"sets\": [";
  for (std::size_t I = 0; I < SETS.size(); ++I) S += (I ? ", " : "") + SETS[I];
  return S + "]}\n";
}

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
  std::ifstream IN(TRACE, std::ios::binary);
  const std::string TEXT((std::istreambuf_iterator<char>(IN)), std::istreambuf_iterator<char>());
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

/// The cannon part of a line (its fields and bullets).
inline std::string CANNONS(const std::string& LINE) {
  const std::size_t AT = LINE.find("\"cannons\":");
  return AT == std::string::npos ? std::string() : LINE.substr(AT);
}

}  // namespace e2e
