// The velmora tool end to end: the real executable, its exit codes, what it
// prints where, and the files it leaves behind.
#include "cli/cli_runner.h"
#include "document/hud_document.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>
#include <vector>

namespace velmora::testing {
namespace {
using Command = std::vector<std::string>;

// A refusal: exit 1, nothing on stdout, one line on stderr naming the tool.
void expectRefused(const CliRun& run) {
    EXPECT_EQ(run.exitCode, 1) << run;
    EXPECT_TRUE(run.out.empty()) << run;
    EXPECT_EQ(run.err.rfind("velmora: ", 0), 0u) << run;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run;
}

class CliTest : public ::testing::Test {
protected:
    // A new document made by the tool; the name has a space on purpose.
    std::string newDocument(const std::string& name = "deal one.xml", const Command& globals = {}) {
        Command args = globals;
        args.insert(args.end(), {"new", folder.file(name)});
        EXPECT_EQ(runCli(args).exitCode, 0);
        return folder.file(name);
    }
    // stdout of a run that must succeed quietly.
    std::string output(const Command& args) {
        const CliRun run = runCli(args);
        EXPECT_EQ(run.exitCode, 0) << run;
        EXPECT_TRUE(run.err.empty()) << run;
        return run.out;
    }
    // Runs each command, which must be refused without touching any file.
    void expectAllRefused(const std::vector<Command>& commands, const std::string& file) {
        const std::string before = readBytes(file);
        const std::vector<std::string> entries = folder.entries();
        for (const Command& command : commands) {
            SCOPED_TRACE(::testing::PrintToString(command));
            expectRefused(runCli(command));
            EXPECT_EQ(readBytes(file), before);
            EXPECT_EQ(folder.entries(), entries);
        }
    }

    TempFolder folder;
};

// Every command that opens a document, with the file and a node uri filled in.
std::vector<Command> commandsOn(const std::string& file, const std::string& uri) {
    return {{"show", file, uri},
            {"get", file, uri},
            {"set", file, uri, "n101", "5"},
            {"add", file, uri, "deposit"},
            {"remove", file, uri, "deposit", "name=deposit1"},
            {"count", file, uri},
            {"child", file, uri, "0"},
            {"find", file, uri, "name", "x"},
            {"export", "--json", file, uri}};
}

TEST_F(CliTest, EditingCommandsSucceedQuietlyAndUsageErrorsExitTwo) {
    const std::string file = newDocument();
    EXPECT_EQ(readBytes(file).rfind("<calverin><HUD ", 0), 0u);
    EXPECT_EQ(output({"count", file, ""}), "25\n");
    const std::string refinance = newDocument("refinance.xml", {"--type", "hud1a"});
    EXPECT_EQ(output({"check", refinance}),
              refinance + ": XML document, version 201, type hud1a\n");

    EXPECT_EQ(output({"set", file, "n100/n104", "amount", "250000.00"}), "");
    EXPECT_EQ(output({"get", file, "n100/n104", "amount"}), "250000.00\n");
    EXPECT_EQ(output({"add", file, "", "ledger"}), "ledger1\n");
    EXPECT_EQ(output({"add", file, "ledger", "deposits"}), "deposits1\n");
    EXPECT_EQ(output({"add", file, "ledger/deposits", "deposit"}), "deposit1\n");
    EXPECT_EQ(output({"add", file, "ledger/deposits", "deposit"}), "deposit2\n");
    EXPECT_EQ(
        output({"set", file, "ledger/deposits", "amount", "10.00", "--where", "name=deposit2"}),
        "");
    const std::string second = output({"find", file, "ledger/deposits", "amount", "10.00"});
    EXPECT_NE(second.find("name=\"deposit2\""), std::string::npos);
    EXPECT_EQ(output({"remove", file, "ledger/deposits", "deposit", "name=deposit1"}), "");
    EXPECT_EQ(output({"child", file, "ledger/deposits", "0"}), second);
    EXPECT_EQ(output({"show", file, "n100"}).rfind("n100 \"n1001\" - Gross amount due", 0), 0u);
    EXPECT_EQ(output({"export", "--json", file, "n100"}).rfind("{\"element\":\"n100\"", 0), 0u);
    // Usage errors exit 2; help and version succeed.
    for (const Command& args : std::vector<Command>{{},
                                                    {"frobnicate", file},
                                                    {"get", file},
                                                    {"child", file, "n100", "first"},
                                                    {"show", file, "--depth", "-1"},
                                                    {"get", file, "n100", "n101", "extra"},
                                                    {"export", file}})
        EXPECT_EQ(runCli(args).exitCode, 2) << ::testing::PrintToString(args);
    EXPECT_NE(output({"set", "--help"}).find("--where"), std::string::npos);
    EXPECT_FALSE(output({"--version"}).empty());
    EXPECT_EQ(output({"--yes", "count", file, "n100"}), "9\n");
}

TEST_F(CliTest, RefusalsSayOneLineAndLeaveTheFilesAloneHeldOnesUntilReleased) {
    const std::string file = newDocument();
    ASSERT_EQ(runCli({"add", file, "", "ledger"}).exitCode, 0);
    ASSERT_EQ(runCli({"add", file, "ledger", "deposits"}).exitCode, 0);
    std::vector<Command> commands = commandsOn(file, "n100/nowhere");
    commands.insert(commands.end(),
                    {{"new", file},
                     {"get", file, "n100", "bogus"},
                     {"set", file, "n100", "bogus", "1"},
                     {"set", file, "n100", "n120", "abc"},
                     {"set", file, "n100", "n102Option", "1.5"},
                     // Beyond what the property's type holds: never stored as
                     // infinity, zero or another whole number.
                     {"set", file, "", "n303", "1e400"},
                     {"set", file, "n100", "n120", "-1e400"},
                     {"set", file, "n100", "n120", "1e-400"},
                     {"set", file, "n100", "n102Option", "2147483648"},
                     {"set", file, "n100", "n102Option", "+-1"},
                     {"set", file, "", "i_settlementDate", "2/30/2008"},
                     {"set", file, "ledger/deposits", "amount", "1", "--where", "name=deposit9"},
                     {"add", file, "n100", "bogus"},
                     {"remove", file, "ledger/deposits", "deposit", "name=deposit9"},
                     {"child", file, "ledger/deposits", "0"},
                     {"child", file, "n100", "-1"},
                     {"find", file, "n100", "bogus", "x"}});
    expectAllRefused(commands, file);

    const std::string junk = folder.file("junk file.bin");
    writeBytes(junk, std::string("\x00\x01\x02\xfe\xff<calverin>", 15));
    const std::string foreign = folder.file("foreign.xml");
    writeBytes(foreign, "<?xml version=\"1.0\"?><HUD name=\"x\"/>");
    for (const std::string& other : {folder.file("missing.xml"), junk, foreign})
        expectAllRefused(commandsOn(other, "n100"), other);

    // A damaged document: the engine's message may come first, the tool's last.
    const std::string whole = readBytes(file);
    writeBytes(file, whole.substr(0, whole.size() / 2));
    for (const Command& command : commandsOn(file, "n100")) {
        const CliRun run = runCli(command);
        EXPECT_EQ(run.exitCode, 1) << run;
        EXPECT_NE(run.err.find("\nvelmora: "), std::string::npos) << run;
        EXPECT_EQ(readBytes(file), whole.substr(0, whole.size() / 2));
    }

    // A file held by another provider is refused until released.
    writeBytes(file, whole);
    CHudDocument holder(document_types::kHud);
    holder.applyLock(file);
    ASSERT_TRUE(holder.isLocked());
    expectAllRefused(
        {{"set", file, "n100/n104", "amount", "1.00"}, {"get", "--wait", "0", file, "n100"}}, file);
    const CliRun run = runCli({"get", "--wait", "0", file, "n100"});
    EXPECT_NE(run.err.find("Sharing error: This file is already being user by another user, "
                           "and cannot be open at this point of time"),
              std::string::npos)
        << run;
    // Reported as held, not mistaken for a file in another format.
    const CliRun check = runCli({"check", "--wait", "0", file});
    EXPECT_EQ(check.exitCode, 1) << check;
    EXPECT_EQ(check.out, file + ": held by another program, cannot be checked now\n") << check;

    holder.releaseLock();
    EXPECT_EQ(output({"set", file, "n100/n104", "amount", "1.00"}), "");
    EXPECT_EQ(output({"get", file, "n100/n104", "amount"}), "1.00\n");

    // A read-only file is read, and saving over it is refused as read-only.
    ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
    EXPECT_EQ(output({"get", file, "n100/n104", "amount"}), "1.00\n");
    expectAllRefused({{"set", file, "n100/n104", "amount", "2.00"}}, file);
    const CliRun readOnly = runCli({"set", file, "n100/n104", "amount", "2.00"});
    EXPECT_EQ(readOnly.err, "velmora: " + file +
                                ": the file is read-only; nothing was written (save to another "
                                "file, or make it writable first)\n");
}

} // namespace
} // namespace velmora::testing
