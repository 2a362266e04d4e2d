// Opening a file with a sharing mode: the seam behind document locks.
//
// A provider holds its document's file open with "deny write" sharing, so
// that nobody changes it behind the host's back, and reads a file "without
// sharing" to be sure nobody else holds it. On Linux the sharing modes are
// flock() locks, which belong to the open file description: two providers in
// one process block each other exactly as two processes do. They are
// advisory: a program that takes no lock is not stopped. On Windows they are
// the share modes of CreateFile, which the system enforces on everyone.
#pragma once

#include "platform/file_identity.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace velmora {

enum class FileAccess { Read, ReadWrite };

enum class FileSharing {
    None,     // nobody else may open the file while we hold it
    ReadOnly, // others may read, nobody may write
};

class SharedFile {
public:
    // The open file, or none when it does not exist, cannot be opened with
    // `access`, or another holder's sharing forbids it. Never waits.
    static std::unique_ptr<SharedFile> open(const std::string& path, FileAccess access,
                                            FileSharing sharing);
    ~SharedFile();
    SharedFile(const SharedFile&) = delete;
    SharedFile& operator=(const SharedFile&) = delete;

    // Reads up to `size` bytes from the current position; the count read.
    std::size_t read(char* buffer, std::size_t size);

    // The whole file from its start, whatever was read before; none when a
    // read fails. Sees what other writers put in the file since it was opened.
    std::optional<std::string> readAll();

    // The identity of the open file, which stays the same when another
    // writer puts a new file in its place; none when it cannot be had.
    std::optional<FileIdentity> identity() const;

private:
    explicit SharedFile(std::intptr_t handle) : handle_(handle) {}
    // A file descriptor on Linux, a HANDLE on Windows.
    std::intptr_t handle_;
};

} // namespace velmora
