#include "tree/xml_text.h"

namespace velmora {
namespace {

constexpr char32_t kLastCodePoint = 0x10FFFF;

constexpr bool isXmlCodePoint(char32_t c) {
    return c == '\t' || c == '\n' || c == '\r' || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= kLastCodePoint);
}

unsigned char byteAt(std::string_view text, std::size_t at) {
    return static_cast<unsigned char>(text[at]);
}

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// By its lead byte; 0 for bytes that cannot lead (continuations, C0 and C1,
// which could only begin overlong forms, and F5-FF, beyond U+10FFFF).
std::size_t sequenceLength(unsigned char lead) {
    if (lead < 0xC2)
        return 0;
    if (lead < 0xE0)
        return 2;
    if (lead < 0xF0)
        return 3;
    return lead < 0xF5 ? 4 : 0;
}

// The range the second byte must lie in is narrower after four lead bytes:
// that rules out overlong forms (E0, F0), surrogates (ED) and code points
// beyond U+10FFFF (F4).
bool secondByteFits(unsigned char lead, unsigned char second) {
    const unsigned char lowest = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    const unsigned char highest = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    return second >= lowest && second <= highest;
}

std::size_t multiByteLength(std::string_view text, std::size_t at) {
    const unsigned char lead = byteAt(text, at);
    const std::size_t length = sequenceLength(lead);
    if (length == 0 || text.size() - at < length || !secondByteFits(lead, byteAt(text, at + 1)))
        return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (!isContinuation(byteAt(text, at + i)))
            return 0;
    }
    // EF BF BE and EF BF BF: U+FFFE and U+FFFF.
    if (lead == 0xEF && byteAt(text, at + 1) == 0xBF && byteAt(text, at + 2) >= 0xBE)
        return 0;
    return length;
}

} // namespace

std::size_t xmlCharacterLength(std::string_view text, std::size_t at) {
    const unsigned char byte = byteAt(text, at);
    if (byte >= 0x80)
        return multiByteLength(text, at);
    return isXmlCodePoint(byte) ? 1 : 0;
}

} // namespace velmora
