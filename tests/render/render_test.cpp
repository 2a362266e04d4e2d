// velmora render end to end: the page it writes for a filled purchase, a
// refinance, new and edited documents, legacy deals read without converting
// them, and the files it refuses.
#include "render/statement_fixture.h"
#include "support/legacy_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sys/stat.h>

namespace velmora::testing {
namespace {

class RenderTest : public ::testing::Test {
protected:
    // The page written for `file`; the document itself is left as it was.
    std::string render(const std::string& file) {
        const std::string before = readBytes(file);
        const CliRun run = runCli({"render", file, "-o", folder.file("page.html")});
        EXPECT_EQ(run.exitCode, 0) << run;
        EXPECT_EQ(run.out, folder.file("page.html") + "\n");
        EXPECT_EQ(readBytes(file), before);
        return readBytes(folder.file("page.html"));
    }

    TempFolder folder;
};

// Nothing on the page reaches outside it.
void expectSelfContained(const std::string& html) {
    EXPECT_EQ(html.rfind("<!DOCTYPE html>", 0), 0u);
    for (const char* outside : {"<script", "src=", "href=", "url(", "http:", "https:", "@import"})
        EXPECT_EQ(html.find(outside), std::string::npos) << outside;
}

TEST_F(RenderTest, FilledPurchaseShowsEveryValueOnceInFormOrderEscaped) {
    std::vector<Setting> settings = purchaseSettings();
    settings.insert(settings.end(), {{"ledger/deposits/deposit", "memo", "Earnest <money>"},
                                     {"checkPrinting/check", "payTo", "Check & Payee"}});
    writeStatement(folder.file("deal.xml"), "hud", settings);
    const std::string html = render(folder.file("deal.xml"));
    expectSelfContained(html);
    // The title and the footer of every sheet name the file and the first
    // borrower; in the style sheet every character that is not a letter, a
    // digit or a blank is escaped.
    const std::size_t body = html.find("<body");
    const std::size_t signing = html.find("<div class=\"certification\">");
    ASSERT_LT(body, signing);
    expectOnceInOrder(
        html.substr(0, body),
        {"<title>Settlement statement, File no. F-2008-17, Dana &lt;&amp;&quot;&gt; "
         "Whitlock</title>|@bottom-right { content: \"File no\\2E  F\\2D 2008\\2D 17\" "
         "\"\\A\" \"Dana \\3C \\26 \\22 \\3E  Whitlock\"; }"});
    // Page 1 has the borrower's side and the seller's side row by row; the
    // lines that repeat another (103, 301, 302, 401, 502, 601, 602) are tinted.
    const std::string borrower =
        "F-2008-17|Dana &lt;&amp;&quot;&gt; Whitlock|Riley Whitlock|Morgan Estates|**-***6777|"
        "Harbor Bank|14 Quarry Road|LOT-9|Velmora Title|12 Harbor Street|9/16/2008|"
        "amt\">250,000.00<|amt copied\">5,000.50<|Extra fixtures|1,104.00|7/1/2008|9/15/2008|"
        "1,106.00|amt total\">252,210.50<|25,000.00|to Payor 204|1,204.00|amt total\">26,204.00<|"
        "amt copied\">252,210.50<|amt copied\">26,204.00<|&#9746; From|226,006.50|250,001.00|"
        "15,000.00|Broker One|$ 1,701.00|1.5 %|1,801.00|2,801.00|Courier fee|1,899.00|9/20/2008|"
        "10/1/2008|@ $ 12.25/day|1,901.00|37 months|@ $ 88.50 per month|Deed $ 1,201.10|"
        "Mortgage $ 1,201.20|Releases $ 1,201.30|Second survey|2,399.00|amt\">5,000.50<|"
        "amt\">6,000.25<";
    // The certification has a line for each party, the addendum follows.
    const std::string certification =
        "Dana &lt;&amp;&quot;&gt; Whitlock|Riley Whitlock|Signing Borrower|Morgan Estates|"
        "Agent Smith|Earnest &lt;money&gt;|Check &amp; Payee";
    const std::string seller =
        "9/16/2008|amt copied\">250,000.00<|>1,402.00<|Seller credit|1,409.00|"
        "amt total\">251,402.00<|amt copied\">6,000.25<|to Coastal Savings|1,504.00|"
        "amt total\">1,504.50<|amt copied\">251,402.00<|amt copied\">1,504.50<|&#9746; To|"
        "249,897.50";
    expectOnceInOrder(html.substr(body, signing - body), {borrower, seller});
    expectOnceInOrder(html.substr(signing), {certification});
    EXPECT_EQ(html.find("<&\""), std::string::npos);
    EXPECT_EQ(html.find("<money>"), std::string::npos);
}

TEST_F(RenderTest, RefinanceHasTheBorrowerOnlyFormAndTheEscrowMonths) {
    writeStatement(folder.file("refinance.xml"), "hud1a",
                   {{"", "f_LenderName", "Refi Bank"},
                    {"n800/n801", "borrowerFund", "3801.00"},
                    {"n1100/more/courier", "description", "Refi courier"},
                    {"n1100/more/courier", "borrowerFund", "3899.00"},
                    {"n1400", "borrowerFund", "4400.5"},
                    {"n1500/n1501", "description", "Old Lender"},
                    {"n1500/n1501", "amount", "3501.00"},
                    {"n1500/more/payoff", "borrowerFund", "3599.00"},
                    {"n1500", "n1520", "3520.5"},
                    {"n1600", "amount", "3600.00"},
                    {"n1600", "cash", "3601.00"},
                    {"n1600", "n1604", "3604.5"},
                    {"initialEscrowDisclosure/jan", "amount", "3331.00"},
                    {"initialEscrowDisclosure/dec", "amount", "3332.00"}});
    const std::string html = render(folder.file("refinance.xml"));
    // 1602 and 1603 repeat 1400 and 1520; the extra disbursement takes the
    // blank line 1502.
    expectOnceInOrder(html, {"Refi Bank|3,801.00|Refi courier|3,899.00|amt\">4,400.50<|Old Lender|"
                             "3,501.00|1502.</td><td class=\"desc\"><span class=\"caption\">"
                             "</span></td><td class=\"amt\">3,599.00<|"
                             "amt\">3,520.50<|3,600.00|3,601.00|amt copied\">4,400.50<|"
                             "amt copied\">3,520.50<|3,604.50|3,331.00|3,332.00"});
    for (const char* absent : {"id=\"summary\"", "seller&#39;s funds", "name and address of seller",
                               "D. Name and address", "F. Name and address", "I. Settlement date"})
        EXPECT_EQ(html.find(absent), std::string::npos) << absent;
    // The borrower-only form numbers its boxes instead of lettering them.
    expectOnceInOrder(html, {"1. Name and address of borrower|2. Name and address of lender|"
                             "3. Property location|4. Settlement agent|5. Place of settlement|"
                             "6. Loan|7. Settlement date"});
}

// Documents made by `new` (of each kind it makes), and one without any
// section, show nothing that nobody stored; an edit made with `set` shows.
TEST_F(RenderTest, NewDocumentsRenderEmptyAndEditsShow) {
    const std::regex filledCell(R"((td class="amt[^"]*"|span class="value")>[^<])");
    writeStatement(folder.file("mortgage.xml"), "mortgage", {});
    for (const char* type : {"hud1a", "mortgage", "hud"}) {
        SCOPED_TRACE(type);
        const std::string file = folder.file(std::string(type) + ".xml");
        if (std::string(type) != "mortgage") {
            ASSERT_EQ(runCli({"--type", type, "new", file}).exitCode, 0);
        }
        const std::string html = render(file);
        expectSelfContained(html);
        EXPECT_FALSE(std::regex_search(html, filledCell));
        EXPECT_EQ(html.find("id=\"escrow-disclosure\""), std::string::npos);
    }
    ASSERT_EQ(runCli({"set", folder.file("hud.xml"), "n1400", "borrowerFund", "77.25"}).exitCode,
              0);
    const std::string edited = render(folder.file("hud.xml"));
    EXPECT_EQ(countOf(edited, "<td class=\"amt\">77.25</td>"), 1u);
    EXPECT_EQ(countOf(edited, "<td class=\"amt copied\">77.25</td>"), 1u);
}

// Refused like every reading command: exit 1, one line that names the file
// and says why, and the folder as it was.
TEST_F(RenderTest, RefusalsLeaveEveryFileAsItWas) {
    const std::string damaged = folder.file("damaged.hud");
    HudRecord record;
    record.version = 1601;
    writeBytes(damaged, hudFile(record).substr(0, 3));
    const std::string empty = folder.file("empty.hud");
    writeBytes(empty, "");
    const std::string deal = folder.file("deal.xml");
    writeStatement(deal, "hud", {});
    const auto expectRefused = [&](const std::vector<std::string>& args, const std::string& line) {
        SCOPED_TRACE(line);
        const std::vector<std::string> entries = folder.entries();
        const std::string before = readBytes(damaged) + readBytes(deal);
        const CliRun run = runCli(args);
        EXPECT_EQ(run.exitCode, 1) << run;
        EXPECT_NE(run.err.find(line), std::string::npos) << run;
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run;
        EXPECT_EQ(folder.entries(), entries);
        EXPECT_EQ(readBytes(damaged) + readBytes(deal), before);
    };
    expectRefused({"render", damaged},
                  "velmora: " + damaged +
                      ": damaged: the file ends inside a field that starts at byte 2\n");
    expectRefused({"render", empty}, "velmora: not a deal: " + empty + ": empty\n");
    expectRefused({"render", folder.file("missing.xml"), "-o", folder.file("x.html")},
                  "no such file");
    expectRefused({"render", deal, "-o", deal}, "the document itself");
    const std::string readOnly = folder.file("read-only.html");
    writeBytes(readOnly, "kept");
    ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
    expectRefused({"render", deal, "-o", readOnly}, "read-only");
    EXPECT_EQ(readBytes(readOnly), "kept");
    std::filesystem::create_directory(folder.file("folder.html"));
    expectRefused({"render", deal, "-o", folder.file("folder.html")}, "not a regular file");
    ::setenv("VELMORA_CHROMIUM", "/nowhere/chromium", 1);
    expectRefused({"render", "--pdf", deal}, "no program '/nowhere/chromium' was found");
    ::unsetenv("VELMORA_CHROMIUM");

    // In a batch the damaged deal fails alone, with the same words.
    const CliRun batch = runCli({"render", folder.path(), "--out-dir", folder.file("out")});
    EXPECT_EQ(batch.exitCode, 1) << batch;
    EXPECT_NE(batch.err.find("failed: " + damaged +
                             ": damaged: the file ends inside a field that starts at byte 2\n"),
              std::string::npos)
        << batch;
}

// A legacy deal of either kind is shown from its own file, converted in
// memory: the file stays as it was, nothing is written beside it, and the
// page says where it came from, the file's name escaped.
TEST_F(RenderTest, LegacyDealsRenderFromTheirOwnFilesWithAMark) {
    TempFolder deals;
    HudRecord statement;
    statement.version = 1601;
    statement.fileNo = "LEGACY-42";
    RefinanceRecord refinance;
    refinance.version = 1502;
    refinance.loanNo = "REFI-LOAN-7";
    writeBytes(deals.file("a<&>'.hud"), hudFile(statement));
    writeBytes(deals.file("deal\x01.rfn"), refinanceFile(refinance));
    const std::vector<std::string> before = deals.entries();
    const struct {
        std::string file, value, body, mark;
    } cases[] = {
        {deals.file("a<&>'.hud"), "LEGACY-42", "<body class=\"hud\">", "a&lt;&amp;&gt;&#39;.hud"},
        {deals.file("deal\x01.rfn"), "REFI-LOAN-7", "<body class=\"hud1a\">", "deal\\x01.rfn"}};
    for (const auto& legacy : cases) {
        SCOPED_TRACE(legacy.file);
        const std::string html = render(legacy.file);
        expectSelfContained(html);
        EXPECT_EQ(countOf(bodyOf(html), legacy.value), 1u);
        EXPECT_EQ(countOf(html, legacy.body), 1u);
        EXPECT_EQ(countOf(html, "\"><p class=\"source\">From the legacy file " + legacy.mark +
                                    "</p><header class=\"form-head\">"),
                  1u);
    }
    EXPECT_EQ(deals.entries(), before);

    // A document read from its own XML file carries no such mark.
    writeStatement(folder.file("deal.xml"), "hud", {});
    EXPECT_EQ(render(folder.file("deal.xml")).find("class=\"source\""), std::string::npos);
}

// Extra lines take the blank lines the form leaves in their block (904, 905)
// before the rest follow it; the cash lines check their boxes by sign and
// show the amount without it; further parties go to the addendum.
TEST_F(RenderTest, ExtraLinesFillBlankLinesCashBoxesFollowTheSignPartiesMoveToTheAddendum) {
    CHudDocument root("hud");
    root.initDocument();
    setNodePropertyValue(&root, "", "n303", "-1500.25");
    setNodePropertyValue(&root, "", "n603", "2.5");
    for (const char* name : {"a", "b", "c"})
        addEntry(root, "n900/more", "extra", {{"description", std::string("Extra ") + name}});
    for (const char* name : {"Ann", "Ben", "Cy"})
        addEntry(root, "d_borrowers", "address", {{"name1", name}});
    ASSERT_EQ(saveXmlFile(root, folder.file("deal.xml")), 0);
    const std::string html = render(folder.file("deal.xml"));
    expectOnceInOrder(
        html,
        {"Cash <span class=\"option\">&#9744; From</span> <span class=\"option marked\">&#9746; "
         "To</span> Borrower</td><td class=\"amt total\">1,500.25</td>|"
         "Cash <span class=\"option marked\">&#9746; To</span> <span class=\"option\">&#9744; "
         "From</span> Seller</td><td class=\"amt total\">2.50</td>|"
         "<td class=\"no\">904.</td><td class=\"desc\"><span class=\"text\">Extra a<|"
         "<td class=\"no\">905.</td><td class=\"desc\"><span class=\"text\">Extra b<|"
         "<tr class=\"more\"><td class=\"no\"></td><td class=\"desc\"><span "
         "class=\"text\">Extra c<",
         "<div class=\"party-list\"><div class=\"address\"><div>Ann</div></div><div "
         "class=\"address\"><div>Ben</div></div></div><div class=\"more-parties\">and 1 more "
         "on the addendum</div>|<section class=\"appendix\" id=\"parties\">|"
         "<h3>Further borrowers</h3><table class=\"party-table\"><colgroup><col><col><col><col>"
         "</colgroup><tbody><tr><td><div class=\"address\"><div>Cy</div></div></td><td></td>"});
    EXPECT_EQ(html.find("Further sellers"), std::string::npos);
}

// A converted file keeps the lender's name in the address text too; box F
// names the lender once. Control characters show as their pictures.
TEST_F(RenderTest, ConvertedLenderIsNamedOnceAndControlCharactersShowAsPictures) {
    const std::string legacy = folder.file("deal.hud");
    HudRecord record;
    record.version = 1601;
    record.lenderText = "First Coastal Bank\n100 Water Street, Bath ME";
    record.fileNo = std::string("F\x01G\x1BH\x7FI\tJ", 10);
    writeBytes(legacy, hudFile(record));
    ASSERT_EQ(runCli({"--yes", "convert", legacy}).exitCode, 0);
    const std::string html = render(legacy);
    EXPECT_EQ(countOf(html, "First Coastal Bank"), 1u);
    EXPECT_EQ(countOf(html, "<div class=\"address\">First Coastal Bank</div><div "
                            "class=\"address\">100 Water Street, Bath ME</div>"),
              1u);
    EXPECT_EQ(countOf(bodyOf(html), "F\u2401G\u241BH\u2421I\tJ"), 1u);
    EXPECT_FALSE(std::any_of(html.begin(), html.end(), [](char c) {
        return (c >= 0 && c < 0x20 && c != '\n' && c != '\t') || c == 0x7F;
    }));
}

// The form's words stand on its numbered lines with a blank to write in
// where nothing is stored; the zeros a converted file stores where nobody
// entered anything print nothing, nor does a rate of "0.".
TEST_F(RenderTest, FormWordsKeepTheirBlanksAndConvertedZerosPrintNothing) {
    writeStatement(folder.file("new.xml"), "hud", {});
    const std::string blank = "<span class=\"blank\"></span>";
    expectOnceInOrder(
        render(folder.file("new.xml")),
        {"<td class=\"no\">901.</td><td class=\"desc\"><span class=\"caption\">Interest</span> "
         "<span class=\"detail\">from " +
         blank + "</span> <span class=\"detail\">to " + blank +
         "</span> <span class=\"detail money\">@ $ " + blank +
         "/day</span></td>|"
         "<span class=\"caption\">Hazard insurance premium</span> <span class=\"detail\">for " +
         blank + " years</span> <span class=\"detail\">to " + blank + "</span>|" +
         "<span class=\"caption\">Recording fees</span> <span class=\"detail money\">Deed $ " +
         blank + "</span> <span class=\"detail money\">Mortgage $ " + blank +
         "</span> <span class=\"detail money\">Releases $ " + blank + "</span>"});

    HudRecord record;
    record.version = 1601;
    record.lines["n801"].text = "Loan origination fee";
    record.lines["n801"].borrowerFund = "1512.00";
    record.lines["n801"].sellerFund = "0.00";
    record.lines["n1001"].at = 0.0;
    record.lines["n1101"].sellerFund = "0.00";
    const std::string legacy = folder.file("deal.hud");
    writeBytes(legacy, hudFile(record));
    const std::string html = render(legacy);
    EXPECT_EQ(countOf(html, "1,512.00"), 1u);
    for (const char* zero : {"0.00", ">0<", "0. %", "@ $ 0"})
        EXPECT_EQ(html.find(zero), std::string::npos) << zero;
}

TEST_F(RenderTest, OutputThroughALinkReachesTheFileItPointsTo) {
    const std::string deal = folder.file("deal.xml");
    writeStatement(deal, "hud", {});
    TempFolder elsewhere;
    const std::string page = elsewhere.file("page.html");
    writeBytes(page, "old page");
    const std::string link = folder.file("page.html");
    std::filesystem::create_symlink(page, link);
    const CliRun run = runCli({"render", deal, "-o", link});
    ASSERT_EQ(run.exitCode, 0) << run;
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(readBytes(page).rfind("<!DOCTYPE html>", 0), 0u);
    EXPECT_EQ(elsewhere.entries(), std::vector<std::string>{"page.html"});
}

} // namespace
} // namespace velmora::testing
