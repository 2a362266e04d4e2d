// Legacy text read in the code page a run names: convert, check, index and
// render agree on it, and a byte the code page has no character for fails
// the file by name and changes nothing.
#include "cli/cli_runner.h"
#include "support/legacy_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace velmora::testing {
namespace {
namespace fs = std::filesystem;

// "José Muñoz" as a Western Windows wrote it; a Polish one reads the same
// bytes as "José Muńoz".
constexpr char kBorrower[] = "Jos\xe9 Mu\xf1oz";
constexpr char kWestern[] = "Jos\xc3\xa9 Mu\xc3\xb1oz";
constexpr char kPolish[] = "Jos\xc3\xa9 Mu\xc5\x84oz";

class LegacyCodePageCli : public ::testing::Test {
protected:
    std::string putDeal(const std::string& name, const std::string& borrower) {
        HudRecord deal;
        deal.version = 1601;
        deal.fileNo = "CP-1";
        deal.borrower.name1 = borrower;
        const std::string path = folder.file(name);
        writeBytes(path, hudFile(deal));
        return path;
    }

    TempFolder folder;
};

TEST_F(LegacyCodePageCli, EveryCommandReadsTheCodePageTheRunNames) {
    const std::string western = putDeal("western.hud", kBorrower);
    const std::string polish = putDeal("polish.hud", kBorrower);

    ASSERT_EQ(runCli({"convert", "--yes", western}).exitCode, 0);
    ASSERT_EQ(runCli({"convert", "--yes", "--code-page", "1250", polish}).exitCode, 0);
    EXPECT_NE(runCli({"export", "--json", western}).out.find(kWestern), std::string::npos);
    EXPECT_NE(runCli({"export", "--json", polish}).out.find(kPolish), std::string::npos);

    // Read in memory, as index and render do.
    const std::string legacy = putDeal("legacy.hud", kBorrower);
    const std::string db = folder.file("index.db");
    ASSERT_EQ(runCli({"index", "--db", db, "--code-page", "1250", legacy}).exitCode, 0);
    const CliRun found = runCli({"search", "--db", db, "mu\xc5\x84oz"});
    EXPECT_NE(found.out.find(kPolish), std::string::npos) << found;
    const std::string page = folder.file("legacy.html");
    ASSERT_EQ(runCli({"render", "--code-page", "1250", legacy, "-o", page}).exitCode, 0);
    EXPECT_NE(readBytes(page).find(kPolish), std::string::npos);
    EXPECT_EQ(runCli({"check", "--code-page", "1250", legacy}).out,
              legacy + ": legacy statement, version word 1601\n");
}

TEST_F(LegacyCodePageCli, AByteTheCodePageLacksFailsTheFileByNameAndChangesNothing) {
    // 0xAA is "ª" in Windows-1252 and nothing in Greek 1253.
    const std::string deal = putDeal("greek.hud", "\xc1\xaa");
    const std::string before = readBytes(deal);
    const std::string why = "byte 0xAA has no character in code page 1253 at byte ";

    const CliRun convert = runCli({"convert", "--yes", "--code-page", "1253", deal});
    EXPECT_EQ(convert.exitCode, 1) << convert;
    EXPECT_NE(convert.err.find(deal + ": "), std::string::npos) << convert;
    EXPECT_NE(convert.err.find(why), std::string::npos) << convert;
    EXPECT_EQ(readBytes(deal), before);
    EXPECT_FALSE(fs::exists(folder.file("UpgradeBackup")));

    const CliRun check = runCli({"check", "--code-page", "1253", deal});
    EXPECT_EQ(check.exitCode, 1);
    EXPECT_NE(check.out.find(why), std::string::npos) << check;
    const CliRun render =
        runCli({"render", "--code-page", "1253", deal, "-o", folder.file("greek.html")});
    EXPECT_EQ(render.exitCode, 1);
    EXPECT_NE(render.err.find(why), std::string::npos) << render;
    EXPECT_FALSE(fs::exists(folder.file("greek.html")));
    EXPECT_EQ(readBytes(deal), before);

    // Windows-1252, the default, has a character for every byte above 0x9F: "Áª".
    EXPECT_EQ(runCli({"convert", "--yes", deal}).exitCode, 0);
    EXPECT_NE(runCli({"export", "--json", deal}).out.find("\xc3\x81\xc2\xaa"), std::string::npos);
}

TEST_F(LegacyCodePageCli, OnlySingleByteWindowsCodePagesAreTaken) {
    const std::string deal = putDeal("deal.hud", kBorrower);
    const std::string before = readBytes(deal);
    for (const char* codePage : {"932", "65001", "0", "abc", "-1250"}) {
        const CliRun run = runCli({"convert", "--yes", "--code-page", codePage, deal});
        EXPECT_EQ(run.exitCode, 2) << codePage;
        EXPECT_NE(run.err.find("takes one of 874, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, "
                               "1258, not '" +
                               std::string(codePage) + "'"),
                  std::string::npos)
            << run;
    }
    EXPECT_EQ(readBytes(deal), before);
}

} // namespace
} // namespace velmora::testing
