// Tree text is in the ANSI code page on Windows; the conversions go through
// UTF-16 with the system's own tables. Pure ASCII, the common case, is the
// same in every encoding involved and is passed through untouched. In
// velmora.exe, whose manifest makes the process code page UTF-8, tree text is
// the XML text as on Linux, and passes through untouched too.
#include "platform/code_page.h"

#include <windows.h>

#include <algorithm>
#include <climits>

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

} // namespace

std::string windows1252ToTreeText(std::string_view text) {
    constexpr UINT kWindows1252 = 1252;
    if (isAscii(text) || ::GetACP() == kWindows1252)
        return std::string(text);
    return utf8ToTreeText(windows1252ToUtf8(text));
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
