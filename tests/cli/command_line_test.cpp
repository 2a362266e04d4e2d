// The command line a script can trust: usage errors that say what was meant,
// each command's help, the README's examples as written, and refusals that
// name their cause.
#include "cli/cli_runner.h"
#include "tree/node.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::testing {
namespace {
using Command = std::vector<std::string>;

class CommandLineTest : public ::testing::Test {
protected:
    std::string newDocument() {
        const std::string file = folder.file("deal.xml");
        EXPECT_EQ(runCli({"new", file}).exitCode, 0);
        return file;
    }
    TempFolder folder;
};

TEST_F(CommandLineTest, UnknownCommandsSuggestTheNearestOneAndExitTwo) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"shwo", "velmora: unknown command 'shwo'; did you mean 'show'?\n"},
        {"exprot", "velmora: unknown command 'exprot'; did you mean 'export'?\n"},
        {"ad", "velmora: unknown command 'ad'; did you mean 'add'?\n"},
        {"frobnicate", "velmora: unknown command 'frobnicate'\n"},
        {"x", "velmora: unknown command 'x'\n"}};
    for (const auto& [typed, message] : cases) {
        const CliRun run = runCli({"--yes", typed, "deal.xml"});
        EXPECT_EQ(run.exitCode, 2) << run;
        EXPECT_EQ(run.err, message) << run;
        EXPECT_TRUE(run.out.empty()) << run;
    }
}

TEST_F(CommandLineTest, TypeTakesHudOrHud1aWhereverItStands) {
    const std::string file = folder.file("deal.xml");
    for (const Command& command : std::vector<Command>{{"--type", "mortgage", "new", file},
                                                       {"new", file, "--type", "HUD"},
                                                       {"convert", "--type", "", folder.path()},
                                                       {"--type", "hud2", "show", file}}) {
        const CliRun run = runCli(command);
        EXPECT_EQ(run.exitCode, 2) << run;
        EXPECT_NE(run.err.find("--type: takes hud (a statement) or hud1a (a refinance "
                               "statement), not '"),
                  std::string::npos)
            << run;
    }
    EXPECT_TRUE(folder.entries().empty());
    EXPECT_EQ(runCli({"new", file, "--type", "hud1a"}).exitCode, 0);
    EXPECT_NE(runCli({"get", file, "", "document_type"}).out.find("hud1a"), std::string::npos);
}

TEST_F(CommandLineTest, EachCommandsHelpShowsTheOptionsThatApplyToIt) {
    const std::vector<std::pair<std::string, std::vector<std::string>>> expected{
        {"new", {"--type"}},
        {"set", {"--yes", "--where"}},
        {"add", {"--yes"}},
        {"remove", {"--yes"}},
        {"convert", {"--type", "--yes", "--jobs"}},
        {"show", {"--wait", "--accepts", "--depth"}},
        {"get", {"--wait"}},
        {"count", {"--wait"}},
        {"child", {"--wait"}},
        {"find", {"--wait"}},
        {"export", {"--wait", "--json"}},
        {"check", {"--wait", "--json", "Exit code 1"}},
        {"render", {"--wait", "--output"}}};
    for (const auto& [command, options] : expected) {
        const CliRun run = runCli({command, "--help"});
        EXPECT_EQ(run.exitCode, 0) << run;
        for (const std::string& option : options)
            EXPECT_NE(run.out.find(option), std::string::npos) << command << " " << option;
    }
    // Changing commands never wait, so they do not offer to.
    EXPECT_EQ(runCli({"set", folder.file("deal.xml"), "n100", "n101", "1", "--wait", "1"}).exitCode,
              2);
}

TEST_F(CommandLineTest, AFolderWhereADocumentBelongsIsNamedAsSuch) {
    const std::string inside = folder.file("deals");
    std::filesystem::create_directory(inside);
    for (const Command& command :
         std::vector<Command>{{"show", inside},
                              {"get", inside, "n100"},
                              {"set", inside, "n100", "n101", "1"},
                              {"add", inside, "", "ledger"},
                              {"remove", inside, "ledger", "deposit", "name=deposit1"},
                              {"count", inside, ""},
                              {"export", "--json", inside},
                              {"render", inside, "-o", folder.file("page.html")}}) {
        const CliRun run = runCli(command);
        EXPECT_EQ(run.exitCode, 1) << run;
        EXPECT_EQ(run.err, "velmora: " + inside + ": is a folder, not a document file\n") << run;
    }
}

TEST_F(CommandLineTest, ShowAcceptsListsWhatAddCanMakeAndAddSaysWhyItRefuses) {
    const std::string file = newDocument();
    EXPECT_EQ(runCli({"show", "--accepts", file, "n800/n801"}).out, "");
    EXPECT_EQ(runCli({"show", "--accepts", file, "n800/more"}).out, "*\n");
    ASSERT_EQ(runCli({"add", file, "", "ledger"}).exitCode, 0);
    EXPECT_EQ(runCli({"show", "--accepts", file, "ledger"}).out,
              "deposits\nwithdrawals\ntransactions\n");
    const CliRun root = runCli({"show", "--accepts", file});
    EXPECT_EQ(root.out.rfind("tax_data\nb\nd\nd_borrowers\n", 0), 0u) << root;
    EXPECT_NE(root.out.find("\nsecondHud\n"), std::string::npos) << root;
    // Every name listed is one add makes.
    for (const char* name : {"withdrawals", "transactions"})
        EXPECT_EQ(runCli({"add", file, "ledger", name}).exitCode, 0) << name;

    // A nested document in each nested document, down to the deepest level.
    std::string deepest;
    for (int level = 1; level < kMaxTreeDepth; ++level) {
        ASSERT_EQ(runCli({"add", file, deepest, "secondHud"}).exitCode, 0) << level;
        deepest += (deepest.empty() ? "" : "/") + std::string("secondHud");
    }
    EXPECT_EQ(runCli({"show", "--accepts", file, deepest}).out, "");
    const std::string before = readBytes(file);
    const CliRun deeper = runCli({"add", file, deepest, "secondHud"});
    EXPECT_EQ(deeper.exitCode, 1) << deeper;
    EXPECT_EQ(deeper.err, "velmora: a child of '" + deepest +
                              "' would be deeper than the 32 levels a document may have\n");
    const CliRun unknown = runCli({"add", file, deepest, "bogus"});
    EXPECT_EQ(unknown.err, "velmora: '" + deepest + "' does not accept children named 'bogus'\n");
    EXPECT_EQ(readBytes(file), before);
}

// A command line as a shell splits it: double quotes group (and "" is an
// empty argument), "#" outside quotes begins a comment.
Command shellWords(std::string_view line) {
    Command words;
    std::string word;
    bool quoted = false;
    bool started = false;
    for (const char c : line) {
        if (c == '"') {
            quoted = !quoted;
            started = true;
        } else if (!quoted && c == '#') {
            break;
        } else if (!quoted && c == ' ') {
            if (started)
                words.push_back(word);
            word.clear();
            started = false;
        } else {
            word += c;
            started = true;
        }
    }
    if (started)
        words.push_back(word);
    return words;
}

// The arguments of each line of the README's indented example that begins
// with `first`, up to the blank line that ends it.
std::vector<Command> readmeExample(const std::string& first) {
    // The README sits three folders above this file.
    const std::filesystem::path readme =
        std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "README.md";
    std::ifstream in(readme);
    const std::string prefix = "    velmora ";
    std::vector<Command> commands;
    bool inside = false;
    for (std::string line; std::getline(in, line);) {
        inside = inside ? line.rfind(prefix, 0) == 0 : line == prefix + first;
        if (inside)
            commands.push_back(shellWords(std::string_view(line).substr(prefix.size())));
    }
    return commands;
}

TEST_F(CommandLineTest, TheReadmesLedgerExampleWorksAsWritten) {
    const std::vector<Command> commands = readmeExample("new deal.xml");
    ASSERT_GE(commands.size(), 5u);
    const std::string file = folder.file("deal.xml");
    for (Command command : commands) {
        std::replace(command.begin(), command.end(), std::string("deal.xml"), file);
        const CliRun run = runCli(command);
        EXPECT_EQ(run.exitCode, 0) << ::testing::PrintToString(command) << run;
    }
    EXPECT_EQ(runCli({"get", file, "ledger/deposits/deposit", "amount"}).out, "10.00\n");
    EXPECT_EQ(runCli({"count", file, "ledger/deposits"}).out, "1\n");
}

} // namespace
} // namespace velmora::testing
