// Conversions between the encodings the engine meets.
//
// The tree holds 8-bit text in one encoding, the tree text: UTF-8 on Linux,
// the process's ANSI code page on Windows (the interface hands it to hosts in
// that code page; velmora.exe's is UTF-8). XML files are UTF-8 on both, so
// that a file written on one reads on the other; legacy archives hold text in
// the single-byte code page of the Windows that wrote them.
#pragma once

#include "platform/converted_text.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// Appends the UTF-8 bytes of `codePoint` (at most U+10FFFF) to `out`.
void appendUtf8(std::string& out, char32_t codePoint);

// The length of the well-formed UTF-8 sequence at `at` (inside `text`), 1 for
// an ASCII byte; 0 for bytes that begin none: continuation bytes, overlong
// forms, encoded surrogates, code points beyond U+10FFFF, cut sequences.
std::size_t utf8SequenceLength(std::string_view text, std::size_t at);

// Whether `text` is well-formed UTF-8 from end to end, as utf8SequenceLength
// tells it.
bool isUtf8(std::string_view text);

// Legacy archive text into tree text. `codePage` is the single-byte code
// page the archive was written in; when none is named, that is Windows-1252,
// except in a Windows process whose tree text is its own ANSI code page (a
// host of the DLL), which takes the archive's bytes as they are.
ConvertedText legacyTextToTreeText(std::string_view text, std::optional<unsigned> codePage);

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

// Whether tree text holds every character, as it does on Linux and in
// velmora.exe; and if not, the first character of UTF-8 `text` that it
// cannot hold, in words ("the character U+00F1 is not in code page 1250").
#ifdef _WIN32
bool treeTextHoldsEveryCharacter();
std::optional<std::string> treeTextLacks(std::string_view text);
#else
inline bool treeTextHoldsEveryCharacter() {
    return true;
}
inline std::optional<std::string> treeTextLacks(std::string_view) {
    return std::nullopt;
}
#endif

#ifdef _WIN32
// ANSI text (a path, for the W functions of the API) as UTF-16, and back;
// characters the ANSI code page cannot hold become '?'.
std::wstring ansiToWide(std::string_view text);
std::string wideToAnsi(std::wstring_view text);
#endif

} // namespace velmora
