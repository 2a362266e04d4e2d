// A file that is only ever added to, each addition on the disk before it is
// reported done: the seam behind the server's audit trail.
//
// On POSIX the file is opened with O_APPEND, so that each write lands at the
// end whoever else appends, and flushed with fdatasync; on Windows it is
// opened for appending data only and flushed with FlushFileBuffers.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace velmora {

class AppendOnlyFile {
public:
    // The open file at `path`, or none when it cannot be opened. On POSIX the
    // file must exist (its creator chose its permissions); on Windows a
    // missing one is made, with its folder's permissions.
    static std::unique_ptr<AppendOnlyFile> open(const std::string& path);
    ~AppendOnlyFile();
    AppendOnlyFile(const AppendOnlyFile&) = delete;
    AppendOnlyFile& operator=(const AppendOnlyFile&) = delete;

    // Adds `bytes` at the end with one write, then flushes the file to the
    // disk; false when the write failed, wrote only part of them, or the
    // flush failed. Asks the installed FileFaults first (Write, then Flush).
    bool append(std::string_view bytes);

private:
    AppendOnlyFile(std::intptr_t handle, std::string path)
        : handle_(handle), path_(std::move(path)) {}
    // A file descriptor on POSIX, a HANDLE on Windows.
    std::intptr_t handle_;
    std::string path_;
};

} // namespace velmora
