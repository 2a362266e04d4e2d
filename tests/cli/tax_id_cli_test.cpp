// A tax ID never reaches the index or a search, and a page prints its last
// four digits unless asked for the whole.
#include "cli/cli_runner.h"
#include "support/index_archive.h"

#include <gtest/gtest.h>

#include <string>

namespace velmora::testing {
namespace {

TEST(TaxIdCli, NoSearchFindsATaxIdAndPagesShowItsLastFourDigits) {
    TempFolder folder;
    const std::string deal = folder.file("deals/tin.xml");
    saveDeal(deal, document_types::kHud, [](CHudDocument& d) {
        putNames(d, "e", "Morgan Estates");
        d.putString("e_SellerTin", "123-45-6789");
        d.putString("h_AgentTin", "98-7654321");
    });
    const std::string db = folder.file("index.db");
    ASSERT_EQ(runCli({"index", "--db", db, folder.file("deals")}).exitCode, 0);
    EXPECT_EQ(runCli({"search", "--db", db, "morgan"}).exitCode, 0);
    for (const char* number : {"123-45-6789", "123456789", "6789", "45", "98-7654321", "4321"}) {
        const CliRun run = runCli({"search", "--db", db, number});
        EXPECT_EQ(run.exitCode, 1) << number << ": " << run;
    }
    const CliRun json = runCli({"search", "--db", db, "--json", "morgan"});
    EXPECT_EQ(json.out.find("6789"), std::string::npos) << json.out;
    EXPECT_EQ(json.out.find("4321"), std::string::npos) << json.out;

    const CliRun page = runCli({"render", "-o", "-", deal});
    EXPECT_NE(page.out.find("***-**-6789"), std::string::npos);
    EXPECT_NE(page.out.find("**-***4321"), std::string::npos);
    EXPECT_EQ(page.out.find("123-45"), std::string::npos);
    const CliRun full = runCli({"render", "--show-tin", "-o", "-", deal});
    EXPECT_NE(full.out.find("123-45-6789"), std::string::npos);
    EXPECT_NE(full.out.find("98-7654321"), std::string::npos);
    // Export is the data interface: it keeps what is stored.
    EXPECT_NE(runCli({"export", "--json", deal}).out.find("123-45-6789"), std::string::npos);
}

} // namespace
} // namespace velmora::testing
