// The promise every fuzz target checks after a save: what the engine writes
// must load again, and saving what was loaded must give the same document,
// so a save/load cycle never changes a value. The one change allowed is the
// loader's: a display name that an earlier sibling of the same element name
// already bears is made unique. A broken promise aborts the run with a
// report, which the fuzzer keeps as a crash.
#pragma once

#include <string>

namespace velmora::fuzzing {

// Loads the document saved at `saved` into a new root, saves that root at
// `resaved` and compares the two files.
void requireStableRoundTrip(const std::string& saved, const std::string& resaved);

} // namespace velmora::fuzzing
