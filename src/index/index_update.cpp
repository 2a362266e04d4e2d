#include "index/index_update.h"

#include "batch/file_kind.h"
#include "batch/not_a_deal.h"
#include "batch/tree_walk.h"
#include "batch/work_threads.h"
#include "index/index_writer.h"
#include "platform/file_identity.h"
#include "platform/file_stamp.h"
#include "platform/path_parts.h"

#include <algorithm>
#include <atomic>
#include <unordered_map>
#include <unordered_set>

namespace velmora::index {
namespace {

// Files read between two commits: large enough that commits cost little,
// small enough that a stopped run loses little.
constexpr std::size_t kBatchFiles = 512;

struct KnownRow {
    FileStamp stamp;
    bool readAgain = false; // it could not be read last time
};

struct PendingFile {
    std::string path;
    std::string key;
    FileStamp stamp;
    bool named = false;
};

// What a file read for the index turned out to be: a deal's entry, or why a
// person is told of one that is no deal (empty when it passes in silence).
struct ReadFile {
    std::optional<IndexEntry> entry;
    std::string notADeal;
};

std::string notADealReason(const PendingFile& file) {
    const std::optional<std::string> first = batch::readFirstBytes(file.path);
    if (!first)
        return {};
    const std::optional<batch::NotADealNote> note =
        batch::notADealNote(file.path, file.named, *first);
    return note ? note->reason : std::string();
}

std::unordered_map<std::string, KnownRow> knownRows(Database& db) {
    std::unordered_map<std::string, KnownRow> rows;
    Statement query = db.prepare("SELECT path, size, modified_ns, file_id, status FROM documents");
    while (query.step()) {
        const FileStamp stamp{static_cast<std::uint64_t>(query.integer(1)), query.integer(2),
                              static_cast<std::uint64_t>(query.integer(3))};
        rows.emplace(query.text(0), KnownRow{stamp, query.text(4) == "unreadable"});
    }
    return rows;
}

// A folder given to the run, as the keys of its files begin.
struct RootPrefix {
    std::string key;
    std::string folderPrefix; // key and a separator
};

RootPrefix prefixOf(const std::string& root) {
    std::string key = batch::absoluteKey(root);
    while (key.size() > 1 && key.back() == kPreferredSeparator)
        key.pop_back();
    return {key, key.back() == kPreferredSeparator ? key : key + kPreferredSeparator};
}

// The shard key of `key` below `root`, as the walk makes it; none when the
// key does not lie below the root.
std::optional<std::string> relativeKey(const RootPrefix& root, const std::string& key) {
    if (key == root.key) {
        return std::string(fileNameOf(key));
    }
    if (!key.starts_with(root.folderPrefix))
        return std::nullopt;
    std::string relative = key.substr(root.folderPrefix.size());
    std::replace(relative.begin(), relative.end(), kPreferredSeparator, '/');
    return relative;
}

class IndexUpdate {
public:
    IndexUpdate(Database& db, const IndexOptions& options, const std::function<void()>& fileDone)
        : db_(db), options_(options), fileDone_(fileDone), known_(knownRows(db)) {}

    IndexRun run(const std::vector<std::string>& roots) {
        batch::TreeWalk walk = batch::walkTree(roots);
        run_.notes = std::move(walk.notes);
        const std::vector<batch::FoundFile> files =
            batch::filesOfShard(std::move(walk.files), options_.shard);
        if (options_.filesFound)
            options_.filesFound(files.size());
        std::vector<PendingFile> pending;
        for (const batch::FoundFile& file : files)
            look(file, pending);
        for (std::size_t first = 0; first < pending.size(); first += kBatchFiles) {
            if (options_.stopped && options_.stopped()) {
                run_.stopped = true;
                break;
            }
            readBatch(pending, first, std::min(pending.size(), first + kBatchFiles));
        }
        removeOtherSpellings();
        // Gone means not found by a whole walk; a stopped run read too little to say.
        if (!run_.stopped)
            removeGone(roots);
        if (droppedText_)
            purgeDroppedText(db_);
        run_.filesDone = filesDone_;
        return std::move(run_);
    }

private:
    void look(const batch::FoundFile& file, std::vector<PendingFile>& pending) {
        ++run_.files;
        const std::string key = batch::absoluteKey(file.path);
        if (file.found != batch::Found::File) {
            // A folder that cannot be listed, or a name given that is not
            // there (a share not mounted), may well still hold its files.
            if (file.found == batch::Found::Unreadable || file.found == batch::Found::Missing)
                unlisted_.push_back(prefixOf(file.path));
            if (file.found == batch::Found::NotAFile)
                countNotADeal(file.path, file.named || batch::hasDealExtension(file.path)
                                             ? batch::problemOf(file.found)
                                             : "");
            else if (file.found == batch::Found::Dangling)
                run_.brokenLinks.push_back({file.path, batch::problemOf(file.found)});
            else
                run_.problems.push_back({file.path, batch::problemOf(file.found)});
            done();
            return;
        }
        seen_.insert(key);
        const std::optional<FileStamp> stamp = fileStamp(file.path);
        if (!stamp) {
            // Its row, if any, stays: the file is there, only not to be looked at now.
            run_.problems.push_back({file.path, "cannot be looked at"});
            done();
            return;
        }
        seenIds_.emplace(stamp->fileId, file.path);
        const auto row = known_.find(key);
        if (row != known_.end() && row->second.stamp == *stamp && !row->second.readAgain) {
            ++run_.unchanged;
            done();
            return;
        }
        pending.push_back({file.path, key, *stamp, file.named});
    }

    void readBatch(const std::vector<PendingFile>& pending, std::size_t first, std::size_t end) {
        std::vector<ReadFile> entries(end - first);
        batch::forEachOnThreads(end - first, options_.jobs, [&](std::size_t i) {
            const PendingFile& file = pending[first + i];
            entries[i].entry = readIndexEntry(file.path, file.key, file.stamp);
            if (!entries[i].entry)
                entries[i].notADeal = notADealReason(file);
            done();
        });
        write(pending, first, entries);
    }

    void write(const std::vector<PendingFile>& pending, std::size_t first,
               const std::vector<ReadFile>& entries) {
        IndexWriter writer(db_);
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const std::optional<IndexEntry>& entry = entries[i].entry;
            if (!entry) {
                countNotADeal(pending[first + i].path, entries[i].notADeal);
                if (known_.contains(pending[first + i].key)) {
                    writer.remove(pending[first + i].key);
                    ++run_.removed;
                }
                continue;
            }
            writer.put(*entry);
            count(*entry, pending[first + i].path);
        }
        commit(writer);
    }

    void commit(IndexWriter& writer) {
        writer.commit();
        droppedText_ = droppedText_ || writer.droppedText();
    }

    void countNotADeal(const std::string& path, const std::string& told) {
        ++run_.notDeals;
        if (!told.empty())
            run_.notDealsTold.push_back({path, told});
    }

    void count(const IndexEntry& entry, const std::string& path) {
        const auto& status = std::get<std::string>(entry.values[Field::Status]);
        if (status == "indexed") {
            ++run_.indexed;
            return;
        }
        ++run_.notIndexed;
        run_.problems.push_back({path, std::get<std::string>(entry.values[Field::Reason])});
    }

    // Rows of a file seen now under another spelling of its path, which an
    // index gained before every file had one name (on Windows its final path,
    // through a link the real one): the file keeps the row of its own name.
    // The stored file number picks the candidates, the identity decides.
    void removeOtherSpellings() {
        IndexWriter writer(db_);
        for (const auto& [key, row] : known_) {
            if (seen_.contains(key))
                continue;
            const auto same = seenIds_.find(row.stamp.fileId);
            if (same == seenIds_.end())
                continue;
            // The key is UTF-8, the tools' tree text.
            const std::optional<FileIdentity> spelled = fileIdentity(key);
            if (spelled && spelled == fileIdentity(same->second)) {
                writer.remove(key);
                removedKeys_.insert(key);
                ++run_.removed;
            }
        }
        commit(writer);
    }

    // Rows below the folders given whose files the walk did not find, except
    // below a folder that could not be listed or a name given that is missing.
    void removeGone(const std::vector<std::string>& roots) {
        std::vector<RootPrefix> prefixes;
        for (const std::string& root : roots)
            prefixes.push_back(prefixOf(root));
        IndexWriter writer(db_);
        for (const auto& [key, row] : known_) {
            if (!seen_.contains(key) && !removedKeys_.contains(key) && isGone(prefixes, key)) {
                writer.remove(key);
                ++run_.removed;
            }
        }
        commit(writer);
    }

    bool isGone(const std::vector<RootPrefix>& roots, const std::string& key) const {
        const auto below = [&](const RootPrefix& root) {
            return relativeKey(root, key).has_value();
        };
        if (std::any_of(unlisted_.begin(), unlisted_.end(), below))
            return false;
        return std::any_of(roots.begin(), roots.end(), [&](const RootPrefix& root) {
            const std::optional<std::string> relative = relativeKey(root, key);
            return relative && (!options_.shard || batch::isInShard(*options_.shard, *relative));
        });
    }

    void done() {
        ++filesDone_;
        if (fileDone_)
            fileDone_();
    }

    Database& db_;
    const IndexOptions& options_;
    const std::function<void()>& fileDone_;
    const std::unordered_map<std::string, KnownRow> known_;
    std::unordered_set<std::string> seen_;
    // The file number of each file seen, with its path.
    std::unordered_map<std::uint64_t, std::string> seenIds_;
    std::unordered_set<std::string> removedKeys_;
    // A row was removed or replaced: its words are purged at the end.
    bool droppedText_ = false;
    std::vector<RootPrefix> unlisted_;
    std::atomic<std::size_t> filesDone_{0};
    IndexRun run_;
};

} // namespace

IndexRun updateIndex(Database& db, const std::vector<std::string>& roots,
                     const IndexOptions& options, const std::function<void()>& fileDone) {
    return IndexUpdate(db, options, fileDone).run(roots);
}

std::size_t rowsUnder(Database& db, const std::string& root) {
    const RootPrefix prefix = prefixOf(root);
    // Compared as bytes: substr counts the characters of a text.
    Statement query = db.prepare("SELECT count(*) FROM documents WHERE path = ? OR "
                                 "substr(CAST(path AS BLOB), 1, ?) = CAST(? AS BLOB)");
    query.bind(1, prefix.key)
        .bind(2, static_cast<std::int64_t>(prefix.folderPrefix.size()))
        .bind(3, prefix.folderPrefix);
    return query.step() ? static_cast<std::size_t>(query.integer(0)) : 0;
}

std::string indexRunLine(const IndexRun& run) {
    return "indexed: " + std::to_string(run.indexed) +
           ", unchanged: " + std::to_string(run.unchanged) +
           ", not indexed: " + std::to_string(run.notIndexed) +
           ", not a deal: " + std::to_string(run.notDeals) +
           ", broken link: " + std::to_string(run.brokenLinks.size()) +
           ", removed: " + std::to_string(run.removed);
}

} // namespace velmora::index
