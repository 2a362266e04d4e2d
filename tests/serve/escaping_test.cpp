// Markup in what the pages show, from a deal or from the address: a
// borrower named like a script and a file named with quotes, angle
// brackets, ampersands and a control character reach every page as text,
// never as markup; so does a query, in the form and in the page links.
#include "serve/page_html.h"
#include "serve/served_archive.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace velmora::testing {
namespace {

const std::string kScript = "<script>alert(1)</script>";
const std::string kEscapedScript = "&lt;script&gt;alert(1)&lt;/script&gt;";
const std::string kOddName = "odd \"<&\x01 deal.hud";

// Whether the page's only script is its own, from /assets/.
::testing::AssertionResult noScriptButItsOwn(const std::string& page) {
    const std::string own = "<script src=\"/assets/search.js\" defer></script>";
    for (std::size_t at = page.find("<script"); at != std::string::npos;
         at = page.find("<script", at + 1)) {
        if (page.compare(at, own.size(), own) != 0)
            return ::testing::AssertionFailure() << "a script at " << at << ":\n" << page;
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult nameOnlyEscaped(const std::string& page) {
    for (const std::string raw : {"\"<&", "\x01"}) {
        if (page.find(raw) != std::string::npos)
            return ::testing::AssertionFailure() << "the raw name:\n" << page;
    }
    return ::testing::AssertionSuccess();
}

struct OddArchive {
    OddArchive() {
        savePurchase(folder.file("deals/purchase.hud"), "Dana Whitlock");
        saveDeal(odd, document_types::kHud, [](CHudDocument& d) { putNames(d, "d", kScript); });
    }
    TempFolder folder;
    const std::string odd = folder.file("deals/" + kOddName);
};

TEST(ServeEscaping, MarkupFromADealOrItsFileNameIsShownAsText) {
    OddArchive archive;
    ServedIndex served(archive.folder.path());
    const httplib::Result found = served.client().Get("/?q=alert");
    ASSERT_TRUE(found);
    EXPECT_NE(found->body.find(kEscapedScript), std::string::npos) << found->body;
    EXPECT_TRUE(noScriptButItsOwn(found->body));
    EXPECT_TRUE(nameOnlyEscaped(found->body));
    // The control character is shown, as its picture.
    EXPECT_NE(found->body.find("odd &quot;&lt;&amp;\xE2\x90\x81 deal.hud"), std::string::npos);
    const std::size_t link = found->body.find("<a href=\"/deal/");
    ASSERT_NE(link, std::string::npos);
    const std::string deal =
        found->body.substr(link + 9, found->body.find('"', link + 9) - link - 9);

    const httplib::Result statement = served.client().Get(deal);
    ASSERT_TRUE(statement);
    EXPECT_EQ(statement->status, 200) << deal;
    EXPECT_NE(statement->body.find(kEscapedScript), std::string::npos);
    EXPECT_EQ(statement->body.find("<script"), std::string::npos) << statement->body;

    // The page that says the file is gone names it, as text.
    std::filesystem::remove(archive.odd);
    const httplib::Result gone = served.client().Get(deal);
    ASSERT_TRUE(gone);
    EXPECT_EQ(gone->status, 410);
    EXPECT_NE(gone->body.find("odd &quot;&lt;&amp;\xE2\x90\x81 deal.hud"), std::string::npos)
        << gone->body;
    EXPECT_TRUE(noScriptButItsOwn(gone->body));
    EXPECT_TRUE(nameOnlyEscaped(gone->body));
}

TEST(ServeEscaping, MarkupInTheAddressIsShownAsTextInTheFormTheLinksAndTheProblem) {
    OddArchive archive;
    ServedIndex served(archive.folder.path());
    const std::string query = "\"><script>alert(1)</script>";
    const httplib::Result found =
        served.client().Get("/?q=" + serve::percentEncoded(query) + "&sort=newest");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->status, 200);
    EXPECT_TRUE(noScriptButItsOwn(found->body));
    EXPECT_NE(found->body.find("name=\"q\" value=\"&quot;&gt;" + kEscapedScript + "\""),
              std::string::npos)
        << found->body;
    // The words find the deal, and the heading's link holds them encoded.
    EXPECT_NE(found->body.find("<a href=\"/?q=%22%3E%3Cscript%3Ealert%281%29%3C%2Fscript%3E&amp;"
                               "sort=oldest\""),
              std::string::npos)
        << found->body;

    const httplib::Result problem = served.client().Get("/?from=" + serve::percentEncoded(kScript));
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->status, 400);
    EXPECT_TRUE(noScriptButItsOwn(problem->body));
    EXPECT_NE(problem->body.find("&#39;" + kEscapedScript + "&#39; is not a date"),
              std::string::npos)
        << problem->body;
}

} // namespace
} // namespace velmora::testing
