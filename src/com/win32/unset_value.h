// The provider writes an out-value only where it has a result; where it has
// none, the caller's value must stay as it was. The binding learns whether a
// result came by starting from a value that no result can take: a text
// holding a NUL byte (document text never does) and the smallest INT (results
// are statuses from -1 to 1, flags and counts).
#pragma once

#include <windows.h>

#include <climits>
#include <string>

namespace velmora::com {

inline std::string unsetText() {
    return std::string("\0unset", 6);
}
inline bool isUnset(const std::string& text) {
    return text.find('\0') != std::string::npos;
}

inline constexpr INT kUnsetNumber = INT_MIN;

} // namespace velmora::com
