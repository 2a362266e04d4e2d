#include "platform/file_system.h"

#include "platform/file_faults.h"

#include <windows.h>

namespace velmora {
namespace {

bool isFolder(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

} // namespace

bool fileExists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

FolderResult createFolder(const std::string& path) {
    if (faultInjected(FileStep::CreateFolder, path))
        return FolderResult::Failed;
    if (::CreateDirectoryA(path.c_str(), nullptr))
        return FolderResult::Created;
    if (::GetLastError() == ERROR_ALREADY_EXISTS && isFolder(path))
        return FolderResult::AlreadyExists;
    return FolderResult::Failed;
}

} // namespace velmora
