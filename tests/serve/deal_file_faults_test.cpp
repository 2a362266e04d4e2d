// Deal files that change under a running server: deleted after they were
// indexed, replaced by bytes that are no deal, cut short. The page of such a
// deal says the file cannot be read now (410, as the deal is gone for the
// server), the API says so in a line, and the server goes on serving.
#include "serve/page_html.h"
#include "serve/served_index.h"
#include "support/index_archive.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>

namespace velmora::testing {
namespace {

std::string idOf(ServedIndex& served, const std::string& path) {
    const httplib::Result found =
        served.client().Get("/api/search?where=" + serve::percentEncoded("path=" + path));
    if (!found || found->body.empty())
        return "";
    return std::to_string(
        nlohmann::json::parse(found->body.substr(0, found->body.find('\n')))["id"].get<long>());
}

TEST(ServeDealFiles, AFileGoneOrSpoiledAfterIndexingIsSaidToBeUnreadable) {
    IndexArchive archive;
    ServedIndex served(archive.root.path());
    const std::string purchase = idOf(served, archive.purchase);
    const std::string refinance = idOf(served, archive.refinance);
    const std::string statement = idOf(served, archive.statement);
    ASSERT_FALSE(purchase.empty() || refinance.empty() || statement.empty());

    std::filesystem::remove(archive.refinance);
    writeBytes(archive.statement, std::string(4000, '\x7F'));
    const std::string legacyBytes = hudFile(legacyStatement());
    writeBytes(archive.loan, "<calverin><HUD document_type=\"hud1a\"><b loanNo_7=\"R");
    const std::string loan = idOf(served, archive.loan);
    ASSERT_FALSE(loan.empty());

    for (const auto& [id, path] :
         {std::pair{refinance, archive.refinance}, std::pair{statement, archive.statement},
          std::pair{loan, archive.loan}}) {
        const httplib::Result page = served.client().Get("/deal/" + id);
        ASSERT_TRUE(page) << path;
        EXPECT_EQ(page->status, 410) << path;
        EXPECT_TRUE(guarded(page->headers)) << path;
        EXPECT_NE(page->body.find("Its file " + path + " was indexed, but cannot be read now: "),
                  std::string::npos)
            << page->body;
        const httplib::Result json = served.client().Get("/api/deal/" + id);
        ASSERT_TRUE(json) << path;
        EXPECT_EQ(json->status, 410) << path;
        EXPECT_EQ(json->body, "the deal's file cannot be read\n");
    }
    EXPECT_NE(served.client()
                  .Get("/deal/" + refinance)
                  ->body.find("cannot be read now: cannot be opened: no such file."),
              std::string::npos);
    EXPECT_NE(served.client()
                  .Get("/deal/" + statement)
                  ->body.find("cannot be read now: it is no deal document any more."),
              std::string::npos);

    // The deals whose files are as they were still show.
    const httplib::Result whole = served.client().Get("/deal/" + purchase);
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->status, 200);
    EXPECT_TRUE(stillServing(served));

    // A fifo in a deal's place would hold whoever opens it until something
    // writes to it: it is not opened.
    std::filesystem::remove(archive.purchase);
    ASSERT_EQ(::mkfifo(archive.purchase.c_str(), 0600), 0);
    httplib::Client bounded = served.client();
    bounded.set_read_timeout(10);
    const httplib::Result fifo = bounded.Get("/deal/" + purchase);
    // Should a reader wait on it all the same, a writer lets it go, so that
    // the test fails rather than hangs.
    const int writer = ::open(archive.purchase.c_str(), O_WRONLY | O_NONBLOCK);
    if (writer >= 0)
        ::close(writer);
    ASSERT_TRUE(fifo) << httplib::to_string(fifo.error());
    EXPECT_EQ(fifo->status, 410);
    std::filesystem::remove(archive.purchase);
    std::filesystem::create_symlink("/dev/zero", archive.purchase);
    const httplib::Result device = served.client().Get("/api/deal/" + purchase);
    ASSERT_TRUE(device) << httplib::to_string(device.error());
    EXPECT_EQ(device->status, 410);

    // A file that reads again shows again.
    writeBytes(archive.statement, legacyBytes);
    EXPECT_EQ(served.client().Get("/deal/" + statement)->status, 200);
}

} // namespace
} // namespace velmora::testing
