#include "platform/file_identity.h"

namespace velmora {

bool isSameFile(const std::string& first, const std::string& second) {
    const std::optional<FileIdentity> one = fileIdentity(first);
    if (!one)
        return false;
    const std::optional<FileIdentity> other = fileIdentity(second);
    return other && *one == *other;
}

} // namespace velmora
