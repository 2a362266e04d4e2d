#include "platform/safe_file.h"

#include "platform/file_faults.h"
#include "platform/shared_file.h"

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace velmora {
namespace {

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool writeAll(int fd, std::string_view bytes, const std::string& path) {
    while (!bytes.empty()) {
        if (faultInjected(FileStep::Write, path))
            return false;
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// The new file keeps the permissions of the one it replaces; a new target
// gets what the process's umask allows.
void applyTargetMode(int fd, const std::string& path) {
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0) {
        ::fchmod(fd, existing.st_mode & 07777);
        return;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
}

// Makes the rename itself durable.
void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

// Writes `bytes` to a new temporary file beside `path` and flushes it to the
// disk; its name, or none (and nothing left behind) when that failed.
std::optional<std::string> writeTemporaryBeside(const std::string& path, std::string_view bytes) {
    std::string pattern = path + ".tmp-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = faultInjected(FileStep::Create, path) ? -1 : ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::string temporary(name.data());
    applyTargetMode(fd, path);
    const bool written =
        writeAll(fd, bytes, path) && !faultInjected(FileStep::Flush, path) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (written && closed)
        return temporary;
    ::unlink(temporary.c_str());
    return std::nullopt;
}

bool isUsableTarget(const std::string& path) {
    return !path.empty() && path.back() != '/';
}

} // namespace

bool writeFileReplacing(const std::string& path, std::string_view bytes) {
    if (!isUsableTarget(path))
        return false;
    // Replacing the file is writing it: refused while another holder denies
    // writing, and others are kept out until the new content is in place.
    std::unique_ptr<SharedFile> guard;
    if (::access(path.c_str(), F_OK) == 0) {
        guard = SharedFile::open(path, FileAccess::Read, FileSharing::None);
        if (!guard)
            return false;
    }
    const std::optional<std::string> temporary = writeTemporaryBeside(path, bytes);
    if (!temporary)
        return false;
    if (faultInjected(FileStep::Rename, path) || ::rename(temporary->c_str(), path.c_str()) != 0) {
        ::unlink(temporary->c_str());
        return false;
    }
    syncFolder(folderOf(path));
    return true;
}

bool writeNewFile(const std::string& path, std::string_view bytes) {
    if (!isUsableTarget(path))
        return false;
    const std::optional<std::string> temporary = writeTemporaryBeside(path, bytes);
    if (!temporary)
        return false;
    // link, unlike rename, refuses a name that is taken.
    const bool linked =
        !faultInjected(FileStep::Rename, path) && ::link(temporary->c_str(), path.c_str()) == 0;
    ::unlink(temporary->c_str());
    if (linked)
        syncFolder(folderOf(path));
    return linked;
}

} // namespace velmora
