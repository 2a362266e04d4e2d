#include "platform/file_system.h"

#include "platform/file_faults.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {

bool fileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool removeFile(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}

bool isFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

FolderResult createFolder(const std::string& path) {
    if (faultInjected(FileStep::CreateFolder, path))
        return FolderResult::Failed;
    if (::mkdir(path.c_str(), 0777) == 0)
        return FolderResult::Created;
    struct stat info {};
    if (errno == EEXIST && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        return FolderResult::AlreadyExists;
    return FolderResult::Failed;
}

bool copyModificationTime(const std::string& from, const std::string& to) {
    struct stat source {};
    if (::stat(from.c_str(), &source) != 0)
        return false;
    const struct timespec times[2] = {{0, UTIME_OMIT}, source.st_mtim};
    return ::utimensat(AT_FDCWD, to.c_str(), times, 0) == 0;
}

} // namespace velmora
