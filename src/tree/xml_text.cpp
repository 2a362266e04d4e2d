#include "tree/xml_text.h"

#include "platform/code_page.h"

#include <algorithm>
#include <optional>

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

std::size_t multiByteLength(std::string_view text, std::size_t at) {
    const std::size_t length = utf8SequenceLength(text, at);
    // EF BF BE and EF BF BF: U+FFFE and U+FFFF, well-formed but no XML characters.
    if (length == 3 && byteAt(text, at) == 0xEF && byteAt(text, at + 1) == 0xBF &&
        byteAt(text, at + 2) >= 0xBE)
        return 0;
    return length;
}

// Almost every block of a file is printable ASCII, and most others ASCII
// with line breaks. Both checks go without a branch per byte, so that the
// compiler does a whole block in vector registers.
constexpr std::size_t kBlock = 64;

bool isPrintableAscii(const char* block) {
    unsigned char outside = 0;
    for (std::size_t i = 0; i < kBlock; ++i) // bytes from 0x80 on are negative
        outside |= static_cast<signed char>(block[i]) < 0x20;
    return outside == 0;
}

bool isAsciiText(const char* block) {
    unsigned char outside = 0;
    for (std::size_t i = 0; i < kBlock; ++i) {
        const auto byte = static_cast<unsigned char>(block[i]);
        outside |=
            (byte >= 0x80) | ((byte < 0x20) & (byte != '\t') & (byte != '\n') & (byte != '\r'));
    }
    return outside == 0;
}

std::optional<unsigned> digitValue(char c, unsigned base) {
    unsigned value = base;
    if (c >= '0' && c <= '9')
        value = static_cast<unsigned>(c - '0');
    else if (c >= 'a' && c <= 'f')
        value = static_cast<unsigned>(c - 'a' + 10);
    else if (c >= 'A' && c <= 'F')
        value = static_cast<unsigned>(c - 'A' + 10);
    return value < base ? std::optional<unsigned>(value) : std::nullopt;
}

// The number of a character reference, "233" or "xE9"; nothing when it has no
// digits, holds anything else, or exceeds the last code point (stopped there,
// so that no count of digits can overflow it).
std::optional<char32_t> referencedCodePoint(std::string_view number) {
    const bool hex = !number.empty() && number.front() == 'x';
    const std::string_view digits = hex ? number.substr(1) : number;
    if (digits.empty())
        return std::nullopt;
    char32_t value = 0;
    for (const char c : digits) {
        const std::optional<unsigned> digit = digitValue(c, hex ? 16 : 10);
        if (!digit)
            return std::nullopt;
        value = value * (hex ? 16 : 10) + *digit;
        if (value > kLastCodePoint)
            return std::nullopt;
    }
    return value;
}

char predefinedEntity(std::string_view name) {
    static constexpr std::pair<std::string_view, char> kEntities[] = {
        {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
    for (const auto& [entity, character] : kEntities) {
        if (name == entity)
            return character;
    }
    return '\0';
}

// `reference` is what stands between '&' and ';'.
bool appendReferenced(std::string_view reference, std::string& out) {
    if (!reference.empty() && reference.front() == '#') {
        const std::optional<char32_t> codePoint = referencedCodePoint(reference.substr(1));
        if (!codePoint || !isXmlCodePoint(*codePoint))
            return false;
        appendUtf8(out, *codePoint);
        return true;
    }
    const char character = predefinedEntity(reference);
    if (character == '\0')
        return false;
    out += character;
    return true;
}

} // namespace

std::size_t xmlCharacterLength(std::string_view text, std::size_t at) {
    const unsigned char byte = byteAt(text, at);
    if (byte >= 0x80)
        return multiByteLength(text, at);
    return isXmlCodePoint(byte) ? 1 : 0;
}

TextBytes scanTextBytes(std::string_view bytes) {
    TextBytes scan;
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t blockEnd = std::min(at + kBlock, bytes.size());
        const char* const block = bytes.data() + at;
        if (blockEnd - at == kBlock && (isPrintableAscii(block) || isAsciiText(block))) {
            at = blockEnd;
            continue;
        }
        // The last character may reach into the next block, which then starts after it.
        while (at < blockEnd) {
            const std::size_t length = xmlCharacterLength(bytes, at);
            if (length == 0)
                return {false, false};
            scan.ascii = scan.ascii && length == 1;
            at += length;
        }
    }
    return scan;
}

bool decodeReferences(std::string_view raw, std::string& decoded) {
    decoded.clear();
    std::size_t plainStart = 0;
    for (std::size_t ampersand = raw.find('&'); ampersand != std::string_view::npos;
         ampersand = raw.find('&', plainStart)) {
        decoded.append(raw.substr(plainStart, ampersand - plainStart));
        const std::size_t semicolon = raw.find(';', ampersand);
        if (semicolon == std::string_view::npos ||
            !appendReferenced(raw.substr(ampersand + 1, semicolon - ampersand - 1), decoded))
            return false;
        plainStart = semicolon + 1;
    }
    decoded.append(raw.substr(plainStart));
    return true;
}

} // namespace velmora
