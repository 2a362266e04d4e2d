// Conversions between property values and their texts.
//
// The texts are fixed: hosts compare them byte for byte in criteria and
// searches, and stored files must read back to the identical value. Every
// place that turns a number into text, or text into a number, calls these.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

// `atoi`: optional white space, optional sign, decimal digits up to the first
// other character; 0 when there are none. Values beyond the 32-bit range
// saturate at its ends instead of wrapping.
std::int32_t parseLong(std::string_view text);

// `atof`: optional white space, then the longest prefix that reads as a
// decimal or exponent number, "inf", "infinity" or "nan"; 0.0 when there is
// none. Independent of the process locale.
double parseDouble(std::string_view text);

// Decimal digits with a leading minus sign when negative.
std::string formatLong(std::int32_t value);

// The display form of a double: 14 significant digits, fixed notation when the
// decimal exponent lies in [-4, 14), otherwise "d.ddde+XXX"; trailing zeros
// dropped, the decimal point always kept ("100.", "12.5", "1.e+020").
// Infinities and NaN give "inf", "-inf" and "nan", which parseDouble reads.
std::string formatDouble(double value);

// The shortest text that parseDouble reads back to the identical double, used
// in files so that a save/load cycle never changes a value.
std::string formatDoubleExact(double value);

} // namespace velmora
