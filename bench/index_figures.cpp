#include "index_figures.h"

#include "bench_inputs.h"
#include "bench_process.h"
#include "median.h"

#include "document/hud_document.h"
#include "index/deal_fields.h"
#include "index/index_schema.h"
#include "index/index_search.h"
#include "index/index_writer.h"
#include "tree/node_operations.h"
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

constexpr const char* kFirstNames[] = {"James", "Mary",    "Robert", "Patricia", "John",
                                       "Linda", "Michael", "Susan",  "William",  "Karen",
                                       "David", "Nancy",   "Joseph", "Lisa",     "Thomas",
                                       "Betty", "Charles", "Helen",  "Daniel",   "Sandra"};
constexpr const char* kLastNames[] = {
    "Smith",    "Johnson",  "Williams", "Brown",   "Jones",      "Miller",   "Davis",    "Garcia",
    "Wilson",   "Anderson", "Taylor",   "Thomas",  "Moore",      "Jackson",  "Martin",   "Lee",
    "Thompson", "White",    "Harris",   "Clark",   "Lewis",      "Robinson", "Walker",   "Young",
    "Allen",    "King",     "Wright",   "Scott",   "Hill",       "Green",    "Adams",    "Baker",
    "Nelson",   "Carter",   "Mitchell", "Roberts", "Turner",     "Phillips", "Campbell", "Parker",
    "Evans",    "Edwards",  "Collins",  "Stewart", "Morris",     "Murphy",   "Cook",     "Rogers",
    "Morgan",   "Cooper",   "Peterson", "Reed",    "Bailey",     "Bell",     "Gomez",    "Kelly",
    "Howard",   "Ward",     "Cox",      "Diaz",    "Richardson", "Wood",     "Watson"};
constexpr const char* kStreets[] = {
    "Oak Street",  "Maple Avenue",    "Cedar Lane",    "Pine Road",
    "Elm Street",  "Washington Blvd", "Lake Drive",    "Hill Road",
    "Park Avenue", "Main Street",     "Church Street", "Mill Road",
    "River Road",  "Spring Street",   "Forest Drive",  "Highland Avenue"};
constexpr const char* kCities[] = {"Springfield", "Riverton", "Fairview", "Georgetown",
                                   "Franklin",    "Clinton",  "Salem",    "Madison"};
constexpr const char* kLenders[] = {"First Coastal Bank", "Harbor Savings", "Union Mortgage",
                                    "Prairie Credit Union", "Summit Home Loans"};
// The line texts a typical statement holds, with a payee that varies.
constexpr const char* kChargeTexts[] = {"Appraisal fee to",
                                        "Credit report to",
                                        "Tax service to",
                                        "Flood certification",
                                        "Settlement or closing fee to",
                                        "Title insurance binder to",
                                        "Document preparation",
                                        "Notary fees to",
                                        "Attorney's fees to",
                                        "Recording fees: Deed",
                                        "City/county tax/stamps",
                                        "Survey to",
                                        "Pest inspection to",
                                        "Hazard insurance premium to",
                                        "Courier fee to"};

template <typename T, std::size_t N> const char* pick(T (&names)[N], std::size_t n) {
    return names[n % N];
}

struct DealSample {
    std::string borrower;
    std::string seller;
    std::string street;
    std::string city;
    std::string lender;
    std::string fileNumber;
    std::string settlementDate; // M/D/YYYY
    std::string price;
};

DealSample sampleOf(std::size_t n) {
    DealSample deal;
    deal.borrower = std::string(pick(kFirstNames, n)) + " " + pick(kLastNames, n / 7);
    deal.seller = std::string(pick(kFirstNames, n / 3 + 5)) + " " + pick(kLastNames, n / 11 + 17);
    deal.street = std::to_string(1 + n % 997) + " " + pick(kStreets, n / 5);
    deal.city = pick(kCities, n / 13);
    deal.lender = pick(kLenders, n);
    deal.fileNumber = "F" + std::to_string(100000 + n);
    deal.settlementDate = std::to_string(1 + n % 12) + "/" + std::to_string(1 + n % 28) + "/" +
                          std::to_string(2000 + n % 21);
    deal.price = std::to_string(90 + n % 400) + ",000.00";
    return deal;
}

void set(CHudDocument& document, const char* uri, const char* property, const std::string& text) {
    setNodePropertyValue(&document, uri, property, text);
}

std::unique_ptr<CHudDocument> dealDocument(const DealSample& deal, std::size_t n) {
    auto document = std::make_unique<CHudDocument>(document_types::kHud);
    document->initDocument();
    set(*document, "", "i_settlementDate", deal.settlementDate);
    set(*document, "", "f_LenderName", deal.lender);
    set(*document, "b", "fileNo_6", deal.fileNumber);
    set(*document, "d", "name1", deal.borrower);
    set(*document, "e", "name1", deal.seller);
    set(*document, "g", "street", deal.street);
    set(*document, "g", "city", deal.city);
    set(*document, "n100", "n101", deal.price);
    set(*document, "n100", "n120", std::to_string(100000 + n));
    set(*document, "n1400", "settlementAgent", "Velmora Title Agency");
    for (const char* line : {"n800/n803", "n800/n804", "n800/n805", "n1100/n1101", "n1100/n1102",
                             "n1300/n1301", "n1300/n1302"}) {
        set(*document, line, "description", pick(kChargeTexts, n + std::string_view(line).size()));
        set(*document, line, "borrowerFund", std::to_string(50 + n % 300) + ".00");
    }
    return document;
}

// Indexed rows written straight through the writer: 50,000 files would take
// the benchmark longer to write than to index.
index::IndexEntry entryOf(const DealSample& deal, std::size_t n) {
    using index::Field;
    index::IndexEntry entry;
    const auto put = [&](Field field, index::FieldValue value) {
        entry.values[field] = std::move(value);
    };
    put(Field::Path,
        "/archive/" + std::to_string(2000 + n % 21) + "/deal-" + std::to_string(n) + ".xml");
    put(Field::Status, std::string("indexed"));
    put(Field::Format, std::string("xml"));
    put(Field::DocumentType, std::string("hud"));
    put(Field::SettlementDate, index::isoDate(parseDate(deal.settlementDate)));
    put(Field::FileNumber, deal.fileNumber);
    put(Field::Borrowers, deal.borrower);
    put(Field::Sellers, deal.seller);
    put(Field::PropertyAddress, deal.street + ", " + deal.city);
    put(Field::Lender, deal.lender);
    put(Field::ContractSalesPriceText, deal.price);
    put(Field::ContractSalesPrice, index::amountOfText(deal.price).value_or(0.0));
    entry.text = deal.borrower + "\n" + deal.seller + "\n" + deal.street + "\n" + deal.city + "\n" +
                 deal.lender + "\n" + deal.fileNumber + "\n" + deal.price;
    for (std::size_t line = 0; line < std::size(kChargeTexts); ++line)
        entry.text += std::string("\n") + kChargeTexts[line] + " " + pick(kLastNames, n + line) +
                      " " + std::to_string(50 + (n + line) % 300) + ".00";
    return entry;
}

// An index at `path` holding the rows of the first `deals` samples.
void writeSampleIndex(const std::string& path, std::size_t deals) {
    index::Database db(path, index::OpenMode::Create, 10);
    index::prepareIndexSchema(db);
    index::IndexWriter writer(db);
    for (std::size_t n = 0; n < deals; ++n)
        writer.put(entryOf(sampleOf(n), n));
    writer.commit();
}

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
