// The document's hold on its file: what other documents and other processes
// may do while it is held, the file-use registry calls, and the format test.
#include "com/provider.h"
#include "document/hud_document.h"
#include "platform/file_use_registry.h"
#include "platform/safe_file.h"
#include "platform/shared_file.h"
#include "support/platform_doubles.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace velmora::testing {
namespace {

const std::string kContent = "<calverin><HUD/></calverin>";

bool canOpenExclusively(const std::string& path) {
    return SharedFile::open(path, FileAccess::Read, FileSharing::None) != nullptr;
}
bool canOpenSharingRead(const std::string& path) {
    return SharedFile::open(path, FileAccess::Read, FileSharing::ReadOnly) != nullptr;
}

// Runs `attempt` in a child process; whether it succeeded there.
bool inChildProcess(const std::function<bool()>& attempt) {
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(attempt() ? 0 : 1);
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        ADD_FAILURE() << "the child process did not finish normally";
        return false;
    }
    return WEXITSTATUS(status) == 0;
}

class FileLock : public ::testing::Test {
protected:
    void SetUp() override { writeBytes(path, kContent); }

    // Whether another holder can replace the file; when it cannot, the file
    // must be as it was.
    bool canReplace() {
        const bool replaced = writeFileReplacing(path, "replaced");
        if (!replaced)
            EXPECT_EQ(readBytes(path), kContent);
        else
            writeBytes(path, kContent);
        return replaced;
    }

    TempFolder folder;
    const std::string path = folder.file("deal.xml");
    CHudDocument document{document_types::kHud};
};

TEST_F(FileLock, HeldFileCanBeReadButNotWrittenByAnotherDocument) {
    document.applyLock(path);
    ASSERT_TRUE(document.isLocked());
    EXPECT_EQ(document.lockedPath, path);

    EXPECT_FALSE(canOpenExclusively(path));
    EXPECT_FALSE(SharedFile::open(path, FileAccess::ReadWrite, FileSharing::None));
    EXPECT_FALSE(canReplace());
    EXPECT_TRUE(canOpenSharingRead(path));

    // The format test reads without sharing, so a held file is not one.
    CHudDocument other(document_types::kHud);
    EXPECT_FALSE(other.isXmlFile(path));

    document.releaseLock();
    EXPECT_FALSE(document.isLocked());
    EXPECT_TRUE(canOpenExclusively(path));
    EXPECT_TRUE(canReplace());
    EXPECT_TRUE(other.isXmlFile(path));
}

TEST_F(FileLock, TwoDocumentsMayHoldTheSameFile) {
    CHudDocument other(document_types::kHud);
    document.applyLock(path);
    other.applyLock(path);
    EXPECT_TRUE(other.isLocked());
    document.releaseLock();
    EXPECT_FALSE(canReplace());
    other.releaseLock();
    EXPECT_TRUE(canReplace());
}

TEST_F(FileLock, HeldFileCannotBeWrittenByAnotherProcess) {
    document.applyLock(path);
    EXPECT_FALSE(inChildProcess([&] { return writeFileReplacing(path, "replaced"); }));
    EXPECT_EQ(readBytes(path), kContent);
    EXPECT_FALSE(inChildProcess([&] { return canOpenExclusively(path); }));
    EXPECT_TRUE(inChildProcess([&] { return canOpenSharingRead(path); }));

    document.releaseLock();
    EXPECT_TRUE(inChildProcess([&] { return writeFileReplacing(path, "replaced"); }));
    EXPECT_EQ(readBytes(path), "replaced");
}

TEST_F(FileLock, ProviderSwitchLocksTheRememberedPath) {
    HudProvider provider;
    provider.document()->lockedPath = path;
    EXPECT_EQ(provider.ApplyFileLock(1), kS_OK);
    EXPECT_TRUE(provider.document()->isLocked());
    EXPECT_FALSE(canReplace());
    EXPECT_EQ(provider.ApplyFileLock(0), kS_OK);
    EXPECT_FALSE(provider.document()->isLocked());
    EXPECT_TRUE(canReplace());

    provider.ApplyFileLock(1);
    EXPECT_EQ(provider.Dispose(), kS_OK);
    EXPECT_TRUE(canReplace());

    // A provider that is never disposed still lets go of its file.
    {
        HudProvider undisposed;
        undisposed.document()->applyLock(path);
        ASSERT_FALSE(canReplace());
    }
    EXPECT_TRUE(canReplace());
}

TEST_F(FileLock, SwitchBeforeAnyLoadClaimsTheEmptyPathAndLocksNothing) {
    RecordingRegistry registry;
    HudProvider provider;
    EXPECT_EQ(provider.ApplyFileLock(1), kS_OK);
    EXPECT_EQ(registry.calls, std::vector<std::string>{"claim "});
    EXPECT_FALSE(provider.document()->isLocked());
}

TEST_F(FileLock, SecondLockReplacesTheFirst) {
    const std::string second = folder.file("second.xml");
    writeBytes(second, kContent);
    document.applyLock(path);
    document.applyLock(path);
    document.releaseLock();
    EXPECT_TRUE(canReplace());

    document.applyLock(path);
    document.applyLock(second);
    EXPECT_EQ(document.lockedPath, second);
    EXPECT_TRUE(canReplace());
    EXPECT_FALSE(writeFileReplacing(second, "replaced"));
    document.releaseLock();
    EXPECT_TRUE(writeFileReplacing(second, "replaced"));
}

TEST_F(FileLock, LockOfAMissingFileIsSilentAndDropsTheOldOne) {
    RecordingRegistry registry;
    document.applyLock(path);
    document.applyLock(folder.file("missing.xml"));
    EXPECT_FALSE(document.isLocked());
    EXPECT_EQ(document.lockedPath, folder.file("missing.xml"));
    EXPECT_EQ(registry.calls,
              (std::vector<std::string>{"claim " + path, "claim " + folder.file("missing.xml")}));
    EXPECT_TRUE(canReplace());
}

TEST_F(FileLock, DisabledLockingNeitherTakesNorDropsLocks) {
    RecordingRegistry registry;
    document.applyLock(path);
    document.lockingEnabled = false;
    document.releaseLock();
    EXPECT_TRUE(document.isLocked());

    document.applyLock(folder.file("other.xml"));
    EXPECT_EQ(document.lockedPath, path);
    EXPECT_EQ(registry.calls, std::vector<std::string>{"claim " + path});

    // Another holder keeps the probe from enabling locking again.
    document.probeWritable(path);
    EXPECT_FALSE(document.lockingEnabled);
    CHudDocument other(document_types::kHud);
    other.lockingEnabled = false;
    other.probeWritable(folder.file("missing.xml"));
    EXPECT_FALSE(other.lockingEnabled);

    document.lockingEnabled = true;
    document.releaseLock();
    other.probeWritable(path);
    EXPECT_TRUE(other.lockingEnabled);
    other.probeWritable(path);
    EXPECT_TRUE(other.lockingEnabled);
}

TEST_F(FileLock, FormatTestWantsExactlyTheMarkerFirst) {
    HudProvider provider;
    const auto isXml = [&](const std::string& bytes) {
        writeBytes(path, bytes);
        int result = 12345;
        EXPECT_EQ(provider.isXMLFileFormat(path, &result), kS_OK);
        return result;
    };
    EXPECT_EQ(isXml("<calverin>"), 1);
    EXPECT_EQ(isXml("<calverin><HUD/></calverin>"), 1);
    EXPECT_EQ(isXml("<calverin"), 0);
    EXPECT_EQ(isXml(""), 0);
    EXPECT_EQ(isXml("<?xml version=\"1.0\"?><calverin><HUD/></calverin>"), 0);
    EXPECT_EQ(isXml("\xEF\xBB\xBF<calverin><HUD/></calverin>"), 0);
    EXPECT_EQ(isXml(" <calverin><HUD/></calverin>"), 0);
    EXPECT_EQ(isXml("<CALVERIN><HUD/></CALVERIN>"), 0);

    int result = 7;
    EXPECT_EQ(provider.isXMLFileFormat(folder.file("missing.xml"), &result), kS_OK);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(provider.isXMLFileFormat(folder.path(), &result), kS_OK);
    EXPECT_EQ(result, 0);
}

TEST_F(FileLock, FormatTestReleasesAndReclaimsARecordedFile) {
    RecordingRegistry registry;
    registry.answers = {true, true};
    EXPECT_TRUE(document.isXmlFile(path));
    EXPECT_EQ(registry.calls, (std::vector<std::string>{"query " + path, "release " + path,
                                                        "query " + path, "claim " + path}));

    registry.calls.clear();
    registry.answers = {true, false};
    EXPECT_TRUE(document.isXmlFile(path));
    EXPECT_EQ(registry.calls,
              (std::vector<std::string>{"query " + path, "release " + path, "query " + path}));

    registry.calls.clear();
    registry.answers = {false, true};
    EXPECT_FALSE(document.isXmlFile(folder.file("missing.xml")));
    const std::string missing = folder.file("missing.xml");
    EXPECT_EQ(registry.calls, (std::vector<std::string>{"query " + missing, "query " + missing,
                                                        "claim " + missing}));
}

} // namespace
} // namespace velmora::testing
