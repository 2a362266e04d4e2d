// Replacing a file whole: the mode a replaced file keeps, and what is left
// behind when the write cannot be done.
#include "platform/safe_file.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace velmora::testing {
namespace {

mode_t modeOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

TEST(SafeFile, ReplacedFileKeepsItsModeAndNewFileFollowsTheUmask) {
    TempFolder folder;
    const std::string path = folder.file("doc.xml");
    writeBytes(path, "old content that is longer");
    ASSERT_EQ(::chmod(path.c_str(), 0604), 0);
    const mode_t previous = ::umask(027);
    const bool replaced = writeFileReplacing(path, "new");
    const bool created = writeFileReplacing(folder.file("new.xml"), "");
    ::umask(previous);
    ASSERT_TRUE(replaced && created);
    EXPECT_EQ(readBytes(path), "new");
    EXPECT_EQ(modeOf(path), 0604u);
    EXPECT_EQ(modeOf(folder.file("new.xml")), 0640u);
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"doc.xml", "new.xml"}));
}

TEST(SafeFile, ReadOnlyFolderLeavesTheTargetAsItWas) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "permission bits do not stop root";
    TempFolder folder;
    const std::string path = folder.file("doc.xml");
    writeBytes(path, "old");
    ASSERT_EQ(::chmod(folder.path().c_str(), 0555), 0);
    const bool written = writeFileReplacing(path, "new");
    ::chmod(folder.path().c_str(), 0755);
    EXPECT_FALSE(written);
    EXPECT_EQ(readBytes(path), "old");
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"doc.xml"});
}

} // namespace
} // namespace velmora::testing
