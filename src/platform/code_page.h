// Conversions between the encodings the engine meets.
//
// The tree holds 8-bit text in one encoding, the tree text: UTF-8 on Linux,
// the system's ANSI code page on Windows (the interface hands it to hosts in
// that code page). XML files are UTF-8 on both, so that a file written on one
// reads on the other; legacy archives hold Windows-1252 text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velmora {

// Every byte maps to one character; the five bytes Windows-1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the same
// number, as the platform's own conversion does.
std::string windows1252ToUtf8(std::string_view text);

// Appends the UTF-8 bytes of `codePoint` (at most U+10FFFF) to `out`.
void appendUtf8(std::string& out, char32_t codePoint);

// The length of the well-formed UTF-8 sequence at `at` (inside `text`), 1 for
// an ASCII byte; 0 for bytes that begin none: continuation bytes, overlong
// forms, encoded surrogates, code points beyond U+10FFFF, cut sequences.
std::size_t utf8SequenceLength(std::string_view text, std::size_t at);

// Whether `text` is well-formed UTF-8 from end to end, as utf8SequenceLength
// tells it.
bool isUtf8(std::string_view text);

// Legacy archive text into tree text.
std::string windows1252ToTreeText(std::string_view text);

// Tree text into the UTF-8 of an XML file, and back. Both are the identity on
// Linux (the text is moved through). On Windows, characters the ANSI code page cannot hold become
// '?', and malformed UTF-8 reads as U+FFFD before that. utf8IsTreeText tells
// whether UTF-8 `text` already is that tree text, so that a reader may take it
// as it stands: always on Linux, for pure ASCII on Windows.
#ifdef _WIN32
std::string treeTextToUtf8(std::string text);
std::string utf8ToTreeText(std::string text);
bool utf8IsTreeText(std::string_view text);
#else
// Inline, because every string attribute of a file passes through them.
inline std::string treeTextToUtf8(std::string text) {
    return text;
}
inline std::string utf8ToTreeText(std::string text) {
    return text;
}
inline bool utf8IsTreeText(std::string_view) {
    return true;
}
#endif

#ifdef _WIN32
// ANSI text (a path, for the W functions of the API) as UTF-16, and back;
// characters the ANSI code page cannot hold become '?'.
std::wstring ansiToWide(std::string_view text);
std::string wideToAnsi(std::wstring_view text);
#endif

} // namespace velmora
