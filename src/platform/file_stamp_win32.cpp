#include "platform/file_stamp.h"

#include "platform/file_identity.h"
#include "platform/native_path.h"

#include <windows.h>

namespace velmora {
namespace {

// FILETIME counts 100 ns steps from 1 January 1601.
constexpr std::int64_t kFileTimeOf1970 = 116'444'736'000'000'000;

std::int64_t nanosecondsOf(const FILETIME& time) {
    const std::int64_t ticks = static_cast<std::int64_t>(
        (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
    return (ticks - kFileTimeOf1970) * 100;
}

} // namespace

std::optional<FileStamp> fileStamp(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(systemPath(path).c_str(), GetFileExInfoStandard, &data))
        return std::nullopt;
    const std::optional<FileIdentity> identity = fileIdentity(path);
    if (!identity)
        return std::nullopt;
    return FileStamp{(static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
                     nanosecondsOf(data.ftLastWriteTime), identity->index};
}

} // namespace velmora
