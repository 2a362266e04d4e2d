// JSON string literals for the records and exports the tool prints: valid
// JSON whatever bytes a path or a value holds.
#pragma once

#include <string>
#include <string_view>

namespace velmora::archive {

// A JSON string literal of UTF-8 text: quotes, backslashes and control
// characters escaped; bytes that are not UTF-8 become U+FFFD.
std::string jsonQuoted(std::string_view utf8);

} // namespace velmora::archive
