// Import of legacy HUD and refinance statement files: files of every version
// built field by field, read, converted, and the trees checked value by value.
#include "legacy/hud_converter.h"
#include "legacy/hud_reader.h"
#include "legacy/kind_check.h"
#include "legacy/refinance_converter.h"
#include "legacy/refinance_reader.h"
#include "recording_dialog.h"
#include "support/legacy_test_support.h"
#include "support/legacy_writer.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

namespace velmora::testing {
namespace {

CSubDate date(int year, int month, int day, int kind = 0) {
    return CSubDate{{year, month, day}, kind};
}

CAddress party(char p) {
    const auto part = [p](char n) { return std::string{p, n}; };
    return {part('1'), part('2'), part('3'), part('4'), part('5'), part('6'), part('7'), part('8')};
}

// The values of line n: "t<n>", "a<n>", ..., months n, at n + 0.25, percentage n + 0.5.
LegacyLine fullLine(int n) {
    const auto v = [s = std::to_string(n)](const char* p) { return p + s; };
    return {
        v("t"),  v("p"), v("a"), v("b"), v("s"), std::uint32_t(n),     n + 0.25,
        n + 0.5, v("f"), v("d"), v("m"), v("r"), date(1000 + n, 1, 2), date(2000 + n, 12, 31, 2)};
}

// A line given as "text|borrowerFund|sellerFund".
LegacyLine fundLine(const std::string& fields) {
    std::istringstream in(fields);
    LegacyLine line;
    std::getline(in, line.text, '|');
    std::getline(in, line.borrowerFund, '|');
    std::getline(in, line.sellerFund);
    return line;
}

// Distinct values in every field either kind of file carries.
template <typename Record> Record fullRecord(std::uint32_t version) {
    Record r;
    std::tie(r.version, r.n801Option, r.n802Option, r.n1008Flag) = std::tuple(version, 2, 3, 6);
    std::tie(r.borrower, r.property, r.agent, r.borrowers) =
        std::tuple(party('B'), party('G'), party('H'), std::vector{party('D')});
    std::tie(r.loanNo, r.lenderText, r.lot, r.placeOfSettlement, r.settlementAgent) =
        std::tuple("L-7", "First Bank\n5 L St", "Lot 9", "Caf\xE9 Hall", "Agent X");
    std::tie(r.settlementDate, r.fundingDate, r.n1400SettlementDate) =
        std::tuple(date(2008, 3, 15, 1), date(2008, 4, 1), date(2008, 3, 20));
    r.n1400BorrowerFund = 0.1;
    const int ranges[] = {104, 112, 201,  219,  403,  412,  504,  519,  701,  704,  801,  813,
                          901, 905, 1001, 1008, 1101, 1113, 1201, 1205, 1301, 1307, 1501, 1515};
    for (std::size_t i = 0; i < std::size(ranges); i += 2)
        for (int n = ranges[i]; n <= ranges[i + 1]; ++n)
            r.lines["n" + std::to_string(n)] = fullLine(n);
    // Blank by the addendum rule, so the addendum step leaves it alone.
    r.lines["n812"] = fundLine("||0.00");
    EscrowBlock& e = r.escrow;
    e = {"800-555", date(2008, 5, 1), 0.1, 1.3, {}, 2, "cush", "mpay", "disc"};
    for (int i = 0; i < 12; ++i)
        e.months[static_cast<std::size_t>(i)] = fullLine(i + 1);
    LedgerBlock& l = r.ledger;
    l.presence = 1;
    for (std::size_t i = 0; i < 8; ++i)
        l.names[i] = "ln" + std::to_string(i + 1);
    l.deposits[0] = {"03/01", "D1", "MD1", "", "  12.50"};
    l.deposits[1] = {"03/02", "D2", "M", "", "0"};
    l.deposits[3] = {"03/04", "D4", "M", "", "-5.00"};
    l.deposits[4] = {"03/05", "D5", "MD5", "", "7"};
    l.checks[0] = {"04/01", "C1", "MC1", "101", "100.00"};
    l.checks[1] = {"04/02", "C2", "M", "102", "abc"};
    l.checks[23] = {"04/24", "C24", "MC24", "124", " \t3.5"};
    for (std::size_t i = 0; i < r.openLists.size(); ++i)
        for (std::size_t j = 0; j <= i % 2; ++j) {
            const std::string s = std::to_string(i) + std::to_string(j);
            r.openLists[i].push_back({"o" + s, "", 0, "ob" + s, "os" + s});
        }
    return r;
}

HudRecord fullHud(std::uint32_t version) {
    HudRecord r = fullRecord<HudRecord>(version);
    std::tie(r.taxDays, r.loanOption, r.calculate, r.n102Option, r.n201Option, r.n203Option) =
        std::tuple(7, 3, 1, 4, 12, 5);
    std::tie(r.fileNo, r.caseNo, r.sellerTin, r.agentTin, r.n101, r.n102, r.priceAmount) =
        std::tuple("F-6", "C-8", "S-TIN", "A-TIN", "250000.00", "v102", "vPrice");
    std::tie(r.n201, r.n202, r.n203, r.n501, r.n503) =
        std::tuple("v201", "v202", "v203", "v501", "v503");
    std::tie(r.n1400SellerName1, r.n1400SellerName2, r.n1400BorrowerName1, r.n1400BorrowerName2) =
        std::tuple("ks1", "ks2", "kb1", "kb2");
    std::tie(r.n120, r.n220, r.n303, r.n420, r.n520, r.n603, r.priceAt, r.n1400SellerFund) =
        std::tuple(120.5, 220.25, 303.75, 420.125, 520.5, 603.25, 1.5, 1401.25);
    std::tie(r.taxStart, r.taxEnd, r.sewerStart, r.sewerEnd, r.fiscal) =
        std::tuple(date(2008, 1, 1), date(2008, 12, 31), date(2007, 7, 1), date(2008, 6, 30),
                   date(2009, 2, 28));
    r.seller = party('S');
    Form1099Block& f = r.form1099;
    std::tie(f.presence, f.propertyStreet, f.propertyLot, f.propertyBlock, f.closingDate) =
        std::tuple(1, "12 Elm Road", "PL", "PB", "03/15/2008");
    std::tie(f.filerPhone, f.filerAddress, f.transferorAddress, f.accountNo, f.grossProceed) =
        std::tuple("555-0100", party('F'), party('T'), "acct", "gross");
    std::tie(f.sellersTaxCredit, f.propertyAddress, f.filerFederalId, f.transferorId) =
        std::tuple("credit", "paddr", "fedid", "tid");
    f.exchangeOption = 9;
    f.checks = {11, 12, 13, 14, 15, 16, 17};
    r.sellers = {party('E'), {"Z1", "", "", "", "", "", "", ""}};
    return r;
}

RefinanceRecord fullRefinance(std::uint32_t version) {
    RefinanceRecord r = fullRecord<RefinanceRecord>(version);
    std::tie(r.n1520, r.n1604, r.n1600Amount, r.n1600Cash) =
        std::tuple(1520.5, 1604.25, "amt1600", "cash1600");
    r.form1099Presence = 1;
    for (std::size_t i = 0; i < 13; ++i)
        r.form1099Texts[i] = "x" + std::to_string(i);
    r.form1099Options = {7, 8, 9};
    r.checkTablePresence = 1;
    r.checkRows[0] = {"1/1", "Payee", "Addr", "501", "  75.00", "Y", "Memo", "unused"};
    r.checkRows[1] = {"1/2", "Skip", "Addr", "502", "0.00", "Y", "Memo", "unused"};
    r.checkRows[23] = {"1/3", "Last", "Addr3", "524", "1", "N", "Memo3", ""};
    return r;
}

std::unique_ptr<CHudDocument> importHud(const HudRecord& source, double line402 = 0.0) {
    ArchiveReader in = archiveOf(hudFile(source, line402));
    HudRecord record;
    EXPECT_EQ(readHudRecord(in, record), ReadResult::Read);
    EXPECT_EQ(in.remaining(), 0u);
    return convertHudRecord(record);
}

std::unique_ptr<CHudDocument> importRefinance(const RefinanceRecord& source) {
    ArchiveReader in = archiveOf(refinanceFile(source));
    RefinanceRecord record;
    EXPECT_EQ(readRefinanceRecord(in, record), ReadResult::Read);
    EXPECT_EQ(in.remaining(), 0u);
    return convertRefinanceRecord(record);
}

const std::string kNone = "12/30/1899"; // the empty date in the tree

// `values` when `carried`, else the same names with `absent`.
std::string onlyIf(bool carried, const std::string& values, const std::string& absent = "") {
    if (carried)
        return values;
    std::string text;
    bool inValue = false;
    for (char c : values) {
        inValue = c == '|' ? false : inValue;
        if (!inValue)
            text += c;
        if (c == '=' && !inValue)
            text += absent, inValue = true;
    }
    return text;
}

std::string fund(const std::string& seller) {
    return "desc=t#|payor=|net=0|borrowerFund=b#|sellerFund=" + seller;
}

// Rows both converters fill alike, given the seller amounts of fund lines and
// of lines 1001..1008, line 901's dates and the escrow amounts.
std::vector<Row> sharedRows(const std::string& s, const std::string& reserveSeller,
                            const std::string& n901Dates, const std::string& escrow) {
    const std::string reserve = "|payor=|net=1|borrowerFund=b#|sellerFund=" + reserveSeller;
    std::vector<Row> rows = {
        {"b", "loanNo_7=L-7"},
        {"d", "name1=B1|name2=B2"},
        {"h", "name1=H1"},
        {"", "f_LenderName=First Bank|f_LenderAddress=First Bank\n5 L St|g_lot=Lot 9|"
             "placeOfSettlement=Café Hall|i_settlementDate=3/15/2008"},
        {"n800/n#", "percentage=#.5|forPOC=f#", 801, 802},
        {"n800/n#", fund(s), 808, 811},
        {"n900/n#", n901Dates + "|at=#.25|net=1|desc=|borrowerFund=b#|sellerFund=" + s, 901, 901},
        {"n900/n#", "desc=t#|payor=|net=1|borrowerFund=b#|months=#|sellerFund=" + s, 902, 903},
        {"n900/n#", "desc=t#|payor=p#|net=1|borrowerFund=b#|months=#|sellerFund=" + s, 904, 904},
        {"n900/n#", "desc=t#|payor=|net=1|borrowerFund=b#|sellerFund=" + s, 905, 905},
        {"n1000", "n1008Flag=6"},
        {"n1000/n#", "desc=|months=#|at=#.25" + reserve, 1001, 1005},
        {"n1000/n#", "desc=t#|months=#|at=#.25" + reserve, 1006, 1007},
        {"n1000/n#", "desc=" + reserve, 1008, 1008},
        {"n1100/n#", fund(s), 1101, 1106},
        {"n1100/n#", "desc=t#|payor=p#|net=0|borrowerFund=b#|sellerFund=" + s, 1107, 1108},
        {"n1100/n#", "desc=|borrowerFund=b#|sellerFund=" + std::string(s.empty() ? "" : "0.00"),
         1109, 1110},
        {"n1100/n#", fund(s), 1111, 1113},
        {"initialEscrowDisclosure", escrow + "|tollFreeNumber=800-555|firstPaymentDate=5/1/2008|"
                                             "maxMonthsAllowed=2|cushionAmount=cush|"
                                             "monthlyPayment=mpay|discretionaryAmount=disc"},
        {"ledger", "borrowerName1=ln1|borrowerName2=ln2|sellerName1=ln3|sellerName2=ln4|"
                   "location1=ln5|location2=ln6|location3=ln7|location4=ln8"}};
    const char* months[] = {"jan", "feb", "mar", "apr", "may", "jun",
                            "jul", "aug", "sep", "oct", "nov", "dec"};
    for (int i = 0; i < 12; ++i)
        rows.push_back({std::string("initialEscrowDisclosure/") + months[i], "desc=t#|amount=a#",
                        i + 1, i + 1});
    return rows;
}

const std::initializer_list<const char*> kAddressParts = {"name1", "name2", "street", "state",
                                                          "city",  "zip",   "sign1",  "sign2"};

std::string partyListed(char p) {
    std::string text = "address:";
    for (char n = '1'; n <= '8'; ++n)
        text += std::string(",") + p + n;
    return text + ";";
}

// The open lists of fullRecord under `sections`, when the version has them.
void expectOpenLists(CSectionNode& root, const std::vector<std::string>& sections, bool present) {
    for (std::size_t i = 0; i < sections.size(); ++i) {
        std::string expected;
        for (std::size_t j = 0; present && j <= i % 2; ++j) {
            const std::string s = std::to_string(i) + std::to_string(j);
            expected += sections[i] + "s:o" + s + ",,0,ob" + s + ",os" + s + ";";
        }
        EXPECT_EQ(
            listAt(root, sections[i] + "/more", {"payor", "net", "borrowerFund", "sellerFund"}),
            expected);
    }
}

class LegacyHudVersionTest : public ::testing::TestWithParam<std::uint32_t> {};

TEST_P(LegacyHudVersionTest, EveryCarriedFieldReachesItsNode) {
    const std::uint32_t v = GetParam();
    const bool v901 = v >= 901, v1001 = v >= 1001, v1101 = v >= 1101;
    CountingGuids guids;
    auto root = importHud(fullHud(v), 4021.5);
    const auto place = [v1101](char p) {
        return onlyIf(v1101, std::string("|street=") + p + "3|state=" + p + "4|city=" + p +
                                 "5|zip=" + p + "6");
    };
    const std::string textAmount = "desc=t#|amount=a#", dated = "from=1/2/1#|to=12/31/2#|amount=a#";
    std::vector<Row> rows =
        sharedRows("s#", v1101 ? "s#" : "", onlyIf(v901, "from=1/2/1#|to=12/31/2#", kNone),
                   "escrowInit=0.1|escrowTo=1.3");
    const std::vector<Row> hudRows = {
        {"", "n603=603.25|n303=303.75|e_SellerTin=S-TIN|h_AgentTin=A-TIN|fundingDate=" +
                 (v >= 1501 ? "4/1/2008" : kNone)},
        {"tax_data", "tax_days=" + std::string(v1001 ? "7" : "70") +
                         onlyIf(v901,
                                "|tax_start=1/1/2008|tax_end=12/31/2008|"
                                "sewer_start=7/1/2007|sewer_end=6/30/2008",
                                kNone) +
                         onlyIf(v1101, "|fiscal=2/28/2009", kNone)},
        {"b", "loanOption=3|fileNo_6=F-6|caseNo_8=C-8"},
        {"d", place('B')},
        {"e", "name1=S1|name2=S2" + place('S')},
        {"g", place('G')},
        {"h", place('H')},
        {"n100", "n101=250000.00|n102=v102|n120=120.5" + onlyIf(v1101, "|n102Option=4", "0")},
        {"n100/n#", textAmount, 104, 105},
        {"n100/n#", dated, 106, 108},
        {"n100/n#", textAmount, 109, 112},
        {"n200", "n201=v201|n202=v202|n203=v203|n220=220.25" +
                     std::string(v1101 ? "|n201Option=2|nAmtTo501=v201|nAmtToTrust="
                                       : "|n201Option=0|nAmtTo501=|nAmtToTrust=v201") +
                     onlyIf(v1101, "|n203Option=5", "0")},
        {"n200/n#", textAmount, 204, 205},
        {"n200/n#", textAmount + "|payor=|net=1", 206, 209},
        {"n200/n#", dated, 210, 212},
        {"n200/n#", textAmount, 213, 219},
        {"n400", "n420=420.125" + onlyIf(v901, "|n402=   4021.50")},
        {"n400/n#", textAmount, 403, 405},
        {"n400/n#", dated, 406, 408},
        {"n400/n#", textAmount, 409, 412},
        {"n500", "n520=520.5|n501=v501|n503=v503"},
        {"n500/n504", "desc=Payoff of first mortgage loan|payor=p504|amount=a504"},
        {"n500/n505", "desc=Payoff of second mortgage loan|payor=p505|amount=a505"},
        {"n500/n#", textAmount, 506, 509},
        {"n500/n#", dated, 510, 512},
        {"n500/n#", textAmount, 513, 519},
        {"n700", "s700Price=250000.00" + onlyIf(v1001, "|calculate=1", "0")},
        {"n700/price", "at=1.5" + onlyIf(v901, "|amount=vPrice")},
        {"n700/n#", textAmount + "|payor=|net=0", 701, 702},
        {"n700/n#", fund("s#"), 703, 704},
        {"n800", onlyIf(v901, "n801Option=2|n802Option=3", "0")},
        {"n800/n#", fund("s#"), 801, 807},
        {"n800/n812", "desc=|borrowerFund=|sellerFund=0.00"},
        {"n800/n#", fund("s#"), 813, 813},
        {"n1200/n#", "desc=|payor=|net=0|borrowerFund=b#|sellerFund=s#|deed=d#|mortgage=m#", 1201,
         1203},
        {"n1200/n1201", "release=r1201"},
        {"n1200/n#", fund("s#"), 1204, 1205},
        {"n1300/n#", fund("s#"), 1301, 1306},
        {"n1400", "borrowerFund=0.1|sellerFund=1401.25" + onlyIf(v901, "|settlementAgent=Agent X") +
                      onlyIf(v901, "|settlementDate=3/20/2008", kNone)},
        {"n1400/borrowers", onlyIf(v1101, "name1=kb1|name2=kb2")},
        {"n1400/sellers", onlyIf(v1101, "name1=ks1|name2=ks2")},
        {"form1099_1", onlyIf(v1001, "propertyStreet=12 Elm Road|propertyLot=PL|propertyBlock=PB|"
                                     "closing_date=03/15/2008|filer_phone=555-0100|"
                                     "gross_proceed=gross|sellersTaxCredit=credit|"
                                     "propertyAddress=paddr|filer_fedral_id=fedid")},
        {"form1099_1/filer_address",
         onlyIf(v1001, "name1=F1|name2=F2|street=F3|state=F4|city=F5|zip=F6")},
        {"form1099_1/transferors/transferor",
         onlyIf(v1001, "name1=T1|name2=T2|street=T3|state=T4|city=T5|zip=T6|account_no=acct|"
                       "grossAllocation=gross|transferor_id=tid") +
             onlyIf(v1001, "|exchangeOption=9|check1=11|check2=12|check3=13|check4=14", "0") +
             onlyIf(v >= 1601, "|check5=15|check6=16|check7=17", "0") +
             "|transferorGuid=" + CountingGuids::nth(5)}};
    rows.insert(rows.end(), hudRows.begin(), hudRows.end());
    expectRows(*root, rows);

    // Ledger slots count when their amount, trimmed, is above 0.
    EXPECT_EQ(listAt(*root, "ledger/transactions",
                     {"transId", "transDate", "payee", "memo", "refNum", "amount", "transType"}),
              "transaction:," + CountingGuids::nth(1) + ",03/01,D1,MD1,,12.50,1;transaction:," +
                  CountingGuids::nth(2) + ",03/05,D5,MD5,,7,1;transaction:," +
                  CountingGuids::nth(3) + ",04/01,C1,MC1,101,100.00,2;transaction:," +
                  CountingGuids::nth(4) + ",04/24,C24,MC24,124,3.5,2;");
    EXPECT_EQ(listAt(*root, "e_sellers", kAddressParts),
              v >= 1201 ? partyListed('E') + "address:,Z1,,,,,,,;" : "");
    EXPECT_EQ(listAt(*root, "d_borrowers", kAddressParts), v >= 1201 ? partyListed('D') : "");
    expectOpenLists(*root, {"n800", "n900", "n1100", "n1200", "n1300"}, v >= 1201);
}

INSTANTIATE_TEST_SUITE_P(Legacy, LegacyHudVersionTest,
                         ::testing::Values(401u, 901u, 1001u, 1101u, 1201u, 1501u, 1601u));

class LegacyRefinanceVersionTest : public ::testing::TestWithParam<std::uint32_t> {};

TEST_P(LegacyRefinanceVersionTest, EveryCarriedFieldReachesItsNode) {
    const std::uint32_t v = GetParam();
    auto root = importRefinance(fullRefinance(v));
    EXPECT_EQ(root->documentType(), "hud1a");
    // Single-precision amounts: the double nearest to the float nearest to the value.
    std::vector<Row> rows = sharedRows("", "", "from=1/2/1#|to=12/31/2#",
                                       "escrowInit=0.10000000149012|escrowTo=1.2999999523163");
    const std::vector<Row> refinanceRows = {
        {"", "fundingDate=" + (v >= 1502 ? "4/1/2008" : kNone)},
        {"d", "street=B3"},
        {"g", "street=G3"},
        {"h", "street=H3"},
        // Version 402 has no settlement block: its values are derived.
        {"n800", v == 402 ? "n801Option=1|n802Option=1" : "n801Option=2|n802Option=3"},
        {"n1400", "borrowerFund=0.10000000149012|" +
                      std::string(v == 402 ? "settlementAgent=H1|settlementDate=3/15/2008"
                                           : "settlementAgent=Agent X|settlementDate=3/20/2008")},
        {"n800/n#", "desc=t#|borrowerFund=b#|sellerFund=", 801, 807},
        {"n1200/n#", fund(""), 1201, 1205},
        {"n1300/n#", fund(""), 1301, 1307},
        {"n1500", "n1520=1520.5"},
        {"n1500/n#", "desc=t#|payor=|net=0|amount=a#", 1501, 1515},
        {"n1600", "amount=amt1600|cash=cash1600|n1604=1604.25"},
        {"form1099", "hName=x0|hAddress=x1|location1=x2|location2=x3|eName=x4|gLocation=x5|"
                     "hTin=x6|eTin=x7|account=x8|idate=x9|idate2=x10|amount1=x11|amount2=x12|"
                     "option1=7|option2=8|option3=9"}};
    rows.insert(rows.end(), refinanceRows.begin(), refinanceRows.end());
    expectRows(*root, rows);

    EXPECT_EQ(listAt(*root, "ledger/deposits", {"date", "from", "memo", "amount"}),
              "deposit:,03/01,D1,MD1,12.50;deposit:,03/05,D5,MD5,7;");
    EXPECT_EQ(listAt(*root, "ledger/withdrawals", {"date", "payTo", "memo", "check", "amount"}),
              "withdrawal:,04/01,C1,MC1,101,100.00;withdrawal:,04/24,C24,MC24,124,3.5;");
    EXPECT_EQ(childrenAt(*root, "ledger/transactions").size(), 0u);
    EXPECT_EQ(listAt(*root, "checkPrinting",
                     {"date", "payTo", "address", "checkNo", "amount", "print", "memo"}),
              "check:,1/1,Payee,Addr,501,75.00,Y,Memo;check:,1/3,Last,Addr3,524,1,N,Memo3;");
    EXPECT_EQ(listAt(*root, "d_borrowers", kAddressParts), v >= 1202 ? partyListed('D') : "");
    expectOpenLists(*root, {"n800", "n900", "n1100", "n1200", "n1300", "n1500"}, v >= 1202);
}

INSTANTIATE_TEST_SUITE_P(Legacy, LegacyRefinanceVersionTest,
                         ::testing::Values(402u, 902u, 1202u, 1502u));

TEST(LegacyImportTest, PresenceWordsDecideTheCompanionNodes) {
    for (std::uint32_t presence : {0u, 2u}) {
        HudRecord hud = fullHud(1601);
        hud.ledger.presence = hud.form1099.presence = presence;
        RefinanceRecord refinance = fullRefinance(1502);
        refinance.ledger.presence = refinance.form1099Presence = presence;
        refinance.checkTablePresence = presence;
        auto hudRoot = importHud(hud);
        auto refinanceRoot = importRefinance(refinance);
        for (const char* name : {"form1099_1/transferors/transferor", "ledger/transactions"})
            EXPECT_EQ(resolveUri(hudRoot.get(), name) != nullptr, presence != 0) << name;
        for (const char* name : {"form1099", "ledger", "checkPrinting"})
            EXPECT_EQ(resolveUri(refinanceRoot.get(), name) != nullptr, presence != 0) << name;
    }
}

TEST(LegacyImportTest, Line201WordLenderNameAndDateRange) {
    // Line 201's word carries the option and where the amount goes.
    const std::pair<std::uint32_t, std::string> options[] = {{12, "2"}, {9, "9"}, {10, "0"},
                                                             {0, "0"},  {3, "3"}, {11, "1"}};
    for (const auto& [word, option] : options) {
        HudRecord source = fullHud(1101);
        source.n201Option = word;
        auto root = importHud(source);
        const bool to501 = option != "0";
        EXPECT_EQ(valueAt(*root, "n200", "n201Option"), option) << word;
        EXPECT_EQ(valueAt(*root, "n200", "nAmtTo501"), to501 ? "v201" : "") << word;
        EXPECT_EQ(valueAt(*root, "n200", "nAmtToTrust"), to501 ? "" : "v201") << word;
    }
    // The lender's name is the text before a line feed after its first character.
    const std::pair<std::string, std::string> lenders[] = {
        {"Bank\nMain St\nTown", "Bank"}, {"\nMain St", ""}, {"No line feed", ""}, {"B\n", "B"}};
    for (const auto& [text, name] : lenders) {
        HudRecord source = fullHud(401);
        source.lenderText = text;
        auto root = importHud(source);
        EXPECT_EQ(valueAt(*root, "", "f_LenderName"), name) << text;
        EXPECT_EQ(valueAt(*root, "", "f_LenderAddress"), text);
    }
    // Dates keep years 1001 to 9999 and their precision is ignored.
    const std::pair<CSubDate, std::string> dates[] = {
        {date(1000, 12, 31), kNone},         {date(1001, 1, 1), "1/1/1001"},
        {date(9999, 12, 31), "12/31/9999"},  {date(10000, 1, 1), kNone},
        {date(2008, 2, 29, 3), "2/29/2008"}, {date(0, 0, 0), kNone}};
    for (const auto& [when, text] : dates) {
        HudRecord source = fullHud(1501);
        source.fundingDate = when;
        EXPECT_EQ(valueAt(*importHud(source), "", "fundingDate"), text) << when.year;
    }
}

std::string fundAt(CSectionNode& root, const std::string& path) {
    CSectionNode* line = resolveUri(&root, path);
    return line->getDescription() + "|" + line->getPropertyValue("borrowerFund") + "|" +
           line->getPropertyValue("sellerFund");
}

TEST(LegacyImportTest, Line812MovesToABlankLineOrIntoTheAddendum) {
    const std::string n813 = "t813|20.00|5.00", blank = "||", total = "|    120.00|      5.00";
    const struct {
        std::string n812, n813;
        std::size_t listed;
        int blankLine;
        std::string added, n812After, n813After;
    } cases[] = {// 1: a blank line 812 stays.
                 {"|0.00|0.00", n813, 0, 0, "", "|0.00|0.00", n813},
                 {"||0.00", n813, 0, 0, "", "||0.00", n813},
                 {blank, n813, 0, 0, "", blank, n813},
                 // 2: onto the first blank line of 806..811.
                 {"Extra|5.00|1.00", n813, 0, 809, "", blank, n813},
                 // 3: a full addendum list.
                 {"Extra|5.00|1.00", n813, 40, 0, "", "Extra|5.00|1.00", n813},
                 // 4: appended to an addendum list; 813 totals.
                 {"X|100.00|0.00", n813, 39, 0, "n800s:X,100.00,0.00;", blank, "t813" + total},
                 // 5: a new addendum list of 812 and 813; a text makes a line not blank.
                 {"X|100.00|0.00", n813, 0, 0, "n800s:X,100.00,0.00;n800s:t813,20.00,5.00;", blank,
                  "Total from addendum lines" + total},
                 {"Extra|0.00|0.00", blank, 0, 0, "n800s:Extra,0.00,0.00;n800s:,,;", blank,
                  "Total from addendum lines|      0.00|      0.00"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.n812 + " with " + std::to_string(c.listed) + " listed");
        HudRecord source = fullHud(1201);
        source.lines["n812"] = fundLine(c.n812);
        source.lines["n813"] = fundLine(c.n813);
        if (c.blankLine)
            source.lines["n" + std::to_string(c.blankLine)] = fundLine("|0.00|");
        source.openLists[0].assign(c.listed, CAddTBS{"old", "", 0, "1.00", "2.00"});
        auto root = importHud(source);
        std::string expected;
        for (std::size_t i = 0; i < c.listed; ++i)
            expected += "n800s:old,1.00,2.00;";
        EXPECT_EQ(listAt(*root, "n800/more", {"borrowerFund", "sellerFund"}), expected + c.added);
        EXPECT_EQ(fundAt(*root, "n800/n812"), c.n812After);
        EXPECT_EQ(fundAt(*root, "n800/n813"), c.n813After);
        if (c.blankLine) {
            EXPECT_EQ(fundAt(*root, "n800/n" + std::to_string(c.blankLine)), c.n812);
        }
    }
}

// Every field is required: a file cut at any byte is damaged, as one that
// ends early, and only the whole file reads.
template <typename Record>
void expectOnlyTheWholeFileReads(const std::string& bytes,
                                 ReadResult (*read)(ArchiveReader&, Record&)) {
    for (std::size_t size = 0; size <= bytes.size(); ++size) {
        ArchiveReader in = archiveOf(bytes.substr(0, size));
        Record record;
        ASSERT_EQ(read(in, record), size < bytes.size() ? ReadResult::Damaged : ReadResult::Read)
            << "cut at " << size << " of " << bytes.size();
        ASSERT_EQ(in.endedEarly(), size < bytes.size()) << "cut at " << size;
    }
}

TEST(LegacyImportTest, AFileCutAtAnyByteIsDamagedAndNeverRead) {
    HudRecord hud = fullHud(1601);
    hud.n102 = std::string(300, 'z'); // a word length prefix
    expectOnlyTheWholeFileReads(hudFile(hud, 1.0), readHudRecord);
    expectOnlyTheWholeFileReads(refinanceFile(fullRefinance(1502)), readRefinanceRecord);
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

TEST(LegacyImportTest, RefusedFilesShowOneMessage) {
    const std::string damaged = "The file is damaged and cannot be converted.";
    LegacyWriter empty, wrongList;
    for (int i = 0; i < 7; ++i)
        empty.count(0);
    // The archive tests cover each kind of bad list; one shows that the
    // statement reader turns a failed list into the damaged-file refusal.
    wrongList.addTbsList({{"x", "", 0, "1", "2"}}); // a seller list of CAddTBS
    HudRecord otherKind = fullHud(1601);
    otherKind.version = 1202;
    const std::string hudAs1202 = hudFile(otherKind);
    const std::string refinance = refinanceFile(fullRefinance(1502));
    const bool kHud = true, kRefinance = false;
    const std::tuple<bool, std::string, std::string> cases[] = {
        {kHud, "", damaged}, // the file is not there
        {kHud, std::string(1, '\x91'), damaged},
        {kHud, hud1201With(wrongList.bytes()), damaged},
        {kHud, hudAs1202, "This is not Hud document!"},
        {kRefinance, refinance.substr(0, refinance.size() - 1), damaged},
        {kRefinance, std::string("\x91\x01", 2), "This is Hud document."}};
    TempFolder folder;
    const std::string path = folder.file("deal.hud");
    for (const auto& [hud, bytes, message] : cases) {
        SCOPED_TRACE(message + " " + std::to_string(bytes.size()));
        writeBytes(path, bytes);
        const std::string file = bytes.empty() ? folder.file("missing.hud") : path;
        RecordingDialog dialog;
        HudRecord hudRecord;
        RefinanceRecord refinanceRecord;
        EXPECT_EQ(hud ? readHudFile(file, hudRecord) : readRefinanceFile(file, refinanceRecord),
                  -1);
        ASSERT_EQ(dialog.shown().size(), 1u);
        EXPECT_EQ(dialog.shown()[0].caption, message == damaged ? "Error" : "Velmora");
        EXPECT_EQ(dialog.shown()[0].text, message);
        EXPECT_TRUE(message == damaged || hudRecord.lines.empty()) << "read past the version";
    }
    RecordingDialog dialog;
    writeBytes(path, hud1201With(empty.bytes()));
    HudRecord record;
    EXPECT_EQ(readHudFile(path, record), 0);
    EXPECT_TRUE(dialog.shown().empty());
}

TEST(LegacyImportTest, EachReaderNamesTheKindOfAFileItCannotRead) {
    const std::string notHud = "This is not Hud document!", notRef = "This is not Ref document";
    const std::string hud = "This is Hud document.", refinance = "This is Refinance document.";
    const std::string red = "This is Red document.",
                      mortgage = "This is Mortgage closing document.";
    const std::string title = "This is Title closing document.", ok = "accepted";
    std::vector<std::tuple<std::uint32_t, std::string, std::string>> cases = {
        {401, ok, hud},      {901, ok, hud},        {402, refinance, ok}, {902, refinance, ok},
        {1202, notHud, ok},  {1502, notHud, ok},    {403, red, red},      {404, mortgage, mortgage},
        {405, title, title}, {903, notHud, notRef}, {0, notHud, notRef},  {65535, notHud, notRef}};
    for (const std::uint32_t statement : {1001u, 1101u, 1201u, 1501u, 1601u})
        cases.emplace_back(statement, ok, notRef);
    for (const auto& [word, byStatement, byRefinance] : cases) {
        EXPECT_EQ(kindCheckMessage(word, LegacyReaderKind::Statement).value_or(ok), byStatement)
            << word;
        EXPECT_EQ(kindCheckMessage(word, LegacyReaderKind::Refinance).value_or(ok), byRefinance)
            << word;
    }
}

} // namespace
} // namespace velmora::testing
