#include "tree/visible_text.h"

#include "platform/code_page.h"

#include <cstdio>

namespace velmora {
namespace {

void appendEscape(std::string& out, const char* format, unsigned value) {
    char escape[8];
    std::snprintf(escape, sizeof escape, format, value);
    out += escape;
}

// The code point of the well-formed sequence of `length` bytes at `at`.
char32_t codePointAt(std::string_view text, std::size_t at, std::size_t length) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    if (length == 2)
        return ((byte(0) & 0x1Fu) << 6) | (byte(1) & 0x3Fu);
    if (length == 3)
        return ((byte(0) & 0x0Fu) << 12) | ((byte(1) & 0x3Fu) << 6) | (byte(2) & 0x3Fu);
    return ((byte(0) & 0x07u) << 18) | ((byte(1) & 0x3Fu) << 12) | ((byte(2) & 0x3Fu) << 6) |
           (byte(3) & 0x3Fu);
}

bool isHiddenControl(char32_t c) {
    const bool c1 = c >= 0x80 && c <= 0x9F;
    const bool embedding = c >= 0x202A && c <= 0x202E;
    const bool isolate = c >= 0x2066 && c <= 0x2069;
    return c1 || embedding || isolate;
}

void appendAscii(std::string& out, unsigned char c) {
    switch (c) {
    case '\\':
        out += "\\\\";
        return;
    case '\t':
        out += "\\t";
        return;
    case '\n':
        out += "\\n";
        return;
    case '\r':
        out += "\\r";
        return;
    default:
        break;
    }
    if (c < 0x20 || c == 0x7F)
        return appendEscape(out, "\\x%02X", c);
    out += static_cast<char>(c);
}

} // namespace

std::string visibleText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const auto byte = static_cast<unsigned char>(text[at]);
        if (byte < 0x80) {
            appendAscii(out, byte);
            ++at;
            continue;
        }
        const std::size_t length = utf8SequenceLength(text, at);
        if (length == 0) {
            appendEscape(out, "\\x%02X", byte);
            ++at;
            continue;
        }
        const char32_t codePoint = codePointAt(text, at, length);
        if (isHiddenControl(codePoint))
            appendEscape(out, "\\u%04X", static_cast<unsigned>(codePoint));
        else
            out.append(text.substr(at, length));
        at += length;
    }
    return out;
}

} // namespace velmora
