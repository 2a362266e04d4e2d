// Writing a file so that it is never seen half-written.
//
// The bytes go to a temporary file in the target's folder, are flushed to the
// disk, and the temporary file is renamed over the target. A reader, or a
// crash at any moment, finds either the old content or the new one.
#pragma once

#include <string>
#include <string_view>

namespace velmora {

// Replaces the file at `path` with `bytes`. False, with the target untouched
// and no temporary file left behind, when any step fails or another holder of
// the file denies writing it (see SharedFile).
bool writeFileReplacing(const std::string& path, std::string_view bytes);

// Writes `bytes` to a new file at `path` in the same safe way, but never over
// an existing file: false, with everything left as it was, when a file of that
// name is already there (also one made at the same moment by another thread
// or process) or any step fails.
bool writeNewFile(const std::string& path, std::string_view bytes);

} // namespace velmora
