// Import of legacy refinance statement files: every version built field by
// field, read, converted into a "hud1a" tree and checked value by value.
#include "legacy/refinance_converter.h"
#include "legacy/refinance_reader.h"
#include "recording_dialog.h"
#include "support/legacy_test_support.h"
#include "support/legacy_writer.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

namespace velmora::testing {
namespace {

std::string lineKey(int n) {
    return "n" + std::to_string(n);
}

LegacyLine refinanceLine(int n) {
    const std::string s = std::to_string(n);
    LegacyLine l;
    l.text = "t" + s;
    l.payor = "p" + s;
    l.amount = "a" + s;
    l.borrowerFund = "b" + s;
    l.sellerFund = "s" + s; // never in a refinance file
    l.months = static_cast<std::uint32_t>(n % 40 + 2);
    l.at = n + 0.5;
    l.percentage = n / 4.0;
    l.forPOC = "f" + s;
    return l;
}

RefinanceRecord fullRefinance(std::uint32_t version) {
    RefinanceRecord r;
    r.version = version;
    r.loanNo = "L-7";
    r.borrower = {"Bea", "Bob", "1 B St", "", "", "", "", ""};
    r.property.street = "3 G St";
    r.agent.name1 = "Al Agent";
    r.agent.street = "4 H St";
    r.lenderText = "Lender\nAddress";
    r.lot = "Lot 9";
    r.placeOfSettlement = "Caf\xE9";
    r.settlementDate = subDate(2009, 6, 15, 2);
    r.fundingDate = subDate(2009, 7, 1);
    r.n801Option = 4;
    r.n802Option = 5;
    r.n1008Flag = 3;
    r.n1400BorrowerFund = 0.1;
    r.n1520 = 1520.5;
    r.n1604 = 1604.25;
    r.settlementAgent = "Agent R6";
    r.n1400SettlementDate = subDate(2009, 6, 20);
    r.n1600Amount = "amt1600";
    r.n1600Cash = "cash1600";
    for (const auto& [first, last] : {std::pair{801, 811},
                                      {901, 905},
                                      {1001, 1008},
                                      {1101, 1113},
                                      {1201, 1205},
                                      {1301, 1307},
                                      {1501, 1515}})
        for (int n = first; n <= last; ++n)
            r.lines[lineKey(n)] = refinanceLine(n);
    r.lines["n901"].from = subDate(2009, 6, 16, 1);
    r.lines["n901"].to = subDate(2009, 7, 1, 2);
    r.escrow.escrowInit = 0.1;
    r.escrow.escrowTo = 1.3;
    r.escrow.tollFreeNumber = "800";
    r.escrow.months[11] = refinanceLine(12);
    r.form1099Presence = 1;
    for (std::size_t i = 0; i < 13; ++i)
        r.form1099Texts[i] = "x" + std::to_string(i);
    r.form1099Options = {7, 8, 9};
    r.ledger.presence = 1;
    r.ledger.names[7] = "loc4";
    r.ledger.deposits[1] = {"d", "From", "m", "", " 40.00"};
    r.ledger.deposits[2] = {"d", "None", "m", "", "0"};
    r.ledger.checks[5] = {"c", "To", "cm", "1005", "9.99"};
    r.ledger.checks[6] = {"c", "None", "cm", "1006", "-1"};
    r.checkTablePresence = 1;
    r.checkRows[0] = {"1/1", "Payee", "Addr", "501", "  75.00", "Y", "Memo", "unused"};
    r.checkRows[1] = {"1/2", "Skip", "Addr", "502", "0.00", "Y", "Memo", "unused"};
    r.checkRows[23] = {"1/3", "Last", "Addr3", "524", "1", "N", "Memo3", ""};
    r.borrowers = {{"bn1", "bn2", "bst", "bstate", "bcity", "bzip", "bs1", "bs2"}};
    for (std::size_t i = 0; i < r.openLists.size(); ++i)
        r.openLists[i] = {{"o" + std::to_string(i), "", 0, "ob" + std::to_string(i), "os"}};
    return r;
}

std::unique_ptr<CHudDocument> importRefinance(const RefinanceRecord& source) {
    ArchiveReader in = archiveOf(refinanceFile(source));
    RefinanceRecord record;
    EXPECT_EQ(readRefinanceRecord(in, record), ReadResult::Read);
    EXPECT_EQ(in.remaining(), 0u);
    return convertRefinanceRecord(record);
}

double storedDouble(CSectionNode& root, const std::string& path, const std::string& name) {
    CSectionNode* node = resolveUri(&root, path);
    const PropertyDef* def = node ? node->findProperty(name) : nullptr;
    const double* value = def ? std::get_if<double>(&node->slotValue(*def)) : nullptr;
    return value ? *value : -1.0;
}

class LegacyRefinanceVersionTest : public ::testing::TestWithParam<std::uint32_t> {};

TEST_P(LegacyRefinanceVersionTest, EveryCarriedFieldReachesItsNode) {
    const std::uint32_t v = GetParam();
    SCOPED_TRACE("version " + std::to_string(v));
    const RefinanceRecord r = fullRefinance(v);
    auto root = importRefinance(r);
    ASSERT_EQ(root->documentType(), "hud1a");
    Expectations x(*root);
    const CSubDate none;
    x.value("b", "loanNo_7", "L-7");
    x.value("d", "name1", "Bea");
    x.value("d", "name2", "Bob");
    x.value("d", "street", "1 B St");
    x.value("", "f_LenderName", "Lender");
    x.value("", "f_LenderAddress", "Lender\nAddress");
    x.value("", "g_lot", "Lot 9");
    x.value("g", "street", "3 G St");
    x.value("", "placeOfSettlement", "Café");
    x.date("", "i_settlementDate", r.settlementDate);
    x.date("", "fundingDate", v >= 1502 ? r.fundingDate : none);
    x.value("h", "name1", "Al Agent");
    x.value("h", "street", "4 H St");

    // Version 402 has no block R6: its values are derived.
    x.value("n800", "n801Option", v == 402 ? "1" : "4");
    x.value("n800", "n802Option", v == 402 ? "1" : "5");
    x.value("n1400", "settlementAgent", v == 402 ? "Al Agent" : "Agent R6");
    x.date("n1400", "settlementDate", v == 402 ? r.settlementDate : r.n1400SettlementDate);
    x.date("n900/n901", "from", r.lines.at("n901").from);
    x.date("n900/n901", "to", r.lines.at("n901").to);

    x.value("n800/n801", "percentage", "200.25");
    x.value("n800/n802", "forPOC", "f802");
    for (int n = 801; n <= 811; ++n) {
        const std::string path = "n800/" + lineKey(n);
        x.description(path, "t" + std::to_string(n));
        x.value(path, "borrowerFund", "b" + std::to_string(n));
        x.value(path, "sellerFund", "");
        if (n >= 808) {
            x.value(path, "net", "0");
            x.value(path, "payor", "");
        }
    }
    x.value("n900/n901", "at", "901.5");
    x.value("n900/n901", "net", "1");
    x.description("n900/n901", "");
    x.value("n900/n901", "borrowerFund", "b901");
    x.value("n900/n901", "sellerFund", "");
    for (int n = 902; n <= 905; ++n) {
        const std::string path = "n900/" + lineKey(n);
        x.description(path, "t" + std::to_string(n));
        x.value(path, "payor", n == 904 ? "p904" : "");
        x.value(path, "net", "1");
        x.value(path, "borrowerFund", "b" + std::to_string(n));
        x.value(path, "sellerFund", "");
        if (n < 905)
            x.value(path, "months", std::to_string(n % 40 + 2));
    }
    x.value("n1000", "n1008Flag", "3");
    for (int n = 1001; n <= 1008; ++n) {
        const std::string path = "n1000/" + lineKey(n);
        x.description(path, n == 1006 || n == 1007 ? "t" + std::to_string(n) : "");
        x.value(path, "net", "1");
        x.value(path, "borrowerFund", "b" + std::to_string(n));
        x.value(path, "sellerFund", "");
        if (n < 1008) {
            x.value(path, "months", std::to_string(n % 40 + 2));
            x.number(path, "at", n + 0.5);
        }
    }
    for (int n = 1101; n <= 1113; ++n) {
        const std::string path = "n1100/" + lineKey(n);
        const bool split = n == 1109 || n == 1110;
        x.description(path, split ? "" : "t" + std::to_string(n));
        x.value(path, "borrowerFund", "b" + std::to_string(n));
        x.value(path, "sellerFund", "");
        if (!split)
            x.value(path, "payor", n == 1107 || n == 1108 ? "p" + std::to_string(n) : "");
    }
    for (int n : {1201, 1202, 1203, 1204, 1205, 1301, 1302, 1303, 1304, 1305, 1306, 1307}) {
        const std::string path = (n < 1300 ? "n1200/" : "n1300/") + lineKey(n);
        x.description(path, "t" + std::to_string(n));
        x.value(path, "net", "0");
        x.value(path, "borrowerFund", "b" + std::to_string(n));
        x.value(path, "sellerFund", "");
    }
    x.value("n1200/n1201", "deed", "");
    x.number("n1500", "n1520", 1520.5);
    for (int n = 1501; n <= 1515; ++n) {
        const std::string path = "n1500/" + lineKey(n);
        x.description(path, "t" + std::to_string(n));
        x.value(path, "payor", "");
        x.value(path, "net", "0");
        x.value(path, "amount", "a" + std::to_string(n));
    }
    x.value("n1600", "amount", "amt1600");
    x.value("n1600", "cash", "cash1600");
    x.number("n1600", "n1604", 1604.25);
    x.value("initialEscrowDisclosure", "tollFreeNumber", "800");
    x.description("initialEscrowDisclosure/dec", "t12");
    x.value("initialEscrowDisclosure/dec", "amount", "a12");

    // Single-precision amounts: the double nearest to the float nearest to the value.
    EXPECT_EQ(storedDouble(*root, "n1400", "borrowerFund"), static_cast<double>(0.1f));
    EXPECT_NE(storedDouble(*root, "n1400", "borrowerFund"), 0.1);
    x.value("n1400", "borrowerFund", "0.10000000149012");
    EXPECT_EQ(storedDouble(*root, "initialEscrowDisclosure", "escrowInit"),
              static_cast<double>(0.1f));
    EXPECT_EQ(storedDouble(*root, "initialEscrowDisclosure", "escrowTo"),
              static_cast<double>(1.3f));

    for (std::size_t i = 0; i < 13; ++i) {
        static const char* kNames[] = {"hName",     "hAddress", "location1", "location2", "eName",
                                       "gLocation", "hTin",     "eTin",      "account",   "idate",
                                       "idate2",    "amount1",  "amount2"};
        x.value("form1099", kNames[i], "x" + std::to_string(i));
    }
    x.value("form1099", "option1", "7");
    x.value("form1099", "option3", "9");

    x.value("ledger", "location4", "loc4");
    const auto deposits = childrenAt(*root, "ledger/deposits");
    ASSERT_EQ(deposits.size(), 1u);
    EXPECT_EQ(deposits[0]->getPropertyValue("from"), "From");
    EXPECT_EQ(deposits[0]->getPropertyValue("amount"), "40.00");
    const auto withdrawals = childrenAt(*root, "ledger/withdrawals");
    ASSERT_EQ(withdrawals.size(), 1u);
    EXPECT_EQ(withdrawals[0]->getPropertyValue("payTo"), "To");
    EXPECT_EQ(withdrawals[0]->getPropertyValue("check"), "1005");
    EXPECT_EQ(withdrawals[0]->getPropertyValue("amount"), "9.99");
    EXPECT_EQ(childrenAt(*root, "ledger/transactions").size(), 0u);

    const auto checks = childrenAt(*root, "checkPrinting");
    ASSERT_EQ(checks.size(), 2u);
    const std::pair<const char*, const char*> first[] = {
        {"date", "1/1"},     {"payTo", "Payee"}, {"address", "Addr"}, {"checkNo", "501"},
        {"amount", "75.00"}, {"print", "Y"},     {"memo", "Memo"}};
    for (const auto& [name, value] : first)
        EXPECT_EQ(checks[0]->getPropertyValue(name), value) << name;
    EXPECT_EQ(checks[1]->getPropertyValue("payTo"), "Last");

    const auto borrowers = childrenAt(*root, "d_borrowers");
    ASSERT_EQ(borrowers.size(), v >= 1202 ? 1u : 0u);
    if (!borrowers.empty()) {
        EXPECT_EQ(borrowers[0]->getPropertyValue("state"), "bstate");
        EXPECT_EQ(borrowers[0]->getPropertyValue("sign2"), "bs2");
    }
    const char* sections[] = {"n800", "n900", "n1100", "n1200", "n1300", "n1500"};
    for (std::size_t i = 0; i < 6; ++i) {
        const auto more = childrenAt(*root, std::string(sections[i]) + "/more");
        ASSERT_EQ(more.size(), v >= 1202 ? 1u : 0u) << sections[i];
        if (!more.empty()) {
            EXPECT_EQ(more[0]->getName(), std::string(sections[i]) + "s");
            EXPECT_EQ(more[0]->getDescription(), "o" + std::to_string(i));
            EXPECT_EQ(more[0]->getPropertyValue("borrowerFund"), "ob" + std::to_string(i));
            // Extra lines carry the amounts the file gives them, seller's included.
            EXPECT_EQ(more[0]->getPropertyValue("sellerFund"), "os");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Legacy, LegacyRefinanceVersionTest,
                         ::testing::Values(402u, 902u, 1202u, 1502u));

TEST(LegacyRefinanceImportTest, AbsentPresenceWordsMakeNoCompanionNodes) {
    RefinanceRecord source = fullRefinance(1502);
    source.form1099Presence = 0;
    source.ledger.presence = 0;
    source.checkTablePresence = 0;
    auto root = importRefinance(source);
    for (const char* name : {"form1099", "ledger", "checkPrinting"})
        EXPECT_EQ(resolveUri(root.get(), name), nullptr) << name;
}

TEST(LegacyRefinanceImportTest, WrongKindAndDamagedFilesAreRefusedWithOneMessage) {
    TempFolder folder;
    const std::string path = folder.file("refi.hud");
    const std::string full = refinanceFile(fullRefinance(1502));
    const std::pair<std::string, const char*> cases[] = {
        {std::string("\x91\x01", 2), "This is Hud document."},
        {std::string("\x41\x06", 2), "This is not Ref document"},
        {std::string("\x93\x01", 2), "This is Red document."},
        {full.substr(0, full.size() - 1), "The file is damaged and cannot be converted."},
        {full.substr(0, 1), "The file is damaged and cannot be converted."}};
    for (const auto& [bytes, message] : cases) {
        writeBytes(path, bytes);
        RecordingDialog dialog;
        RefinanceRecord record;
        EXPECT_EQ(readRefinanceFile(path, record), -1);
        ASSERT_EQ(dialog.shown().size(), 1u);
        EXPECT_EQ(dialog.shown()[0].text, message);
    }
    for (std::size_t size = 0; size < full.size(); size += 7) {
        ArchiveReader in = archiveOf(full.substr(0, size));
        RefinanceRecord record;
        ASSERT_EQ(readRefinanceRecord(in, record), ReadResult::Damaged) << "cut at " << size;
    }
}

} // namespace
} // namespace velmora::testing
