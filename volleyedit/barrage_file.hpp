// volleyedit barrage files: 35 little-endian 32-bit floats, the menu's values in row order
// (namespace NDESIGNER). F1 writes "barrage.vly", F2 reads "barrage2.vly" and the chooser reads
// "barrage_0.vly" to "barrage_999.vly".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "barrage/menu_rows.hpp"

namespace NDESIGNER {

inline constexpr const char* SAVE_FILENAME = "barrage.vly";
inline constexpr const char* LOAD_FILENAME = "barrage2.vly";

/// Writes MENU[0..34].VALUE to FILENAME: an existing file is not truncated (bytes beyond 140
/// stay), a missing one is created. Returns false, with one line on standard error, when the
/// file cannot be opened for writing or the write or close fails; the file is then left as it
/// was as far as the system allows.
bool SAVE_DATA(const std::string& FILENAME);

/// Reads FILENAME into MENU[0..34].VALUE (short files as DECODE_BARRAGE says), then limits the
/// loaded values (rows 0 to 33 to their limits, not-finite values to MIN; row 34 not-finite to
/// 0). Never creates or changes a file. Returns false, with one line on standard error and the
/// menu unchanged, when the file does not exist or cannot be read.
bool LOAD_DATA(const std::string& FILENAME);

}  // namespace NDESIGNER
