// The parts of a path held as text (UTF-8 in the tools, the ANSI code page
// in the DLL). std::filesystem::path would convert such a text through the C
// library's locale on Windows, so these split the text as it is.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string_view>

namespace velmora {

// "/" separates folders everywhere, and on Windows "\\" does too.
#ifdef _WIN32
inline constexpr std::string_view kPathSeparators = "/\\";
#else
inline constexpr std::string_view kPathSeparators = "/";
#endif

// The separator the platform writes between folders.
inline constexpr char kPreferredSeparator =
    static_cast<char>(std::filesystem::path::preferred_separator);

bool isPathSeparator(char c);

// Where the last of `separators` stands in `path`; npos when none does.
std::size_t lastSeparator(std::string_view path, std::string_view separators = kPathSeparators);

// The file's own name: what follows the last separator, all of `path` when
// there is none.
std::string_view fileNameOf(std::string_view path, std::string_view separators = kPathSeparators);

// Where the extension of the file's name begins (its last "."); the end of
// `path` when it has none. A leading dot starts a name, not an extension.
std::size_t extensionStart(std::string_view path);

} // namespace velmora
