// Opened as every reader opens a file, sharing everything: only a holder's
// own share mode (no sharing of reads, whatever else it shares) or a locked
// byte range can stand in the way, and the system names either.
#include "platform/read_refusal.h"

#include "platform/native_path.h"

#include <windows.h>

namespace velmora {
namespace {

ReadRefusal refusalOf(DWORD error) {
    switch (error) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return ReadRefusal::Held;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
        return ReadRefusal::Missing;
    case ERROR_ACCESS_DENIED:
        return ReadRefusal::Denied;
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_BUFFER_OVERFLOW:
        return ReadRefusal::TooLong;
    default:
        return ReadRefusal::Failed;
    }
}

} // namespace

ReadRefusal readRefusalOf(const std::string& path) {
    const std::wstring wide = systemPath(path);
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return ReadRefusal::NotAFile;
    const HANDLE file = ::CreateFileW(wide.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return refusalOf(::GetLastError());
    char byte = 0;
    DWORD got = 0;
    const bool read = ::ReadFile(file, &byte, 1, &got, nullptr) != 0;
    const DWORD error = ::GetLastError();
    ::CloseHandle(file);
    return read ? ReadRefusal::None : refusalOf(error);
}

} // namespace velmora
