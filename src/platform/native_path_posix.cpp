// Paths are bytes to the system: the text is the path.
#include "platform/native_path.h"

namespace velmora {

std::filesystem::path nativePath(const std::string& path) {
    return std::filesystem::path(path);
}

std::filesystem::path nativeTreePath(const std::string& path) {
    return nativePath(path);
}

std::string pathText(const std::filesystem::path& path) {
    return path.string();
}

} // namespace velmora
