// Joining indexes built on several machines, or of several shards of one
// archive, into one.
#pragma once

#include "index/sqlite_db.h"

#include <cstddef>
#include <string>
#include <vector>

namespace velmora::index {

struct MergeRun {
    std::size_t added = 0;
    std::size_t replaced = 0; // a row of the same path, of an older state of its file
    std::size_t kept = 0;     // a row of the same path, newer than the one offered
};

// Throws IndexError unless `in` is an index of this schema whose every row
// may be merged (see mergeRowProblem), naming the input and the first row
// refused. Writes nothing anywhere.
void checkMergeInput(Database& in);

// Adds the rows of each index at `inputs` (UTF-8 paths) to `out`, made ready
// by prepareIndexSchema. Where two have a row of one path, the row of the
// more recently modified file wins, and of two equal ones the later input's.
// Each input is read in one transaction of `out`, whole or not at all; an
// input that is not an index of this schema is refused before anything of it
// is written.
MergeRun mergeIndexes(Database& out, const std::vector<std::string>& inputs, int busySeconds);

} // namespace velmora::index
