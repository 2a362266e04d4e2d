#include "platform/file_system.h"

#include "platform/file_faults.h"
#include "platform/native_path.h"

#include <windows.h>

namespace velmora {

bool isFolder(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(systemPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool fileExists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(systemPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool removeFile(const std::string& path) {
    return ::DeleteFileW(systemPath(path).c_str()) != 0;
}

FolderResult createFolder(const std::string& path) {
    if (faultInjected(FileStep::CreateFolder, path))
        return FolderResult::Failed;
    if (::CreateDirectoryW(systemPath(path).c_str(), nullptr))
        return FolderResult::Created;
    if (::GetLastError() == ERROR_ALREADY_EXISTS && isFolder(path))
        return FolderResult::AlreadyExists;
    return FolderResult::Failed;
}

bool copyModificationTime(const std::string& from, const std::string& to) {
    const HANDLE source = ::CreateFileW(systemPath(from).c_str(), FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (source == INVALID_HANDLE_VALUE)
        return false;
    FILETIME modified{};
    const bool read = ::GetFileTime(source, nullptr, nullptr, &modified) != 0;
    ::CloseHandle(source);
    if (!read)
        return false;
    const HANDLE target =
        ::CreateFileW(systemPath(to).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (target == INVALID_HANDLE_VALUE)
        return false;
    const bool written = ::SetFileTime(target, nullptr, nullptr, &modified) != 0;
    ::CloseHandle(target);
    return written;
}

} // namespace velmora
