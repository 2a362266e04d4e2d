#include "bench_inputs.h"

#include "support/legacy_writer.h"
#include "tree/node_operations.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace velmora::bench {
namespace {

std::string valueFor(const PropertyDef& def, std::size_t seed) {
    switch (def.kind) {
    case PropertyKind::Long:
        return std::to_string(seed % 1000);
    case PropertyKind::Double:
        return std::to_string(seed) + ".25";
    case PropertyKind::Date:
        return "9/16/2008 2:05:08 PM";
    case PropertyKind::Bool:
        return "1";
    case PropertyKind::String:
    case PropertyKind::None:
        break;
    }
    return def.name + " value " + std::to_string(seed);
}

// Sets every property of every node below `node`, display names excepted.
void fillEverything(CSectionNode& node, std::size_t& seed) {
    for (const PropertyDef& def : node.schema().inNameOrder()) {
        if (def.builtIn != BuiltIn::Name)
            node.setPropertyValue(def.name, valueFor(def, ++seed));
    }
    for (const auto& child : node.children())
        fillEverything(*child, seed);
}

void add(CHudDocument& root, const std::string& parent, const std::string& name,
         std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        if (!createNode(&root, name, parent))
            throw std::runtime_error("cannot add " + name + " under " + parent);
    }
}

// Lines 104 to 1515 with a text and amounts: each kind and version of file
// lays out the ones it carries.
LineMap fullLines() {
    LineMap lines;
    for (int number = 104; number <= 1515; ++number) {
        LegacyLine& line = lines["n" + std::to_string(number)];
        line.text = "Line " + std::to_string(number);
        line.amount = std::to_string(number) + ".00";
        line.borrowerFund = std::to_string(number) + ".50";
        line.sellerFund = "0.00";
    }
    return lines;
}

// What both kinds of file carry, filled as a busy deal fills it.
template <typename Record> Record fullDeal(std::uint32_t version) {
    Record r;
    r.version = version;
    r.borrower = CAddress{"Dana Whitlock", "", "88 Alder Lane", "ME", "Portland", "04101", "", ""};
    r.lenderText = "First Coastal Bank\n100 Water Street";
    r.settlementDate.year = 2008;
    r.settlementDate.month = 9;
    r.settlementDate.day = 16;
    r.settlementDate.precision = 0;
    r.lines = fullLines();
    r.ledger.presence = 1;
    for (LedgerSlot& slot : r.ledger.checks)
        slot = {"9/16/2008", "Payee", "Memo", "1001", "125.00"};
    for (int i = 0; i < 8; ++i)
        r.borrowers.push_back(
            CAddress{"Borrower " + std::to_string(i), "", "", "", "", "", "", ""});
    for (auto& list : r.openLists)
        for (int i = 0; i < 10; ++i)
            list.push_back(CAddTBS{"Extra " + std::to_string(i), "", 0, "10.00", "0.00"});
    return r;
}

} // namespace

Sizes sizesFromEnvironment() {
    Sizes sizes;
    const char* smoke = std::getenv("VELMORA_BENCH_SMOKE");
    if (smoke && std::string(smoke) == "1") {
        sizes.ledgerTransactions = 5;
        sizes.moreLinesPerBlock = 2;
        sizes.checks = 2;
        sizes.smallLedger = 10;
        sizes.largeLedger = 100;
        sizes.attributes = 100;
        // One file of each legacy version.
        sizes.convertFiles = std::size(kStatementVersions) + std::size(kRefinanceVersions);
        sizes.convertRssFiles = sizes.convertFiles;
        sizes.indexFiles = 20;
        sizes.searchDocuments = 100;
        sizes.archiveDeals = 100;
        sizes.listedDeals = 50;
        sizes.renderPdfFiles = 2;
        sizes.serveDeals = 100;
        // Each kind of search once.
        sizes.serveSearchesPerClient = 6;
        sizes.repetitions = 1;
    }
    return sizes;
}

std::unique_ptr<CHudDocument> makeFullDocument(const Sizes& sizes) {
    auto root = std::make_unique<CHudDocument>(document_types::kHud);
    root->initDocument();
    createNode(root.get(), "ledger", "");
    createNode(root.get(), "transactions", "ledger");
    add(*root, "ledger/transactions", "transaction", sizes.ledgerTransactions);
    for (const char* block : {"n800", "n900", "n1100", "n1200", "n1300", "n1500"})
        add(*root, std::string(block) + "/more", "line", sizes.moreLinesPerBlock);
    createNode(root.get(), "checkPrinting", "");
    add(*root, "checkPrinting", "check", sizes.checks);
    std::size_t seed = 0;
    fillEverything(*root, seed);
    root->setPropertyValue("versionNumber", "201");
    return root;
}

std::unique_ptr<CHudDocument> makeLedgerDocument(std::size_t deposits) {
    auto root = std::make_unique<CHudDocument>(document_types::kHud);
    root->initDocument();
    createNode(root.get(), "ledger", "");
    createNode(root.get(), "deposits", "ledger");
    CSectionNode* list = resolveUri(root.get(), "ledger/deposits");
    for (std::size_t i = 0; i < deposits; ++i) {
        CSectionNode* deposit = list->addChild("deposit");
        deposit->setPropertyValue("date", "9/16/2008");
        deposit->setPropertyValue("from", "Buyer " + std::to_string(i));
        deposit->setPropertyValue("amount", std::to_string(i) + ".00");
    }
    root->setPropertyValue("versionNumber", "201");
    return root;
}

std::string makeLegacyStatement(std::uint32_t version) {
    HudRecord r = fullDeal<HudRecord>(version);
    r.taxDays = 180;
    r.fileNo = "2008-0917";
    r.seller = CAddress{"Morgan Estates", "", "1 Dock Square", "ME", "Bath", "04530", "", ""};
    r.form1099.presence = 1;
    return testing::hudFile(r);
}

std::string makeLegacyRefinance(std::uint32_t version) {
    RefinanceRecord r = fullDeal<RefinanceRecord>(version);
    r.loanNo = "L-2008-0917";
    r.property.street = "88 Alder Lane";
    r.checkTablePresence = 1;
    for (auto& row : r.checkRows)
        row = {"9/16/2008", "Payee", "Address", "2001", "75.00", "Y", "Memo", ""};
    return testing::refinanceFile(r);
}

namespace {

constexpr const char* kGivenNames[] = {"Alexandra",  "Benjamin",  "Catherine", "Dominic",
                                       "Evangeline", "Frederick", "Gwendolyn", "Harrison",
                                       "Isabella",   "Jonathan",  "Katherine", "Leonardo",
                                       "Margaret",   "Nathaniel", "Priscilla", "Sebastian"};
constexpr const char* kFamilyNames[] = {
    "Montgomery",  "Whitfield",  "Abernathy",     "Blackwood", "Castellano", "Dunsmore",
    "Fairweather", "Gallagher",  "Hollingsworth", "Kowalczyk", "Lindqvist",  "Okonkwo",
    "Pemberton",   "Rutherford", "Vanderbilt",    "Westbrook", "Yarborough", "Zimmerman",
    "Ashworth",    "Brennan",    "Carmichael",    "Delacroix", "Esterhazy",  "Fitzgerald"};
constexpr const char* kStreetNames[] = {
    "Old Mill Road",      "Harbor View Terrace", "Chestnut Ridge Lane", "Lighthouse Point Drive",
    "Meadowbrook Circle", "Quarry Hill Road",    "Washington Street",   "Pleasant Street"};
constexpr const char* kCityNames[] = {"Springfield", "Riverton", "Fairview", "Georgetown",
                                      "Franklin",    "Clinton",  "Salem",    "Madison"};
constexpr const char* kLenderNames[] = {
    "First Coastal Bank of Northern Maine, N.A.\n100 Water Street, Suite 400",
    "Harbor Savings and Loan Association\n2 Commercial Wharf",
    "Union Mortgage Corporation of America\n77 Federal Street, 9th Floor",
    "Prairie Federal Credit Union\n1200 Main Street"};
constexpr const char* kAgentNames[] = {"Kennebec Valley Title and Escrow Company",
                                       "Penobscot Bay Settlement Services, LLC",
                                       "Androscoggin Closing and Title Agency"};
constexpr const char* kChargeNames[] = {"Appraisal fee to",
                                        "Credit report fee to",
                                        "Tax service fee to",
                                        "Flood certification fee to",
                                        "Settlement or closing fee to",
                                        "Title examination fee to",
                                        "Document preparation fee to",
                                        "Notary fee to",
                                        "Attorney's fee to",
                                        "Recording fee: deed to",
                                        "Survey fee to",
                                        "Pest inspection fee to"};
constexpr const char* kPayeeWords[] = {"Associates", "Services",  "Group",       "Partners",
                                       "Valuers",    "Surveyors", "Inspections", "Couriers"};

template <typename T, std::size_t N> const char* nth(T (&names)[N], std::size_t n) {
    return names[n % N];
}

// A deal's numbers, spread without pattern across the archive.
std::size_t mixed(std::size_t n, std::size_t salt) {
    std::uint64_t x = (n + 1) * 0x9E3779B97F4A7C15ULL + salt * 0xBF58476D1CE4E5B9ULL;
    x ^= x >> 31;
    x *= 0x94D049BB133111EBULL;
    return static_cast<std::size_t>(x ^ (x >> 29));
}

std::string personOf(std::size_t n, std::size_t salt) {
    return std::string(nth(kGivenNames, mixed(n, salt))) + " " +
           nth(kGivenNames, mixed(n, salt + 1) / 7) + " " + nth(kFamilyNames, mixed(n, salt + 2));
}

CAddress partyOf(std::size_t n, std::size_t salt) {
    return CAddress{personOf(n, salt),
                    personOf(n, salt + 10),
                    std::to_string(1 + mixed(n, salt + 20) % 9999) + " " +
                        nth(kStreetNames, mixed(n, salt + 21)),
                    "ME",
                    nth(kCityNames, mixed(n, salt + 22)),
                    "04" + std::to_string(100 + mixed(n, salt + 23) % 900),
                    "",
                    ""};
}

} // namespace

std::string makeArchiveDeal(std::size_t n) {
    HudRecord r;
    r.version = 1601;
    r.fileNo = "F-" + std::to_string(2000 + n % 21) + "-" + std::to_string(100000 + n);
    r.loanNo = "LN-" + std::to_string(mixed(n, 1) % 100000000);
    r.caseNo = "FHA-" + std::to_string(mixed(n, 2) % 1000000000);
    r.borrower = partyOf(n, 100);
    r.seller = partyOf(n, 200);
    r.property = partyOf(n, 300);
    r.property.name1.clear();
    r.property.name2.clear();
    r.agent = CAddress{nth(kAgentNames, mixed(n, 3)),
                       "",
                       "40 Front Street, Suite 12",
                       "ME",
                       nth(kCityNames, mixed(n, 4)),
                       "04530",
                       "",
                       ""};
    r.lenderText = nth(kLenderNames, mixed(n, 5));
    r.lot = "Lot " + std::to_string(mixed(n, 6) % 400) + ", Block " +
            std::to_string(mixed(n, 7) % 40) + " of the " + nth(kFamilyNames, mixed(n, 8)) +
            " Farm subdivision, recorded in Plan Book " + std::to_string(mixed(n, 9) % 90);
    r.placeOfSettlement = "40 Front Street, Suite 12, " + std::string(nth(kCityNames, n));
    r.settlementAgent = nth(kAgentNames, mixed(n, 3));
    r.settlementDate =
        CSubDate{{static_cast<std::int32_t>(2000 + n % 21), static_cast<std::int32_t>(1 + n % 12),
                  static_cast<std::int32_t>(1 + n % 28)},
                 0};
    r.n101 = std::to_string(90 + mixed(n, 10) % 400) + ",000.00";
    r.n202 = std::to_string(70 + mixed(n, 11) % 300) + ",000.00";
    r.n120 = 100000.0 + static_cast<double>(n);
    for (std::size_t i = 0; i < 6; ++i) {
        LegacyLine& line = r.lines["n" + std::to_string(803 + i)];
        line.text = std::string(nth(kChargeNames, mixed(n, 30 + i))) + " " +
                    nth(kFamilyNames, mixed(n, 40 + i)) + " " + nth(kPayeeWords, mixed(n, 50 + i));
        line.borrowerFund = std::to_string(50 + mixed(n, 60 + i) % 900) + ".00";
        line.sellerFund = "0.00";
    }
    for (std::size_t i = 0; i < 1 + mixed(n, 12) % 3; ++i)
        r.borrowers.push_back(partyOf(n, 400 + 10 * i));
    r.sellers.push_back(partyOf(n, 500));
    return testing::hudFile(r);
}

void writeMixedLegacyArchive(const std::string& folder, std::size_t count) {
    struct Deal {
        std::string bytes;
        const char* extension;
    };
    std::vector<Deal> deals;
    for (const std::uint32_t version : kStatementVersions)
        deals.push_back({makeLegacyStatement(version), ".hud"});
    for (const std::uint32_t version : kRefinanceVersions)
        deals.push_back({makeLegacyRefinance(version), ".ref"});
    std::filesystem::create_directories(folder);
    for (std::size_t i = 0; i < count; ++i) {
        const Deal& deal = deals[i % deals.size()];
        std::ofstream(folder + "/deal-" + std::to_string(i) + deal.extension, std::ios::binary)
            << deal.bytes;
    }
}

std::string makeScratchFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "velmora-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a scratch folder");
    return pattern;
}

} // namespace velmora::bench
