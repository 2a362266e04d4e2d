#include "platform/shared_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {

std::unique_ptr<SharedFile> SharedFile::open(const std::string& path, FileAccess access,
                                             FileSharing sharing) {
    // Non-blocking, so that opening a fifo does not wait for a writer; reads
    // of regular files are not affected.
    const int flags = (access == FileAccess::Read ? O_RDONLY : O_RDWR) | O_CLOEXEC | O_NONBLOCK;
    const int fd = ::open(path.c_str(), flags);
    if (fd < 0)
        return nullptr;
    // Writing is never shared with another writer, whatever the caller lets others do.
    const bool exclusive = sharing == FileSharing::None || access == FileAccess::ReadWrite;
    const int lock = exclusive ? LOCK_EX : LOCK_SH;
    int result = 0;
    do {
        result = ::flock(fd, lock | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<SharedFile>(new SharedFile(fd));
}

SharedFile::~SharedFile() {
    ::close(static_cast<int>(handle_));
}

std::size_t SharedFile::read(char* buffer, std::size_t size) {
    std::size_t total = 0;
    while (total < size) {
        const ssize_t got = ::read(static_cast<int>(handle_), buffer + total, size - total);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        total += static_cast<std::size_t>(got);
    }
    return total;
}

std::optional<std::string> SharedFile::readAll() {
    std::string bytes;
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = ::pread(static_cast<int>(handle_), buffer, sizeof buffer,
                                    static_cast<off_t>(bytes.size()));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            return bytes;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}

std::optional<FileIdentity> SharedFile::identity() const {
    struct stat info {};
    if (::fstat(static_cast<int>(handle_), &info) != 0)
        return std::nullopt;
    return FileIdentity{static_cast<std::uint64_t>(info.st_dev),
                        static_cast<std::uint64_t>(info.st_ino)};
}

} // namespace velmora
