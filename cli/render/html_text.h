// Text into HTML. Every text of a document is untrusted: it reaches the page
// only through these functions, never as markup.
#pragma once

#include <string>
#include <string_view>

namespace velmora::cli {

// `text` with & < > " ' written as character references, fit both for element
// content and for quoted attribute values.
std::string escapeHtml(std::string_view text);

// Tree text (the document's own encoding) as escaped UTF-8, the page's encoding.
std::string htmlText(std::string text);

// <tag class="cls">markup</tag>; `markup` is HTML already (made by the
// functions above), `cls` a class name of the style sheet (none when empty).
std::string element(std::string_view tag, std::string_view cls, std::string_view markup);
// A table cell spanning `columns` columns.
std::string cell(std::string_view cls, std::string_view markup, int columns = 1);

} // namespace velmora::cli
