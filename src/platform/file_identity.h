// Which file a path names, whatever its spelling.
//
// "deal.xml", "./deal.xml", an absolute path and a symbolic link can all name
// one file; comparing the texts would take them for four. A file is known by
// the device and inode that hold it on Linux, and by the volume serial number
// and file index on Windows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace velmora {

struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// The identity of the file at `path` (links followed), or none when there is
// no such file or it cannot be looked at.
std::optional<FileIdentity> fileIdentity(const std::string& path);

#ifdef _WIN32
// The path Windows knows the file or folder at `path` by, whatever the
// spelling: its final path (final_path_win32.h), in the plain form. None when
// there is nothing there, or when the ANSI code page cannot hold its names
// (in a host's process; velmora.exe's code page holds every name).
std::optional<std::string> finalPathOf(const std::string& path);
#endif

} // namespace velmora
