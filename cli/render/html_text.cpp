#include "html_text.h"

#include "platform/code_page.h"

namespace velmora::cli {

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

std::string htmlText(std::string text) {
    return escapeHtml(treeTextToUtf8(std::move(text)));
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

std::string cell(std::string_view cls, std::string_view markup, int columns) {
    if (columns <= 1)
        return element("td", cls, markup);
    return "<td class=\"" + std::string(cls) + "\" colspan=\"" + std::to_string(columns) + "\">" +
           std::string(markup) + "</td>";
}

} // namespace velmora::cli
