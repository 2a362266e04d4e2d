// The rendered statement in a real browser: Debian's headless Chromium draws
// the page (a screenshot kept in the build folder for people to look at),
// prints it to PDF through `velmora render --pdf` and, from copies of the page
// that name the paper, on Letter and on A4; a copy with a measuring script
// shows where long texts end up.
#include "render/browser_support.h"

#include <gtest/gtest.h>

#include <png.h>

#include <filesystem>
#include <iostream>

namespace velmora::testing {
namespace {

constexpr int kWidth = 1000;
constexpr int kHeight = 2600;

// The screenshot in shades of grey, or nothing when it is no PNG of the size asked for.
std::vector<png_byte> greyPixels(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return {};
    image.format = PNG_FORMAT_GRAY;
    std::vector<png_byte> pixels(PNG_IMAGE_SIZE(image));
    const bool read = png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr);
    if (!read || image.width != kWidth || image.height != kHeight)
        return {};
    return pixels;
}

TEST(RenderInBrowser, ChromiumDrawsTheFormAndPrintsItOnTwoPages) {
    if (!chromiumInstalled())
        GTEST_SKIP() << "Chromium is not installed (scripts/install-deps installs Debian's "
                        "'chromium'); the rendered page was not checked in a browser";
    TempFolder folder;
    const std::string deal = folder.file("deal.xml");
    writeStatement(deal, "hud", purchaseSettings());
    const std::string page = folder.file("deal.html");
    ASSERT_EQ(runCli({"render", deal}).exitCode, 0);

    const std::string shot = std::string(VELMORA_BUILD_DIR) + "/render-test/statement.png";
    std::filesystem::create_directories(std::filesystem::path(shot).parent_path());
    std::filesystem::remove(shot);
    std::vector<std::string> drawing = browser(folder);
    drawing.insert(drawing.end(),
                   {"--hide-scrollbars", "--screenshot=" + shot,
                    "--window-size=" + std::to_string(kWidth) + "," + std::to_string(kHeight),
                    "file://" + page});
    const CliRun drawn = runProgram(drawing, kBrowserSeconds);
    ASSERT_EQ(drawn.exitCode, 0) << drawn;
    std::cout << "The rendered statement as Chromium draws it: " << shot << '\n';

    // Not blank and not one colour: the sheets are mostly white paper, the
    // form's rules and text are dark.
    const std::vector<png_byte> pixels = greyPixels(shot);
    ASSERT_FALSE(pixels.empty()) << shot;
    const auto count = [&](auto test) {
        return static_cast<double>(std::count_if(pixels.begin(), pixels.end(), test)) /
               static_cast<double>(pixels.size());
    };
    EXPECT_GT(count([](png_byte grey) { return grey == 255; }), 0.3);
    EXPECT_GT(count([](png_byte grey) { return grey < 128; }), 0.01);

    const std::string pdf = folder.file("deal.pdf");
    const CliRun print = runProgram({VELMORA_CLI_PATH, "render", "--pdf", deal}, kBrowserSeconds);
    ASSERT_EQ(print.exitCode, 0) << print;
    const std::string bytes = readBytes(pdf);
    EXPECT_EQ(bytes.rfind("%PDF-", 0), 0u);
    EXPECT_EQ(pageCount(bytes), 2u);
}

// The pages of `html` printed on `paper` ("letter", "A4"). The page leaves
// the paper to the browser; the copy names it in an @page rule, which
// headless Chromium honours.
std::size_t printedPages(const std::string& html, const std::string& paper) {
    TempFolder folder;
    std::string copy = html;
    copy.insert(copy.find("</style>"), "@page { size: " + paper + "; }");
    writeBytes(folder.file("page.html"), copy);
    std::vector<std::string> printing = browser(folder);
    printing.insert(printing.end(),
                    {"--no-pdf-header-footer", "--print-to-pdf=" + folder.file("page.pdf"),
                     "file://" + folder.file("page.html")});
    const CliRun printed = runProgram(printing, kBrowserSeconds);
    EXPECT_EQ(printed.exitCode, 0) << printed;
    return pageCount(readBytes(folder.file("page.pdf")));
}

// The statement without the addendum and companion forms, which start
// sheets of their own.
std::string statementOnly(std::string html) {
    const std::size_t appendix = html.find("<section class=\"appendix\"");
    if (appendix != std::string::npos)
        html.erase(appendix, html.find("</body>") - appendix);
    return html;
}

constexpr char kLongPayor[] = "Coastal Savings and Loan Association of the Greater Portland "
                              "Metropolitan Area, Servicing Department, Payoff Unit 7";

// A purchase with six extra lines in each block that has them, two parties
// on each side and long texts where they used to spill.
void writeBusyDeal(const std::string& file) {
    CHudDocument root("hud");
    root.initDocument();
    std::vector<Setting> settings = purchaseSettings();
    settings.insert(settings.end(),
                    {{"e_sellers/address", "name1", "Avery Estates"},
                     {"e_sellers/address", "street", "3 Pier Lane"},
                     {"", "f_LenderName", "FirstCoastalBankingCorporationOfMaineAndNewHampshire"},
                     {"n500/n504", "payor", kLongPayor},
                     {"n1100/n1101", "payor", kLongPayor},
                     {"n1100/n1101", "borrowerFund", "350.00"}});
    applySettings(root, settings);
    for (const char* block : {"n800", "n900", "n1100", "n1200", "n1300"}) {
        for (int i = 1; i <= 6; ++i)
            addEntry(root, std::string(block) + "/more", "extra",
                     {{"description", "Extra charge " + std::to_string(i) + " of " + block},
                      {"payor", "Payor " + std::to_string(i)},
                      {"borrowerFund", std::to_string(i * 100) + ".00"}});
    }
    ASSERT_EQ(saveXmlFile(root, file), 0);
}

std::string renderedPage(const std::string& file) {
    const CliRun run = runCli({"render", file, "-o", file + ".html"});
    EXPECT_EQ(run.exitCode, 0) << run;
    return readBytes(file + ".html");
}

// The statement of a typical deal, of either kind, prints on two sheets; a
// deal with more charges than the form has lines continues on a third,
// never on page 1.
TEST(RenderInBrowser, TypicalDealsPrintOnTwoSheetsOfLetterAndOfA4) {
    if (!chromiumInstalled())
        GTEST_SKIP() << "Chromium is not installed; the printed pages were not counted";
    TempFolder folder;
    writeBusyDeal(folder.file("busy.xml"));
    const CliRun demo = runCli({"demo", folder.file("demo")});
    ASSERT_EQ(demo.exitCode, 0) << demo;
    const struct {
        const char* deal;
        std::string html;
        std::size_t sheets;
    } deals[] = {
        {"busy deal", renderedPage(folder.file("busy.xml")), 3},
        {"demo sample", statementOnly(readBytes(folder.file("demo/sample-deal.html"))), 2},
        {"demo legacy", statementOnly(readBytes(folder.file("demo/legacy-deal.html"))), 2},
        {"demo refinance", statementOnly(readBytes(folder.file("demo/legacy-refinance.html"))), 2},
    };
    for (const auto& [deal, html, sheets] : deals) {
        for (const char* paper : {"letter", "A4"})
            EXPECT_EQ(printedPages(html, paper), sheets) << deal << " on " << paper;
    }
}

// The page measured in the browser: a copy with a script (the page itself has
// none and its policy would stop one) that counts the cells and address
// lines whose text runs past their box, and checks that the long payee of
// line 504 ends inside its cell.
TEST(RenderInBrowser, LongTextsStayInsideTheirCells) {
    if (!chromiumInstalled())
        GTEST_SKIP() << "Chromium is not installed; the page was not measured";
    TempFolder folder;
    writeBusyDeal(folder.file("busy.xml"));
    EXPECT_EQ(measured(renderedPage(folder.file("busy.xml")), R"(
const spills = [...document.querySelectorAll('td, .address')]
    .filter(box => box.scrollWidth > box.clientWidth + 1).length;
const payee = [...document.querySelectorAll('#summary span.detail')]
    .find(span => span.textContent.includes('Payoff Unit 7'));
const text = payee.getBoundingClientRect();
const box = payee.closest('td').getBoundingClientRect();
const inside = text.left >= box.left && text.right <= box.right && text.bottom <= box.bottom;
document.body.dataset.measured = 'spills=' + spills + ' payee-inside=' + inside;
)"),
              "spills=0 payee-inside=true");
}

} // namespace
} // namespace velmora::testing
