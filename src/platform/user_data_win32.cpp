#include "platform/user_data.h"

#include "platform/code_page.h"
#include "platform/file_system.h"

#include <windows.h>

namespace velmora {

std::optional<std::string> userDataFolder() {
    wchar_t folder[MAX_PATH];
    const DWORD length = ::GetEnvironmentVariableW(L"LOCALAPPDATA", folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::nullopt;
    const std::string named = wideToAnsi(std::wstring_view(folder, length));
    if (named.empty())
        return std::nullopt;
    return named + "\\Velmora";
}

// A folder under the user's local application data takes that folder's
// permissions, which are the user's own.
bool makePrivateFolder(const std::string& folder) {
    return createFolder(folder) == FolderResult::Created;
}

} // namespace velmora
