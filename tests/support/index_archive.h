// A small archive as an office keeps one, made for the index tests: deals
// saved by the engine in both document types, legacy deals of both kinds,
// and the files an index must not take for deals (damaged and cut ones, an
// unconvertible kind, letters, an empty file, an upgrade backup), with a
// deal that lies outside the archive and is reached through a link.
#pragma once

#include "document/hud_document.h"
#include "support/legacy_writer.h"
#include "temp_folder.h"
#include "tree/xml_document.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>

namespace velmora::testing {

inline void putFile(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    writeBytes(path, bytes);
}

// A deal of `type` with its standard sections, filled by `fill` and saved as
// the engine saves XML.
inline void saveDeal(const std::string& path, const std::string& type,
                     const std::function<void(CHudDocument&)>& fill) {
    CHudDocument document(type);
    document.initDocument();
    document.putString("versionNumber", "201");
    fill(document);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    ASSERT_EQ(saveXmlFile(document, path), 0) << path;
}

inline void putNames(CHudDocument& document, const std::string& block, const std::string& name1,
                     const std::string& name2 = "") {
    CSectionNode* node = document.findChild(block);
    ASSERT_NE(node, nullptr) << block;
    node->putString("name1", name1);
    if (!name2.empty())
        node->putString("name2", name2);
}

inline void addParty(CHudDocument& document, const std::string& list, const std::string& name1,
                     const std::string& name2 = "") {
    CSectionNode* node = document.findChild(list);
    ASSERT_NE(node, nullptr) << list;
    CSectionNode* address = node->addChild("address");
    ASSERT_NE(address, nullptr) << list;
    address->putString("name1", name1);
    if (!name2.empty())
        address->putString("name2", name2);
}

inline void putAddress(CHudDocument& document, const std::string& street, const std::string& city,
                       const std::string& state, const std::string& zip) {
    CSectionNode* property = document.findChild("g");
    ASSERT_NE(property, nullptr);
    property->putString("street", street);
    property->putString("city", city);
    property->putString("state", state);
    property->putString("zip", zip);
}

inline CSectionNode& section(CHudDocument& document, const std::string& name) {
    CSectionNode* node = document.findChild(name);
    if (!node)
        throw std::runtime_error("no section " + name);
    return *node;
}

inline void savePurchase(const std::string& path, const std::string& borrower) {
    saveDeal(path, document_types::kHud, [&](CHudDocument& d) {
        d.putDate("i_settlementDate", parseDate("9/16/2008 2:30 PM"));
        d.putDate("fundingDate", parseDate("9/18/2008"));
        d.putString("f_LenderName", "Harbor Bank");
        section(d, "b").putString("fileNo_6", "F-2008-17");
        section(d, "b").putString("loanNo_7", "LN-4471");
        putNames(d, "d", borrower, "Lee Whitlock");
        addParty(d, "d_borrowers", "Riley Whitlock");
        addParty(d, "d_borrowers", "Sam Okafor", "Jo Okafor");
        putNames(d, "e", "Morgan Estates");
        addParty(d, "e_sellers", "Quentin Morgan");
        putAddress(d, "14 Quarry Road", "Hallam", "PA", "17406");
        putNames(d, "h", "Velmora Title");
        section(d, "n100").putString("n101", "$250,000.00");
        section(d, "n100").putDouble("n120", 252210.5);
        section(d, "n200").putString("n202", "200,000.00");
        section(d, "n200").putDouble("n220", 26204);
        section(d, "n400").putDouble("n420", 251402);
        section(d, "n500").putDouble("n520", 1504.25);
        section(d, "n1400").putDouble("borrowerFund", 26006.5);
        section(d, "n1400").putDouble("sellerFund", 249897.75);
        // A line's text is its description.
        section(d, "n800").findChild("n803")->setPropertyValue("description",
                                                               "Appraisal by Ridgeway Valuers");
    });
}

inline HudRecord legacyStatement() {
    HudRecord r;
    r.version = 1601;
    r.fileNo = "F-1601";
    r.loanNo = "L-77";
    r.borrower.name1 = "Pat Legacy";
    r.borrower.name2 = "Chris Legacy";
    r.borrowers.resize(1);
    r.borrowers[0].name1 = "Extra Borrower";
    r.seller.name1 = "Sam Seller";
    r.property.street = "22 Old Mill Rd";
    r.property.city = "Hanover";
    r.property.state = "PA";
    r.property.zip = "17331";
    r.lenderText = "First Legacy Bank\n1 Bank Street";
    r.agent.name1 = "Legacy Settlements";
    r.settlementAgent = "Agent Of Record";
    r.settlementDate = CSubDate{{2004, 5, 17}, 0};
    r.fundingDate = CSubDate{{2004, 5, 19}, 0};
    r.n101 = "125,000.00";
    r.n202 = "100000";
    r.n120 = 125500.25;
    r.n220 = 100000;
    r.n420 = 125000;
    r.n520 = 8000.75;
    r.n1400BorrowerFund = 25500.25;
    r.n1400SellerFund = 117000;
    return r;
}

inline RefinanceRecord legacyRefinance() {
    RefinanceRecord r;
    r.version = 1502;
    r.loanNo = "RL-9";
    r.borrower.name1 = "Robin Refi";
    // Legacy texts are Windows-1252: "Kim Renée".
    r.borrower.name2 = "Kim Ren\xE9"
                       "e";
    r.borrowers.resize(1);
    r.borrowers[0].name1 = "Third Owner";
    r.property.street = "3 Elm Court";
    r.lenderText = "Legacy Trust\nPO Box 1";
    r.agent.name1 = "Refi Agent";
    r.settlementAgent = "Closing Co";
    r.settlementDate = CSubDate{{2011, 2, 3}, 0};
    r.fundingDate = CSubDate{{2011, 2, 7}, 0};
    r.n1400BorrowerFund = 1500.5;
    r.n1520 = 4321.5;
    r.n1600Amount = "95,000.00";
    return r;
}

struct IndexArchive {
    IndexArchive() {
        savePurchase(purchase, "Dana Whitlock");
        saveDeal(refinance, document_types::kHud1a, [](CHudDocument& d) {
            section(d, "b").putString("loanNo_7", "RF-300");
            putNames(d, "d", "Avery Quinn");
            putAddress(d, "7 Mill Lane", "Dover", "DE", "19901");
            // Not the refinance's loan amount: that is line 1601.
            section(d, "n200").putString("n202", "1.00");
            section(d, "n1400").putDate("settlementDate", parseDate("3/1/2010"));
            section(d, "n1400").putString("settlementAgent", "Keystone Closings");
            section(d, "n1400").putDouble("borrowerFund", 1234.56);
            section(d, "n1600").putString("amount", "180,500.00");
        });
        putFile(statement, hudFile(legacyStatement()));
        putFile(loan, refinanceFile(legacyRefinance()));
        saveDeal(far, document_types::kHud, [](CHudDocument& d) {
            d.putDate("i_settlementDate", parseDate("9/15/2008"));
            putNames(d, "d", "Farley Distant");
        });
        std::filesystem::create_symlink(far, linked);
        // A second way to a deal already found is not a second deal.
        std::filesystem::create_directories(root.file("zlinks"));
        std::filesystem::create_symlink(purchase, root.file("zlinks/again.hud"));
        putFile(damaged, "<calverin><HUD document_type=\"hud\"><b fileNo_6=\"F-");
        const std::string whole = hudFile(legacyStatement());
        putFile(cut, whole.substr(0, whole.size() / 3));
        putFile(mortgage, std::string("\x94\x01", 2) + "closing data");
        putFile(root.file("notes.txt"), "Meet Dana Whitlock at 14 Quarry Road");
        putFile(root.file("empty.dat"), "");
        HudRecord kept = legacyStatement();
        kept.borrower.name1 = "Backed Up";
        putFile(root.file("UpgradeBackup/statement_1-1-2000 0-0-0.prb"), hudFile(kept));
    }

    TempFolder root;
    TempFolder elsewhere;
    const std::string purchase = root.file("deals/purchase.hud");
    const std::string refinance = root.file("deals/refinance.hud");
    const std::string statement = root.file("legacy/statement.hud");
    const std::string loan = root.file("legacy/loan.ref");
    const std::string far = elsewhere.file("far.hud");
    const std::string linked = root.file("linked.hud");
    const std::string damaged = root.file("damaged.hud");
    const std::string cut = root.file("legacy/cut.hud");
    const std::string mortgage = root.file("legacy/mortgage.dat");
};

// Every name below `folder` with its bytes (a link: where it leads, then the
// bytes found there), to show that nothing was written or added.
inline std::map<std::string, std::string> contentsOf(const std::string& folder) {
    namespace fs = std::filesystem;
    std::map<std::string, std::string> contents;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string name = fs::relative(entry.path(), folder).string();
        if (entry.is_symlink())
            contents[name] = "-> " + fs::read_symlink(entry.path()).string() + "\n";
        if (entry.is_regular_file())
            contents[name] += readBytes(entry.path().string());
        else if (entry.is_directory())
            contents[name] += "<folder>";
    }
    return contents;
}

} // namespace velmora::testing
