// The index database as the index and search commands open it.
#pragma once

#include "index/sqlite_db.h"

#include <memory>
#include <string>
#include <string_view>

namespace velmora::cli {

// An index in the current folder by this name is used when no database is
// named; otherwise the user's own, in their data folder.
inline constexpr char kCurrentFolderIndex[] = "velmora-index.db";
// Said in --help of the commands that take --db.
inline constexpr char kDatabaseHelp[] =
    "The index database (default: ./velmora-index.db when there is one, else index.db in "
    "the user's data folder: $XDG_DATA_HOME/velmora, ~/.local/share/velmora or "
    "%LOCALAPPDATA%\\Velmora)";
// How long a command waits for another process that is writing the index.
inline constexpr int kIndexBusySeconds = 10;

// The index `given` names, or without a name the default one (see
// kCurrentFolderIndex), which is named on standard error when it is the
// current folder's. For writing, the user's data folder is made when missing.
std::string indexPathOf(const std::string& given, bool forWriting);

// Says once a run for each file, on standard error, that the file at `path`
// (by default an index), which holds `holds`, is readable by other users,
// and how to make it the owner's alone. It is used as it is: an office may
// share its index or its audit log on purpose.
void warnIfReadableByOthers(const std::string& path,
                            std::string_view holds = "the deals' names, addresses and amounts");

// Opens the index at `path`, making it or rebuilding an older one.
std::unique_ptr<index::Database> openIndexForWriting(const std::string& path);
// Opens an existing index for questions; never writes it. CannotRun when
// there is no index there yet.
std::unique_ptr<index::Database> openIndexForReading(const std::string& path);

} // namespace velmora::cli
