// Sharing modes on Windows are CreateFile's share modes: the system refuses
// any open that conflicts with a holder's, in this process or another.
#include "platform/shared_file.h"

#include "platform/native_path.h"

#include <windows.h>

#include <algorithm>

namespace velmora {
namespace {

HANDLE handleOf(std::intptr_t value) {
    return reinterpret_cast<HANDLE>(value);
}

DWORD shareModeOf(FileSharing sharing) {
    return sharing == FileSharing::ReadOnly ? FILE_SHARE_READ : 0;
}

DWORD accessOf(FileAccess access) {
    return access == FileAccess::Read ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
}

} // namespace

std::unique_ptr<SharedFile> SharedFile::open(const std::string& path, FileAccess access,
                                             FileSharing sharing) {
    const HANDLE file =
        ::CreateFileW(systemPath(path).c_str(), accessOf(access), shareModeOf(sharing), nullptr,
                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    return std::unique_ptr<SharedFile>(new SharedFile(reinterpret_cast<std::intptr_t>(file)));
}

SharedFile::~SharedFile() {
    ::CloseHandle(handleOf(handle_));
}

std::size_t SharedFile::read(char* buffer, std::size_t size) {
    std::size_t total = 0;
    while (total < size) {
        constexpr std::size_t kLargestRead = 1u << 30;
        const auto wanted = static_cast<DWORD>(std::min(size - total, kLargestRead));
        DWORD got = 0;
        if (!::ReadFile(handleOf(handle_), buffer + total, wanted, &got, nullptr) || got == 0)
            break;
        total += got;
    }
    return total;
}

std::optional<std::string> SharedFile::readAll() {
    LARGE_INTEGER start{};
    if (!::SetFilePointerEx(handleOf(handle_), start, nullptr, FILE_BEGIN))
        return std::nullopt;
    std::string bytes;
    char buffer[64 * 1024];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(handleOf(handle_), buffer, sizeof buffer, &got, nullptr))
            return std::nullopt;
        if (got == 0)
            return bytes;
        bytes.append(buffer, got);
    }
}

std::optional<FileIdentity> SharedFile::identity() const {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handleOf(handle_), &info))
        return std::nullopt;
    return FileIdentity{info.dwVolumeSerialNumber,
                        (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) |
                            info.nFileIndexLow};
}

} // namespace velmora
