// The few file-system services the document layer needs beyond reading and
// writing documents.
#pragma once

#include <string>

namespace velmora {

bool fileExists(const std::string& path);

enum class FolderResult { Created, AlreadyExists, Failed };
FolderResult createFolder(const std::string& path);

// Copies `from` to `to`, replacing `to`; false when it could not.
bool copyFile(const std::string& from, const std::string& to);

} // namespace velmora
