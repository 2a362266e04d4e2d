#include "platform/file_identity.h"

#include "platform/code_page.h"
#include "platform/final_path_win32.h"
#include "platform/long_path_form.h"
#include "platform/native_path.h"

#include <windows.h>

namespace velmora {
namespace {

// No access asked and every sharing allowed: this works on files that
// others, or this document itself, hold with any sharing mode. Folders open
// only with backup semantics.
HANDLE openToLookAt(const std::string& path) {
    const std::wstring wide = systemPath(path);
    if (wide.empty())
        return INVALID_HANDLE_VALUE;
    return ::CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

} // namespace

std::optional<FileIdentity> fileIdentity(const std::string& path) {
    const HANDLE file = openToLookAt(path);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = ::GetFileInformationByHandle(file, &info) != 0;
    ::CloseHandle(file);
    if (!known)
        return std::nullopt;
    return FileIdentity{info.dwVolumeSerialNumber,
                        (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) |
                            info.nFileIndexLow};
}

std::optional<std::string> finalPathOf(const std::string& path) {
    const HANDLE file = openToLookAt(path);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    const std::wstring final = plainForm<wchar_t>(finalPathOfHandle(file));
    ::CloseHandle(file);
    if (final.empty())
        return std::nullopt;
    std::string text = wideToAnsi(final);
    if (ansiToWide(text) != final)
        return std::nullopt;
    return text;
}

} // namespace velmora
