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
    // The open file at `path`, or none when it cannot be opened. The file
    // must exist: its creator chose who may read it.
    static std::unique_ptr<AppendOnlyFile> open(const std::string& path);
    ~AppendOnlyFile();
    AppendOnlyFile(const AppendOnlyFile&) = delete;
    AppendOnlyFile& operator=(const AppendOnlyFile&) = delete;

    // Adds `bytes` at the end with one write; false when the write failed or
    // wrote only part of them. Asks the installed FileFaults first (Write).
    bool append(std::string_view bytes);
    // Puts what was appended so far on the disk; false when that failed.
    // Apart from append, so that many writers can wait for the disk at once
    // (the system joins their flushes). Asks FileFaults first (Flush).
    bool flush();

private:
    AppendOnlyFile(std::intptr_t handle, std::string path)
        : handle_(handle), path_(std::move(path)) {}
    // A file descriptor on POSIX, a HANDLE on Windows.
    std::intptr_t handle_;
    std::string path_;
};

} // namespace velmora
