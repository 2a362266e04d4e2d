#include "index_figures.h"

#include "bench_inputs.h"
#include "bench_process.h"
#include "median.h"
#include "sample_deals.h"

#include "index/index_schema.h"
#include "index/index_search.h"
#include "tree/xml_document.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

namespace velmora::bench {
namespace {

using Clock = std::chrono::steady_clock;

double secondsOf(const std::function<bool()>& run, bool& succeeded) {
    const auto start = Clock::now();
    succeeded = run();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

bool ranAndSaid(const std::vector<std::string>& command, const std::string& expected) {
    std::string output;
    const int status = runProcess(command, &output);
    if (status == 0 && output.find(expected) != std::string::npos)
        return true;
    std::fprintf(stderr, "index figures: '%s' ended with status %d and printed: %s",
                 expected.c_str(), status, output.c_str());
    return false;
}

bool isPdf(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::string head(5, '\0');
    file.read(head.data(), static_cast<std::streamsize>(head.size()));
    return file && head == "%PDF-";
}

// The time of an index run after every hundredth deal of the archive was
// removed, against one that finds nothing changed; -1 when a run failed.
double removedVsUnchanged(const std::vector<std::string>& command, const std::string& archive,
                          std::size_t deals) {
    bool succeeded = false;
    const double unchanged =
        secondsOf([&] { return ranAndSaid(command, "unchanged: " + std::to_string(deals) + ","); },
                  succeeded);
    if (!succeeded)
        return -1;
    std::size_t removed = 0;
    for (std::size_t n = 0; n < deals; n += 100, ++removed)
        std::filesystem::remove(archive + "/" + std::to_string(2000 + n % 21) + "/deal" +
                                std::to_string(n) + ".hud");
    const double afterRemoval =
        secondsOf([&] { return ranAndSaid(command, "removed: " + std::to_string(removed) + "\n"); },
                  succeeded);
    return succeeded ? afterRemoval / unchanged : -1;
}

} // namespace

IndexFigures indexFigures(const std::string& folder, std::size_t files) {
    const std::string deals = folder + "/deals";
    std::filesystem::create_directories(deals);
    for (std::size_t n = 0; n < files; ++n)
        saveXmlFile(*dealDocument(sampleOf(n), n), deals + "/deal-" + std::to_string(n) + ".xml");
    const std::vector<std::string> command{VELMORA_CLI_PATH,     "index", "-j", "2", "--db",
                                           folder + "/index.db", deals};
    IndexFigures figures;
    bool succeeded = false;
    const std::string count = std::to_string(files);
    double elapsed =
        secondsOf([&] { return ranAndSaid(command, "indexed: " + count + ","); }, succeeded);
    if (succeeded)
        figures.filesPerSecond = static_cast<double>(files) / elapsed;
    elapsed =
        secondsOf([&] { return ranAndSaid(command, "unchanged: " + count + ","); }, succeeded);
    if (succeeded)
        figures.unchangedFilesPerSecond = static_cast<double>(files) / elapsed;
    return figures;
}

double renderPdfPerSecond(const std::string& folder, std::size_t files) {
    const std::string deals = folder + "/render-deals";
    const std::string pdfs = folder + "/render-pdfs";
    std::filesystem::create_directories(deals);
    for (std::size_t n = 0; n < files; ++n)
        saveXmlFile(*dealDocument(sampleOf(n), n), deals + "/deal-" + std::to_string(n) + ".xml");
    bool succeeded = false;
    const double elapsed = secondsOf(
        [&] {
            return runProcess({VELMORA_CLI_PATH, "render", "--pdf", "-j", "2", "--out-dir", pdfs,
                               deals}) == 0;
        },
        succeeded);
    for (std::size_t n = 0; succeeded && n < files; ++n)
        succeeded = isPdf(pdfs + "/deal-" + std::to_string(n) + ".pdf");
    if (succeeded)
        return static_cast<double>(files) / elapsed;
    std::fprintf(stderr,
                 "render_pdf_per_second_j2: the run failed or left a deal without its PDF\n");
    return -1;
}

ArchiveIndexFigures archiveIndexFigures(const std::string& folder, std::size_t deals, int rounds) {
    const std::string archive = folder + "/common-word-archive";
    std::uintmax_t dealBytes = 0;
    for (std::size_t n = 0; n < deals; ++n) {
        const std::string folderOfDeal = archive + "/" + std::to_string(2000 + n % 21);
        if (n < 21)
            std::filesystem::create_directories(folderOfDeal);
        const std::string bytes = makeArchiveDeal(n);
        std::ofstream(folderOfDeal + "/deal" + std::to_string(n) + ".hud", std::ios::binary)
            << bytes;
        dealBytes += bytes.size();
    }
    const std::string path = folder + "/archive.db";
    ArchiveIndexFigures figures;
    const std::vector<std::string> command{VELMORA_CLI_PATH, "index", "-j",   "2",
                                           "--db",           path,    archive};
    if (!ranAndSaid(command, "indexed: " + std::to_string(deals) + ","))
        return figures;
    figures.removedVsUnchanged = removedVsUnchanged(command, archive, deals);
    std::filesystem::remove_all(archive);
    figures.indexBytesPerDealByte =
        static_cast<double>(std::filesystem::file_size(path)) / static_cast<double>(dealBytes);
    std::vector<double> milliseconds;
    for (int round = 0; round < rounds; ++round) {
        for (const char* word : kArchiveCommonWords) {
            index::SearchQuery query;
            query.words = word;
            const auto start = Clock::now();
            index::Database db(path, index::OpenMode::ReadOnly, 10);
            index::requireIndexSchema(db);
            const index::SearchResult result = index::searchIndex(db, query);
            milliseconds.push_back(
                std::chrono::duration<double, std::milli>(Clock::now() - start).count());
            // Each of the words is held by an eighth of the deals at least.
            if (result.hits.size() != std::min<std::size_t>(20, result.matches) ||
                result.matches < deals / 8) {
                std::fprintf(stderr, "search_common_word_ms_100k: '%s' found %zu deals\n", word,
                             result.matches);
                figures.commonWordMilliseconds = -1;
                return figures;
            }
        }
    }
    figures.commonWordMilliseconds = medianOf(std::move(milliseconds));
    return figures;
}

double listAllMilliseconds(const std::string& folder, std::size_t deals, int runs) {
    const std::string path = folder + "/list.db";
    writeSampleIndex(path, deals);
    // Every generated entry holds each charge text, "Recording fees: Deed" among them.
    const std::vector<std::string> command{VELMORA_CLI_PATH,      "search", "--db", path, "--limit",
                                           std::to_string(deals), "fees"};
    std::vector<double> milliseconds;
    for (int run = 0; run < runs; ++run) {
        std::string output;
        const auto start = Clock::now();
        const int status = runProcess(command, &output);
        milliseconds.push_back(
            std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        const auto lines = static_cast<std::size_t>(std::count(output.begin(), output.end(), '\n'));
        if (status != 0 || lines != deals) {
            std::fprintf(stderr, "search_2000_rows_ms: status %d, %zu lines\n", status, lines);
            return -1;
        }
    }
    return medianOf(std::move(milliseconds));
}

double searchMilliseconds(const std::string& folder, std::size_t documents, int queries) {
    const std::string path = folder + "/search.db";
    writeSampleIndex(path, documents);
    std::vector<double> milliseconds;
    for (int q = 0; q < queries; ++q) {
        const DealSample deal = sampleOf(static_cast<std::size_t>(q) * 7919 % documents);
        index::SearchQuery query;
        switch (q % 4) {
        case 0: // a name
            query.words = deal.borrower.substr(deal.borrower.find(' ') + 1);
            break;
        case 1: // a street, by the start of its words
            query.words = deal.street.substr(0, deal.street.size() - 3);
            break;
        case 2: // a field
            query.where.push_back(*index::parseWhere("borrowers=" + deal.borrower));
            break;
        default: // a name in a year
            query.words = deal.seller;
            query.from = parseDate(deal.settlementDate.substr(deal.settlementDate.rfind('/') + 1) +
                                   "-01-01");
            query.to = parseDate(deal.settlementDate.substr(deal.settlementDate.rfind('/') + 1) +
                                 "-12-31");
            break;
        }
        const auto start = Clock::now();
        index::Database db(path, index::OpenMode::ReadOnly, 10);
        index::requireIndexSchema(db);
        const std::size_t hits = index::searchIndex(db, query).hits.size();
        milliseconds.push_back(
            std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        if (hits == 0) {
            std::fprintf(stderr, "search_ms: question %d found nothing\n", q);
            return -1;
        }
    }
    return medianOf(std::move(milliseconds));
}

} // namespace velmora::bench
