// The walk over the files and folders a run is given: links followed once,
// loops ended, upgrade backups left alone, and what cannot be looked at.
#include "batch/tree_walk.h"
#include "support/child_process.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

namespace velmora::testing {
namespace {

namespace fs = std::filesystem;
using batch::Found;

TEST(TreeWalk, LinksAreFollowedOnceLoopsEndAndBackupsAreLeftAlone) {
    TempFolder tree;
    TempFolder outside;
    const auto put = [](const std::string& path) {
        fs::create_directories(fs::path(path).parent_path());
        writeBytes(path, "x");
    };
    put(tree.file("a.hud"));
    put(tree.file("a.hud.tmp-Xy12Zq")); // a save in progress
    put(tree.file("sub/b.hud"));
    put(tree.file("UpgradeBackup/a_1-1-2000 0-0-0.prb"));
    put(outside.file("far/c.hud"));
    fs::create_symlink(tree.file("a.hud"), tree.file("again.hud")); // a file reached twice
    fs::create_symlink(tree.file("sub"), tree.file("alias"));       // ... and a folder, link first
    fs::create_symlink(tree.path(), tree.file("sub/loop"));         // a loop of folders
    fs::create_symlink(outside.file("far"), tree.file("far"));      // a folder elsewhere
    fs::create_symlink(outside.file("gone.hud"), tree.file("gone.hud")); // a link to nothing
    fs::create_symlink(tree.file("UpgradeBackup"), tree.file("old"));    // links into backups
    fs::create_symlink(tree.file("UpgradeBackup/a_1-1-2000 0-0-0.prb"), tree.file("latest.hud"));
    ASSERT_EQ(::mkfifo(tree.file("pipe").c_str(), 0644), 0);

    const batch::TreeWalk walk = batch::walkTree(
        {tree.path(), tree.file("sub/b.hud"), tree.file("UpgradeBackup"), tree.file("missing")});
    using Finding = std::tuple<std::string, std::string, Found, std::string, bool>;
    std::vector<Finding> found;
    for (const batch::FoundFile& file : walk.files)
        found.emplace_back(file.path, file.relative, file.found, file.link, file.named);
    // Reached through a link only: known where it really is, by the link's name.
    const std::string farC = fs::canonical(outside.file("far/c.hud")).string();
    const std::vector<Finding> expected = {
        {tree.file("a.hud"), "a.hud", Found::File, "", false},
        {tree.file("gone.hud"), "gone.hud", Found::Dangling, "", false},
        {tree.file("pipe"), "pipe", Found::NotAFile, "", false},
        {farC, "far/c.hud", Found::File, tree.file("far/c.hud"), false},
        {tree.file("sub/b.hud"), "sub/b.hud", Found::File, "", true},
        {tree.file("missing"), "missing", Found::Missing, "", true}};
    EXPECT_EQ(found, expected);
    ASSERT_EQ(walk.notes.size(), 1u);
    EXPECT_EQ(walk.notes[0],
              tree.file("UpgradeBackup") + ": upgrade backups are never converted; left alone");

    // A link named alone is known by where it leads, and by its own name.
    const batch::TreeWalk named = batch::walkTree({tree.file("again.hud")});
    ASSERT_EQ(named.files.size(), 1u);
    EXPECT_EQ(named.files[0].path, fs::canonical(tree.file("a.hud")).string());
    EXPECT_EQ(named.files[0].link, tree.file("again.hud"));
    EXPECT_EQ(named.files[0].relative, "again.hud");
}

// A folder another user may not enter: its name is reported as unreadable,
// and so is a file named inside it, never as a link that leads nowhere.
TEST(TreeWalk, WhatCannotBeLookedAtIsUnreadable) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "making a folder another user cannot enter needs root";
    TempFolder tree;
    ASSERT_EQ(::chmod(tree.path().c_str(), 0755), 0);
    fs::create_directory(tree.file("locked"));
    writeBytes(tree.file("locked/deal.hud"), "x");
    ASSERT_EQ(::chmod(tree.file("locked").c_str(), 0700), 0);
    EXPECT_TRUE(inChildProcess([&] {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            return false;
        const batch::TreeWalk walk = batch::walkTree({tree.path(), tree.file("locked/deal.hud")});
        return walk.files.size() == 2 && walk.files[0].found == Found::Unreadable &&
               walk.files[0].relative == "locked" && walk.files[1].found == Found::Unreadable;
    }));
}

} // namespace
} // namespace velmora::testing
