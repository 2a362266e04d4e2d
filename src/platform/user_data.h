// The folder of a user's own files of this program, such as the index a
// command makes when no database is named: found from any folder the user
// works in, and readable by that user alone.
#pragma once

#include <optional>
#include <string>

namespace velmora {

// "$XDG_DATA_HOME/velmora" (else "$HOME/.local/share/velmora") on Linux,
// "%LOCALAPPDATA%\Velmora" on Windows. None when the environment names no
// such folder (an XDG_DATA_HOME that is not absolute names none).
std::optional<std::string> userDataFolder();

// Makes `folder` and any folders above it that are missing; those it makes
// are the user's alone. False when `folder` is no folder afterwards.
bool makeUserFolder(const std::string& folder);

} // namespace velmora
