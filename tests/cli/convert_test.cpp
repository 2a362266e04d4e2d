// velmora convert and the demo end to end: which files of a folder are
// converted, what is left alone, the backups, the summary and the exit code.
#include "cli/cli_runner.h"
#include "document/hud_document.h"
#include "support/legacy_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <sys/stat.h>
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

// The backups of `file`: the names in its folder's UpgradeBackup beginning with its stem + "_".
std::vector<fs::path> backupsOf(const std::string& file) {
    const fs::path folder = fs::path(file).parent_path() / "UpgradeBackup";
    std::vector<fs::path> found;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        if (entry.path().filename().string().rfind(fs::path(file).stem().string() + "_", 0) == 0)
            found.push_back(entry.path());
    return found;
}

bool isXml(const std::string& path) {
    return readBytes(path).rfind("<calverin>", 0) == 0;
}

std::string get(const std::string& file, const std::string& uri, const std::string& name) {
    const CliRun run = runCli({"get", file, uri, name});
    EXPECT_EQ(run.exitCode, 0) << run;
    return run.out;
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

    TempFolder folder;
    std::map<std::string, std::string> original;
};

TEST_F(ConvertTest, FolderOfMixedFilesConvertsEveryLegacyFileOnceAndOnlyWhenAgreed) {
    const std::vector<std::string> legacy = {
        put("a401.hud", hudFile(statement(401, "F-401"))),
        put("c1601.dat", hudFile(statement(1601, "F-1601"))),
        put("nested/d1201.hud", hudFile(statement(1201, "F-1201")))};
    CHudDocument document(document_types::kHud);
    document.initDocument();
    ASSERT_EQ(document.saveDocument(folder.file("current.xml")), 0);
    document.releaseLock();
    const std::string xml = put("current.xml", readBytes(folder.file("current.xml")));
    RefinanceRecord loan;
    loan.version = 1202;
    loan.loanNo = "L-7";
    const std::string refinance = put("loan.ref", refinanceFile(loan));
    const std::string junk = put("notes.txt", "these are no deal data at all");
    const std::string kept =
        put("UpgradeBackup/old_1-1-2000 0-0-0.prb", hudFile(statement(1601, "kept as it is")));

    const CliRun unasked = runCli({"convert", "-j", "2", folder.path()});
    EXPECT_EQ(unasked.exitCode, 1) << unasked;
    EXPECT_TRUE(unasked.out.empty()) << unasked;
    for (const auto& [file, bytes] : original)
        EXPECT_EQ(readBytes(file), bytes) << file;
    EXPECT_FALSE(fs::exists(folder.file("nested/UpgradeBackup")));

    // A file named twice is converted once.
    const CliRun run = runCli(
        {"convert", "--yes", "-j", "2", folder.path(), legacy[0], folder.path() + "/./c1601.dat"});
    EXPECT_EQ(run.exitCode, 1) << run;
    EXPECT_EQ(run.out, "converted: 3, skipped (already XML): 1, refused: 2\n") << run;
    EXPECT_NE(run.err.find("refused: " + refinance + ": Velmora: This is not Hud document!"),
              std::string::npos)
        << run;
    EXPECT_NE(run.err.find("refused: " + junk + ": "), std::string::npos) << run;
    for (const std::string& file : legacy) {
        EXPECT_TRUE(isXml(file)) << file;
        const std::vector<fs::path> backups = backupsOf(file);
        ASSERT_EQ(backups.size(), 1u) << file;
        EXPECT_EQ(backups[0].extension(), ".prb");
        EXPECT_EQ(readBytes(backups[0].string()), original[file]) << file;
    }
    EXPECT_EQ(get(legacy[2], "b", "fileNo_6"), "F-1201\n");
    for (const std::string& file : {xml, refinance, junk, kept})
        EXPECT_EQ(readBytes(file), original[file]) << file;

    // The refinance file needs its own type.
    const CliRun second = runCli({"--type", "hud1a", "convert", "--yes", refinance});
    EXPECT_EQ(second.exitCode, 0) << second;
    EXPECT_EQ(second.out, "converted: 1, skipped (already XML): 0, refused: 0\n") << second;
    EXPECT_EQ(get(refinance, "b", "loanNo_7"), "L-7\n");
}

TEST_F(ConvertTest, LinkedFilesAreConvertedWhereTheyAreAndReadOnlyOnesAreLeftWhole) {
    TempFolder elsewhere;
    const std::string linked = elsewhere.file("linked.hud");
    writeBytes(linked, hudFile(statement(1601, "F-LINKED")));
    const std::string link = folder.file("link.hud");
    fs::create_symlink(linked, link);
    const std::string readOnly = put("read-only.hud", hudFile(statement(1601, "F-KEPT")));
    ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);

    const CliRun run = runCli({"convert", "--yes", link, readOnly});
    EXPECT_EQ(run.exitCode, 1) << run;
    EXPECT_EQ(run.out, "converted: 1, skipped (already XML): 0, refused: 1\n") << run;
    EXPECT_NE(run.err.find("refused: " + readOnly + ": Write error: This file is read-only"),
              std::string::npos)
        << run;
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::read_symlink(link), linked);
    EXPECT_EQ(get(link, "b", "fileNo_6"), "F-LINKED\n");
    EXPECT_EQ(readBytes(readOnly), original[readOnly]);
    EXPECT_TRUE(backupsOf(readOnly).empty());
    EXPECT_EQ(elsewhere.entries(), std::vector<std::string>{"linked.hud"});
}

TEST_F(ConvertTest, DemoBuildsASampleDealAndConvertsItsLegacySample) {
    const std::string demo = folder.file("demo files");
    const CliRun run = runCli({"demo", demo});
    ASSERT_EQ(run.exitCode, 0) << run;
    const std::string sample = demo + "/sample-deal.xml";
    EXPECT_NE(run.out.find(sample), std::string::npos);
    EXPECT_EQ(get(sample, "n100/n104", "amount"), "250000.00\n");
    EXPECT_EQ(get(sample, "e", "name1"), "Morgan & Lee Estates\n");

    const std::string legacy = demo + "/legacy-deal.hud";
    EXPECT_TRUE(isXml(legacy));
    const std::vector<fs::path> backups = backupsOf(legacy);
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_FALSE(isXml(backups[0].string()));
    EXPECT_EQ(get(legacy, "d", "name1"), "Ren\xC3\xA9 Caldwell\n");
}

} // namespace
} // namespace velmora::testing
