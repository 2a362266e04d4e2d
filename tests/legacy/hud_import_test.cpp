// Import of legacy HUD statement files: files of every version built field by
// field, read and converted, and the converted tree checked value by value.
#include "legacy/hud_converter.h"
#include "legacy/hud_reader.h"
#include "legacy/kind_check.h"
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

LegacyLine fullLine(int n) {
    const std::string s = std::to_string(n);
    LegacyLine l;
    l.text = "t" + s;
    l.payor = "p" + s;
    l.amount = "a" + s;
    l.borrowerFund = "b" + s;
    l.sellerFund = "s" + s;
    l.months = static_cast<std::uint32_t>(n % 50 + 1);
    l.at = n + 0.25;
    l.percentage = n / 8.0;
    l.forPOC = "f" + s;
    l.deed = "dd" + s;
    l.mortgage = "mm" + s;
    l.release = "rr" + s;
    l.from = subDate(1990 + n % 30, n % 12 + 1, n % 28 + 1);
    l.to = subDate(2000 + n % 30, (n + 5) % 12 + 1, (n + 3) % 28 + 1, 2);
    return l;
}

const std::pair<int, int> kLineRanges[] = {{104, 112},   {201, 219},   {403, 412},  {504, 519},
                                           {701, 704},   {801, 813},   {901, 905},  {1001, 1008},
                                           {1101, 1113}, {1201, 1205}, {1301, 1306}};

// Distinct values in every field the file carries for `version`.
HudRecord fullHud(std::uint32_t version) {
    HudRecord r;
    r.version = version;
    r.taxDays = 7;
    r.loanOption = 3;
    r.fileNo = "F-6";
    r.loanNo = "L-7";
    r.caseNo = "C-8";
    r.borrower = {"Bea", "Bob", "1 B St", "BS", "Bcity", "11111", "", ""};
    r.seller = {"Sam", "Sue", "2 S St", "SS", "Scity", "22222", "", ""};
    r.property = {"", "", "3 G St", "GS", "Gcity", "33333", "", ""};
    r.agent = {"Al", "", "4 H St", "HS", "Hcity", "44444", "", ""};
    r.sellerTin = "S-TIN";
    r.lenderText = "First Bank\n5 L St";
    r.lot = "Lot 9";
    r.agentTin = "A-TIN";
    r.placeOfSettlement = "Caf\xE9 Hall";
    r.settlementDate = subDate(2008, 3, 15, 1);
    r.fundingDate = subDate(2008, 4, 1);
    r.taxStart = subDate(2008, 1, 1);
    r.taxEnd = subDate(2008, 12, 31);
    r.sewerStart = subDate(2007, 7, 1);
    r.sewerEnd = subDate(2008, 6, 30);
    r.fiscal = subDate(2009, 2, 28);
    r.n101 = "250000.00";
    r.n102 = "v102";
    r.n201 = "v201";
    r.n202 = "v202";
    r.n203 = "v203";
    r.n501 = "v501";
    r.n503 = "v503";
    r.n102Option = 4;
    r.n201Option = 12;
    r.n203Option = 5;
    r.n120 = 120.5;
    r.n220 = 220.25;
    r.n303 = 303.75;
    r.n420 = 420.125;
    r.n520 = 520.5;
    r.n603 = 603.25;
    r.priceAt = 1.5;
    r.priceAmount = "vPrice";
    r.calculate = 1;
    r.n801Option = 2;
    r.n802Option = 3;
    r.n1008Flag = 6;
    r.n1400BorrowerFund = 1400.5;
    r.n1400SellerFund = 1401.25;
    r.settlementAgent = "Agent X";
    r.n1400SettlementDate = subDate(2008, 3, 20);
    r.n1400SellerName1 = "ks1";
    r.n1400SellerName2 = "ks2";
    r.n1400BorrowerName1 = "kb1";
    r.n1400BorrowerName2 = "kb2";
    for (const auto& [first, last] : kLineRanges)
        for (int n = first; n <= last; ++n)
            r.lines[lineKey(n)] = fullLine(n);
    // Blank by the addendum test, so the addendum step leaves it alone.
    r.lines["n812"].text = "";
    r.lines["n812"].borrowerFund = "";
    r.lines["n812"].sellerFund = "0.00";

    EscrowBlock& e = r.escrow;
    e.tollFreeNumber = "800-555";
    e.firstPaymentDate = subDate(2008, 5, 1);
    e.escrowInit = 0.1;
    e.escrowTo = 2.75;
    for (std::size_t i = 0; i < 12; ++i) {
        e.months[i].text = "m" + std::to_string(i);
        e.months[i].amount = "ma" + std::to_string(i);
    }
    e.maxMonthsAllowed = 2;
    e.cushionAmount = "cush";
    e.monthlyPayment = "mpay";
    e.discretionaryAmount = "disc";

    Form1099Block& f = r.form1099;
    f.presence = 1;
    f.propertyStreet = "12 Elm Road";
    f.propertyLot = "PL";
    f.propertyBlock = "PB";
    f.closingDate = "03/15/2008";
    f.filerPhone = "555-0100";
    f.filerAddress = {"fname1", "fname2", "fstreet", "fstate", "fcity", "fzip", "", ""};
    f.transferorAddress = {"tname1", "tname2", "tstreet", "tstate", "tcity", "tzip", "", ""};
    f.accountNo = "acct";
    f.grossProceed = "gross";
    f.sellersTaxCredit = "credit";
    f.propertyAddress = "paddr";
    f.filerFederalId = "fedid";
    f.transferorId = "tid";
    f.exchangeOption = 9;
    f.checks = {11, 12, 13, 14, 15, 16, 17};

    LedgerBlock& l = r.ledger;
    l.presence = 1;
    for (std::size_t i = 0; i < 8; ++i)
        l.names[i] = "ln" + std::to_string(i + 1);
    l.deposits[0] = {"03/01/2008", "D1", "MD1", "", "  12.50"};
    l.deposits[1] = {"03/02/2008", "D2", "MD2", "", "0"};
    l.deposits[2] = {"03/03/2008", "D3", "MD3", "", ""};
    l.deposits[3] = {"03/04/2008", "D4", "MD4", "", "-5.00"};
    l.deposits[4] = {"03/05/2008", "D5", "MD5", "", "7"};
    l.checks[0] = {"04/01/2008", "C1", "MC1", "101", "100.00"};
    l.checks[1] = {"04/02/2008", "C2", "MC2", "102", "abc"};
    l.checks[23] = {"04/24/2008", "C24", "MC24", "124", " \t3.5"};

    const auto named = [](const std::string& p) {
        return CAddress{p + "name1", p + "name2", p + "street", p + "state",
                        p + "city",  p + "zip",   p + "sign1",  p + "sign2"};
    };
    r.sellers = {named("es1"), {"es2", "", "", "", "", "", "", ""}};
    r.borrowers = {named("db1")};
    for (std::size_t i = 0; i < r.openLists.size(); ++i)
        for (std::size_t j = 0; j <= i % 2; ++j) {
            const std::string s = std::to_string(i) + std::to_string(j);
            r.openLists[i].push_back({"o" + s, "", 0, "ob" + s, "os" + s});
        }
    return r;
}

struct Imported {
    HudRecord record;
    std::unique_ptr<CHudDocument> root;
};

// Writes `source` as a file, reads it back and converts the record.
Imported import(const HudRecord& source, double line402 = 0.0) {
    Imported result;
    ArchiveReader in = archiveOf(hudFile(source, line402));
    EXPECT_EQ(readHudRecord(in, result.record), ReadResult::Read);
    EXPECT_EQ(in.remaining(), 0u);
    result.root = convertHudRecord(result.record);
    return result;
}

void expectTextAmount(Expectations& x, const std::string& block, int n) {
    const LegacyLine line = fullLine(n);
    x.description(block + "/" + lineKey(n), line.text);
    x.value(block + "/" + lineKey(n), "amount", line.amount);
}

void expectDated(Expectations& x, const std::string& block, int n) {
    const LegacyLine line = fullLine(n);
    const std::string path = block + "/" + lineKey(n);
    x.date(path, "from", line.from);
    x.date(path, "to", line.to);
    x.value(path, "amount", line.amount);
}

struct Fund {
    bool text = true;
    bool payor = false;
    const char* net = "0";
    bool seller = true;
};

void expectFund(Expectations& x, const std::string& block, int n, Fund shape) {
    const LegacyLine line = fullLine(n);
    const std::string path = block + "/" + lineKey(n);
    x.description(path, shape.text ? line.text : "");
    x.value(path, "payor", shape.payor ? line.payor : "");
    x.value(path, "net", shape.net);
    x.value(path, "borrowerFund", line.borrowerFund);
    x.value(path, "sellerFund", shape.seller ? line.sellerFund : "");
}

void expectHud(CHudDocument& root, std::uint32_t v) {
    SCOPED_TRACE("version " + std::to_string(v));
    const HudRecord r = fullHud(v);
    const bool v901 = v >= 901, v1001 = v >= 1001, v1101 = v >= 1101, v1201 = v >= 1201;
    const CSubDate none;
    Expectations x(root);
    x.number("", "n603", 603.25);
    x.number("", "n303", 303.75);
    x.date("tax_data", "tax_start", v901 ? r.taxStart : none);
    x.date("tax_data", "tax_end", v901 ? r.taxEnd : none);
    x.date("tax_data", "sewer_start", v901 ? r.sewerStart : none);
    x.date("tax_data", "sewer_end", v901 ? r.sewerEnd : none);
    x.date("tax_data", "fiscal", v1101 ? r.fiscal : none);
    x.value("tax_data", "tax_days", v1001 ? "7" : "70");
    x.value("b", "loanOption", "3");
    x.value("b", "fileNo_6", "F-6");
    x.value("b", "loanNo_7", "L-7");
    x.value("b", "caseNo_8", "C-8");
    for (const auto& [path, a] : {std::pair{"d", r.borrower}, {"e", r.seller}}) {
        x.value(path, "name1", a.name1);
        x.value(path, "name2", a.name2);
        x.value(path, "street", v1101 ? a.street : "");
        x.value(path, "city", v1101 ? a.city : "");
        x.value(path, "state", v1101 ? a.state : "");
        x.value(path, "zip", v1101 ? a.zip : "");
    }
    x.value("", "e_SellerTin", "S-TIN");
    x.value("", "f_LenderName", "First Bank");
    x.value("", "f_LenderAddress", "First Bank\n5 L St");
    x.value("", "g_lot", "Lot 9");
    for (const auto& [path, a] : {std::pair{"g", r.property}, {"h", r.agent}}) {
        x.value(path, "street", v1101 ? a.street : "");
        x.value(path, "city", v1101 ? a.city : "");
        x.value(path, "state", v1101 ? a.state : "");
        x.value(path, "zip", v1101 ? a.zip : "");
    }
    x.value("h", "name1", "Al");
    x.value("", "h_AgentTin", "A-TIN");
    x.value("", "placeOfSettlement", "Café Hall");
    x.date("", "i_settlementDate", r.settlementDate);
    x.date("", "fundingDate", v >= 1501 ? r.fundingDate : none);

    x.value("n100", "n101", "250000.00");
    x.value("n100", "n102", "v102");
    x.value("n100", "n102Option", v1101 ? "4" : "0");
    x.number("n100", "n120", 120.5);
    for (int n : {104, 105, 109, 110, 111, 112})
        expectTextAmount(x, "n100", n);
    for (int n : {106, 107, 108})
        expectDated(x, "n100", n);

    x.value("n200", "n201", "v201");
    x.value("n200", v1101 ? "nAmtTo501" : "nAmtToTrust", "v201");
    x.value("n200", v1101 ? "nAmtToTrust" : "nAmtTo501", "");
    x.value("n200", "n201Option", v1101 ? "2" : "0");
    x.value("n200", "n202", "v202");
    x.value("n200", "n203", "v203");
    x.value("n200", "n203Option", v1101 ? "5" : "0");
    x.number("n200", "n220", 220.25);
    for (int n : {204, 205, 213, 214, 215, 216, 217, 218, 219})
        expectTextAmount(x, "n200", n);
    for (int n = 206; n <= 209; ++n) {
        expectTextAmount(x, "n200", n);
        x.value("n200/" + lineKey(n), "payor", "");
        x.value("n200/" + lineKey(n), "net", "1");
    }
    for (int n : {210, 211, 212})
        expectDated(x, "n200", n);

    x.number("n400", "n420", 420.125);
    x.value("n400", "n402", v901 ? "   4021.50" : "");
    for (int n : {403, 404, 405, 409, 410, 411, 412})
        expectTextAmount(x, "n400", n);
    for (int n : {406, 407, 408})
        expectDated(x, "n400", n);

    x.number("n500", "n520", 520.5);
    x.value("n500", "n501", "v501");
    x.value("n500", "n503", "v503");
    x.description("n500/n504", "Payoff of first mortgage loan");
    x.description("n500/n505", "Payoff of second mortgage loan");
    for (int n : {504, 505}) {
        x.value("n500/" + lineKey(n), "payor", fullLine(n).payor);
        x.value("n500/" + lineKey(n), "amount", fullLine(n).amount);
    }
    for (int n : {506, 507, 508, 509, 513, 514, 515, 516, 517, 518, 519})
        expectTextAmount(x, "n500", n);
    for (int n : {510, 511, 512})
        expectDated(x, "n500", n);

    x.value("n700", "calculate", v1001 ? "1" : "0");
    x.value("n700", "s700Price", "250000.00");
    x.value("n700/price", "at", "1.5");
    x.value("n700/price", "amount", v901 ? "vPrice" : "");
    for (int n : {701, 702}) {
        expectTextAmount(x, "n700", n);
        x.value("n700/" + lineKey(n), "net", "0");
        x.value("n700/" + lineKey(n), "payor", "");
    }
    expectFund(x, "n700", 703, {});
    expectFund(x, "n700", 704, {});

    x.value("n800", "n801Option", v901 ? "2" : "0");
    x.value("n800", "n802Option", v901 ? "3" : "0");
    x.value("n800/n801", "percentage", "100.125");
    x.value("n800/n802", "percentage", "100.25");
    x.value("n800/n801", "forPOC", "f801");
    x.value("n800/n802", "forPOC", "f802");
    for (int n = 801; n <= 811; ++n)
        expectFund(x, "n800", n, {});
    x.description("n800/n812", "");
    x.value("n800/n812", "borrowerFund", "");
    x.value("n800/n812", "sellerFund", "0.00");
    expectFund(x, "n800", 813, {});

    const LegacyLine n901 = fullLine(901);
    x.date("n900/n901", "from", v901 ? n901.from : none);
    x.date("n900/n901", "to", v901 ? n901.to : none);
    x.value("n900/n901", "at", "901.25");
    x.value("n900/n901", "net", "1");
    x.description("n900/n901", "");
    x.value("n900/n901", "borrowerFund", "b901");
    x.value("n900/n901", "sellerFund", "s901");
    for (int n = 902; n <= 905; ++n) {
        expectFund(x, "n900", n, {.payor = n == 904, .net = "1"});
        if (n < 905)
            x.value("n900/" + lineKey(n), "months", std::to_string(fullLine(n).months));
    }

    x.value("n1000", "n1008Flag", "6");
    for (int n = 1001; n <= 1008; ++n) {
        const std::string path = "n1000/" + lineKey(n);
        x.description(path, n == 1006 || n == 1007 ? fullLine(n).text : "");
        x.value(path, "payor", "");
        x.value(path, "net", "1");
        x.value(path, "borrowerFund", fullLine(n).borrowerFund);
        x.value(path, "sellerFund", v1101 ? fullLine(n).sellerFund : "");
        if (n < 1008) {
            x.value(path, "months", std::to_string(fullLine(n).months));
            x.number(path, "at", n + 0.25);
        }
    }

    for (int n = 1101; n <= 1113; ++n) {
        if (n == 1109 || n == 1110) {
            x.description("n1100/" + lineKey(n), "");
            x.value("n1100/" + lineKey(n), "borrowerFund", fullLine(n).borrowerFund);
            x.value("n1100/" + lineKey(n), "sellerFund", "0.00");
        } else {
            expectFund(x, "n1100", n, {.payor = n == 1107 || n == 1108});
        }
    }
    for (int n = 1201; n <= 1205; ++n)
        expectFund(x, "n1200", n, {.text = n > 1203});
    for (int n = 1201; n <= 1203; ++n) {
        x.value("n1200/" + lineKey(n), "deed", fullLine(n).deed);
        x.value("n1200/" + lineKey(n), "mortgage", fullLine(n).mortgage);
    }
    x.value("n1200/n1201", "release", "rr1201");
    for (int n = 1301; n <= 1306; ++n)
        expectFund(x, "n1300", n, {});

    x.number("n1400", "borrowerFund", 1400.5);
    x.number("n1400", "sellerFund", 1401.25);
    x.value("n1400/borrowers", "name1", v1101 ? "kb1" : "");
    x.value("n1400/borrowers", "name2", v1101 ? "kb2" : "");
    x.value("n1400/sellers", "name1", v1101 ? "ks1" : "");
    x.value("n1400/sellers", "name2", v1101 ? "ks2" : "");
    x.value("n1400", "settlementAgent", v901 ? "Agent X" : "");
    x.date("n1400", "settlementDate", v901 ? r.n1400SettlementDate : none);

    const std::string escrow = "initialEscrowDisclosure";
    x.value(escrow, "tollFreeNumber", "800-555");
    x.date(escrow, "firstPaymentDate", r.escrow.firstPaymentDate);
    x.number(escrow, "escrowInit", 0.1);
    x.number(escrow, "escrowTo", 2.75);
    x.value(escrow, "maxMonthsAllowed", "2");
    x.value(escrow, "cushionAmount", "cush");
    x.value(escrow, "monthlyPayment", "mpay");
    x.value(escrow, "discretionaryAmount", "disc");
    const char* months[] = {"jan", "feb", "mar", "apr", "may", "jun",
                            "jul", "aug", "sep", "oct", "nov", "dec"};
    for (int i = 0; i < 12; ++i) {
        x.description(escrow + "/" + months[i], "m" + std::to_string(i));
        x.value(escrow + "/" + months[i], "amount", "ma" + std::to_string(i));
    }

    const auto text1099 = [&](const std::string& s) { return v1001 ? s : std::string(); };
    x.value("form1099_1", "propertyStreet", v1001 ? "12 Elm Road" : "");
    for (const auto& [name, value] : {std::pair{"propertyLot", "PL"},
                                      {"propertyBlock", "PB"},
                                      {"closing_date", "03/15/2008"},
                                      {"filer_phone", "555-0100"},
                                      {"gross_proceed", "gross"},
                                      {"sellersTaxCredit", "credit"},
                                      {"propertyAddress", "paddr"},
                                      {"filer_fedral_id", "fedid"}})
        x.value("form1099_1", name, text1099(value));
    const std::string transferor = "form1099_1/transferors/transferor";
    for (const char* part : {"name1", "name2", "street", "city", "state", "zip"}) {
        x.value("form1099_1/filer_address", part, text1099(std::string("f") + part));
        x.value(transferor, part, text1099(std::string("t") + part));
    }
    x.value(transferor, "grossAllocation", text1099("gross"));
    x.value(transferor, "transferor_id", text1099("tid"));
    x.value(transferor, "account_no", text1099("acct"));
    x.value(transferor, "exchangeOption", v1001 ? "9" : "0");
    for (int i = 1; i <= 7; ++i) {
        const bool present = i <= 4 ? v1001 : v >= 1601;
        x.value(transferor, "check" + std::to_string(i), present ? std::to_string(10 + i) : "0");
    }

    for (int i = 1; i <= 8; ++i) {
        static const char* kNames[] = {"borrowerName1", "borrowerName2", "sellerName1",
                                       "sellerName2",   "location1",     "location2",
                                       "location3",     "location4"};
        x.value("ledger", kNames[i - 1], "ln" + std::to_string(i));
    }

    const auto sellers = childrenAt(root, "e_sellers");
    const auto borrowers = childrenAt(root, "d_borrowers");
    ASSERT_EQ(sellers.size(), v1201 ? 2u : 0u);
    ASSERT_EQ(borrowers.size(), v1201 ? 1u : 0u);
    if (v1201) {
        EXPECT_EQ(sellers[0]->getName(), "address");
        EXPECT_EQ(sellers[1]->getPropertyValue("name1"), "es2");
        for (const char* part :
             {"name1", "name2", "street", "state", "city", "zip", "sign1", "sign2"}) {
            EXPECT_EQ(sellers[0]->getPropertyValue(part), std::string("es1") + part);
            EXPECT_EQ(borrowers[0]->getPropertyValue(part), std::string("db1") + part);
        }
    }
    const char* sections[] = {"n800", "n900", "n1100", "n1200", "n1300"};
    for (std::size_t i = 0; i < 5; ++i) {
        const auto more = childrenAt(root, std::string(sections[i]) + "/more");
        ASSERT_EQ(more.size(), v1201 ? i % 2 + 1 : 0u) << sections[i];
        for (std::size_t j = 0; j < more.size(); ++j) {
            const std::string s = std::to_string(i) + std::to_string(j);
            EXPECT_EQ(more[j]->getName(), std::string(sections[i]) + "s");
            EXPECT_EQ(more[j]->getDescription(), "o" + s);
            EXPECT_EQ(more[j]->getPropertyValue("payor"), "");
            EXPECT_EQ(more[j]->getPropertyValue("net"), "0");
            EXPECT_EQ(more[j]->getPropertyValue("borrowerFund"), "ob" + s);
            EXPECT_EQ(more[j]->getPropertyValue("sellerFund"), "os" + s);
        }
    }
}

class LegacyHudVersionTest : public ::testing::TestWithParam<std::uint32_t> {};

TEST_P(LegacyHudVersionTest, EveryCarriedFieldReachesItsNode) {
    CountingGuids guids;
    Imported imported = import(fullHud(GetParam()), 4021.5);
    expectHud(*imported.root, GetParam());
}

INSTANTIATE_TEST_SUITE_P(Legacy, LegacyHudVersionTest,
                         ::testing::Values(401u, 901u, 1001u, 1101u, 1201u, 1501u, 1601u));

TEST(LegacyHudImportTest, LedgerKeepsPositiveSlotsWithTrimmedAmountsAndNewGuids) {
    CountingGuids guids;
    Imported imported = import(fullHud(1601));
    const auto transactions = childrenAt(*imported.root, "ledger/transactions");
    struct Expected {
        const char* date;
        const char* payee;
        const char* ref;
        const char* amount;
        const char* type;
    };
    const Expected expected[] = {{"03/01/2008", "D1", "", "12.50", "1"},
                                 {"03/05/2008", "D5", "", "7", "1"},
                                 {"04/01/2008", "C1", "101", "100.00", "2"},
                                 {"04/24/2008", "C24", "124", "3.5", "2"}};
    ASSERT_EQ(transactions.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        CSectionNode& t = *transactions[i];
        EXPECT_EQ(t.getName(), "transaction");
        EXPECT_EQ(t.getPropertyValue("transId"), CountingGuids::nth(static_cast<int>(i) + 1));
        EXPECT_EQ(t.getPropertyValue("transDate"), expected[i].date);
        EXPECT_EQ(t.getPropertyValue("payee"), expected[i].payee);
        EXPECT_EQ(t.getPropertyValue("memo"), std::string("M") + expected[i].payee);
        EXPECT_EQ(t.getPropertyValue("refNum"), expected[i].ref);
        EXPECT_EQ(t.getPropertyValue("amount"), expected[i].amount);
        EXPECT_EQ(t.getPropertyValue("transType"), expected[i].type);
    }
    EXPECT_EQ(valueAt(*imported.root, "form1099_1/transferors/transferor", "transferorGuid"),
              CountingGuids::nth(5));
}

TEST(LegacyHudImportTest, PresenceWordsDecideLedgerAndForm1099) {
    HudRecord source = fullHud(1601);
    source.ledger.presence = 0;
    source.form1099.presence = 0;
    Imported imported = import(source);
    EXPECT_EQ(resolveUri(imported.root.get(), "form1099_1"), nullptr);
    EXPECT_EQ(resolveUri(imported.root.get(), "ledger"), nullptr);
    source.ledger.presence = 3;
    source.form1099.presence = 2;
    imported = import(source);
    EXPECT_NE(resolveUri(imported.root.get(), "form1099_1/transferors/transferor"), nullptr);
    EXPECT_EQ(childrenAt(*imported.root, "ledger/transactions").size(), 4u);
}

TEST(LegacyHudImportTest, Line201WordCarriesTheOptionAndWhereTheAmountGoes) {
    const std::pair<std::uint32_t, const char*> cases[] = {{12, "2"}, {9, "9"}, {10, "0"},
                                                           {0, "0"},  {3, "3"}, {11, "1"}};
    for (const auto& [word, option] : cases) {
        HudRecord source = fullHud(1101);
        source.n201Option = word;
        Imported imported = import(source);
        const bool to501 = std::string(option) != "0";
        EXPECT_EQ(valueAt(*imported.root, "n200", "n201Option"), option) << word;
        EXPECT_EQ(valueAt(*imported.root, "n200", "nAmtTo501"), to501 ? "v201" : "") << word;
        EXPECT_EQ(valueAt(*imported.root, "n200", "nAmtToTrust"), to501 ? "" : "v201") << word;
    }
}

TEST(LegacyHudImportTest, LenderNameIsTheTextBeforeALineFeedAfterItsFirstCharacter) {
    const std::pair<const char*, const char*> cases[] = {{"Bank\nMain St\nTown", "Bank"},
                                                         {"\nMain St", ""},
                                                         {"No line feed", ""},
                                                         {"B\n", "B"},
                                                         {"", ""}};
    for (const auto& [text, name] : cases) {
        HudRecord source = fullHud(401);
        source.lenderText = text;
        Imported imported = import(source);
        EXPECT_EQ(valueAt(*imported.root, "", "f_LenderName"), name) << text;
        EXPECT_EQ(valueAt(*imported.root, "", "f_LenderAddress"), text);
    }
}

TEST(LegacyHudImportTest, DatesKeepYears1001To9999AndPrecisionIsIgnored) {
    const std::pair<CSubDate, const char*> cases[] = {
        {subDate(1000, 12, 31), "12/30/1899"},  {subDate(1001, 1, 1), "1/1/1001"},
        {subDate(9999, 12, 31), "12/31/9999"},  {subDate(10000, 1, 1), "12/30/1899"},
        {subDate(2008, 2, 29, 3), "2/29/2008"}, {subDate(0, 0, 0), "12/30/1899"},
        {subDate(1, 1, 1), "12/30/1899"}};
    for (const auto& [date, text] : cases) {
        HudRecord source = fullHud(1501);
        source.fundingDate = date;
        Imported imported = import(source);
        EXPECT_EQ(valueAt(*imported.root, "", "fundingDate"), text) << date.year;
    }
}

// Lines 806..811 all filled; line 812 and 813 as given; `listed` addendum lines.
Imported importAddendum(const std::array<const char*, 3>& n812,
                        const std::array<const char*, 3>& n813, std::size_t listed,
                        int blankLine = 0) {
    HudRecord source = fullHud(1201);
    const auto fund = [](const char* text, const char* borrower, const char* seller) {
        LegacyLine line;
        line.text = text;
        line.borrowerFund = borrower;
        line.sellerFund = seller;
        return line;
    };
    source.lines["n812"] = fund(n812[0], n812[1], n812[2]);
    source.lines["n813"] = fund(n813[0], n813[1], n813[2]);
    if (blankLine)
        source.lines[lineKey(blankLine)] = fund("", "0.00", "");
    source.openLists[0].assign(listed, CAddTBS{"old", "", 0, "1.00", "2.00"});
    return import(source);
}

TEST(LegacyHudImportTest, Line812MovesToABlankLineOrIntoTheAddendum) {
    {
        SCOPED_TRACE("case 1: a blank line 812 stays");
        for (const auto& blank :
             {std::array{"", "0.00", "0.00"}, std::array{"", "", "0.00"}, std::array{"", "", ""}}) {
            Imported i = importAddendum(blank, {"t813", "20.00", "5.00"}, 0);
            EXPECT_EQ(valueAt(*i.root, "n800/n812", "borrowerFund"), blank[1]);
            EXPECT_EQ(valueAt(*i.root, "n800/n812", "sellerFund"), blank[2]);
            EXPECT_EQ(descriptionAt(*i.root, "n800/n813"), "t813");
            EXPECT_EQ(valueAt(*i.root, "n800/n813", "borrowerFund"), "20.00");
            EXPECT_TRUE(childrenAt(*i.root, "n800/more").empty());
        }
    }
    {
        SCOPED_TRACE("case 2: onto the first blank line of 806..811");
        Imported i = importAddendum({"Extra", "5.00", "1.00"}, {"t813", "20.00", "5.00"}, 0, 809);
        EXPECT_EQ(descriptionAt(*i.root, "n800/n809"), "Extra");
        EXPECT_EQ(valueAt(*i.root, "n800/n809", "borrowerFund"), "5.00");
        EXPECT_EQ(valueAt(*i.root, "n800/n809", "sellerFund"), "1.00");
        EXPECT_EQ(descriptionAt(*i.root, "n800/n812"), "");
        EXPECT_EQ(valueAt(*i.root, "n800/n812", "borrowerFund"), "");
        EXPECT_EQ(valueAt(*i.root, "n800/n812", "sellerFund"), "");
        EXPECT_EQ(valueAt(*i.root, "n800/n813", "borrowerFund"), "20.00");
        EXPECT_EQ(descriptionAt(*i.root, "n800/n810"), "t810");
        EXPECT_TRUE(childrenAt(*i.root, "n800/more").empty());
        // Only "0.00" or empty amounts make a line blank.
        Imported j = importAddendum({"Extra", "0.00", "0.00"}, {"", "", ""}, 0, 0);
        EXPECT_EQ(childrenAt(*j.root, "n800/more").size(), 2u);
    }
    {
        SCOPED_TRACE("case 3: a full addendum list");
        Imported i = importAddendum({"Extra", "5.00", "1.00"}, {"t813", "20.00", "5.00"}, 40);
        EXPECT_EQ(childrenAt(*i.root, "n800/more").size(), 40u);
        EXPECT_EQ(descriptionAt(*i.root, "n800/n812"), "Extra");
        EXPECT_EQ(valueAt(*i.root, "n800/n813", "borrowerFund"), "20.00");
    }
    {
        SCOPED_TRACE("case 4: appended to an addendum list, 813 totals");
        Imported i = importAddendum({"X", "100.00", "0.00"}, {"t813", "20.00", "5.00"}, 39);
        const auto more = childrenAt(*i.root, "n800/more");
        ASSERT_EQ(more.size(), 40u);
        EXPECT_EQ(more[39]->getDescription(), "X");
        EXPECT_EQ(more[39]->getPropertyValue("borrowerFund"), "100.00");
        EXPECT_EQ(more[39]->getPropertyValue("sellerFund"), "0.00");
        EXPECT_EQ(descriptionAt(*i.root, "n800/n813"), "t813");
        EXPECT_EQ(valueAt(*i.root, "n800/n813", "borrowerFund"), "    120.00");
        EXPECT_EQ(valueAt(*i.root, "n800/n813", "sellerFund"), "      5.00");
        EXPECT_EQ(descriptionAt(*i.root, "n800/n812"), "");
        EXPECT_EQ(valueAt(*i.root, "n800/n812", "borrowerFund"), "");
    }
    {
        SCOPED_TRACE("case 5: a new addendum list of 812 and 813");
        Imported i = importAddendum({"X", "100.00", "0.00"}, {"t813", "20.00", "5.00"}, 0);
        const auto more = childrenAt(*i.root, "n800/more");
        ASSERT_EQ(more.size(), 2u);
        EXPECT_EQ(more[0]->getDescription(), "X");
        EXPECT_EQ(more[1]->getDescription(), "t813");
        EXPECT_EQ(more[1]->getPropertyValue("borrowerFund"), "20.00");
        EXPECT_EQ(more[1]->getPropertyValue("sellerFund"), "5.00");
        EXPECT_EQ(descriptionAt(*i.root, "n800/n813"), "Total from addendum lines");
        EXPECT_EQ(valueAt(*i.root, "n800/n813", "borrowerFund"), "    120.00");
        EXPECT_EQ(valueAt(*i.root, "n800/n813", "sellerFund"), "      5.00");
        EXPECT_EQ(descriptionAt(*i.root, "n800/n812"), "");
        EXPECT_EQ(valueAt(*i.root, "n800/n812", "sellerFund"), "");
    }
}

TEST(LegacyHudImportTest, AFileCutAtAnyByteIsDamagedAndNeverRead) {
    HudRecord source = fullHud(1601);
    source.n102 = std::string(300, 'z'); // a word length prefix
    const std::string bytes = hudFile(source, 1.0);
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        ArchiveReader in = archiveOf(bytes.substr(0, size));
        HudRecord record;
        ASSERT_EQ(readHudRecord(in, record), ReadResult::Damaged) << "cut at " << size;
    }
    ArchiveReader whole = archiveOf(bytes);
    HudRecord record;
    EXPECT_EQ(readHudRecord(whole, record), ReadResult::Read);
    EXPECT_EQ(record.n102.size(), 300u);
}

// A version-1201 file whose seven lists are replaced by `lists`.
std::string hud1201With(const std::string& lists) {
    HudRecord source = fullHud(1201);
    source.sellers.clear();
    source.borrowers.clear();
    for (auto& list : source.openLists)
        list.clear();
    const std::string bytes = hudFile(source);
    return bytes.substr(0, bytes.size() - 7 * 2) + lists;
}

TEST(LegacyHudImportTest, DamagedFilesShowOneMessageAndAreRefused) {
    TempFolder folder;
    const std::string path = folder.file("deal.hud");
    LegacyWriter empty;
    for (int i = 0; i < 7; ++i)
        empty.count(0);
    LegacyWriter badReference;
    badReference.count(1);
    badReference.reference(1);
    LegacyWriter badClass;
    badClass.count(1);
    badClass.newClass("CPerson");
    LegacyWriter hugeCount;
    hugeCount.count(0xFFFFFFFF);
    LegacyWriter wrongList; // a seller list of CAddTBS
    wrongList.addTbsList({{"x", "", 0, "1", "2"}});

    const std::string damaged[] = {"",
                                   std::string(1, '\x91'),
                                   hud1201With(badReference.bytes()),
                                   hud1201With(badClass.bytes()),
                                   hud1201With(hugeCount.bytes()),
                                   hud1201With(wrongList.bytes()),
                                   hud1201With(empty.bytes()).substr(0, 4000)};
    for (const std::string& bytes : damaged) {
        RecordingDialog dialog;
        writeBytes(path, bytes);
        HudRecord record; // an empty entry stands for a file that is not there
        EXPECT_EQ(readHudFile(bytes.empty() ? folder.file("missing.hud") : path, record), -1);
        ASSERT_EQ(dialog.shown().size(), 1u);
        EXPECT_EQ(dialog.shown()[0].caption, "Error");
        EXPECT_EQ(dialog.shown()[0].text, "The file is damaged and cannot be converted.");
    }
    RecordingDialog dialog;
    writeBytes(path, hud1201With(empty.bytes()));
    HudRecord record;
    EXPECT_EQ(readHudFile(path, record), 0);
    EXPECT_TRUE(dialog.shown().empty());
    EXPECT_EQ(record.lines.at("n1301").text, "t1301");
}

TEST(LegacyHudImportTest, ConvertedFileLoadsBackWithTheSameValues) {
    TempFolder folder;
    const std::string path = folder.file("deal.hud");
    writeBytes(path, hudFile(fullHud(1601), 4021.5));
    HudRecord record;
    {
        CountingGuids guids;
        ASSERT_EQ(readHudFile(path, record), 0);
        ASSERT_EQ(convertHudFile(record, path), 0);
    }
    CHudDocument loaded(document_types::kHud);
    ASSERT_EQ(loaded.load(path), 0);
    CountingGuids guids;
    expectHud(loaded, 1601);
}

TEST(LegacyKindCheckTest, EachReaderNamesTheKindOfAFileItCannotRead) {
    using K = LegacyReaderKind;
    const std::tuple<std::uint32_t, K, const char*> cases[] = {
        {402, K::Statement, "This is Refinance document."},
        {902, K::Statement, "This is Refinance document."},
        {1202, K::Statement, "This is not Hud document!"},
        {403, K::Statement, "This is Red document."},
        {404, K::Statement, "This is Mortgage closing document."},
        {405, K::Statement, "This is Title closing document."},
        {903, K::Statement, "This is not Hud document!"},
        {0, K::Statement, "This is not Hud document!"},
        {65535, K::Statement, "This is not Hud document!"},
        {401, K::Refinance, "This is Hud document."},
        {901, K::Refinance, "This is Hud document."},
        {1601, K::Refinance, "This is not Ref document"},
        {403, K::Refinance, "This is Red document."},
        {404, K::Refinance, "This is Mortgage closing document."},
        {405, K::Refinance, "This is Title closing document."},
        {0, K::Refinance, "This is not Ref document"},
        {65535, K::Refinance, "This is not Ref document"},
    };
    for (const auto& [word, kind, message] : cases)
        EXPECT_EQ(kindCheckMessage(word, kind).value_or("accepted"), message) << word;
    for (std::uint32_t word : {401, 901, 1001, 1101, 1201, 1501, 1601})
        EXPECT_FALSE(kindCheckMessage(word, K::Statement)) << word;
    for (std::uint32_t word : {402, 902, 1202, 1502})
        EXPECT_FALSE(kindCheckMessage(word, K::Refinance)) << word;

    TempFolder folder;
    const std::string path = folder.file("deal.hud");
    for (const auto& [word, message] :
         {std::pair{902u, "This is Refinance document."}, {1202u, "This is not Hud document!"}}) {
        HudRecord source = fullHud(1601);
        source.version = word;
        writeBytes(path, hudFile(source));
        RecordingDialog dialog;
        HudRecord record;
        EXPECT_EQ(readHudFile(path, record), -1);
        ASSERT_EQ(dialog.shown().size(), 1u);
        EXPECT_EQ(dialog.shown()[0].text, message);
        EXPECT_TRUE(record.lines.empty()) << "nothing past the version word is read";
    }
}

} // namespace
} // namespace velmora::testing
