// The search as a browser and a script ask for it: the page that finds a
// borrower, its pages of fifty and their links, the order by settlement
// date, the JSON lines of /api/search as `velmora search --json` prints
// them, /health, and the pages' assets.
#include "cli/cli_runner.h"
#include "serve/served_archive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace velmora::testing {
namespace {

using ServeSearch = ServedArchive;

// The settlement dates of the rows of a results page, top down.
std::vector<std::string> datesOf(const std::string& page) {
    std::vector<std::string> dates;
    const std::string cell = "<td class=\"date\">";
    for (std::size_t at = page.find(cell); at != std::string::npos; at = page.find(cell, at + 1))
        dates.push_back(
            page.substr(at + cell.size(), page.find('<', at + cell.size()) - at - cell.size()));
    return dates;
}

// The address of the page's link of rel `rel`, as a browser reads it; empty
// when there is none.
std::string linkOf(const std::string& page, const std::string& rel) {
    const std::string opening = "rel=\"" + rel + "\" href=\"";
    const std::size_t at = page.find(opening);
    if (at == std::string::npos)
        return "";
    std::string href = page.substr(at + opening.size());
    href.resize(href.find('"'));
    for (std::size_t amp = href.find("&amp;"); amp != std::string::npos; amp = href.find("&amp;"))
        href.replace(amp, 5, "&");
    return href;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST_F(ServeSearch, TheSearchPageFindsABorrowerAndCountsWhatItShows) {
    const httplib::Result empty = get("/");
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->status, 200);
    EXPECT_EQ(empty->get_header_value("Content-Type"), "text/html; charset=utf-8");
    EXPECT_NE(empty->body.find("name=\"q\" value=\"\""), std::string::npos) << empty->body;
    EXPECT_EQ(empty->body.find("class=\"count\""), std::string::npos) << empty->body;

    const httplib::Result found = get("/?q=okafor+whitlock");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->status, 200);
    EXPECT_NE(found->body.find("<p class=\"count\">1&#8211;1 of 1 deal</p>"), std::string::npos)
        << found->body;
    EXPECT_NE(found->body.find("<a href=\"/deal/" + std::to_string(idOf(archive().purchase)) +
                               "\" title=\"" + archive().purchase + "\">purchase.hud</a>"),
              std::string::npos)
        << found->body;
    EXPECT_NE(found->body.find("<td>Dana Whitlock; Lee Whitlock +3 more</td>"), std::string::npos);
    EXPECT_NE(found->body.find("name=\"q\" value=\"okafor whitlock\""), std::string::npos);
    EXPECT_EQ(datesOf(found->body), std::vector<std::string>{"2008-09-16"});

    const httplib::Result none = get("/?q=nobodyofthatname");
    ASSERT_TRUE(none);
    EXPECT_EQ(none->status, 200);
    EXPECT_NE(none->body.find("No deal matches."), std::string::npos) << none->body;
}

TEST_F(ServeSearch, PagesOfFiftyLinkToEachOtherKeepingTheWholeQuery) {
    // From March 2000: the first two deals are left out.
    const std::string query =
        "/?q=pagewright&from=2000-03-01&field=lender&value=page+bank&sort=oldest";
    const httplib::Result third = get(query + "&page=3");
    ASSERT_TRUE(third);
    EXPECT_EQ(third->status, 200);
    EXPECT_NE(third->body.find("101&#8211;118 of 118 deals"), std::string::npos) << third->body;
    EXPECT_NE(third->body.find("Page 3 of 3"), std::string::npos);
    EXPECT_EQ(datesOf(third->body).size(), 18u);
    EXPECT_EQ(linkOf(third->body, "next"), "");

    // Followed as a person would: each link gives another page of the same list.
    const httplib::Result second = get(linkOf(third->body, "prev"));
    ASSERT_TRUE(second);
    EXPECT_NE(second->body.find("51&#8211;100 of 118 deals"), std::string::npos) << second->body;
    EXPECT_EQ(datesOf(second->body).front(), pagedSettlement(52));
    const httplib::Result first = get(linkOf(second->body, "prev"));
    ASSERT_TRUE(first);
    EXPECT_NE(first->body.find("1&#8211;50 of 118 deals"), std::string::npos) << first->body;
    EXPECT_EQ(linkOf(first->body, "prev"), "");
    const httplib::Result thirdAgain = get(linkOf(second->body, "next"));
    ASSERT_TRUE(thirdAgain);
    EXPECT_EQ(thirdAgain->body, third->body);

    // A filter that only the address gives, not the form, is kept too:
    // deal-000 to deal-099.
    const httplib::Result filtered =
        get("/?q=pagewright&where=" + serve::percentEncoded("path=deal-0") + "&page=2");
    ASSERT_TRUE(filtered);
    EXPECT_NE(filtered->body.find("51&#8211;100 of 100 deals"), std::string::npos)
        << filtered->body;
    const httplib::Result filteredFirst = get(linkOf(filtered->body, "prev"));
    ASSERT_TRUE(filteredFirst);
    EXPECT_NE(filteredFirst->body.find("1&#8211;50 of 100 deals"), std::string::npos)
        << filteredFirst->body;

    const httplib::Result beyond = get(query + "&page=4");
    ASSERT_TRUE(beyond);
    EXPECT_EQ(beyond->status, 200);
    EXPECT_NE(beyond->body.find("No deals on this page; 118 in all."), std::string::npos)
        << beyond->body;
}

TEST_F(ServeSearch, PageLinksHoldTheQueryEncodedAndEscaped) {
    // The markup is no word: the query finds the 120 deals.
    const httplib::Result second =
        get("/?q=" + serve::percentEncoded("\"><pagewright") + "&page=2");
    ASSERT_TRUE(second);
    EXPECT_NE(second->body.find("51&#8211;100 of 120 deals"), std::string::npos) << second->body;
    EXPECT_EQ(second->body.find("\"><pagewright"), std::string::npos);
    EXPECT_NE(second->body.find("rel=\"prev\" href=\"/?q=%22%3E%3Cpagewright\""), std::string::npos)
        << second->body;
    EXPECT_NE(second->body.find("rel=\"next\" href=\"/?q=%22%3E%3Cpagewright&amp;page=3\""),
              std::string::npos);
}

TEST_F(ServeSearch, NewestAndOldestOrderTheRowsBySettlementDate) {
    std::vector<std::string> all;
    for (int deal = 0; deal < kPagedDeals; ++deal)
        all.push_back(pagedSettlement(deal));
    const std::vector<std::string> newestFirst(all.rbegin(), all.rend());
    std::vector<std::string> oldest;
    std::vector<std::string> newest;
    for (int page = 1; page <= 3; ++page) {
        const std::string number = std::to_string(page);
        const httplib::Result older = get("/?q=pagewright&sort=oldest&page=" + number);
        const httplib::Result newer = get("/?q=pagewright&sort=newest&page=" + number);
        ASSERT_TRUE(older && newer);
        const std::vector<std::string> olderDates = datesOf(older->body);
        const std::vector<std::string> newerDates = datesOf(newer->body);
        oldest.insert(oldest.end(), olderDates.begin(), olderDates.end());
        newest.insert(newest.end(), newerDates.begin(), newerDates.end());
    }
    EXPECT_EQ(oldest, all);
    EXPECT_EQ(newest, newestFirst);

    // The column's heading turns the order round.
    const httplib::Result page = get("/?q=pagewright&sort=newest");
    ASSERT_TRUE(page);
    EXPECT_NE(page->body.find("<a href=\"/?q=pagewright&amp;sort=oldest\" title=\"Sort by "
                              "settlement date\">Settlement &#9660;</a>"),
              std::string::npos)
        << page->body;
}

TEST_F(ServeSearch, TheApiGivesWhatSearchJsonPrintsWithTheTotalInAHeader) {
    const httplib::Result third = get("/api/search?q=pagewright&sort=oldest&page=3");
    ASSERT_TRUE(third);
    EXPECT_EQ(third->status, 200);
    EXPECT_EQ(third->get_header_value("Content-Type"), "application/x-ndjson");
    EXPECT_EQ(third->get_header_value("X-Total-Count"), "120");
    EXPECT_TRUE(guarded(third->headers));
    const std::vector<std::string> lines = linesOf(third->body);
    ASSERT_EQ(lines.size(), 20u);
    for (std::size_t at = 0; at < lines.size(); ++at) {
        const nlohmann::json hit = nlohmann::json::parse(lines[at]);
        EXPECT_TRUE(hit["id"].is_number_integer()) << lines[at];
        EXPECT_EQ(hit["settlement_date"].get<std::string>().substr(0, 10),
                  pagedSettlement(100 + static_cast<int>(at)))
            << lines[at];
    }

    // Without words the newest settlement comes first, as `search` gives
    // it; a script may write a filter's "=" as it is.
    const httplib::Result recent = get("/api/search?where=lender=page+bank&from=2005-01-01");
    ASSERT_TRUE(recent);
    EXPECT_EQ(recent->get_header_value("X-Total-Count"), "60");
    const CliRun cli = runCli({"search", "--db", served().database(), "--json", "--where",
                               "lender=page bank", "--from", "2005-01-01", "--limit", "50"});
    EXPECT_EQ(cli.exitCode, 0) << cli;
    EXPECT_EQ(recent->body, cli.out);
    EXPECT_EQ(linesOf(recent->body).size(), 50u);

    const httplib::Result refused = get("/api/search?sort=sideways");
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->status, 400);
    EXPECT_EQ(refused->body, "sort is best, newest or oldest\n");
}

TEST_F(ServeSearch, HealthTellsTheDocumentsAndTheLastUpdate) {
    const httplib::Result health = get("/health");
    ASSERT_TRUE(health);
    EXPECT_EQ(health->status, 200);
    EXPECT_EQ(health->get_header_value("Content-Type"), "application/json");
    const nlohmann::json json = nlohmann::json::parse(health->body);
    // The index keeps a row of each deal that does not read too, for
    // `search --where status=failed` to find.
    EXPECT_EQ(json["documents"], kArchiveDeals + kPagedDeals + 3) << health->body;
    EXPECT_EQ(json["updating"], false);
    EXPECT_TRUE(json["updated"].is_string() && json["updated"].get<std::string>().ends_with("Z"))
        << health->body;
    EXPECT_GE(json["age_seconds"].get<int>(), 0);
    EXPECT_EQ(json["last_update"], "indexed: 125, unchanged: 0, not indexed: 3, not a deal: 2, "
                                   "broken link: 0, removed: 0");
}

TEST_F(ServeSearch, TheAssetsAreServedWithTheirTypesAndNothingElseIs) {
    const httplib::Result style = get("/assets/style.css");
    const httplib::Result script = get("/assets/search.js");
    const httplib::Result other = get("/assets/other.css");
    ASSERT_TRUE(style && script && other);
    EXPECT_EQ(style->status, 200);
    EXPECT_EQ(style->get_header_value("Content-Type"), "text/css; charset=utf-8");
    EXPECT_EQ(script->status, 200);
    EXPECT_EQ(script->get_header_value("Content-Type"), "text/javascript; charset=utf-8");
    EXPECT_NE(script->body.find("addEventListener"), std::string::npos);
    EXPECT_EQ(other->status, 404);
}

} // namespace
} // namespace velmora::testing
