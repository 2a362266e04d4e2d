// Migrating an archive to the XML format, file by file, on several threads.
//
// The batch road of a legacy deal: its kind from its first word, a backup
// made just before the conversion and checked byte for byte, the conversion
// in memory, a safe save that replaces the file only if it is still the file
// that was read, and a reload of the new file; only a file that reloads
// counts as converted, and one that does not gets its original back. Unlike
// a host's open it asks nothing and does not pause. A deal found through a
// link is converted where it really is, its backup beside it; a link that
// leads nowhere is a broken link, which fails nothing.
//
// Runs that overlap or repeat are calm: a file is read while nobody else may
// write it; one that another run holds is tried again once after a short
// wait; one that another run converted meanwhile counts as already
// converted (a backup this run made of it stays: it holds the original).
// One that another program wrote while it was converted keeps what that
// program wrote, loses the backup made of its earlier bytes, and is tried
// again once; a second change leaves it refused, "changed during conversion".
#pragma once

#include "batch/run_report.h"
#include "batch/tree_walk.h"

#include <functional>
#include <string>
#include <vector>

namespace velmora::batch {

struct MigrationOptions {
    // "hud" or "hud1a" converts only that kind and refuses the other; empty
    // converts each deal as the kind it is.
    std::string forcedType;
    // Says what would happen to each file (WouldConvert for each deal that
    // would convert), and writes nothing.
    bool dryRun = false;
};

// What became of one file; the faults of the file itself are outcomes, never
// exceptions.
FileRecord migrateFile(const FoundFile& file, const MigrationOptions& options);

// Every file on `jobs` threads, the records in the order of `files`.
// `fileDone` is called after each file, from the thread that worked on it.
// Once `stopped` answers true, no further file is started: the records are
// those of the files done, each of them whole.
std::vector<FileRecord> migrateFiles(const std::vector<FoundFile>& files,
                                     const MigrationOptions& options, unsigned jobs,
                                     const std::function<void()>& fileDone,
                                     const std::function<bool()>& stopped = {});

} // namespace velmora::batch
