// Removing the temporary files a killed run left beside the deals it was
// writing: full copies of deals, and clutter no later run would look at.
#pragma once

#include "batch/tree_walk.h"

#include <string>
#include <vector>

namespace velmora::batch {

// Removes each of `walk.leftoverTemporaries` that holds what this program
// writes (a converted document, a page, a PDF); one line for each file,
// removed or, when it is not recognised or cannot be removed, left.
std::vector<std::string> removeLeftoverTemporaries(const TreeWalk& walk);

} // namespace velmora::batch
