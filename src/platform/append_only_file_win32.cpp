#include "platform/append_only_file.h"

#include "platform/file_faults.h"
#include "platform/native_path.h"

#include <windows.h>

namespace velmora {

std::unique_ptr<AppendOnlyFile> AppendOnlyFile::open(const std::string& path) {
    // FILE_APPEND_DATA without FILE_WRITE_DATA: every write goes to the end.
    const std::wstring wide = systemPath(path);
    if (wide.empty())
        return nullptr;
    const HANDLE file = ::CreateFileW(wide.c_str(), FILE_APPEND_DATA | SYNCHRONIZE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    return std::unique_ptr<AppendOnlyFile>(
        new AppendOnlyFile(reinterpret_cast<std::intptr_t>(file), path));
}

AppendOnlyFile::~AppendOnlyFile() {
    ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

bool AppendOnlyFile::append(std::string_view bytes) {
    const HANDLE file = reinterpret_cast<HANDLE>(handle_);
    if (faultInjected(FileStep::Write, path_) || bytes.size() > MAXDWORD)
        return false;
    DWORD written = 0;
    return ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

bool AppendOnlyFile::flush() {
    return !faultInjected(FileStep::Flush, path_) &&
           ::FlushFileBuffers(reinterpret_cast<HANDLE>(handle_)) != 0;
}

} // namespace velmora
