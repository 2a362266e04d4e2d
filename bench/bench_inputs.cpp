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
        sizes.renderPdfFiles = 2;
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
