#include "render/html_text.h"

#include "platform/code_page.h"

namespace velmora::render {

std::string escapeHtml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

namespace {

constexpr char kReplacement[] = "\xEF\xBF\xBD";

bool isBlank(unsigned char byte) {
    return byte == '\t' || byte == '\n' || byte == '\r';
}

// U+2400 + byte for a C0 control, U+2421 for DEL: E2 90 80+n in UTF-8.
std::string controlPicture(unsigned char byte) {
    const unsigned char last = byte == 0x7F ? 0xA1 : static_cast<unsigned char>(0x80 + byte);
    return {'\xE2', '\x90', static_cast<char>(last)};
}

// Whether the three bytes at `i` are a bidirectional embedding, override or
// isolate (U+202A-U+202E: E2 80 AA-AE; U+2066-U+2069: E2 81 A6-A9), which
// would reorder what a reader sees of the text around it.
bool isBidiControlAt(std::string_view utf8, std::size_t i) {
    if (i + 2 >= utf8.size() || static_cast<unsigned char>(utf8[i]) != 0xE2)
        return false;
    const auto second = static_cast<unsigned char>(utf8[i + 1]);
    const auto third = static_cast<unsigned char>(utf8[i + 2]);
    return (second == 0x80 && third >= 0xAA && third <= 0xAE) ||
           (second == 0x81 && third >= 0xA6 && third <= 0xA9);
}

// `utf8` with its control characters made visible; C1 controls are C2 80 to
// C2 9F in UTF-8.
std::string visibleControls(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        const bool c1 = byte == 0xC2 && i + 1 < utf8.size() &&
                        (static_cast<unsigned char>(utf8[i + 1]) & 0xE0) == 0x80;
        if (c1) {
            out += kReplacement;
            ++i;
        } else if (isBidiControlAt(utf8, i)) {
            out += kReplacement;
            i += 2;
        } else if ((byte < 0x20 && !isBlank(byte)) || byte == 0x7F) {
            out += controlPicture(byte);
        } else {
            out += utf8[i];
        }
    }
    return out;
}

} // namespace

std::string htmlText(std::string text) {
    return escapeHtml(visibleControls(treeTextToUtf8(std::move(text))));
}

// Letters, digits and blanks stand as they are; every other ASCII character
// becomes a hexadecimal escape ("\3C " for "<"), so that no quote, backslash,
// line end or "</style" can end the string or the style sheet. Bytes of
// UTF-8 sequences are no CSS syntax and pass.
std::string cssString(std::string text) {
    constexpr char kHex[] = "0123456789ABCDEF";
    const std::string visible = visibleControls(treeTextToUtf8(std::move(text)));
    std::string out = "\"";
    for (const char c : visible) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = byte >= 0x80 || byte == ' ' || (c >= '0' && c <= '9') ||
                           (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (plain) {
            out += c;
            continue;
        }
        out += '\\';
        out += kHex[byte >> 4];
        out += kHex[byte & 0xF];
        out += ' ';
    }
    return out + "\"";
}

std::string element(std::string_view tag, std::string_view cls, std::string_view markup) {
    std::string out = "<" + std::string(tag);
    if (!cls.empty())
        out += " class=\"" + std::string(cls) + "\"";
    out += ">";
    out += markup;
    out += "</" + std::string(tag) + ">";
    return out;
}

std::string checkBox(bool checked, std::string_view label) {
    return element("span", checked ? "option marked" : "option",
                   (checked ? "&#9746; " : "&#9744; ") + std::string(label));
}

std::string cell(std::string_view cls, std::string_view markup, int columns) {
    if (columns <= 1)
        return element("td", cls, markup);
    return "<td class=\"" + std::string(cls) + "\" colspan=\"" + std::to_string(columns) + "\">" +
           std::string(markup) + "</td>";
}

} // namespace velmora::render
