// Work folders (work_folder.h) left behind by runs that were killed before
// they could remove them, each a browser profile of a few megabytes: a later
// run removes them before it starts its own browser.
#pragma once

#include <string>

namespace velmora::render::pdf {

// Removes the work folders directly under `parent` that this user owns and
// no run uses: a folder whose lock file can be locked at once, or one without
// a lock file (made by an older build) last changed more than a day ago.
// Links are never followed, neither a link in `parent` nor one inside a
// folder removed. What cannot be removed stays, unreported: the run makes
// its PDFs all the same.
void removeStaleWorkFolders(const std::string& parent);

} // namespace velmora::render::pdf
