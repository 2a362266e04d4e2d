// Tree text is in the ANSI code page on Windows; the conversions go through
// UTF-16 with the system's own tables. Pure ASCII, the common case, is the
// same in every encoding involved and is passed through untouched. In
// velmora.exe, whose manifest makes the process code page UTF-8, tree text is
// the XML text as on Linux, and passes through untouched too.
#include "platform/code_page.h"

#include "platform/single_byte_code_pages.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <optional>

namespace velmora {
namespace {

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool treeTextIsUtf8() {
    return ::GetACP() == CP_UTF8;
}

std::wstring toWide(std::string_view text, UINT codePage) {
    if (text.empty() || text.size() > INT_MAX)
        return {};
    const int length = static_cast<int>(text.size());
    const int needed = ::MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
    if (needed <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    ::MultiByteToWideChar(codePage, 0, text.data(), length, wide.data(), needed);
    return wide;
}

std::string fromWide(std::wstring_view wide, UINT codePage) {
    if (wide.empty() || wide.size() > INT_MAX)
        return {};
    // Best-fit mappings would turn look-alikes into other characters: an
    // unmappable character becomes the code page's default one ('?'). UTF-8
    // refuses the flag, also when it is the ANSI code page.
    const bool toUtf8 = codePage == CP_UTF8 || (codePage == CP_ACP && treeTextIsUtf8());
    const DWORD flags = toUtf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const int length = static_cast<int>(wide.size());
    const int needed =
        ::WideCharToMultiByte(codePage, flags, wide.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0)
        return {};
    std::string text(static_cast<std::size_t>(needed), '\0');
    ::WideCharToMultiByte(codePage, flags, wide.data(), length, text.data(), needed, nullptr,
                          nullptr);
    return text;
}

// The index in `wide` of the first character the ANSI code page cannot hold,
// counted in characters (a surrogate pair is one); none when it holds all.
std::optional<std::size_t> firstCharacterAnsiLacks(std::wstring_view wide, char32_t& character) {
    std::size_t index = 0;
    for (std::size_t at = 0; at < wide.size(); ++index) {
        const bool pair =
            IS_HIGH_SURROGATE(wide[at]) && at + 1 < wide.size() && IS_LOW_SURROGATE(wide[at + 1]);
        const std::size_t units = pair ? 2 : 1;
        BOOL usedDefault = FALSE;
        char bytes[8];
        const int written = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data() + at,
                                                  static_cast<int>(units), bytes, sizeof bytes,
                                                  nullptr, &usedDefault);
        if (written <= 0 || usedDefault) {
            character = pair ? 0x10000 + ((char32_t{wide[at]} - 0xD800) << 10) +
                                   (char32_t{wide[at + 1]} - 0xDC00)
                             : char32_t{wide[at]};
            return index;
        }
        at += units;
    }
    return std::nullopt;
}

std::string lackedCharacter(char32_t character) {
    char number[16];
    std::snprintf(number, sizeof number, "U+%04X", static_cast<unsigned>(character));
    return std::string("the character ") + number + " is not in code page " +
           std::to_string(::GetACP());
}

} // namespace

ConvertedText legacyTextToTreeText(std::string_view text, std::optional<unsigned> codePage) {
    if (isAscii(text) || (!codePage && !treeTextIsUtf8()))
        return {std::string(text), {}, 0};
    ConvertedText converted = singleByteToUtf8(text, codePage.value_or(kWindows1252));
    if (!converted.carried() || treeTextIsUtf8())
        return converted;
    const std::wstring wide = toWide(converted.text, CP_UTF8);
    char32_t character = 0;
    // One byte of the archive is one character.
    if (const std::optional<std::size_t> index = firstCharacterAnsiLacks(wide, character))
        return {{}, lackedCharacter(character), *index};
    return {fromWide(wide, CP_ACP), {}, 0};
}

bool treeTextHoldsEveryCharacter() {
    return treeTextIsUtf8();
}

std::optional<std::string> treeTextLacks(std::string_view text) {
    if (utf8IsTreeText(text))
        return std::nullopt;
    char32_t character = 0;
    if (!firstCharacterAnsiLacks(toWide(text, CP_UTF8), character))
        return std::nullopt;
    return lackedCharacter(character);
}

std::string treeTextToUtf8(std::string text) {
    if (isAscii(text) || treeTextIsUtf8())
        return text;
    return fromWide(toWide(text, CP_ACP), CP_UTF8);
}

std::string utf8ToTreeText(std::string text) {
    if (isAscii(text) || treeTextIsUtf8())
        return text;
    return fromWide(toWide(text, CP_UTF8), CP_ACP);
}

bool utf8IsTreeText(std::string_view text) {
    return treeTextIsUtf8() || isAscii(text);
}

std::wstring ansiToWide(std::string_view text) {
    return toWide(text, CP_ACP);
}

std::string wideToAnsi(std::wstring_view text) {
    return fromWide(text, CP_ACP);
}

} // namespace velmora
