#include "platform/safe_file.h"

#include <algorithm>

namespace velmora {

bool isSafeWriteTemporary(std::string_view fileName) {
    constexpr std::string_view kInfix = ".tmp-";
    const std::size_t infix = fileName.rfind(kInfix);
    if (infix == std::string_view::npos || infix == 0)
        return false;
    const std::string_view suffix = fileName.substr(infix + kInfix.size());
    return !suffix.empty() && std::all_of(suffix.begin(), suffix.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
               c == '-';
    });
}

} // namespace velmora
