// Copies and comparisons of whole files, the same on every platform: copies
// go through the safe writers rather than a platform copy, so that a copy
// over a file someone holds is refused like any other write and never leaves
// half a file.
#include "platform/file_faults.h"
#include "platform/file_system.h"
#include "platform/native_path.h"
#include "platform/safe_file.h"

#include <fstream>
#include <iterator>
#include <optional>

namespace velmora {
namespace {

std::optional<std::string> readWhole(const std::string& path) {
    std::ifstream in(nativePath(path), std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return std::nullopt;
    return bytes;
}

std::optional<std::string> readCopySource(const std::string& from) {
    if (faultInjected(FileStep::Copy, from))
        return std::nullopt;
    return readWhole(from);
}

} // namespace

bool copyFile(const std::string& from, const std::string& to) {
    const std::optional<std::string> bytes = readCopySource(from);
    return bytes && writeFileReplacing(to, *bytes, from);
}

bool copyFileNew(const std::string& from, const std::string& to) {
    const std::optional<std::string> bytes = readCopySource(from);
    return bytes && copyBytesNew(from, *bytes, to);
}

bool copyBytesNew(const std::string& from, std::string_view bytes, const std::string& to) {
    if (!writeNewFile(to, bytes, from))
        return false;
    // The copy counts even where the time cannot follow (a file system that
    // keeps none): the bytes are what must not be lost.
    copyModificationTime(from, to);
    return true;
}

bool sameContent(const std::string& first, const std::string& second) {
    const std::optional<std::string> one = readWhole(first);
    if (!one)
        return false;
    const std::optional<std::string> other = readWhole(second);
    return other && *one == *other;
}

bool holdsBytes(const std::string& path, std::string_view bytes) {
    const std::optional<std::string> held = readWhole(path);
    return held && *held == bytes;
}

} // namespace velmora
