// Running a batch command over its planned files (batch_outputs.h): each
// document's output made by the command's callback and written the safe
// way, on several threads, with one record per file and the summary of the
// run. The callback is all a command brings: this layer knows nothing of
// what the output is.
#pragma once

#include "batch/batch_outputs.h"
#include "batch/enum_array.h"

#include <functional>
#include <string>
#include <vector>

namespace velmora::batch {

// The bytes of the output of the planned deal `item`. A fault of that deal
// (or of making its output) is thrown as a std::runtime_error whose text
// names the file and says why.
using MakeOutput = std::function<std::string(const BatchItem& item)>;

// Whether the file at `path`, there already, is an output the command wrote
// (and so one a run may replace).
using IsOwnOutput = std::function<bool(const std::string& path)>;

struct BatchOptions {
    // Outputs already there are replaced; otherwise they are kept and the
    // document is skipped.
    bool replace = false;
    unsigned jobs = 1;
    // When set, a file already there that it does not answer for is kept
    // whatever `replace` says, and the document is skipped.
    IsOwnOutput ownOutput;
};

struct BatchRecord {
    std::string document;
    std::string output;
    BatchOutcome outcome = BatchOutcome::Failed;
    std::string reason; // one line, naming the file it is about; empty when written
    BatchRemedy remedy = BatchRemedy::None;
    // The output's name took a number to keep it apart (BatchItem::renamed).
    bool renamed = false;
};

// Makes and writes the output of one planned file. Nothing is written over
// the document itself, over a deal document, over a file that is not the
// command's own (when `options` can tell) or, without `options.replace`, over
// any file; the output's folder is made when missing.
BatchRecord runBatchItem(const BatchItem& item, const MakeOutput& make,
                         const BatchOptions& options);

// Every item on `options.jobs` threads, the records in the order of `items`.
// `fileDone` is called after each file, from the thread that worked on it.
// Once `stopped` answers true, no further item is started: the records are
// those of the items done.
std::vector<BatchRecord> runBatch(const std::vector<BatchItem>& items, const MakeOutput& make,
                                  const BatchOptions& options,
                                  const std::function<void()>& fileDone,
                                  const std::function<bool()>& stopped = {});

struct BatchSummary {
    EnumArray<BatchOutcome, std::size_t> counts;
    std::size_t count(BatchOutcome outcome) const { return counts[outcome]; }
};

BatchSummary summarizeBatch(const std::vector<BatchRecord>& records);

// "rendered: 3, skipped existing: 1, unsupported: 1, not a deal: 2,
// failed: 0, broken link: 0", the first count named by `written`.
std::string batchSummaryLine(const BatchSummary& summary, const std::string& written);

// The line that tells a person about a file skipped or failed
// ("skipped: out/deal.html: exists"), before any word on its remedy; empty
// for files written and for files that are no deal and pass in silence,
// which the summary counts.
std::string batchNote(const BatchRecord& record);

} // namespace velmora::batch
