// The figures of the batch commands over generated deals: how fast the tool
// indexes an archive and looks at it again when nothing changed, how long a
// question to a large index takes, and how fast it prints deals to PDF.
#pragma once

#include <cstddef>
#include <string>

namespace velmora::bench {

struct IndexFigures {
    double filesPerSecond = -1;          // a new index of `files` deals, two jobs
    double unchangedFilesPerSecond = -1; // the same command again
};

// Writes `files` generated deals under `folder` and runs the real command on
// them twice; -1 for a figure whose run failed or did not index every deal.
IndexFigures indexFigures(const std::string& folder, std::size_t files);

// The median time in milliseconds of `queries` questions (words, a field, a
// date range) to an index of `documents` generated deals, each opening the
// index as the tool does; -1 when a question found nothing it should have.
double searchMilliseconds(const std::string& folder, std::size_t documents, int queries);

struct ArchiveIndexFigures {
    double commonWordMilliseconds = -1; // median over the common-word questions
    double indexBytesPerDealByte = -1;  // the index's file against the deals' files
    // An index run after 1 % of the deals were removed (their words purged
    // from the file), against a run that finds nothing changed.
    double removedVsUnchanged = -1;
};

// Writes `deals` generated legacy deals (makeArchiveDeal) under `folder`,
// indexes them with the real command, runs it again unchanged and again with
// 1 % of the deals removed, and asks the index each of
// kArchiveCommonWords `rounds` times, as the tool does: opening it, asking,
// counting the matches. -1 for a figure whose road failed, or when a
// question found fewer deals than it should.
ArchiveIndexFigures archiveIndexFigures(const std::string& folder, std::size_t deals, int rounds);

// The median time in milliseconds of the real search command printing every
// one of `deals` matches (--limit at least that many) of an index of that
// many generated deals, its output read; -1 when a run failed or printed
// another number of lines.
double listAllMilliseconds(const std::string& folder, std::size_t deals, int runs);

// Statements printed to PDF per second by the real command, two jobs and one
// browser, over `files` generated deals written under `folder`; -1 when the
// run failed or left a deal without its PDF.
double renderPdfPerSecond(const std::string& folder, std::size_t files);

} // namespace velmora::bench
