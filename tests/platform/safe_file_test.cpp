// Replacing a file whole: the mode, owner and group a replaced file keeps,
// links written through, targets that must not be replaced, and what is left
// behind when the write cannot be done.
#include "platform/file_faults.h"
#include "platform/safe_file.h"
#include "support/child_process.h"
#include "support/step_hook.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <grp.h>
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

namespace fs = std::filesystem;

TEST(SafeFile, LinksAreWrittenThroughToTheirFinalTargetAndStayLinks) {
    TempFolder links;
    TempFolder elsewhere;
    const std::string target = elsewhere.file("deal.xml");
    writeBytes(target, "old");
    const fs::path relative = fs::path("..") / fs::path(elsewhere.path()).filename() / "deal.xml";
    // Link, what it points to, the file that must receive the bytes.
    const std::tuple<std::string, fs::path, std::string> cases[] = {
        {"absolute.xml", target, target},
        {"relative.xml", relative, target},
        {"chain.xml", "absolute.xml", target},
        {"dangling.xml", elsewhere.file("new.xml"), elsewhere.file("new.xml")}};
    for (const auto& [name, pointsTo, receiver] : cases) {
        const std::string link = links.file(name);
        fs::create_symlink(pointsTo, link);
        ASSERT_TRUE(writeFileReplacing(link, "through " + name)) << name;
        EXPECT_TRUE(fs::is_symlink(link)) << name;
        EXPECT_EQ(fs::read_symlink(link), pointsTo) << name;
        EXPECT_EQ(readBytes(receiver), "through " + name) << name;
    }
    EXPECT_EQ(links.entries(), (std::vector<std::string>{"absolute.xml", "chain.xml",
                                                         "dangling.xml", "relative.xml"}));
    EXPECT_EQ(elsewhere.entries(), (std::vector<std::string>{"deal.xml", "new.xml"}));
}

TEST(SafeFile, FoldersDevicesFifosLinkLoopsAndReadOnlyFilesAreNeverReplaced) {
    TempFolder folder;
    const std::string readOnly = folder.file("template.xml");
    writeBytes(readOnly, "template");
    ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
    fs::create_directory(folder.file("dir.xml"));
    ASSERT_EQ(::mkfifo(folder.file("fifo.xml").c_str(), 0644), 0);
    fs::create_symlink("loop-b.xml", folder.file("loop-a.xml"));
    fs::create_symlink("loop-a.xml", folder.file("loop-b.xml"));
    fs::create_symlink("template.xml", folder.file("to-template.xml"));
    writeBytes(folder.file("plain.xml"), "plain");
    const std::pair<std::string, WriteTarget> cases[] = {
        {readOnly, WriteTarget::ReadOnly},
        {folder.file("to-template.xml"), WriteTarget::ReadOnly},
        {folder.file("dir.xml"), WriteTarget::NotAFile},
        {folder.file("fifo.xml"), WriteTarget::NotAFile},
        {folder.file("loop-a.xml"), WriteTarget::NotAFile},
        {"/dev/null", WriteTarget::NotAFile},
        {folder.file("plain.xml"), WriteTarget::Replaceable},
        {folder.file("missing.xml"), WriteTarget::Replaceable}};
    for (const auto& [path, kind] : cases) {
        EXPECT_EQ(writeTargetOf(path), kind) << path;
        if (kind != WriteTarget::Replaceable && path != "/dev/null") {
            EXPECT_FALSE(writeFileReplacing(path, "new")) << path;
        }
    }
    EXPECT_EQ(readBytes(readOnly), "template");
    EXPECT_TRUE(fs::is_fifo(folder.file("fifo.xml")));
    EXPECT_TRUE(fs::is_empty(folder.file("dir.xml")));
    EXPECT_EQ(folder.entries(),
              (std::vector<std::string>{"dir.xml", "fifo.xml", "loop-a.xml", "loop-b.xml",
                                        "plain.xml", "template.xml", "to-template.xml"}));
}

// A conversion replaces a file only if nobody changed it since it was read.
TEST(SafeFile, ReplacingIfUnchangedRefusesAFileChangedReplacedOrGone) {
    TempFolder folder;
    const std::string path = folder.file("deal.hud");
    writeBytes(path, "as read");
    EXPECT_EQ(writeFileReplacingIfUnchanged(path, "new", "as rea"), GuardedReplace::Changed);
    EXPECT_EQ(writeFileReplacingIfUnchanged(path, "new", "as read and more"),
              GuardedReplace::Changed);
    writeBytes(path, "edited in place");
    EXPECT_EQ(writeFileReplacingIfUnchanged(path, "new", "as read"), GuardedReplace::Changed);
    EXPECT_EQ(readBytes(path), "edited in place");
    EXPECT_EQ(writeFileReplacingIfUnchanged(path, "new", "edited in place"),
              GuardedReplace::Replaced);
    EXPECT_EQ(readBytes(path), "new");
    fs::remove(path);
    EXPECT_EQ(writeFileReplacingIfUnchanged(path, "newer", "new"), GuardedReplace::Changed);
    EXPECT_TRUE(folder.entries().empty());
}

void appendBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::app) << bytes;
}

// Another program that takes no lock writes the file while it is being
// replaced: before the last comparison (while the new bytes are flushed) it
// is caught before the swap, after it (just before the rename) through the
// replaced file; either way what it wrote is in the file and nothing else.
TEST(SafeFile, WhatAnotherWriterWritesDuringAGuardedReplaceIsNeverLost) {
    for (const FileStep writerStep : {FileStep::Flush, FileStep::Rename}) {
        TempFolder folder;
        const std::string path = folder.file("deal.hud");
        writeBytes(path, "as read");
        bool written = false;
        StepHook writer([&](FileStep step, const std::string& at) {
            if (step == writerStep && at == path && !written) {
                written = true;
                appendBytes(path, " and appended");
            }
            return false;
        });
        const ScopedFileFaults installed(writer);
        EXPECT_EQ(writeFileReplacingIfUnchanged(path, "converted", "as read"),
                  GuardedReplace::Changed)
            << static_cast<int>(writerStep);
        EXPECT_TRUE(written);
        EXPECT_EQ(readBytes(path), "as read and appended") << static_cast<int>(writerStep);
        EXPECT_EQ(folder.entries(), std::vector<std::string>{"deal.hud"});
    }
}

// When the writer's bytes cannot be put back, the replace says so.
TEST(SafeFile, AGuardedReplaceThatCannotPutBackAWritersBytesSaysSo) {
    TempFolder folder;
    const std::string path = folder.file("deal.hud");
    writeBytes(path, "as read");
    int renames = 0;
    StepHook writerThenFullDisk([&](FileStep step, const std::string& at) {
        if (step != FileStep::Rename || at != path)
            return false;
        if (++renames == 1)
            appendBytes(path, " and appended");
        return renames > 1;
    });
    const ScopedFileFaults installed(writerThenFullDisk);
    EXPECT_EQ(writeFileReplacingIfUnchanged(path, "converted", "as read"),
              GuardedReplace::NotPutBack);
    EXPECT_EQ(readBytes(path), "converted");
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"deal.hud"});
}

TEST(SafeFile, ReplacedFileKeepsItsOwnerAndGroup) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can give a file to another user";
    TempFolder folder;
    const std::string path = folder.file("doc.xml");
    writeBytes(path, "old");
    constexpr uid_t kOwner = 4321;
    constexpr gid_t kGroup = 8765;
    ASSERT_EQ(::chown(path.c_str(), kOwner, kGroup), 0);
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    ASSERT_TRUE(writeFileReplacing(path, "new"));
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, kOwner);
    EXPECT_EQ(info.st_gid, kGroup);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

// A folder anyone may write, and in it files of root that another user may
// read but not write: the folder would let that user replace them, their
// permissions do not.
TEST(SafeFile, AnotherUsersFileIsNotReplacedThoughTheFolderAllowsIt) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "making files of another user needs root; run the suite as root";
    constexpr uid_t kNobody = 65534;
    TempFolder folder;
    ASSERT_EQ(::chmod(folder.path().c_str(), 0777), 0);
    const std::string theirs = folder.file("theirs.xml");
    const std::string readOnly = folder.file("template.xml");
    writeBytes(theirs, "theirs");
    writeBytes(readOnly, "template");
    ASSERT_EQ(::chmod(theirs.c_str(), 0644), 0);
    ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
    const bool refused = inChildProcess([&] {
        if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
            return false;
        return writeTargetOf(theirs) == WriteTarget::ReadOnly && !writeFileReplacing(theirs, "x") &&
               writeTargetOf(readOnly) == WriteTarget::ReadOnly &&
               !writeFileReplacing(readOnly, "x") &&
               writeFileReplacing(folder.file("mine.xml"), "");
    });
    EXPECT_TRUE(refused);
    EXPECT_EQ(readBytes(theirs), "theirs");
    EXPECT_EQ(readBytes(readOnly), "template");
    EXPECT_EQ(folder.entries(),
              (std::vector<std::string>{"mine.xml", "template.xml", "theirs.xml"}));
}

} // namespace
} // namespace velmora::testing
