// velmora convert and the demo's converted sample, end to end: which files of
// a folder are converted, what is left alone, the backups, the summary and the
// exit code.
#include "cli/cli_runner.h"
#include "document/hud_document.h"
#include "support/legacy_writer.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace velmora::testing {
namespace {

namespace fs = std::filesystem;

HudRecord statement(std::uint32_t version, const std::string& fileNo) {
    HudRecord r;
    r.version = version;
    r.fileNo = fileNo;
    return r;
}

RefinanceRecord refinance() {
    RefinanceRecord r;
    r.version = 1202;
    r.loanNo = "L-7";
    return r;
}

// The names in `folder` that begin with `stem` + "_".
std::vector<std::string> backupsOf(const std::string& folder, const std::string& stem) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(stem + "_", 0) == 0)
            names.push_back(name);
    }
    return names;
}

bool isXml(const std::string& path) {
    return readBytes(path).rfind("<calverin>", 0) == 0;
}

class ConvertTest : public ::testing::Test {
protected:
    // Writes a file of the archive and remembers its bytes.
    std::string put(const std::string& name, const std::string& bytes) {
        const std::string path = folder.file(name);
        fs::create_directories(fs::path(path).parent_path());
        writeBytes(path, bytes);
        original[path] = bytes;
        return path;
    }
    std::string xmlDocument(const std::string& name) {
        CHudDocument document(document_types::kHud);
        document.initDocument();
        EXPECT_EQ(document.saveDocument(folder.file(name)), 0);
        document.releaseLock();
        return put(name, readBytes(folder.file(name)));
    }
    std::string get(const std::string& file, const std::string& uri, const std::string& name) {
        const CliRun run = runCli({"get", file, uri, name});
        EXPECT_EQ(run.exitCode, 0) << run;
        return run.out;
    }

    TempFolder folder;
    std::map<std::string, std::string> original;
};

TEST_F(ConvertTest, FolderOfMixedFilesConvertsEveryLegacyFileOnce) {
    const std::vector<std::string> legacy = {
        put("a401.hud", hudFile(statement(401, "F-401"))),
        put("b1001.hud", hudFile(statement(1001, "F-1001"))),
        put("c1601.dat", hudFile(statement(1601, "F-1601"))),
        put("nested/d1201.hud", hudFile(statement(1201, "F-1201")))};
    const std::vector<std::string> xml = {xmlDocument("current.xml"),
                                          xmlDocument("nested/current2.xml")};
    const std::string refinanceFile = put("loan.ref", testing::refinanceFile(refinance()));
    const std::string junk = put("notes.txt", "these are no deal data at all");
    const std::string kept =
        put("UpgradeBackup/old_1-1-2000 0-0-0.prb", hudFile(statement(1601, "kept as it is")));

    const CliRun run = runCli({"convert", "--yes", "-j", "2", folder.path()});
    EXPECT_FALSE(run.stopped) << run;
    EXPECT_EQ(run.exitCode, 1) << run;
    EXPECT_EQ(run.out, "converted: 4, skipped (already XML): 2, refused: 2\n") << run;
    EXPECT_NE(run.err.find("refused: " + refinanceFile + ": Velmora: This is not Hud document!"),
              std::string::npos)
        << run;
    EXPECT_NE(run.err.find("refused: " + junk + ": "), std::string::npos) << run;

    for (const std::string& file : legacy) {
        EXPECT_TRUE(isXml(file)) << file;
        const fs::path path(file);
        const std::vector<std::string> backups =
            backupsOf((path.parent_path() / "UpgradeBackup").string(), path.stem().string());
        ASSERT_EQ(backups.size(), 1u) << file;
        EXPECT_EQ(fs::path(backups[0]).extension(), ".prb");
        EXPECT_EQ(readBytes((path.parent_path() / "UpgradeBackup" / backups[0]).string()),
                  original[file])
            << file;
    }
    EXPECT_EQ(get(legacy[2], "b", "fileNo_6"), "F-1601\n");
    EXPECT_EQ(get(legacy[3], "b", "fileNo_6"), "F-1201\n");
    for (const std::string& file : {xml[0], xml[1], refinanceFile, junk, kept})
        EXPECT_EQ(readBytes(file), original[file]) << file;
    EXPECT_FALSE(fs::exists(folder.file("UpgradeBackup/UpgradeBackup")));
    EXPECT_FALSE(fs::exists(folder.file("nested/UpgradeBackup/UpgradeBackup")));

    // The refinance file needs its own type; nothing else is left to do.
    const CliRun second = runCli({"--type", "hud1a", "convert", "--yes", refinanceFile});
    EXPECT_EQ(second.exitCode, 0) << second;
    EXPECT_EQ(second.out, "converted: 1, skipped (already XML): 0, refused: 0\n") << second;
    EXPECT_TRUE(isXml(refinanceFile));
    EXPECT_EQ(get(refinanceFile, "b", "loanNo_7"), "L-7\n");
    EXPECT_EQ(backupsOf(folder.file("UpgradeBackup"), "loan").size(), 2u); // .prb, then .rfb
}

TEST_F(ConvertTest, NothingIsConvertedWithoutAgreement) {
    const std::string file = put("deal.hud", hudFile(statement(1601, "F-1")));
    const std::string nested = put("sub/other.hud", hudFile(statement(901, "F-2")));
    const CliRun run = runCli({"convert", "-j", "2", folder.path()});
    EXPECT_FALSE(run.stopped) << run;
    EXPECT_EQ(run.exitCode, 1) << run;
    EXPECT_TRUE(run.out.empty()) << run;
    EXPECT_EQ(readBytes(file), original[file]);
    EXPECT_EQ(readBytes(nested), original[nested]);
    EXPECT_FALSE(fs::exists(folder.file("UpgradeBackup")));
    EXPECT_FALSE(fs::exists(folder.file("sub/UpgradeBackup")));
}

TEST_F(ConvertTest, FileNamedTwiceIsConvertedOnce) {
    const std::string file = put("deal.hud", hudFile(statement(1601, "F-1")));
    const CliRun run =
        runCli({"convert", "--yes", "-j", "2", folder.path(), folder.path() + "/./deal.hud", file});
    EXPECT_EQ(run.exitCode, 0) << run;
    EXPECT_EQ(run.out, "converted: 1, skipped (already XML): 0, refused: 0\n") << run;
    const std::vector<std::string> backups = backupsOf(folder.file("UpgradeBackup"), "deal");
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_EQ(readBytes(folder.file("UpgradeBackup/" + backups[0])), original[file]);
}

TEST_F(ConvertTest, DemoConvertsItsLegacySample) {
    const std::string demo = folder.file("demo");
    const CliRun run = runCli({"demo", demo});
    ASSERT_EQ(run.exitCode, 0) << run;
    const std::string sample = demo + "/legacy-deal.hud";
    EXPECT_TRUE(isXml(sample));
    const std::vector<std::string> backups = backupsOf(demo + "/UpgradeBackup", "legacy-deal");
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_EQ(fs::path(backups[0]).extension(), ".prb");
    EXPECT_FALSE(isXml(demo + "/UpgradeBackup/" + backups[0]));
    EXPECT_EQ(get(sample, "b", "fileNo_6"), "2004-0311\n");
    EXPECT_EQ(get(sample, "d", "name1"), "Ren\xC3\xA9 Caldwell\n");
}

} // namespace
} // namespace velmora::testing
