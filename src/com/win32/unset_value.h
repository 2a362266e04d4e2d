// The provider writes an out-value only where it has a result; where it has
// none, the caller's value must stay as it was. Invoke learns whether a number
// came by starting from a value that no result takes: the smallest INT
// (results are statuses from -1 to 1, flags and counts). A text result needs
// no such value: it is a new BSTR, never a null one.
#pragma once

#include <windows.h>

#include <climits>

namespace velmora::com {

inline constexpr INT kUnsetNumber = INT_MIN;

} // namespace velmora::com
