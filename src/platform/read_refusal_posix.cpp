// A holder is one with an exclusive lock (SharedFile's "no sharing"): the
// locks are advisory, so only programs that take them hold a file here.
#include "platform/read_refusal.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {
namespace {

ReadRefusal refusalOfOpen(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return ReadRefusal::Missing;
    case EACCES:
    case EPERM:
        return ReadRefusal::Denied;
    case ENAMETOOLONG:
        return ReadRefusal::TooLong;
    case EISDIR:
        return ReadRefusal::NotAFile;
    default:
        return ReadRefusal::Failed;
    }
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

bool lockedByAnother(int fd) {
    int result = 0;
    do {
        result = ::flock(fd, LOCK_SH | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    return result != 0 && errno == EWOULDBLOCK;
}

} // namespace

ReadRefusal readRefusalOf(const std::string& path) {
    // Non-blocking, so that a fifo does not wait for a writer.
    const Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0)
        return refusalOfOpen(errno);
    struct stat status {};
    if (::fstat(file.get(), &status) == 0 && S_ISDIR(status.st_mode))
        return ReadRefusal::NotAFile;
    if (lockedByAnother(file.get()))
        return ReadRefusal::Held;
    char byte = 0;
    return ::pread(file.get(), &byte, 1, 0) < 0 ? ReadRefusal::Failed : ReadRefusal::None;
}

} // namespace velmora
