#include "platform/folder_entries.h"

namespace velmora {

std::vector<std::filesystem::directory_entry> folderEntries(const std::filesystem::path& folder,
                                                            std::error_code& error) {
    std::vector<std::filesystem::directory_entry> entries;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error))
        entries.push_back(*it);
    if (error)
        entries.clear();
    return entries;
}

} // namespace velmora
