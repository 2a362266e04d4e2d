// The statement as a closing agent reads it on paper: printed by `velmora
// render --pdf` on Letter and on A4 and the text of each sheet read back,
// and measured in the browser where the sheets cannot tell (signature
// lines, amounts kept on one line, the width of the parties addendum).
#include "render/browser_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <regex>

namespace velmora::testing {
namespace {

bool printingTools() {
    return chromiumInstalled() && installed("pdftotext") && installed("pdfinfo");
}

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The purchase of the fixture with `borrowers` further borrowers and
// `sellers` further sellers, and `settings` besides.
void writeCrowdedDeal(const std::string& file, int borrowers, int sellers,
                      const std::vector<Setting>& settings = {}) {
    CHudDocument root("hud");
    root.initDocument();
    applySettings(root, purchaseSettings());
    applySettings(root, settings);
    for (int i = 1; i <= borrowers; ++i)
        addEntry(root, "d_borrowers", "address", {{"name1", "Borrower No" + std::to_string(i)}});
    for (int i = 1; i <= sellers; ++i)
        addEntry(root, "e_sellers", "address", {{"name1", "Seller No" + std::to_string(i)}});
    ASSERT_EQ(saveXmlFile(root, file), 0);
}

// Five borrowers and five sellers; the name line 1400 keeps is one of them.
void writeFivePartiesEach(const std::string& file) {
    writeCrowdedDeal(file, 3, 4, {{"n1400/borrowers", "name1", "Riley Whitlock"}});
}

std::string pageOf(const std::string& deal) {
    const CliRun run = runCli({"render", deal, "-o", deal + ".html"});
    EXPECT_EQ(run.exitCode, 0) << run;
    return readBytes(deal + ".html");
}

class PrintedForm : public ::testing::Test {
protected:
    void SetUp() override {
        if (!printingTools())
            GTEST_SKIP() << "Chromium or poppler-utils (pdftotext, pdfinfo) is not installed "
                            "(scripts/install-deps installs them); the printed form was not read";
    }

    TempFolder folder;
};

// Page 1 holds A to K and ends with block 600, page 2 begins with L and
// reads line 700 as the form; every sheet's footer names it, the file and
// the borrower, and so does the PDF's title.
TEST_F(PrintedForm, PagesFooterAndLine700ReadAsTheFormOnLetterAndA4) {
    const std::string deal = folder.file("deal.xml");
    writeFivePartiesEach(deal);
    for (const char* paper : {"letter", "a4"}) {
        SCOPED_TRACE(paper);
        const std::string pdf = printedPdf(deal, paper);
        const std::vector<std::string> sheets = sheetTexts(pdf);
        ASSERT_GE(sheets.size(), 3u); // the statement and the parties addendum
        EXPECT_NE(sheets[0].find("603."), std::string::npos);
        EXPECT_EQ(sheets[0].find("700."), std::string::npos);
        // Nothing but L's own column heads comes before its heading.
        const std::size_t l = lowered(sheets[1]).find("l. settlement charges");
        ASSERT_NE(l, std::string::npos);
        EXPECT_FALSE(std::regex_search(sheets[1].substr(0, l), std::regex(R"(\d{3,4}\.)")))
            << sheets[1].substr(0, l);
        EXPECT_EQ(sheets[1].find("603."), std::string::npos);
        EXPECT_NE(sheets[1].find("Total Sales/Broker's Commission based on price $ 250,001.00 "
                                 "@ 6 % = 15,000.00"),
                  std::string::npos);
        const std::string total = std::to_string(sheets.size());
        for (std::size_t i = 0; i < sheets.size(); ++i) {
            for (const std::string& text :
                 {"Page " + std::to_string(i + 1) + " of " + total,
                  std::string("File no. F-2008-17"), std::string("Dana <&\"> Whitlock"),
                  std::string("Form HUD-1, Settlement Statement")})
                EXPECT_NE(sheets[i].find(text), std::string::npos)
                    << "sheet " << i + 1 << ": " << text;
        }
        const CliRun info = runProgram({"pdfinfo", pdf}, kBrowserSeconds);
        EXPECT_NE(info.out.find("Settlement statement, File no. F-2008-17, Dana <&\"> Whitlock"),
                  std::string::npos)
            << info;
    }
}

// Every borrower and every seller has a signature line and a date line, and
// the settlement agent one of each, on the sheet with the warning.
TEST_F(PrintedForm, EveryPartyHasASignatureAndADateLine) {
    const std::string deal = folder.file("deal.xml");
    writeFivePartiesEach(deal);
    EXPECT_EQ(measured(pageOf(deal), R"(
const ruled = (side, cls) => [...side.querySelectorAll(cls)].filter(line =>
    line.getBoundingClientRect().width > 40 && getComputedStyle(line).borderTopStyle === 'solid');
document.body.dataset.measured = [...document.querySelectorAll('.certification .side')]
    .map(side => side.querySelector('.title').textContent + ':' +
                 ruled(side, '.sign-line').length + '/' + ruled(side, '.date-line').length)
    .join(' ');
)"),
              "Borrowers:5/5 Sellers:5/5 Settlement agent:1/1");
    const std::vector<std::string> sheets = sheetTexts(printedPdf(deal, "letter"));
    const auto signing = std::find_if(sheets.begin(), sheets.end(), [](const std::string& text) {
        return text.find("Warning:") != std::string::npos;
    });
    ASSERT_NE(signing, sheets.end());
    for (const char* name : {"Dana <&\"> Whitlock", "Riley Whitlock", "Borrower No3",
                             "Morgan Estates", "Seller No1", "Seller No4", "Agent Smith"})
        EXPECT_NE(signing->find(name), std::string::npos) << name;
}

// Amounts up to the largest the money form prints stay on one line inside
// their cells, in the summary, the charges and the bold totals (eleven cells
// hold amounts of 999,999,999.99 or more, copies included); 37 further
// borrowers make an addendum of four columns.
TEST_F(PrintedForm, AmountsKeepToOneLineAndTheAddendumToFourColumns) {
    const std::string deal = folder.file("deal.xml");
    writeCrowdedDeal(deal, 37, 0,
                     {{"n100", "n101", "999999999.99"},
                      {"n100", "n120", "1234567890.12"},
                      {"n200", "n220", "-99999999999.99"},
                      {"n500/n504", "amount", "-999999999.99"},
                      {"n1100/n1101", "borrowerFund", "123456789012345.67"},
                      {"n1100/n1101", "sellerFund", "-999999999999999.99"},
                      {"n1400", "borrowerFund", "98765432109.87"}});
    EXPECT_EQ(measured(pageOf(deal), R"(
const amounts = [...document.querySelectorAll('td.amt')].filter(td => td.textContent);
const broken = amounts.filter(td => {
  const range = document.createRange();
  range.selectNodeContents(td);
  const tops = new Set([...range.getClientRects()].map(rect => Math.round(rect.top)));
  return tops.size !== 1 || td.scrollWidth > td.clientWidth + 1;
}).map(td => td.textContent);
const cells = [...document.querySelectorAll('#parties .party-table td')];
const columns = new Set(cells.map(td => Math.round(td.getBoundingClientRect().left))).size;
const narrowest = Math.min(...cells.map(td => td.getBoundingClientRect().width));
const large = amounts.filter(td => td.textContent.length >= 14).length;
document.body.dataset.measured = 'large=' + large + ' broken=[' + broken +
    '] columns=' + columns + ' wide=' + (narrowest > 150);
)"),
              "large=11 broken=[] columns=4 wide=true");
}

} // namespace
} // namespace velmora::testing
