// The copy kept before a legacy file is converted in place: its name from the
// clock and the document type, and where it goes.
#include "document/hud_document.h"
#include "platform/clock.h"
#include "support/platform_doubles.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace velmora::testing {
namespace {

#ifdef _WIN32
const std::string kJoin = "\\";
#else
const std::string kJoin = "/";
#endif

const LocalTime kMarch5 = {2009, 3, 5, 7, 4, 9};

std::vector<std::string> namesIn(const std::string& path) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path))
        names.push_back(entry.path().filename().string());
    return names;
}

TEST(UpgradeBackupName, StampHasNoLeadingZerosAndTheExtensionOfTheType) {
    const UpgradeBackupName hud = upgradeBackupName("/deals/deal.hud", "hud", kMarch5);
    EXPECT_EQ(hud.folder, "/deals/UpgradeBackup");
    EXPECT_EQ(hud.path, "/deals/UpgradeBackup" + kJoin + "deal_3-5-2009 7-4-9.prb");
    EXPECT_EQ(upgradeBackupName("/deals/deal.hud", "hud1a", kMarch5).path,
              "/deals/UpgradeBackup" + kJoin + "deal_3-5-2009 7-4-9.rfb");
    for (const std::string type : {"mortgage", "title", "HUD", ""})
        EXPECT_EQ(upgradeBackupName("/deals/deal.hud", type, kMarch5).path,
                  "/deals/UpgradeBackup" + kJoin + "deal_3-5-2009 7-4-9")
            << type;

    EXPECT_EQ(upgradeBackupName("/d/deal.hud", "hud", {2008, 9, 16, 14, 5, 8}).path,
              "/d/UpgradeBackup" + kJoin + "deal_9-16-2008 14-5-8.prb");
    EXPECT_EQ(upgradeBackupName("/d/deal.hud", "hud", {10999, 12, 31, 23, 59, 0}).path,
              "/d/UpgradeBackup" + kJoin + "deal_12-31-10999 23-59-0.prb");
    EXPECT_EQ(upgradeBackupName("/d/deal.hud", "hud", {2000, 1, 1, 0, 0, 0}).path,
              "/d/UpgradeBackup" + kJoin + "deal_1-1-2000 0-0-0.prb");
}

TEST(UpgradeBackupName, FolderIsFoundWithEitherSeparator) {
    const UpgradeBackupName windows = upgradeBackupName("C:\\Deals\\deal.hud", "hud", kMarch5);
    EXPECT_EQ(windows.folder, "C:\\Deals\\UpgradeBackup");
    EXPECT_EQ(windows.path, "C:\\Deals\\UpgradeBackup" + kJoin + "deal_3-5-2009 7-4-9.prb");

    const UpgradeBackupName mixed = upgradeBackupName("/srv/a\\b/c\\deal.hud", "hud", kMarch5);
    EXPECT_EQ(mixed.folder, "/srv/a\\b/c\\UpgradeBackup");

    const UpgradeBackupName bare = upgradeBackupName("deal.hud", "hud", kMarch5);
    EXPECT_EQ(bare.folder, "UpgradeBackup");
    EXPECT_EQ(bare.path, "UpgradeBackup" + kJoin + "deal_3-5-2009 7-4-9.prb");
}

TEST(UpgradeBackupName, OnlyTheLastExtensionOfTheFileNameIsDropped) {
    EXPECT_EQ(upgradeBackupName("/d/deal.v2.hud", "hud", kMarch5).path,
              "/d/UpgradeBackup" + kJoin + "deal.v2_3-5-2009 7-4-9.prb");
    EXPECT_EQ(upgradeBackupName("/my.deals/deal", "hud", kMarch5).path,
              "/my.deals/UpgradeBackup" + kJoin + "deal_3-5-2009 7-4-9.prb");
    EXPECT_EQ(upgradeBackupName("C:\\my.deals\\deal", "hud", kMarch5).path,
              "C:\\my.deals\\UpgradeBackup" + kJoin + "deal_3-5-2009 7-4-9.prb");
}

class UpgradeBackup : public ::testing::Test {
protected:
    // Every byte value, so that a copy through a text conversion shows.
    static std::string content() {
        std::string bytes;
        for (int i = 0; i < 256; ++i)
            bytes.push_back(static_cast<char>(i));
        return bytes + "\r\n\x1A tail";
    }

    TempFolder folder;
    FixedClock clock{kMarch5};
    const std::string source = folder.file("deal.hud");
    const std::string backups = folder.file("UpgradeBackup");
    CHudDocument document{document_types::kHud};
};

TEST_F(UpgradeBackup, CopiesTheFileIntoANewFolder) {
    writeBytes(source, content());
    document.makeUpgradeBackup(source);
    EXPECT_EQ(readBytes(backups + "/deal_3-5-2009 7-4-9.prb"), content());
    EXPECT_EQ(namesIn(backups), std::vector<std::string>{"deal_3-5-2009 7-4-9.prb"});
    EXPECT_EQ(readBytes(source), content());
}

TEST_F(UpgradeBackup, UsesAnExistingFolderAndNeverReplacesABackupOfTheSameSecond) {
    writeBytes(source, content());
    ASSERT_TRUE(std::filesystem::create_directory(backups));
    writeBytes(backups + "/keep.txt", "keep");
    writeBytes(backups + "/deal_3-5-2009 7-4-9.rfb", "another file's backup");

    document.setDocumentType(document_types::kHud1a);
    EXPECT_FALSE(document.makeUpgradeBackup(source));
    EXPECT_EQ(readBytes(backups + "/deal_3-5-2009 7-4-9.rfb"), "another file's backup");
    EXPECT_EQ(readBytes(backups + "/keep.txt"), "keep");

    // The same file backed up twice within the second: the first copy serves.
    document.setDocumentType(document_types::kHud);
    EXPECT_TRUE(document.makeUpgradeBackup(source));
    EXPECT_TRUE(document.makeUpgradeBackup(source));
    EXPECT_EQ(readBytes(backups + "/deal_3-5-2009 7-4-9.prb"), content());
    EXPECT_EQ(namesIn(backups).size(), 3u);
}

TEST_F(UpgradeBackup, MissingFileMakesNoFolder) {
    document.makeUpgradeBackup(source);
    EXPECT_TRUE(folder.entries().empty());
}

TEST_F(UpgradeBackup, FolderThatCannotBeMadeMeansNoBackup) {
    writeBytes(source, content());
    writeBytes(backups, "a file in the way");
    document.makeUpgradeBackup(source);
    EXPECT_EQ(readBytes(backups), "a file in the way");
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"UpgradeBackup", "deal.hud"}));
}

} // namespace
} // namespace velmora::testing
