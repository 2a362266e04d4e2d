// The record of a batch run: one line per file in JSON Lines or CSV, and the
// summary that counts every outcome.
#pragma once

#include "batch/enum_array.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::batch {

enum class Outcome {
    Converted,
    WouldConvert, // a dry run's deal that a run would convert
    AlreadyConverted,
    NotADeal,
    UnsupportedKind,
    Refused,    // a deal the run must not change: read-only, held, of the other kind
    Failed,     // a deal, or a name given, that could not be worked on
    BrokenLink, // a link that leads nowhere: told, but no failure of the run
    Count
};

// "converted", "would-convert", "already-converted", "not-a-deal",
// "unsupported-kind", "refused", "failed", "broken-link".
const char* outcomeName(Outcome outcome);

struct FileRecord {
    std::string path; // the real path, where a link leads
    Outcome outcome = Outcome::Failed;
    std::string kind; // see kindName; an XML document's own type
    // The legacy version word read (also of a file that is no deal for its
    // word), or an XML document's format version.
    std::uint32_t version = 0;
    std::string backupPath;
    std::string reason;
    std::uint64_t bytes = 0;
    double milliseconds = 0.0;
    // The name it was reached by through a symbolic link, or empty.
    std::string link;
    // Given to the run by its own name.
    bool named = false;
};

// One JSON object (no line break) with the fields path, outcome, kind,
// version, backup, reason, bytes, milliseconds, link.
std::string jsonRecord(const FileRecord& record);
// The same fields as one CSV row (no line break), quoted where needed.
std::string csvRecord(const FileRecord& record);
std::string csvHeader();

// Whether a report of this file name is CSV: its name ends in ".csv", in
// any case; other reports are JSON Lines.
bool isCsvReportName(std::string_view path);
// The whole report: JSON Lines, or CSV with its header line, the first line
// after a UTF-8 byte-order mark so that a spreadsheet program takes the file
// as UTF-8 rather than the system's code page.
std::string reportText(const std::vector<FileRecord>& records, bool csv);

struct RunSummary {
    EnumArray<Outcome, std::size_t> counts;
    std::size_t count(Outcome outcome) const { return counts[outcome]; }
    std::size_t files() const;
    // Every deal converted now or before: nothing refused, nothing failed.
    bool allDealsDone() const;
};

RunSummary summarize(const std::vector<FileRecord>& records);
// "converted: 3, already converted: 1, not a deal: 2, ..." on one line; a
// dry run's begins "would convert: 3".
std::string summaryLine(const RunSummary& summary, bool dryRun = false);
// {"files":N,"converted":N,"already-converted":N,...} on one line; a dry
// run's has "would-convert" for "converted", and "dry-run":true.
std::string summaryJson(const RunSummary& summary, bool dryRun = false);

// Whether a person is told of the file on a line of its own rather than only
// counted: whatever was not converted as it should be, a broken link, a
// deal of a kind that does not convert, a file named that was not
// converted, a file whose name says deal while it is none.
bool deservesALine(const FileRecord& record);
// That line: "refused: PATH: read-only", "broken link: PATH: ...".
std::string recordLine(const FileRecord& record);

} // namespace velmora::batch
