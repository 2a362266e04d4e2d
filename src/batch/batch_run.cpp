#include "batch/batch_run.h"

#include "batch/file_kind.h"
#include "batch/work_threads.h"
#include "platform/file_identity.h"
#include "platform/file_system.h"
#include "platform/path_parts.h"
#include "platform/safe_file.h"

#include <exception>
#include <new>
#include <stdexcept>

namespace velmora::batch {
namespace {

// The record of a deal that was planned, its output named.
BatchRecord recordOf(const BatchItem& item, BatchOutcome outcome, std::string reason,
                     BatchRemedy remedy = BatchRemedy::None) {
    return {item.document, item.output, outcome, std::move(reason), remedy, item.renamed};
}

BatchRecord failed(const BatchItem& item, const std::string& why) {
    return recordOf(item, BatchOutcome::Failed, item.output + ": " + why);
}

BatchRecord skipped(const BatchItem& item) {
    return recordOf(item, BatchOutcome::SkippedExisting, item.output + ": exists",
                    BatchRemedy::ReplaceOutput);
}

// A file of the output's name that the command did not write: a scan that
// shares a deal's name, a page from elsewhere. No run replaces it.
BatchRecord keptForeign(const BatchItem& item) {
    return recordOf(item, BatchOutcome::SkippedExisting,
                    item.output + ": exists and is not an output of this tool; it was kept");
}

bool isDocumentItself(const BatchItem& item) {
    const std::optional<FileIdentity> output = fileIdentity(item.output);
    return output && output == fileIdentity(item.document);
}

// Whatever the kind of the file there, deal or not: a page or a PDF never
// takes a deal's place.
bool isDeal(const std::string& path) {
    const std::optional<std::string> first = readFirstBytes(path);
    return first && kindOfFile(*first).kind != FileKind::NotADeal;
}

std::string folderOf(const std::string& path) {
    const std::size_t separator = lastSeparator(path);
    return separator == std::string::npos || separator == 0 ? std::string()
                                                            : path.substr(0, separator);
}

// Each missing folder on the way, from the top; true when the last is there.
bool makeFolderOf(const std::string& path) {
    const std::string folder = folderOf(path);
    if (folder.empty() || isFolder(folder))
        return true;
    if (!makeFolderOf(folder))
        return false;
    return createFolder(folder) != FolderResult::Failed || isFolder(folder);
}

// The checks that need no output made, in the order a person would want
// them told.
std::optional<BatchRecord> refusal(const BatchItem& item, const BatchOptions& options) {
    if (isDocumentItself(item))
        return failed(item, "that is the document itself; name another output");
    switch (writeTargetOf(item.output)) {
    case WriteTarget::Replaceable:
        break;
    case WriteTarget::ReadOnly:
        return failed(item, "the file is read-only; nothing was written");
    case WriteTarget::NotAFile:
        return failed(item, "not a regular file; nothing was written");
    }
    if (!fileExists(item.output))
        return std::nullopt;
    if (options.replace && isDeal(item.output))
        return failed(item, "is a deal document, which an output never replaces");
    if (options.ownOutput && !options.ownOutput(item.output))
        return keptForeign(item);
    if (!options.replace)
        return skipped(item);
    return std::nullopt;
}

BatchRecord written(const BatchItem& item, const std::string& bytes, bool replace) {
    if (!makeFolderOf(item.output))
        return failed(item, "its folder could not be made");
    // The output shows the deal: nobody who may not read the deal may read it.
    if (replace ? writeFileReplacing(item.output, bytes, item.document)
                : writeNewFile(item.output, bytes, item.document))
        return recordOf(item, BatchOutcome::Written, "");
    if (!replace && fileExists(item.output))
        return skipped(item);
    return failed(item, "could not be written");
}

} // namespace

BatchRecord runBatchItem(const BatchItem& item, const MakeOutput& make,
                         const BatchOptions& options) {
    if (item.settled)
        return {item.document, "", *item.settled, item.reason, item.remedy, false};
    if (std::optional<BatchRecord> refused = refusal(item, options))
        return *refused;
    std::string bytes;
    // Whatever goes wrong with one file, memory included, fails that file,
    // not the run.
    try {
        bytes = make(item);
    } catch (const std::bad_alloc&) {
        return recordOf(item, BatchOutcome::Failed, "out of memory");
    } catch (const std::exception& fault) {
        return recordOf(item, BatchOutcome::Failed, fault.what());
    }
    return written(item, bytes, options.replace);
}

std::vector<BatchRecord> runBatch(const std::vector<BatchItem>& items, const MakeOutput& make,
                                  const BatchOptions& options,
                                  const std::function<void()>& fileDone,
                                  const std::function<bool()>& stopped) {
    return mapOnThreads<BatchRecord>(
        items.size(), options.jobs,
        [&](std::size_t i) {
            BatchRecord record = runBatchItem(items[i], make, options);
            if (fileDone)
                fileDone();
            return record;
        },
        stopped);
}

BatchSummary summarizeBatch(const std::vector<BatchRecord>& records) {
    BatchSummary summary;
    for (const BatchRecord& record : records)
        ++summary.counts[record.outcome];
    return summary;
}

std::string batchSummaryLine(const BatchSummary& summary, const std::string& written) {
    using enum BatchOutcome;
    return written + ": " + std::to_string(summary.count(Written)) +
           ", skipped existing: " + std::to_string(summary.count(SkippedExisting)) +
           ", unsupported: " + std::to_string(summary.count(Unsupported)) +
           ", not a deal: " + std::to_string(summary.count(NotADeal)) +
           ", failed: " + std::to_string(summary.count(Failed)) +
           ", broken link: " + std::to_string(summary.count(BrokenLink));
}

std::string batchNote(const BatchRecord& record) {
    switch (record.outcome) {
    case BatchOutcome::Written:
    case BatchOutcome::Count:
        return "";
    case BatchOutcome::NotADeal:
        return record.reason.empty() ? "" : "not a deal: " + record.reason;
    case BatchOutcome::BrokenLink:
        return "broken link: " + record.reason;
    case BatchOutcome::SkippedExisting:
        return "skipped: " + record.reason;
    case BatchOutcome::Unsupported:
        return "unsupported: " + record.reason;
    case BatchOutcome::Failed:
        return "failed: " + record.reason;
    }
    return "";
}

} // namespace velmora::batch
