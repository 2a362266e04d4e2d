// Writing a file so that it is never seen half-written.
//
// The bytes go to a temporary file in the target's folder, are flushed to the
// disk, and the temporary file is renamed over the target. A reader, or a
// crash at any moment, finds either the old content or the new one.
//
// A symbolic link is written through: the temporary file goes beside the
// link's final target and replaces that, and the link stays a link. A target
// the process may not write, or that is not a regular file, is refused before
// anything is written.
#pragma once

#include <string>
#include <string_view>

namespace velmora {

// What a write would find at a path, links followed.
enum class WriteTarget {
    Replaceable, // a regular file the process may write, or no file yet
    ReadOnly,    // read-only mode or attribute, no write permission, read-only medium
    NotAFile,    // a folder, a device, a fifo, a socket, or a loop of links
};
// On Linux a file with no write permission bit at all counts as read-only
// also for root, as the read-only attribute does on Windows.
WriteTarget writeTargetOf(const std::string& path);

// Replaces the file at `path` with `bytes`. False, with the target untouched
// and no temporary file left behind, when the target is not Replaceable, any
// step fails, or another holder of the file denies writing it (see
// SharedFile). The new file keeps the old one's permissions and, where the
// process may give them, its owner and group.
//
// A file made from another one (a deal's backup, its page) names that one in
// `modeSource`: it then gets no permission that file lacks, so that a copy
// is never readable by more people than what it was made from. (POSIX: no
// permission bit the source lacks. Windows: the source's access list, made
// the file's own, in place of what its folder would give it.)
bool writeFileReplacing(const std::string& path, std::string_view bytes,
                        const std::string& modeSource = {});

// What became of a replace made only while the file holds what was read.
enum class GuardedReplace {
    Replaced,   // the file holds the new bytes
    Changed,    // another writer changed the file, or took it away: it holds
                // what they left, also what they wrote while it was being
                // replaced (that was put back), and never the new bytes
    NotWritten, // refused, held by another, or a step failed: the file is as it was
    NotPutBack, // another writer wrote into the file while it was being
                // replaced, and the file could not be given back what they
                // wrote: it holds the new bytes
};

// As writeFileReplacing, but only while the file there (links followed)
// still holds exactly `expected`. It is compared while others are kept from
// writing, once the new bytes are ready, just before the swap; and again
// after it, through the replaced file, to catch a writer that does not take
// locks and wrote in between.
GuardedReplace writeFileReplacingIfUnchanged(const std::string& path, std::string_view bytes,
                                             std::string_view expected);

// Whether `fileName` is that of a temporary file the writers above make beside
// their target ("deal.xml.tmp-..."), which a walk over a folder must pass over:
// it exists only until it takes the target's place.
bool isSafeWriteTemporary(std::string_view fileName);

// Writes `bytes` to a new file at `path` in the same safe way, but never over
// an existing file: false, with everything left as it was, when a file of that
// name is already there (also one made at the same moment by another thread
// or process) or any step fails. `modeSource` as for writeFileReplacing.
bool writeNewFile(const std::string& path, std::string_view bytes,
                  const std::string& modeSource = {});

} // namespace velmora
