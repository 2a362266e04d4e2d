// Bringing the archive index up to date with the files of some folders.
//
// A file whose size, modification time and file number are those of its row
// is not read again; the others are read on several threads and written in
// batches, each batch one transaction, so that a run stopped half-way leaves
// every row true to its file and the next run goes on where it stopped.
// A deal found through a link is kept under its real path, and on Windows
// every deal under its final path; rows an index holds of a deal under
// another spelling of its path are merged into the one row. Rows of files
// that are gone from the folders given are removed; rows of
// other folders are left alone, so that one index can serve many folders, and
// so are the rows of a folder given that is not there at all (a share that
// is not mounted must not empty the index).
#pragma once

#include "batch/shard.h"
#include "index/sqlite_db.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velmora::index {

struct IndexOptions {
    unsigned jobs = 1;
    std::optional<batch::Shard> shard;
    // Told how many files the run will look at, once they are found.
    std::function<void(std::size_t)> filesFound;
    // Asked between batches of files: once it answers true, the batch under
    // way is finished and written, and no further file is read.
    std::function<bool()> stopped;
};

struct IndexProblem {
    std::string path;
    std::string reason;
};

struct IndexRun {
    std::size_t files = 0;      // files looked at
    std::size_t indexed = 0;    // deals read now and indexed
    std::size_t unchanged = 0;  // deals not read again
    std::size_t notIndexed = 0; // deals read now that failed or could not be read
    std::size_t notDeals = 0;
    // Rows of files gone, or no deal any more, or of a file seen under
    // another spelling of its path.
    std::size_t removed = 0;
    // The deals not indexed now, and the names that could not be looked at.
    std::vector<IndexProblem> problems;
    // Of the files that are no deal, those a person is told of (see
    // not_a_deal.h), with what they are.
    std::vector<IndexProblem> notDealsTold;
    // Links that lead nowhere: told, and no problem of the run.
    std::vector<IndexProblem> brokenLinks;
    // Names given that were left alone, with the reason.
    std::vector<std::string> notes;
    // Stopped before every file was read: the rows of the files not read,
    // and of files gone, are kept as they were.
    bool stopped = false;
    std::size_t filesDone = 0; // looked at and, where needed, read
};

// Updates the index `db` (made ready by prepareIndexSchema) from `roots`.
// `fileDone` is called once per file looked at, from any thread.
IndexRun updateIndex(Database& db, const std::vector<std::string>& roots,
                     const IndexOptions& options, const std::function<void()>& fileDone);

// How many rows the index holds of `root`: of that file, or of the files
// below that folder.
std::size_t rowsUnder(Database& db, const std::string& root);

// "indexed: 3, unchanged: 10, not indexed: 1, not a deal: 2, broken link: 0,
// removed: 0".
std::string indexRunLine(const IndexRun& run);

} // namespace velmora::index
