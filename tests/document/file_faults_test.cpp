// Every step of the file layer failing in turn: a document save, a legacy
// conversion (backup, then the converted file) and an upgrade backup. Each
// failure must give the operation's refusal, its message where it has one,
// nothing after the failed step, no temporary file, and the files as they
// were (the original legacy bytes above all).
#include "com/provider.h"
#include "document/document_messages.h"
#include "document/hud_document.h"
#include "support/numbered_faults.h"
#include "support/platform_doubles.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <sys/stat.h>
#include <tuple>
#include <vector>

namespace velmora::testing {
namespace {

using Steps = std::vector<FileStep>;
// Every file below a folder with its bytes; a folder as its name and "/".
using Snapshot = std::map<std::string, std::string>;

constexpr FileStep kCreate = FileStep::Create, kWrite = FileStep::Write, kFlush = FileStep::Flush,
                   kRename = FileStep::Rename;
const Steps kSafeWrite = {kCreate, kWrite, kFlush, kRename};
const Steps kBackup = {FileStep::CreateFolder, FileStep::Copy, kCreate, kWrite, kFlush, kRename};

const Shown kNotWritten{
    "Error", "The converted document could not be written; the file was not changed.", 0x10};
const std::string kBackupFolder = "UpgradeBackup/";

Snapshot snapshot(const std::string& folder) {
    Snapshot files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        const std::string name = entry.path().lexically_relative(folder).generic_string();
        if (entry.is_directory())
            files[name + "/"];
        else
            files[name] = readBytes(entry.path().string());
    }
    return files;
}

struct FaultRun {
    int result = 0;
    Snapshot files;
    Messages shown;
    Steps steps;
};

// Runs `operation` in a fresh folder with step `failAt` failing (0: none),
// every question answered Yes.
FaultRun runFailing(std::size_t failAt, const std::function<int(const TempFolder&)>& operation) {
    TempFolder folder;
    RecordingDialog dialog;
    dialog.script({DialogButton::Yes});
    FaultRun run;
    {
        NumberedFaults faults(failAt);
        run.result = operation(folder);
        run.steps = faults.steps();
    }
    run.files = snapshot(folder.path());
    run.shown = shownBy(dialog);
    return run;
}

// What a run that failed at `step` must have left and shown.
struct Failure {
    int result = -1;
    Snapshot files;
    Messages shown;
};

// Counts the steps of a clean run (they must be `expected`), then fails each
// in turn and compares with `failure(step)`. The number of faults survived.
std::size_t failEachStep(const std::function<int(const TempFolder&)>& operation,
                         const Steps& expected,
                         const std::function<Failure(std::size_t)>& failure) {
    const FaultRun clean = runFailing(0, operation);
    EXPECT_EQ(clean.result, 0);
    EXPECT_EQ(clean.steps, expected);
    for (std::size_t step = 1; step <= clean.steps.size(); ++step) {
        const FaultRun run = runFailing(step, operation);
        const Failure wanted = failure(step);
        EXPECT_EQ(run.result, wanted.result) << "step " << step;
        EXPECT_EQ(run.steps.size(), step) << "went on after failing step " << step;
        EXPECT_EQ(run.files, wanted.files) << "step " << step;
        EXPECT_EQ(run.shown, wanted.shown) << "step " << step;
    }
    return clean.steps.size();
}

std::string savedDocument() {
    TempFolder folder;
    HudProvider provider;
    int result = -1;
    provider.initHUDDocument();
    provider.writeHUD(folder.file("deal.xml"), &result);
    EXPECT_EQ(result, 0);
    return readBytes(folder.file("deal.xml"));
}

TEST(FileFaults, FailedSaveLeavesTheTargetAsItWasAndNoTemporaryFile) {
    const std::string original = savedDocument();
    std::size_t survived = 0;
    for (const bool replacing : {true, false}) {
        const auto save = [&](const TempFolder& folder) {
            writeBytes(folder.file("deal.xml"), original);
            HudProvider provider;
            int result = -1;
            provider.readHUD(folder.file("deal.xml"), &result);
            EXPECT_EQ(result, 0);
            provider.setNodePropertyValue("n100/n104", "amount", "250000.00", &result);
            provider.writeHUD(folder.file(replacing ? "deal.xml" : "copy.xml"), &result);
            return result;
        };
        // A host learns of a failed save from the result alone.
        survived += failEachStep(save, kSafeWrite, [&](std::size_t) {
            return Failure{-1, {{"deal.xml", original}}, {}};
        });
    }
    ::testing::Test::RecordProperty("injected_faults", static_cast<int>(survived));
}

// Targets no save may replace are refused before anything is written, with
// one message; a fifo must not make the save wait for a reader.
TEST(FileFaults, SaveOverAReadOnlyFileAFolderOrAFifoIsRefusedUpFront) {
    TempFolder folder;
    const std::string readOnly = folder.file("template.xml");
    const std::string original = savedDocument();
    writeBytes(readOnly, original);
    ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
    std::filesystem::create_directory(folder.file("folder.xml"));
    ASSERT_EQ(::mkfifo(folder.file("fifo.xml").c_str(), 0644), 0);
    const Shown readOnlyError{"Write error",
                              "This file is opened by another user and cannot be saved", 0};
    const Shown notAFile{"Write error",
                         "This path names a folder or a device, not a file, and cannot be saved "
                         "over",
                         0};
    const std::pair<std::string, Shown> cases[] = {{readOnly, readOnlyError},
                                                   {folder.file("folder.xml"), notAFile},
                                                   {folder.file("fifo.xml"), notAFile}};
    for (const auto& [target, message] : cases) {
        RecordingDialog dialog;
        HudProvider provider;
        provider.initHUDDocument();
        int result = 0;
        provider.writeHUD(target, &result);
        EXPECT_EQ(result, -1) << target;
        EXPECT_EQ(shownBy(dialog), Messages{message}) << target;
    }
    EXPECT_EQ(readBytes(readOnly), original);
    EXPECT_TRUE(std::filesystem::is_empty(folder.file("folder.xml")));
    EXPECT_TRUE(std::filesystem::is_fifo(folder.file("fifo.xml")));
    EXPECT_EQ(folder.entries(),
              (std::vector<std::string>{"fifo.xml", "folder.xml", "template.xml"}));
}

TEST(FileFaults, FailedConversionKeepsTheLegacyBytesAndTheBackupStaysWhole) {
    const std::tuple<const char*, std::string, const char*> types[] = {
        {document_types::kHud, hudFile(statementRecord()), "deal_3-5-2009 7-4-9.prb"},
        {document_types::kHud1a, refinanceFile(refinanceRecord(1202)), "deal_3-5-2009 7-4-9.rfb"}};
    FixedClock clock{{2009, 3, 5, 7, 4, 9}};
    std::size_t survived = 0;
    for (const auto& typeRow : types) {
        // Plain names: clang 14, which builds the sanitizer runs, cannot capture
        // structured bindings in a lambda.
        const char* const type = std::get<0>(typeRow);
        const std::string& legacy = std::get<1>(typeRow);
        const std::string backupName = std::get<2>(typeRow);
        const auto convert = [&](const TempFolder& folder) {
            writeBytes(folder.file("deal.hud"), legacy);
            CHudDocument document(type);
            return document.loadDocument(folder.file("deal.hud"));
        };
        Steps steps = kBackup;
        steps.insert(steps.end(), kSafeWrite.begin(), kSafeWrite.end());
        survived += failEachStep(convert, steps, [&](std::size_t step) {
            Failure failure{-1, {{"deal.hud", legacy}}, {kConvertQuestion, kBackupFailed}};
            if (step > 1)
                failure.files[kBackupFolder];
            if (step > kBackup.size()) {
                failure.files[kBackupFolder + backupName] = legacy;
                failure.shown.back() = kNotWritten;
            }
            return failure;
        });
    }
    ::testing::Test::RecordProperty("injected_faults", static_cast<int>(survived));
}

TEST(FileFaults, FailedBackupLeavesNoCopyAndASameSecondCopyStillCounts) {
    FixedClock clock{{2009, 3, 5, 7, 4, 9}};
    const std::string legacy = "legacy bytes \x01\xFF";
    const std::string backup = kBackupFolder + "deal_3-5-2009 7-4-9.prb";
    std::size_t survived = 0;
    for (const bool backedUpBefore : {false, true}) {
        const auto backUp = [&](const TempFolder& folder) {
            writeBytes(folder.file("deal.hud"), legacy);
            if (backedUpBefore) {
                std::filesystem::create_directory(folder.file(kBackupFolder));
                writeBytes(folder.file(backup), legacy);
            }
            CHudDocument document(document_types::kHud);
            return document.makeUpgradeBackup(folder.file("deal.hud")) ? 0 : -1;
        };
        survived += failEachStep(backUp, kBackup, [&](std::size_t step) {
            Failure failure{-1, {{"deal.hud", legacy}}, {}};
            if (step > 1 || backedUpBefore)
                failure.files[kBackupFolder];
            if (backedUpBefore) {
                failure.files[backup] = legacy;
                // Only a folder that cannot be made stops the earlier copy from counting.
                failure.result = step > 1 ? 0 : -1;
            }
            return failure;
        });
    }
    ::testing::Test::RecordProperty("injected_faults", static_cast<int>(survived));
}

} // namespace
} // namespace velmora::testing
