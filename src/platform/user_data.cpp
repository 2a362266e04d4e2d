#include "platform/user_data.h"

#include "platform/file_system.h"
#include "platform/path_parts.h"

namespace velmora {

// Each platform's one step: a folder made private to the user.
bool makePrivateFolder(const std::string& folder);

bool makeUserFolder(const std::string& folder) {
    if (folder.empty())
        return false;
    // From the top down, so that every missing folder on the way is made
    // private, not only the last one.
    for (std::size_t at = 1; at < folder.size(); ++at) {
        if (isPathSeparator(folder[at]) && !isPathSeparator(folder[at - 1]) &&
            !isFolder(folder.substr(0, at)))
            makePrivateFolder(folder.substr(0, at));
    }
    if (!isFolder(folder))
        makePrivateFolder(folder);
    return isFolder(folder);
}

} // namespace velmora
