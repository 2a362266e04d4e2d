// Text into HTML. Every text of a document is untrusted: it reaches the page
// only through these functions, never as markup.
#pragma once

#include <string>
#include <string_view>

namespace velmora::render {

// `text` with & < > " ' written as character references, fit both for element
// content and for quoted attribute values.
std::string escapeHtml(std::string_view text);

// Tree text (the document's own encoding) as escaped UTF-8, the page's
// encoding. Control characters other than tab, line feed and carriage return
// (which HTML reads as blanks) are shown as their Unicode control pictures
// (U+2400 to U+241F, U+2421 for DEL), the C1 controls and the bidirectional
// embeddings, overrides and isolates as U+FFFD: a reader sees that the text
// holds something unprintable, and no raw control character reaches the page
// to hide or reorder what is printed.
std::string htmlText(std::string text);

// Tree text as a quoted CSS string, for the `content` of a style rule inside
// the page's <style>: controls as in htmlText, and nothing in it that could
// end the string or the style sheet.
std::string cssString(std::string text);

// <tag class="cls">markup</tag>; `markup` is HTML already (made by the
// functions above), `cls` a class name of the style sheet (none when empty).
std::string element(std::string_view tag, std::string_view cls, std::string_view markup);
// A box of the form, checked or not, and its label (HTML already).
std::string checkBox(bool checked, std::string_view label);
// A table cell spanning `columns` columns.
std::string cell(std::string_view cls, std::string_view markup, int columns = 1);

} // namespace velmora::render
