#include "archive/json_text.h"

#include "platform/code_page.h"

#include <cstdio>

namespace velmora::archive {
namespace {

void appendEscaped(std::string& out, char c) {
    switch (c) {
    case '"':
        out += "\\\"";
        return;
    case '\\':
        out += "\\\\";
        return;
    case '\n':
        out += "\\n";
        return;
    case '\r':
        out += "\\r";
        return;
    case '\t':
        out += "\\t";
        return;
    default:
        break;
    }
    if (static_cast<unsigned char>(c) < 0x20) {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
        out += escaped;
        return;
    }
    out += c;
}

} // namespace

std::string jsonQuoted(std::string_view utf8) {
    std::string out = "\"";
    while (!utf8.empty()) {
        const std::size_t length = utf8SequenceLength(utf8, 0);
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            utf8.remove_prefix(1);
        } else if (length == 1) {
            appendEscaped(out, utf8[0]);
            utf8.remove_prefix(1);
        } else {
            out.append(utf8.substr(0, length));
            utf8.remove_prefix(length);
        }
    }
    return out + '"';
}

} // namespace velmora::archive
