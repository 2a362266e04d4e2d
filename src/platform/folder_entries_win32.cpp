// FindFirstFileExW takes the extended-length form, so any folder the walk
// reaches is listed.
#include "platform/folder_entries.h"

#include <windows.h>

#include <cwchar>

namespace velmora {
namespace {

bool isDotEntry(const wchar_t* name) {
    return std::wcscmp(name, L".") == 0 || std::wcscmp(name, L"..") == 0;
}

} // namespace

std::vector<std::filesystem::directory_entry> folderEntries(const std::filesystem::path& folder,
                                                            std::error_code& error) {
    error.clear();
    std::vector<std::filesystem::directory_entry> entries;
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileExW((folder / L"*").c_str(), FindExInfoBasic, &found,
                                             FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        const DWORD failure = ::GetLastError();
        // A drive's root has no "." or "..": nothing found is an empty folder.
        if (failure != ERROR_FILE_NOT_FOUND)
            error.assign(static_cast<int>(failure), std::system_category());
        return entries;
    }
    do {
        if (isDotEntry(found.cFileName))
            continue;
        std::error_code ignored; // a name gone since it was listed is found as gone
        entries.emplace_back(folder / found.cFileName, ignored);
    } while (::FindNextFileW(search, &found));
    const DWORD failure = ::GetLastError();
    ::FindClose(search);
    if (failure != ERROR_NO_MORE_FILES) {
        error.assign(static_cast<int>(failure), std::system_category());
        entries.clear();
    }
    return entries;
}

} // namespace velmora
