// The index database as the index and search commands open it.
#pragma once

#include "index/sqlite_db.h"

#include <memory>
#include <string>

namespace velmora::cli {

inline constexpr char kDefaultIndexPath[] = "velmora-index.db";
// How long a command waits for another process that is writing the index.
inline constexpr int kIndexBusySeconds = 10;

// Opens the index at `path`, making it or rebuilding an older one.
std::unique_ptr<index::Database> openIndexForWriting(const std::string& path);
// Opens an existing index for questions; never writes it. CannotRun when
// there is no index there yet.
std::unique_ptr<index::Database> openIndexForReading(const std::string& path);

} // namespace velmora::cli
