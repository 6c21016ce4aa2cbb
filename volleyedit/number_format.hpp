// volleyedit number formats: how the statistics column writes integers, references and floats
// (namespace NDESIGNER). Kept apart from drawing so each format can be checked as text.
#pragma once

#include <cstdint>
#include <string>

namespace NDESIGNER {

/// Decimal with a leading "-" for negative values, no sign or padding otherwise.
std::string FORMAT_INT(int32_t V);

/// A reference's numeric value as an unsigned decimal; "0" for an empty reference.
std::string FORMAT_REF(const void* P);

/// The 32-bit value rounded to 7 significant digits: fixed notation when the decimal exponent
/// lies between -4 and 6, exponent notation otherwise; trailing zeros after the point and a
/// bare point are dropped (100.0 -> "100", 1.3 -> "1.3", 1.0e7 -> "1e+07", 1.5e-5 -> "1.5e-05").
/// The exponent has a sign and at least two digits. Not-a-number shows as "nan", infinities as
/// "inf" and "-inf".
std::string FORMAT_FLOAT(float V);

}  // namespace NDESIGNER
