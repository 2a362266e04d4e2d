// velmora check end to end: the line and the record for every kind of file,
// and the exit code a script relies on.
#include "cli/cli_runner.h"
#include "support/legacy_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace velmora::testing {
namespace {
namespace fs = std::filesystem;

class CheckTest : public ::testing::Test {
protected:
    std::string put(const std::string& name, const std::string& bytes) {
        const std::string path = folder.file(name);
        fs::create_directories(fs::path(path).parent_path());
        writeBytes(path, bytes);
        return path;
    }
    std::string newDocument(const std::string& name, const std::string& type) {
        const std::string path = folder.file(name);
        fs::create_directories(fs::path(path).parent_path());
        EXPECT_EQ(runCli({"--type", type, "new", path}).exitCode, 0);
        return path;
    }
    // A folder of deals in every state, and a letter beside them.
    void buildArchive() {
        statement = newDocument("deals/a.xml", "hud");
        refinance = newDocument("deals/b.xml", "hud1a");
        const std::string whole = readBytes(statement);
        damaged = put("deals/c.xml", whole.substr(0, whole.size() / 2));
        HudRecord legacy;
        legacy.version = 1601;
        legacyStatement = put("deals/d.hud", hudFile(legacy));
        RefinanceRecord legacyLoan;
        legacyLoan.version = 1502;
        legacyRefinance = put("deals/e.ref", refinanceFile(legacyLoan));
        mortgage = put("deals/f.hud", std::string("\x94\x01", 2) + "closing data");
        letter = put("deals/g.txt", "Dear Dana,");
        HudRecord early;
        early.version = 901;
        cut = put("deals/h.hud", hudFile(early).substr(0, 7));
        empty = put("deals/i.hud", "");
        put("deals/UpgradeBackup/old.prb", hudFile(legacy));
    }

    TempFolder folder;
    std::string statement, refinance, damaged, legacyStatement, legacyRefinance, mortgage, letter,
        cut, empty;
};

TEST_F(CheckTest, EveryFileGetsALineSayingWhatItIs) {
    buildArchive();
    const CliRun run = runCli({"check", folder.file("deals"), folder.file("none.xml")});
    EXPECT_EQ(run.out, statement + ": XML document, version 201, type hud\n" + refinance +
                           ": XML document, version 201, type hud1a\n" + damaged +
                           ": XML document, damaged: it does not load\n" + legacyStatement +
                           ": legacy statement, version word 1601\n" + legacyRefinance +
                           ": legacy refinance statement, version word 1502\n" + mortgage +
                           ": legacy mortgage closing document, version word 404\n" + letter +
                           ": not a deal\n" + cut +
                           ": legacy statement, version word 901, damaged: the file ends inside a "
                           "field that starts at byte 4\n" +
                           empty + ": not a deal: empty\n" + folder.file("none.xml") +
                           ": no such file or folder\n");
    EXPECT_EQ(run.exitCode, 1) << run;
    EXPECT_EQ(run.err, "velmora: 6 of 10 files checked are not XML documents that load\n");
}

TEST_F(CheckTest, JsonLinesCarryTheKindAndWhatWasReadFromTheFile) {
    buildArchive();
    const CliRun run = runCli({"check", "--json", statement, legacyRefinance, letter, cut});
    EXPECT_EQ(run.out,
              "{\"path\":\"" + statement +
                  "\",\"kind\":\"xml\",\"version\":\"201\",\"type\":\"hud\",\"deal\":\"\","
                  "\"version_word\":0,\"reason\":\"\"}\n"
                  "{\"path\":\"" +
                  legacyRefinance +
                  "\",\"kind\":\"legacy\",\"version\":\"\",\"type\":\"\",\"deal\":"
                  "\"refinance statement\",\"version_word\":1502,\"reason\":\"\"}\n"
                  "{\"path\":\"" +
                  letter +
                  "\",\"kind\":\"not-a-deal\",\"version\":\"\",\"type\":\"\",\"deal\":\"\","
                  "\"version_word\":0,\"reason\":\"neither an XML document nor a legacy "
                  "deal\"}\n"
                  "{\"path\":\"" +
                  cut +
                  "\",\"kind\":\"damaged\",\"version\":\"\",\"type\":\"\",\"deal\":"
                  "\"statement\",\"version_word\":901,\"reason\":\"the file ends inside a field "
                  "that starts at byte 4\"}\n");
    EXPECT_EQ(run.exitCode, 1) << run;
}

TEST_F(CheckTest, ExitCodeFailsOnlyForNamedFilesAndDealsThatDoNotOpen) {
    buildArchive();
    // Documents and a letter in a folder pass; the letter named directly does not.
    fs::create_directories(folder.file("good"));
    fs::rename(statement, folder.file("good/a.xml"));
    fs::rename(refinance, folder.file("good/b.xml"));
    fs::rename(letter, folder.file("good/g.txt"));
    fs::create_symlink(folder.file("nowhere.xml"), folder.file("good/gone.xml"));
    const CliRun good = runCli({"check", folder.file("good")});
    EXPECT_EQ(good.exitCode, 0) << good;
    EXPECT_TRUE(good.err.empty()) << good;
    EXPECT_NE(good.out.find(folder.file("good/gone.xml") + ": the link leads nowhere\n"),
              std::string::npos)
        << good;
    EXPECT_EQ(runCli({"check", folder.file("good/a.xml")}).exitCode, 0);
    for (const std::string& failing :
         {folder.file("good/g.txt"), folder.file("good/gone.xml"), damaged, legacyStatement,
          mortgage, folder.file("deals/UpgradeBackup/old.prb")}) {
        const CliRun run = runCli({"check", folder.file("good/a.xml"), failing});
        EXPECT_EQ(run.exitCode, 1) << run;
    }
    // Each deal that does not open fails a folder.
    for (const std::string& deal : {damaged, legacyStatement, mortgage}) {
        fs::copy_file(deal, folder.file("good/deal"));
        EXPECT_EQ(runCli({"check", folder.file("good")}).exitCode, 1) << deal;
        fs::remove(folder.file("good/deal"));
    }
    EXPECT_EQ(runCli({"check", folder.file("good")}).exitCode, 0);
}

} // namespace
} // namespace velmora::testing
