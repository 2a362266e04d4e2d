#include "platform/append_only_file.h"

#include "platform/file_faults.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace velmora {

std::unique_ptr<AppendOnlyFile> AppendOnlyFile::open(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return nullptr;
    return std::unique_ptr<AppendOnlyFile>(new AppendOnlyFile(fd, path));
}

AppendOnlyFile::~AppendOnlyFile() {
    ::close(static_cast<int>(handle_));
}

bool AppendOnlyFile::append(std::string_view bytes) {
    const int fd = static_cast<int>(handle_);
    if (faultInjected(FileStep::Write, path_))
        return false;
    ssize_t written = -1;
    do
        written = ::write(fd, bytes.data(), bytes.size());
    while (written < 0 && errno == EINTR);
    return written >= 0 && static_cast<std::size_t>(written) == bytes.size();
}

bool AppendOnlyFile::flush() {
    return !faultInjected(FileStep::Flush, path_) && ::fdatasync(static_cast<int>(handle_)) == 0;
}

} // namespace velmora
