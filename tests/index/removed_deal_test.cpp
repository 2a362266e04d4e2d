// Nothing of a deal is left in the index file once it leaves the index:
// removed, or read again with other text. The file's bytes are searched,
// so that free pages and the full-text table's older segments count too.
#include "cli/cli_runner.h"
#include "support/index_archive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>

namespace velmora::testing {
namespace {

// Whether the file holds `word`, in any case (the full-text table keeps
// words folded to lower case).
bool fileHolds(const std::string& path, std::string word) {
    std::string bytes = readBytes(path);
    const auto lower = [](std::string& text) {
        std::transform(text.begin(), text.end(), text.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    };
    lower(bytes);
    lower(word);
    return bytes.find(word) != std::string::npos;
}

void saveSecretDeal(const std::string& path, const std::string& borrower,
                    const std::string& price) {
    saveDeal(path, document_types::kHud, [&](CHudDocument& d) {
        putNames(d, "d", borrower);
        d.putString("e_SellerTin", "123-45-6789");
        section(d, "n100").putString("n101", price);
        section(d, "n800").findChild("n803")->setPropertyValue("description",
                                                               "Survey by " + borrower);
    });
}

TEST(RemovedDeal, NothingOfItStaysInTheIndexFile) {
    TempFolder folder;
    const std::string deals = folder.file("deals");
    for (int i = 0; i < 30; ++i)
        savePurchase(deals + "/other" + std::to_string(i) + ".xml", "Dana Whitlock");
    const std::string gone = deals + "/gone.xml";
    const std::string changed = deals + "/changed.xml";
    saveSecretDeal(gone, "Zebulon Quaxworth", "$987,654.32");
    saveSecretDeal(changed, "Ottoline Brackenbury", "$123,987.65");
    const std::string db = folder.file("index.db");
    ASSERT_EQ(runCli({"index", "--db", db, deals}).exitCode, 0);
    // The test would prove nothing if the words were never there; the tax ID never is.
    ASSERT_TRUE(fileHolds(db, "Quaxworth"));
    ASSERT_TRUE(fileHolds(db, "987,654.32"));
    ASSERT_TRUE(fileHolds(db, "Brackenbury"));
    EXPECT_FALSE(fileHolds(db, "123-45-6789"));
    EXPECT_FALSE(fileHolds(db, "6789"));

    std::filesystem::remove(gone);
    saveSecretDeal(changed, "Ottoline Fairweather", "$100.00");
    const CliRun run = runCli({"index", "--db", db, deals});
    EXPECT_EQ(run.out, "indexed: 1, unchanged: 30, not indexed: 0, not a deal: 0, broken link: "
                       "0, removed: 1\n")
        << run;
    for (const char* word :
         {"Zebulon", "Quaxworth", "987,654.32", "987654.32", "Brackenbury", "123,987.65"})
        EXPECT_FALSE(fileHolds(db, word)) << word;
    // What is still indexed is still found.
    EXPECT_EQ(runCli({"search", "--db", db, "fairweather"}).exitCode, 0);
    const std::string others = runCli({"search", "--db", db, "whitlock", "--limit", "100"}).out;
    EXPECT_EQ(std::count(others.begin(), others.end(), '\n'), 30);
    EXPECT_EQ(runCli({"search", "--db", db, "quaxworth"}).exitCode, 1);
}

} // namespace
} // namespace velmora::testing
