// The entries of a folder, for walking a tree.
//
// std::filesystem's directory iterator lists a folder through the C
// runtime's opendir on Windows, which refuses a folder whose full path is
// longer than MAX_PATH however it is spelled; these list every folder the
// system can.
#pragma once

#include <filesystem>
#include <system_error>
#include <vector>

namespace velmora {

// Every entry of `folder` but "." and "..", each a path below `folder` as it
// is spelled; none, with `error` saying why, when it cannot be listed.
std::vector<std::filesystem::directory_entry> folderEntries(const std::filesystem::path& folder,
                                                            std::error_code& error);

} // namespace velmora
