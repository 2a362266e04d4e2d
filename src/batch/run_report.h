// The record of a batch run: one line per file in JSON Lines or CSV, and the
// summary that counts every outcome.
#pragma once

#include "batch/enum_array.h"

#include <cstdint>
#include <string>
#include <vector>

namespace velmora::batch {

enum class Outcome {
    Converted,
    AlreadyConverted,
    NotADeal,
    UnsupportedKind,
    Refused, // a deal the run must not change: read-only, held, of the other kind
    Failed,  // a deal, or a name given, that could not be worked on
    Count
};

// "converted", "already-converted", "not-a-deal", "unsupported-kind",
// "refused", "failed".
const char* outcomeName(Outcome outcome);

struct FileRecord {
    std::string path;
    Outcome outcome = Outcome::Failed;
    std::string kind; // see kindName
    std::uint32_t versionWord = 0;
    std::string backupPath;
    std::string reason;
    std::uint64_t bytes = 0;
    double milliseconds = 0.0;
};

// One JSON object (no line break) with the fields path, outcome, kind,
// version, backup, reason, bytes, milliseconds.
std::string jsonRecord(const FileRecord& record);
// The same fields as one CSV row (no line break), quoted where needed.
std::string csvRecord(const FileRecord& record);
std::string csvHeader();

struct RunSummary {
    EnumArray<Outcome, std::size_t> counts;
    std::size_t count(Outcome outcome) const { return counts[outcome]; }
    std::size_t files() const;
    // Every deal converted now or before: nothing refused, nothing failed.
    bool allDealsDone() const;
};

RunSummary summarize(const std::vector<FileRecord>& records);
// "converted: 3, already converted: 1, not a deal: 2, ..." on one line.
std::string summaryLine(const RunSummary& summary);
// {"files":N,"converted":N,"already-converted":N,...} on one line; a dry run
// adds "dry-run":true (its "converted" files would be converted).
std::string summaryJson(const RunSummary& summary, bool dryRun = false);

} // namespace velmora::batch
