// The document's hold on its file: what other documents and other processes
// may do while it is held, the provider's switch, the file-use registry calls,
// and the format test.
#include "com/provider.h"
#include "document/hud_document.h"
#include "platform/safe_file.h"
#include "platform/shared_file.h"
#include "support/child_process.h"
#include "support/platform_doubles.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmora::testing {
namespace {

const std::string kContent = "<calverin><HUD/></calverin>";
using Calls = std::vector<std::string>;

bool canOpenExclusively(const std::string& path) {
    return SharedFile::open(path, FileAccess::Read, FileSharing::None) != nullptr;
}
bool canOpenSharingRead(const std::string& path) {
    return SharedFile::open(path, FileAccess::Read, FileSharing::ReadOnly) != nullptr;
}

class FileLock : public ::testing::Test {
protected:
    void SetUp() override { writeBytes(path, kContent); }

    // Whether another holder can replace the file; when it cannot, the file
    // must be as it was.
    bool canReplace(const std::string& file) {
        const bool replaced = writeFileReplacing(file, "replaced");
        EXPECT_EQ(readBytes(file), replaced ? "replaced" : kContent);
        writeBytes(file, kContent);
        return replaced;
    }

    TempFolder folder;
    const std::string path = folder.file("deal.xml");
    const std::string missing = folder.file("missing.xml");
    CHudDocument document{document_types::kHud};
    CHudDocument other{document_types::kHud};
};

TEST_F(FileLock, HeldFileCanBeReadButNotWrittenByAnotherDocument) {
    document.applyLock(path);
    ASSERT_TRUE(document.isLocked());
    EXPECT_FALSE(canOpenExclusively(path));
    EXPECT_FALSE(canReplace(path));
    EXPECT_TRUE(canOpenSharingRead(path));
    // The format test reads without sharing, so a held file is not one.
    EXPECT_FALSE(other.isXmlFile(path));

    // Both may hold it; it is free only when both let go.
    other.applyLock(path);
    document.releaseLock();
    EXPECT_FALSE(canReplace(path));
    other.releaseLock();
    EXPECT_TRUE(canOpenExclusively(path));
    EXPECT_TRUE(other.isXmlFile(path));

    // A second lock of the same file replaces the first.
    document.applyLock(path);
    document.applyLock(path);
    document.releaseLock();
    EXPECT_TRUE(canReplace(path));
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
    RecordingRegistry registry;
    HudProvider provider;
    // Before any load the switch claims the empty path and locks nothing.
    EXPECT_EQ(provider.ApplyFileLock(1), kS_OK);
    EXPECT_EQ(registry.calls, Calls{"claim "});
    EXPECT_FALSE(provider.document()->isLocked());

    provider.document()->lockedPath = path;
    EXPECT_EQ(provider.ApplyFileLock(1), kS_OK);
    EXPECT_FALSE(canReplace(path));
    EXPECT_EQ(provider.ApplyFileLock(0), kS_OK);
    EXPECT_TRUE(canReplace(path));
    provider.ApplyFileLock(1);
    EXPECT_EQ(provider.Dispose(), kS_OK);
    EXPECT_TRUE(canReplace(path));

    // A provider that is never disposed still lets go of its file.
    {
        HudProvider undisposed;
        undisposed.document()->applyLock(path);
        ASSERT_FALSE(canReplace(path));
    }
    EXPECT_TRUE(canReplace(path));
}

TEST_F(FileLock, MissingFileOrDisabledLockingHoldsNothingNew) {
    RecordingRegistry registry;
    document.applyLock(path);
    document.applyLock(missing);
    EXPECT_FALSE(document.isLocked());
    EXPECT_EQ(document.lockedPath, missing);
    EXPECT_TRUE(canReplace(path));

    document.applyLock(path);
    document.lockingEnabled = false;
    document.releaseLock();
    EXPECT_TRUE(document.isLocked());
    document.applyLock(folder.file("other.xml"));
    EXPECT_EQ(document.lockedPath, path);
    EXPECT_EQ(registry.calls, (Calls{"claim " + path, "claim " + missing, "claim " + path}));
}

TEST_F(FileLock, FormatTestReleasesAndReclaimsARecordedFile) {
    RecordingRegistry registry;
    const std::tuple<std::string, std::deque<bool>, bool, Calls> cases[] = {
        {path, {true, true}, true, {"query ", "release ", "query ", "claim "}},
        {path, {true, false}, true, {"query ", "release ", "query "}},
        {missing, {false, true}, false, {"query ", "query ", "claim "}}};
    for (const auto& [file, answers, isXml, calls] : cases) {
        registry.calls.clear();
        registry.answers = answers;
        EXPECT_EQ(document.isXmlFile(file), isXml);
        Calls expected;
        for (const std::string& call : calls)
            expected.push_back(call + file);
        EXPECT_EQ(registry.calls, expected);
    }
}

} // namespace
} // namespace velmora::testing
