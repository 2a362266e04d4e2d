#include "platform/file_identity.h"

#include "platform/code_page.h"
#include "platform/final_path_win32.h"
#include "platform/long_path_form.h"
#include "platform/native_path.h"

#include <windows.h>

#include <algorithm>
#include <cwctype>

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

// The final path made as it is defined, for when the system cannot tell it
// (Wine answers ERROR_MORE_DATA for every path longer than MAX_PATH): the
// full path with the drive letter in capitals and each name as its folder
// stores it. Links on the way are not followed there. Empty when a name is
// not found.
std::wstring spelledAsStored(const std::string& path) {
    const std::wstring full = nativeTreePath(path).native();
    const std::size_t root = extendedRootLength<wchar_t>(full);
    if (root == 0)
        return {};
    std::wstring spelled = full.substr(0, root);
    constexpr std::size_t kDriveRoot = 7;
    if (root == kDriveRoot)
        spelled[4] = static_cast<wchar_t>(std::towupper(spelled[4]));
    for (std::size_t at = root; at < full.size();) {
        const std::size_t end = std::min(full.find(L'\\', at), full.size());
        const std::wstring name = full.substr(at, end - at);
        at = end + 1;
        if (name.empty())
            continue;
        // A name holds no wildcard; FindFirstFileW would take one as such.
        if (name.find_first_of(L"*?") != std::wstring::npos)
            return {};
        WIN32_FIND_DATAW found{};
        const HANDLE search = ::FindFirstFileW((spelled + name).c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return {};
        ::FindClose(search);
        spelled += found.cFileName;
        spelled += L'\\';
    }
    if (spelled.size() > root)
        spelled.pop_back();
    return spelled;
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
    std::wstring final = finalPathOfHandle(file);
    ::CloseHandle(file);
    if (final.empty())
        final = spelledAsStored(path);
    final = plainForm<wchar_t>(final);
    if (final.empty())
        return std::nullopt;
    std::string text = wideToAnsi(final);
    if (ansiToWide(text) != final)
        return std::nullopt;
    return text;
}

} // namespace velmora
