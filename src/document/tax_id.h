// Tax identification numbers: the seller's and the settlement agent's on
// the statement, and the payees' on the companion forms. For a person it is
// a social security number, so it is the one value of a deal that is never
// indexed, never part of any search output, and printed masked unless asked
// for in full.
#pragma once

#include <string>
#include <string_view>

namespace velmora {

// Whether the property of that name holds a tax identification number.
bool isTaxIdProperty(std::string_view name);

// `value` with every digit but the last four shown as '*', separators kept:
// "123-45-6789" gives "***-**-6789". A value that is not digit-shaped (digits,
// blanks and hyphens, with at least four digits) is masked whole, one '*' a
// character; the empty text stays empty.
std::string maskedTaxId(std::string_view value);

} // namespace velmora
