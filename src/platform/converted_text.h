// Text converted from one encoding into another, or the first thing in it
// that the destination cannot carry. A conversion that would have to put a
// '?' in the place of a character fails instead, so that no text is ever
// silently damaged.
#pragma once

#include <cstddef>
#include <string>

namespace velmora {

struct ConvertedText {
    std::string text;
    // Empty when the whole text was carried; else what could not be, in
    // words ("byte 0xAA has no character in code page 1253").
    std::string failure;
    // The offset in the source text of what could not be carried.
    std::size_t failedAt = 0;

    bool carried() const { return failure.empty(); }
};

} // namespace velmora
