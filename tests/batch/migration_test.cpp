// A conversion while another program writes the deal without taking a lock:
// whatever moment it writes at, its bytes are never lost, and a deal counts
// as converted only from exactly the bytes its backup holds.
#include "batch/migration.h"
#include "platform/file_faults.h"
#include "support/legacy_writer.h"
#include "support/step_hook.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace velmora::testing {
namespace {
namespace fs = std::filesystem;

std::string dealNumbered(const std::string& fileNo) {
    HudRecord r;
    r.version = 1601;
    r.fileNo = fileNo;
    return hudFile(r);
}

std::vector<fs::path> backupsIn(const TempFolder& folder) {
    std::vector<fs::path> found;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder.file("UpgradeBackup"), error))
        found.push_back(entry.path());
    return found;
}

struct Writing {
    FileStep step;       // when the other program writes
    int times;           // how many times it does
    std::string outcome; // what the record must say
};

batch::FileRecord convertWhileWritten(const TempFolder& folder, const Writing& writing) {
    const std::string path = folder.file("deal.hud");
    writeBytes(path, dealNumbered("FIRST-1001"));
    int written = 0;
    StepHook writer([&](FileStep step, const std::string& at) {
        if (step == writing.step && at == path && written < writing.times)
            writeBytes(path, dealNumbered("EDITED-" + std::to_string(++written)));
        return false;
    });
    const ScopedFileFaults installed(writer);
    return batch::migrateFile({path, "deal.hud"}, {});
}

TEST(Migration, ADealWrittenDuringItsConversionKeepsEveryByteItsWriterWrote) {
    const std::vector<Writing> cases = {
        {FileStep::Flush, 1, "converted"},  // before the last comparison
        {FileStep::Rename, 1, "converted"}, // after it, just before the swap
        {FileStep::Flush, 2, "refused"},    // on the second try as well
    };
    for (const Writing& writing : cases) {
        TempFolder folder;
        const batch::FileRecord record = convertWhileWritten(folder, writing);
        const std::string now = readBytes(folder.file("deal.hud"));
        const std::string lastWritten = dealNumbered("EDITED-" + std::to_string(writing.times));
        const std::vector<fs::path> backups = backupsIn(folder);
        SCOPED_TRACE(static_cast<int>(writing.step) * 10 + writing.times);
        EXPECT_EQ(batch::outcomeName(record.outcome), writing.outcome) << record.reason;
        EXPECT_EQ(record.reason.rfind("changed during conversion", 0), 0u) << record.reason;
        if (writing.outcome == "converted") {
            // Converted from what the writer left, which the one backup holds.
            EXPECT_NE(now.find("EDITED-1"), std::string::npos);
            ASSERT_EQ(backups.size(), 1u);
            EXPECT_EQ(readBytes(backups[0].string()), lastWritten);
            EXPECT_EQ(fs::path(record.backupPath).filename(), backups[0].filename());
        } else {
            EXPECT_EQ(now, lastWritten);
            EXPECT_TRUE(backups.empty());
            EXPECT_TRUE(record.backupPath.empty());
        }
        for (const auto& entry : fs::directory_iterator(folder.path()))
            EXPECT_EQ(entry.path().filename().string().find(".tmp-"), std::string::npos)
                << entry.path();
    }
}

} // namespace
} // namespace velmora::testing
