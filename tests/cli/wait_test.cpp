// Reading commands wait for another holder of their file to let go, so that
// scripts running side by side on one deal do not fail each other.
#include "cli/cli_runner.h"
#include "platform/shared_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

namespace velmora::testing {
namespace {

class WaitTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(runCli({"new", file}).exitCode, 0);
        exported = runCli({"export", "--json", file}).out;
        ASSERT_FALSE(exported.empty());
    }

    std::future<CliRun> startExport(const std::vector<std::string>& options) {
        std::vector<std::string> args{"export", "--json", file};
        args.insert(args.end(), options.begin(), options.end());
        return std::async(std::launch::async, [args] { return runCli(args); });
    }

    TempFolder folder;
    const std::string file = folder.file("deal.xml");
    std::string exported;
};

TEST_F(WaitTest, SixteenExportsOfOneDealSideBySideAllSucceed) {
    std::vector<std::future<CliRun>> runs;
    for (int i = 0; i < 16; ++i)
        runs.push_back(startExport({}));
    for (std::future<CliRun>& run : runs) {
        const CliRun done = run.get();
        EXPECT_EQ(done.exitCode, 0) << done;
        EXPECT_EQ(done.out, exported);
        EXPECT_TRUE(done.err.empty()) << done;
    }
}

TEST_F(WaitTest, AHeldFileIsRefusedAtOnceWithWaitZeroAndReadWhenTheHoldEnds) {
    auto holder = SharedFile::open(file, FileAccess::Read, FileSharing::None);
    ASSERT_TRUE(holder);
    const CliRun refused = startExport({"--wait", "0"}).get();
    EXPECT_EQ(refused.exitCode, 1) << refused;
    EXPECT_EQ(refused.err, "velmora: Sharing error: This file is already being user by another "
                           "user, and cannot be open at this point of time\n");
    EXPECT_TRUE(refused.out.empty());

    // The reader starts while the file is held; one that did not wait would
    // fail. The pause only lets it start before the hold ends.
    std::future<CliRun> waiting = startExport({"--wait", "60"});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    holder.reset();
    const CliRun read = waiting.get();
    EXPECT_EQ(read.exitCode, 0) << read;
    EXPECT_EQ(read.out, exported);
    EXPECT_TRUE(read.err.empty()) << read;
}

} // namespace
} // namespace velmora::testing
