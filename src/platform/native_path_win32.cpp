// Tree text as UTF-16 by the process's ANSI code page (UTF-8 in velmora.exe),
// long paths in the extended-length form. A path that fits the plain form
// stays as it was written, relative or not, so that the system reads it as
// it always has.
#include "platform/native_path.h"

#include "platform/code_page.h"
#include "platform/long_path_form.h"

#include <windows.h>

namespace velmora {
namespace {

bool isSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

// "C:\x" or "\\server\x": what the current folder cannot lengthen.
bool isFullPath(const std::wstring& path) {
    if (path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1]))
        return true;
    return path.size() >= 3 && path[1] == L':' && isSeparator(path[2]);
}

// The full path the system makes of `path`; empty when it cannot.
std::wstring fullPathOf(const std::wstring& path) {
    const DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return {};
    std::wstring full(needed, L'\0');
    const DWORD length = ::GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed)
        return {};
    full.resize(length);
    return full;
}

} // namespace

std::wstring systemPath(const std::string& path) {
    std::wstring wide = ansiToWide(path);
    if (wide.size() <= kLongestPlainPath && isFullPath(wide))
        return wide;
    const std::wstring full = fullPathOf(wide);
    if (full.size() <= kLongestPlainPath)
        return wide;
    return extendedLengthForm<wchar_t>(full);
}

std::filesystem::path nativePath(const std::string& path) {
    return std::filesystem::path(systemPath(path));
}

std::filesystem::path nativeTreePath(const std::string& path) {
    const std::wstring full = fullPathOf(ansiToWide(path));
    if (full.empty())
        return nativePath(path);
    return std::filesystem::path(extendedLengthForm<wchar_t>(full));
}

std::string pathText(const std::filesystem::path& path) {
    return wideToAnsi(plainForm<wchar_t>(path.native()));
}

} // namespace velmora
