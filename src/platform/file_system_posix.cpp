#include "platform/file_system.h"

#include "platform/file_faults.h"

#include <cerrno>
#include <sys/stat.h>

namespace velmora {

bool fileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
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

} // namespace velmora
