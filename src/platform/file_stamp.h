// What tells that a file has changed since it was last looked at, without
// reading it: its size, its modification time and which file it is (a file
// replaced by a safe save is a new file with a new number, even when size and
// time agree).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace velmora {

struct FileStamp {
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0; // since 1 January 1970, UTC
    std::uint64_t fileId = 0;    // inode on Linux, file index on Windows
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// The stamp of the file at `path` (links followed); none when it cannot be
// looked at.
std::optional<FileStamp> fileStamp(const std::string& path);

} // namespace velmora
