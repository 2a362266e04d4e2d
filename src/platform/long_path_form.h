// The extended-length form of Windows paths, as text.
//
// Windows' file functions take a path longer than the classic limit
// (MAX_PATH, 260 characters with its nul) only in the extended-length form,
// "\\?\C:\deals\..." or "\\?\UNC\server\share\...", which the system passes
// on as it stands: no "/" read as "\", no "." or "..", no relative paths, so
// only a full path is put in that form. The system also answers in it (the
// final path of an open file), and a person is shown the plain form again.
//
// Text only, for either character type, so that the rules are the same for
// the wide paths the system takes and the narrow ones people see.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velmora {

// The longest plain path every file function takes: a folder's path must
// leave room for an 8.3 name in it (CreateDirectory's limit).
inline constexpr std::size_t kLongestPlainPath = 247;

namespace long_path_detail {

template <class Char> bool startsWith(std::basic_string_view<Char> text, std::string_view ascii) {
    if (text.size() < ascii.size())
        return false;
    for (std::size_t i = 0; i < ascii.size(); ++i) {
        if (text[i] != static_cast<Char>(ascii[i]))
            return false;
    }
    return true;
}

template <class Char> bool isLetter(Char c) {
    return (c >= Char('a') && c <= Char('z')) || (c >= Char('A') && c <= Char('Z'));
}

template <class Char> std::basic_string<Char> widened(std::string_view ascii) {
    return std::basic_string<Char>(ascii.begin(), ascii.end());
}

// "C:\..." (a drive's root and what is below it).
template <class Char> bool isDrivePath(std::basic_string_view<Char> path) {
    return path.size() >= 3 && isLetter(path[0]) && path[1] == Char(':') && path[2] == Char('\\');
}

} // namespace long_path_detail

// `fullPath` (a full path with "\" separators, as GetFullPathName gives it) in
// the extended-length form: "C:\x" as "\\?\C:\x", "\\server\share\x" as
// "\\?\UNC\server\share\x". A path in that form already, a device path
// ("\\.\NUL") and anything else is returned as it is.
template <class Char>
std::basic_string<Char> extendedLengthForm(std::basic_string_view<Char> fullPath) {
    namespace detail = long_path_detail;
    if (detail::startsWith(fullPath, "\\\\?\\") || detail::startsWith(fullPath, "\\\\.\\"))
        return std::basic_string<Char>(fullPath);
    if (detail::isDrivePath(fullPath))
        return detail::widened<Char>("\\\\?\\") + std::basic_string<Char>(fullPath);
    if (detail::startsWith(fullPath, "\\\\") && fullPath.size() > 2)
        return detail::widened<Char>("\\\\?\\UNC\\") + std::basic_string<Char>(fullPath.substr(2));
    return std::basic_string<Char>(fullPath);
}

// `path` as a person writes it: "\\?\C:\x" as "C:\x", "\\?\UNC\server\x" as
// "\\server\x". A volume path ("\\?\Volume{...}\x") has no plainer form and
// stays as it is, as does every path not in the extended-length form.
template <class Char> std::basic_string<Char> plainForm(std::basic_string_view<Char> path) {
    namespace detail = long_path_detail;
    if (!detail::startsWith(path, "\\\\?\\"))
        return std::basic_string<Char>(path);
    const std::basic_string_view<Char> rest = path.substr(4);
    if (detail::startsWith(rest, "UNC\\") && rest.size() > 4)
        return detail::widened<Char>("\\\\") + std::basic_string<Char>(rest.substr(4));
    if (detail::isDrivePath(rest))
        return std::basic_string<Char>(rest);
    return std::basic_string<Char>(path);
}

// How long the root of `path` in the extended-length form is, with the
// separator after it: 7 for "\\?\C:\x", 21 for "\\?\UNC\server\share\x"; 0 when
// it has no such root (not in that form, a volume path, a share unnamed).
template <class Char> std::size_t extendedRootLength(std::basic_string_view<Char> path) {
    namespace detail = long_path_detail;
    if (!detail::startsWith(path, "\\\\?\\"))
        return 0;
    if (detail::isDrivePath(path.substr(4)))
        return 7;
    if (!detail::startsWith(path.substr(4), "UNC\\"))
        return 0;
    // Past the server's name and the share's: two more separators.
    std::size_t at = 8;
    for (int names = 0; names < 2; ++names) {
        const std::size_t separator = path.find(Char('\\'), at);
        if (separator == std::basic_string_view<Char>::npos || separator == at)
            return 0;
        at = separator + 1;
    }
    return at;
}

} // namespace velmora
