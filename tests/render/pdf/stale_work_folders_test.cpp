// Removing the browser work folders that killed runs left behind: only this
// user's folders that no run holds go, and no link is ever followed, neither
// one standing for a work folder nor one inside a folder being removed.
#include "render/pdf/stale_work_folders.h"
#include "render/pdf/work_folder.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/file.h>
#include <unistd.h>
#include <vector>

namespace velmora::testing {
namespace {

namespace fs = std::filesystem;
using render::pdf::kWorkFolderLock;
using render::pdf::removeStaleWorkFolders;
using render::pdf::WorkFolder;

// A folder holding a file, with a lock file no one holds when `withLock`.
std::string folderWithFile(const std::string& path, bool withLock) {
    fs::create_directories(path);
    writeBytes(path + "/keep.txt", "kept");
    if (withLock)
        writeBytes(path + "/" + kWorkFolderLock, "");
    return path;
}

void makeOld(const std::string& path) {
    fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::hours(48));
}

std::vector<std::string> sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

TEST(StaleWorkFolders, OnlyFoldersNoRunHoldsGoAndLinksAreNeverFollowed) {
    TempFolder parent;
    TempFolder elsewhere;
    const std::string root = parent.path() + "/";

    // Left by a killed run: its lock is free. Its profile holds a link out,
    // which must go as a link.
    const std::string killed = folderWithFile(root + "velmora-render-K1lled", true);
    folderWithFile(killed + "/profile/Default", false);
    const std::string outside = folderWithFile(elsewhere.file("outside"), true);
    fs::create_directory_symlink(outside, killed + "/profile/Default/outside");
    // Left by an older build, which took no lock: removed once it is old.
    makeOld(folderWithFile(root + "velmora-render-Old000", false));
    const std::string young = folderWithFile(root + "velmora-render-Young0", false);
    // Not ours by name, however stale it looks.
    makeOld(folderWithFile(root + "velmora-render-notes", false));
    // A link in the shape of a work folder, to a folder that would be removed
    // if it were followed.
    const std::string target = folderWithFile(elsewhere.file("target"), true);
    fs::create_directory_symlink(target, root + "velmora-render-L1nk00");
    // A run's folder, and one whose lock a run of another process holds.
    const WorkFolder live(parent.path());
    const std::string held = folderWithFile(root + "velmora-render-He1d00", true);
    const int holder = ::open((held + "/" + kWorkFolderLock).c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);

    removeStaleWorkFolders(parent.path());
    ::close(holder);

    EXPECT_EQ(parent.entries(),
              sorted({fs::path(live.path()).filename().string(), "velmora-render-He1d00",
                      "velmora-render-L1nk00", "velmora-render-Young0", "velmora-render-notes"}));
    EXPECT_EQ(readBytes(young + "/keep.txt"), "kept");
    EXPECT_EQ(readBytes(held + "/keep.txt"), "kept");
    EXPECT_TRUE(fs::exists(live.file(kWorkFolderLock)));
    EXPECT_EQ(readBytes(target + "/keep.txt"), "kept");
    EXPECT_EQ(readBytes(outside + "/keep.txt"), "kept");
}

TEST(StaleWorkFolders, AWorkFolderGoesWithItsRun) {
    TempFolder parent;
    std::string path;
    {
        const WorkFolder folder(parent.path());
        path = folder.path();
        writeBytes(folder.file("chromium.log"), "log");
    }
    EXPECT_FALSE(fs::exists(path));
    EXPECT_TRUE(parent.entries().empty());
}

} // namespace
} // namespace velmora::testing
