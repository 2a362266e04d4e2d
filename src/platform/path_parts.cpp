#include "platform/path_parts.h"

namespace velmora {

bool isPathSeparator(char c) {
    return kPathSeparators.find(c) != std::string_view::npos;
}

std::size_t lastSeparator(std::string_view path, std::string_view separators) {
    return path.find_last_of(separators);
}

std::string_view fileNameOf(std::string_view path, std::string_view separators) {
    const std::size_t separator = lastSeparator(path, separators);
    return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

std::size_t extensionStart(std::string_view path) {
    const std::size_t nameStart = path.size() - fileNameOf(path).size();
    const std::size_t dot = path.rfind('.');
    return dot != std::string_view::npos && dot > nameStart ? dot : path.size();
}

} // namespace velmora
