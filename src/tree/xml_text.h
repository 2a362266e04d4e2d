// The characters XML 1.0 allows in a document's text.
#pragma once

#include <cstddef>
#include <string_view>

namespace velmora {

// The length of the character at `at` (inside `text`) when its bytes are
// well-formed UTF-8 of a character XML allows: tab, line feed, carriage
// return, U+0020-U+D7FF, U+E000-U+FFFD and U+10000-U+10FFFF. 0 for anything
// else: control bytes, NUL, malformed, overlong or cut sequences, surrogates,
// U+FFFE and U+FFFF.
std::size_t xmlCharacterLength(std::string_view text, std::size_t at);

} // namespace velmora
