// No copy of a deal is readable by more people than the deal: its backup,
// its page and its PDF get none of the permissions it lacks, whatever the
// umask would give; the index is its owner's alone, and one that others may
// read is named on standard error, once.
#include "cli/cli_runner.h"
#include "render/pdf/chromium.h"
#include "support/legacy_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/stat.h>

namespace velmora::testing {
namespace {
namespace fs = std::filesystem;

mode_t modeOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 0777;
}

// Tools run under the umask of most accounts, which alone would give 0644.
class PrivateCopies : public ::testing::Test {
protected:
    void SetUp() override { previous_ = ::umask(022); }
    void TearDown() override { ::umask(previous_); }

    std::string legacyDeal(const std::string& name, mode_t mode) {
        HudRecord deal;
        deal.version = 1601;
        deal.borrower.name1 = "Dana Whitlock";
        const std::string path = folder.file(name);
        writeBytes(path, hudFile(deal));
        ::chmod(path.c_str(), mode);
        return path;
    }

    TempFolder folder;

private:
    mode_t previous_ = 022;
};

TEST_F(PrivateCopies, BackupsPagesAndPdfsHaveNoPermissionTheirDealLacks) {
    for (const mode_t mode : {mode_t{0600}, mode_t{0640}}) {
        SCOPED_TRACE(mode);
        const std::string stem = "deal" + std::to_string(mode);
        const std::string deal = legacyDeal(stem + ".hud", mode);
        ASSERT_EQ(runCli({"render", deal}).exitCode, 0);
        EXPECT_EQ(modeOf(folder.file(stem + ".html")), mode);
        ASSERT_EQ(runCli({"convert", "--yes", deal}).exitCode, 0);
        EXPECT_EQ(modeOf(deal), mode);
        std::size_t backups = 0;
        for (const auto& backup : fs::directory_iterator(folder.file("UpgradeBackup"))) {
            if (!backup.path().filename().string().starts_with(stem))
                continue;
            ++backups;
            EXPECT_EQ(modeOf(backup.path().string()), mode) << backup.path();
        }
        EXPECT_EQ(backups, 1u);
        // The converted deal's page, replacing the one made from the legacy file.
        ASSERT_EQ(runCli({"render", "--force", deal}).exitCode, 0);
        EXPECT_EQ(modeOf(folder.file(stem + ".html")), mode);
        if (render::pdf::browserInstalled()) {
            ASSERT_EQ(runCli({"render", "--pdf", deal}).exitCode, 0);
            EXPECT_EQ(modeOf(folder.file(stem + ".pdf")), mode);
        }
    }
    // A deal others may read gives pages others may read, as the umask allows.
    const std::string open = legacyDeal("open.hud", 0666);
    ASSERT_EQ(runCli({"render", open}).exitCode, 0);
    EXPECT_EQ(modeOf(folder.file("open.html")), mode_t{0644});
}

TEST_F(PrivateCopies, TheIndexIsItsOwnersAndASharedOneIsNamedOnce) {
    legacyDeal("deal.hud", 0644);
    const std::string db = folder.file("index.db");
    const CliRun made = runCli({"index", "--db", db, folder.file("deal.hud")});
    ASSERT_EQ(made.exitCode, 0) << made;
    EXPECT_EQ(modeOf(db), mode_t{0600});
    EXPECT_EQ(made.err.find("can be read by other users"), std::string::npos);

    ::chmod(db.c_str(), 0644);
    const std::string warning = "velmora: " + db +
                                " can be read by other users of this machine, and it holds the "
                                "deals' names, addresses and amounts; chmod 600 '" +
                                db + "' makes it yours alone\n";
    EXPECT_EQ(runCli({"index", "--db", db, folder.file("deal.hud")}).err, warning);
    const CliRun search = runCli({"search", "--db", db, "whitlock"});
    EXPECT_EQ(search.exitCode, 0);
    EXPECT_EQ(search.err, warning);
    // Used as it is: an office may share its index on purpose.
    EXPECT_EQ(modeOf(db), mode_t{0644});
}

} // namespace
} // namespace velmora::testing
