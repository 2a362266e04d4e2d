// Choosing what a batch command writes for each file it is given: which
// files are documents to work on, and the output file of each.
//
// An output goes beside its document, or under an output folder that mirrors
// the folders below each folder given (a file given by name goes to the
// output folder itself). Two documents never share an output, nor does an
// output take the name of a document of the run: the later one in the order
// of the walk gets "-2", "-3", ... before its extension, and is told as
// renamed. Names are compared without regard to ASCII case, so that the
// outputs stay apart on file systems that ignore it as well.
#pragma once

#include "batch/file_kind.h"
#include "batch/tree_walk.h"

#include <optional>
#include <string>
#include <vector>

namespace velmora::batch {

enum class BatchOutcome {
    Written,
    SkippedExisting, // the output is there and the run may not replace it
    Unsupported,     // a legacy deal of a kind no reader converts
    NotADeal,
    Failed,     // a document, or a name given, that could not be worked on
    BrokenLink, // a link that leads nowhere: told, but no failure of the run
    Count
};

// What would let a batch work on a file it did not, for the caller to say in
// its own words (a command line names its flag).
enum class BatchRemedy {
    None,
    ReplaceOutput, // the output is there; a run that may replace outputs would
};

// One file of a batch: a deal to work on (no outcome yet), an XML document or
// a legacy deal of a kind that converts, or a file whose outcome is known
// from what it is.
struct BatchItem {
    std::string document;
    std::string output; // empty while settled
    std::optional<BatchOutcome> settled;
    // One line, naming the file it is about. Empty for a file that is no
    // deal and passes in silence (see not_a_deal.h).
    std::string reason;
    BatchRemedy remedy = BatchRemedy::None;
    // As told from its first bytes.
    KindOfFile kind;
    // The output's name took a number to keep it apart from another's.
    bool renamed = false;
};

// What a found file is to a batch, told from its first bytes.
BatchItem batchItemOf(const FoundFile& file);

struct OutputNaming {
    std::string extension; // ".html"
    // Empty: each output beside its document.
    std::string folder;
};

// Every file as a BatchItem, each document with its own output.
std::vector<BatchItem> planBatch(const std::vector<FoundFile>& files, const OutputNaming& naming);

} // namespace velmora::batch
