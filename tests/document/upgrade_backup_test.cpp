// The copy kept before a legacy file is converted in place: its name from the
// clock and the document type, and where it goes. What a failed backup does
// to the conversion is tested with the conversion.
#include "document/hud_document.h"
#include "platform/clock.h"
#include "support/platform_doubles.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <tuple>
#include <vector>

namespace velmora::testing {
namespace {

#ifdef _WIN32
const std::string kJoin = "\\";
#else
const std::string kJoin = "/";
#endif

const LocalTime kMarch5 = {2009, 3, 5, 7, 4, 9};

TEST(UpgradeBackupName, FolderBesideTheFileStampWithoutLeadingZerosAndTypeExtension) {
    const LocalTime afternoon = {2008, 9, 16, 14, 5, 8}, late = {10999, 12, 31, 23, 59, 0},
                    midnight = {2000, 1, 1, 0, 0, 0};
    // File, type, time; the folder and the name in it.
    const std::tuple<std::string, std::string, LocalTime, std::string, std::string> cases[] = {
        {"/d/deal.hud", "hud", kMarch5, "/d/UpgradeBackup", "deal_3-5-2009 7-4-9.prb"},
        {"/d/deal.hud", "hud1a", kMarch5, "/d/UpgradeBackup", "deal_3-5-2009 7-4-9.rfb"},
        {"/d/deal.hud", "HUD", kMarch5, "/d/UpgradeBackup", "deal_3-5-2009 7-4-9"},
        {"/d/deal.hud", "hud", afternoon, "/d/UpgradeBackup", "deal_9-16-2008 14-5-8.prb"},
        {"/d/deal.hud", "hud", late, "/d/UpgradeBackup", "deal_12-31-10999 23-59-0.prb"},
        {"/d/deal.hud", "hud", midnight, "/d/UpgradeBackup", "deal_1-1-2000 0-0-0.prb"},
        {"C:\\D\\deal.hud", "hud", kMarch5, "C:\\D\\UpgradeBackup", "deal_3-5-2009 7-4-9.prb"},
        {"/a\\b/c\\deal.hud", "hud", kMarch5, "/a\\b/c\\UpgradeBackup", "deal_3-5-2009 7-4-9.prb"},
        {"deal.hud", "hud", kMarch5, "UpgradeBackup", "deal_3-5-2009 7-4-9.prb"},
        // Only the last extension of the file name is dropped.
        {"/d/deal.v2.hud", "hud", kMarch5, "/d/UpgradeBackup", "deal.v2_3-5-2009 7-4-9.prb"},
        {"/my.d/deal", "hud", kMarch5, "/my.d/UpgradeBackup", "deal_3-5-2009 7-4-9.prb"},
        {"C:\\my.d\\deal", "hud", kMarch5, "C:\\my.d\\UpgradeBackup", "deal_3-5-2009 7-4-9.prb"}};
    for (const auto& [file, type, time, folder, name] : cases) {
        const UpgradeBackupName backup = upgradeBackupName(file, type, time);
        EXPECT_EQ(backup.folder, folder) << file;
        EXPECT_EQ(backup.path, folder + kJoin + name) << file << " " << type;
    }
}

TEST(UpgradeBackup, CopiesEveryByteAndKeepsWhatTheFolderHolds) {
    TempFolder folder;
    FixedClock clock{kMarch5};
    const std::string source = folder.file("deal.hud");
    const std::string backups = folder.file("UpgradeBackup");
    CHudDocument document{document_types::kHud};
    EXPECT_FALSE(document.makeUpgradeBackup(source));
    EXPECT_TRUE(folder.entries().empty()) << "a missing file makes no folder";

    // Every byte value, so that a copy through a text conversion shows.
    std::string content = "\r\n\x1A tail";
    for (int i = 0; i < 256; ++i)
        content.push_back(static_cast<char>(i));
    writeBytes(source, content);
    // The time of the original survives in its copy alone once it is converted.
    const struct timespec lastYear[2] = {{0, UTIME_OMIT}, {1'690'000'000, 125'000'000}};
    ASSERT_EQ(::utimensat(AT_FDCWD, source.c_str(), lastYear, 0), 0);
    ASSERT_TRUE(document.makeUpgradeBackup(source));
    const std::string copy = backups + "/deal_3-5-2009 7-4-9.prb";
    struct stat copied {};
    ASSERT_EQ(::stat(copy.c_str(), &copied), 0);
    EXPECT_EQ(copied.st_mtim.tv_sec, lastYear[1].tv_sec);
    EXPECT_EQ(copied.st_mtim.tv_nsec, lastYear[1].tv_nsec);
    EXPECT_EQ(readBytes(copy), content);
    EXPECT_EQ(readBytes(source), content);

    // The same file backed up twice within the second: the first copy serves.
    writeBytes(backups + "/keep.txt", "keep");
    EXPECT_TRUE(document.makeUpgradeBackup(source));
    EXPECT_EQ(readBytes(backups + "/deal_3-5-2009 7-4-9.prb"), content);
    EXPECT_EQ(readBytes(backups + "/keep.txt"), "keep");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(backups),
                            std::filesystem::directory_iterator()),
              2);
}

} // namespace
} // namespace velmora::testing
