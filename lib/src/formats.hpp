// volley formats: the in-memory readers and writers behind load_programme and save_programme,
// and the table of a set's fields (namespace volley::detail). Used by the library, its tests
// and the fuzz targets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "volley/volley.hpp"

namespace volley::detail {

/// Files above this size are refused before they are read.
inline constexpr std::size_t MAX_FILE_BYTES = std::size_t{16} << 20;
/// JSON nesting deeper than this is refused while parsing (a programme needs 3 levels).
inline constexpr int MAX_JSON_DEPTH = 8;
/// A programme holds at most this many sets; a file with more objects or values than such a
/// programme can have is refused while parsing, before it fills memory.
inline constexpr std::size_t MAX_SETS = 65536;

/// One field of a set: its name and where it lives (INT for integers, FLT for floats).
struct Field {
  const char* NAME;
  int32_t Set::* INT;
  float Set::* FLT;
};
/// The 34 fields in record order, DELAY to BULLET_NUM_FRAME.
const std::vector<Field>& set_fields();

/// A .vly file's bytes as a one-set programme; NAME prefixes error messages.
Programme parse_vly(const uint8_t* data, std::size_t size, const std::string& name);
/// A .json file's text as a programme.
Programme parse_json(std::string_view text, const std::string& name);
/// The 140 bytes of a one-set programme; throws Error when the set does not fit the file.
std::vector<uint8_t> vly_bytes(const Programme& p, const std::string& name);

/// "FILE: reason".
[[noreturn]] void fail(const std::string& name, const std::string& reason);

}  // namespace volley::detail
