// Windows: a new file takes its folder's ACL, and the index's default
// folder is the user's own (%LOCALAPPDATA%), which others cannot read.
#include "platform/private_file.h"

namespace velmora {

void makeOwnerOnlyFile(const std::string&) {}

bool readableByOthers(const std::string&) {
    return false;
}

} // namespace velmora
