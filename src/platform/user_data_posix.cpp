#include "platform/user_data.h"

#include <cstdlib>
#include <sys/stat.h>

namespace velmora {

std::optional<std::string> userDataFolder() {
    const char* const dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome && dataHome[0] == '/')
        return std::string(dataHome) + "/velmora";
    const char* const home = std::getenv("HOME");
    if (!home || home[0] != '/')
        return std::nullopt;
    return std::string(home) + "/.local/share/velmora";
}

bool makePrivateFolder(const std::string& folder) {
    return ::mkdir(folder.c_str(), 0700) == 0;
}

} // namespace velmora
