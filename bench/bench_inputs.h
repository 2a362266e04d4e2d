// Inputs of the benchmarks, built by code: a full statement document, ledgers
// of many deposits and legacy files.
#pragma once

#include "document/hud_document.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace velmora::bench {

// Sizes of the inputs; the smoke run (VELMORA_BENCH_SMOKE=1) makes them tiny
// so that CI runs every benchmark once, quickly.
struct Sizes {
    std::size_t ledgerTransactions = 500;
    std::size_t moreLinesPerBlock = 40;
    std::size_t checks = 20;
    std::size_t smallLedger = 10'000;
    std::size_t largeLedger = 100'000;
    // Attributes of one element that the document does not know.
    std::size_t attributes = 50'000;
    std::size_t convertFiles = 2'000;
    std::size_t convertRssFiles = 10'000;
    std::size_t indexFiles = 2'000;
    std::size_t searchDocuments = 50'000;
    // The archive whose index the common-word questions and the index size
    // are measured on, and the one whose whole list search prints.
    std::size_t archiveDeals = 100'000;
    std::size_t listedDeals = 2'000;
    std::size_t renderPdfFiles = 50;
    // The index `velmora serve` answers from, and the searches each of its
    // concurrent clients times.
    std::size_t serveDeals = 50'000;
    std::size_t serveSearchesPerClient = 60;
    // Runs of a few milliseconds vary a lot on a shared machine: enough of
    // them that the median holds still.
    int repetitions = 21;
};
Sizes sizesFromEnvironment();

// The standard sections with every property filled, the ledger transactions,
// `more` lines in each block that has them, and checks.
std::unique_ptr<CHudDocument> makeFullDocument(const Sizes& sizes);

// A document whose ledger holds `deposits` deposits.
std::unique_ptr<CHudDocument> makeLedgerDocument(std::size_t deposits);

// Every version word the converters read, statements and refinance statements.
inline constexpr std::uint32_t kStatementVersions[] = {401, 901, 1001, 1101, 1201, 1501, 1601};
inline constexpr std::uint32_t kRefinanceVersions[] = {402, 902, 1202, 1502};

// The bytes of a full legacy statement file of `version`.
std::string makeLegacyStatement(std::uint32_t version = 1601);

// The bytes of a full legacy refinance statement file of `version`.
std::string makeLegacyRefinance(std::uint32_t version);

// The bytes of the legacy statement `n` of a generated archive: every text
// of the deal filled, most of them long (several borrowers and sellers,
// addresses, the lender's and the settlement agent's texts, a legal
// description, charge lines with their payees).
std::string makeArchiveDeal(std::size_t n);

// Words that a large share of the archive deals hold: "fee" every one,
// each city an eighth of them.
inline constexpr const char* kArchiveCommonWords[] = {
    "fee", "settlement", "springfield", "street", "title", "riverton", "bank", "recording"};

// `count` legacy files in `folder`, the versions of both kinds in turn, as an
// archive that a batch conversion meets holds them.
void writeMixedLegacyArchive(const std::string& folder, std::size_t count);

// A fresh folder under the system's temporary folder.
std::string makeScratchFolder();

} // namespace velmora::bench
