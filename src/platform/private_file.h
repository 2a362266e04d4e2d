// Files that hold the personal information of many deals at once (the
// index, its journal): made readable by their owner alone, and told apart
// when someone made them readable by others.
#pragma once

#include <string>

namespace velmora {

// Makes an empty file at `path` that only its owner may read and write
// (mode 0600), unless something is there already. SQLite gives a
// database's journal the database's own permissions, so an index made on
// such a file keeps its side files private too. On Windows the file gets an
// access list that admits its user alone; SQLite's side files there take
// their folder's, which for the index's default folder (the user's own data
// folder) keeps out others too.
void makeOwnerOnlyFile(const std::string& path);

// Whether users other than the owner may read the file at `path`: a group or
// other read permission; on Windows, an entry of its access list that lets
// an account read it other than its user, the system or the administrators.
bool readableByOthers(const std::string& path);

} // namespace velmora
