// The velmora tool end to end: the real executable, its exit codes, what it
// prints where, and the files it leaves behind.
#include "cli/cli_runner.h"
#include "document/hud_document.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace velmora::testing {
namespace {

const char kSharingError[] = "Sharing error: This file is already being user by another user, "
                             "and cannot be open at this point of time";

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return lines;
}

// A refusal: exit 1, nothing on stdout, one line on stderr naming the tool.
void expectRefused(const CliRun& run) {
    EXPECT_EQ(run.exitCode, 1) << run;
    EXPECT_TRUE(run.out.empty()) << run;
    const std::vector<std::string> lines = linesOf(run.err);
    ASSERT_EQ(lines.size(), 1u) << run;
    EXPECT_EQ(lines[0].rfind("velmora: ", 0), 0u) << run;
}

// Whether `json` is balanced and has no raw control characters inside strings.
bool looksLikeJson(const std::string& json) {
    int depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < json.size(); ++i) {
        const char c = json[i];
        if (inString) {
            if (static_cast<unsigned char>(c) < 0x20)
                return false;
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '{' || c == '[') {
            ++depth;
        } else if (c == '}' || c == ']') {
            if (--depth < 0)
                return false;
        }
    }
    return depth == 0 && !inString;
}

class CliTest : public ::testing::Test {
protected:
    // A new document, made by the tool; the name has a space on purpose.
    std::string newDocument(const std::string& name = "deal one.xml",
                            const std::vector<std::string>& globals = {}) {
        const std::string path = folder_.file(name);
        std::vector<std::string> args = globals;
        args.insert(args.end(), {"new", path});
        const CliRun run = runCli(args);
        EXPECT_EQ(run.exitCode, 0) << run;
        return path;
    }

    // stdout of a run that must succeed.
    std::string output(const std::vector<std::string>& args) {
        const CliRun run = runCli(args);
        EXPECT_EQ(run.exitCode, 0) << run;
        EXPECT_TRUE(run.err.empty()) << run;
        return run.out;
    }

    TempFolder folder_;
};

TEST_F(CliTest, NewCreatesDocumentOfEachType) {
    const std::string hud = newDocument();
    EXPECT_EQ(readBytes(hud).rfind("<calverin>", 0), 0u);
    EXPECT_EQ(output({"count", hud, ""}), "25\n");
    EXPECT_EQ(output({"get", hud, "", "document_type"}), "hud\n");

    const std::string refinance = newDocument("refinance.xml", {"--type", "hud1a"});
    EXPECT_EQ(output({"get", refinance, "", "document_type"}), "hud1a\n");
    EXPECT_EQ(output({"count", refinance, ""}), "25\n");

    const std::string mortgage = newDocument("mortgage.xml", {"--type", "mortgage"});
    EXPECT_EQ(output({"count", mortgage, ""}), "0\n");
    EXPECT_EQ(output({"get", mortgage, "", "document_type"}), "mortgage\n");
}

TEST_F(CliTest, NewRefusesAnExistingFile) {
    const std::string document = newDocument();
    const std::string other = folder_.file("notes.txt");
    writeBytes(other, "not to be replaced\n");
    for (const std::string& path : {document, other}) {
        const std::string before = readBytes(path);
        const std::vector<std::string> entries = folder_.entries();
        expectRefused(runCli({"new", path}));
        EXPECT_EQ(readBytes(path), before);
        EXPECT_EQ(folder_.entries(), entries);
    }
}

TEST_F(CliTest, ShowPrintsAnIndentedTreeToTheRequestedDepth) {
    const std::string file = newDocument();
    ASSERT_EQ(runCli({"set", file, "n100/n104", "amount", "250000.00"}).exitCode, 0);

    const std::vector<std::string> top = linesOf(output({"show", file, "--depth", "1"}));
    ASSERT_FALSE(top.empty());
    EXPECT_EQ(top[0], "HUD \"Hud document\" - Hud xml document");
    const std::string shallow = output({"show", file, "--depth", "1"});
    EXPECT_NE(shallow.find("\n  n100 \"n1001\" - Gross amount due from borrower\n"
                           "    ... 9 children\n"),
              std::string::npos);
    EXPECT_EQ(shallow.find("n104"), std::string::npos);

    const std::string block = output({"show", file, "n100"});
    EXPECT_EQ(linesOf(block)[0], "n100 \"n1001\" - Gross amount due from borrower");
    EXPECT_NE(block.find("\n  n104 \"n1041\"\n    . amount = 250000.00\n"), std::string::npos);
    // Properties still at their initial value are not shown.
    EXPECT_EQ(block.find("n102Option"), std::string::npos);
}

TEST_F(CliTest, SetAndGetRoundTripValues) {
    const std::string file = newDocument();
    EXPECT_EQ(output({"set", file, "n100/n104", "amount", "250000.00"}), "");
    EXPECT_EQ(output({"get", file, "n100/n104", "amount"}), "250000.00\n");
    EXPECT_EQ(output({"get", file, "n100/n104"}),
              "<n104 amount=\"250000.00\" description=\"\" name=\"n1041\"></n104>\n");

    const std::string awkward = "Lee & Sons <\"Main\"> 'St'";
    ASSERT_EQ(runCli({"set", file, "", "placeOfSettlement", awkward}).exitCode, 0);
    EXPECT_EQ(output({"get", file, "", "placeOfSettlement"}), awkward + "\n");
    EXPECT_NE(
        output({"get", file, ""})
            .find("placeOfSettlement=\"Lee &amp; Sons &lt;&quot;Main&quot;&gt; &apos;St&apos;\""),
        std::string::npos);
    EXPECT_EQ(readBytes(file).rfind("<calverin>", 0), 0u);
}

TEST_F(CliTest, ChildListsCanBeGrownEditedAndShrunk) {
    const std::string file = newDocument();
    EXPECT_EQ(output({"add", file, "", "ledger"}), "ledger1\n");
    EXPECT_EQ(output({"add", file, "ledger", "deposits"}), "deposits1\n");
    EXPECT_EQ(output({"add", file, "ledger/deposits", "deposit"}), "deposit1\n");
    EXPECT_EQ(output({"add", file, "ledger/deposits", "deposit"}), "deposit2\n");
    EXPECT_EQ(output({"count", file, "ledger/deposits"}), "2\n");

    ASSERT_EQ(
        runCli({"set", file, "ledger/deposits", "amount", "10.00", "--where", "name=deposit2"})
            .exitCode,
        0);
    EXPECT_EQ(output({"child", file, "ledger/deposits", "0"}).find("amount=\"10.00\""),
              std::string::npos);
    const std::string second = output({"child", file, "ledger/deposits", "1"});
    EXPECT_NE(second.find("amount=\"10.00\""), std::string::npos);
    EXPECT_NE(second.find("name=\"deposit2\""), std::string::npos);
    EXPECT_EQ(output({"find", file, "ledger/deposits", "amount", "10.00"}), second);

    for (const char* index : {"2", "-1"}) {
        const std::string before = readBytes(file);
        expectRefused(runCli({"child", file, "ledger/deposits", index}));
        EXPECT_EQ(readBytes(file), before);
    }
    expectRefused(runCli({"find", file, "ledger/deposits", "amount", "99.00"}));

    EXPECT_EQ(output({"remove", file, "ledger/deposits", "deposit", "name=deposit1"}), "");
    EXPECT_EQ(output({"count", file, "ledger/deposits"}), "1\n");
    EXPECT_EQ(output({"child", file, "ledger/deposits", "0"}), second);
}

TEST_F(CliTest, CheckReportsFormatVersionAndType) {
    const std::string document = newDocument("refinance.xml", {"--type", "hud1a"});
    const std::string junk = folder_.file("junk.bin");
    writeBytes(junk, std::string("\x00\x01\xff junk", 8));
    const std::string foreign = folder_.file("foreign.xml");
    writeBytes(foreign, "<?xml version=\"1.0\"?><settlement/>");

    EXPECT_EQ(output({"check", document, junk, foreign}),
              document + ": XML, version 201, document type hud1a\n" + junk +
                  ": not XML (a legacy archive, or not a document)\n" + foreign +
                  ": not XML (a legacy archive, or not a document)\n");
    expectRefused(runCli({"check", folder_.file("missing.xml")}));
}

TEST_F(CliTest, ExportWritesEscapedJson) {
    const std::string file = newDocument();
    const std::string block = output({"export", "--json", file, "n100"});
    EXPECT_TRUE(looksLikeJson(block)) << block;
    EXPECT_EQ(block.rfind("{\"element\":\"n100\",\"name\":\"n1001\","
                          "\"description\":\"Gross amount due from borrower\",\"properties\":{",
                          0),
              0u);
    EXPECT_NE(block.find("\"n102Option\":{\"kind\":\"long\",\"value\":\"0\"}"), std::string::npos);
    EXPECT_NE(block.find("\"n120\":{\"kind\":\"double\",\"value\":\"0.\"}"), std::string::npos);
    EXPECT_NE(block.find("\"children\":[{\"element\":\"n104\",\"name\":\"n1041\""),
              std::string::npos);
    EXPECT_EQ(block.substr(block.size() - 3), "]}\n");

    ASSERT_EQ(
        runCli({"set", file, "", "placeOfSettlement", "tab\there \"q\" back\\slash \x01 line\n"})
            .exitCode,
        0);
    const std::string root = output({"export", "--json", file});
    EXPECT_TRUE(looksLikeJson(root.substr(0, root.size() - 1))) << root;
    EXPECT_NE(root.find("\"placeOfSettlement\":{\"kind\":\"string\",\"value\":"
                        "\"tab\\there \\\"q\\\" back\\\\slash \\u0001 line\\n\"}"),
              std::string::npos)
        << root;
    EXPECT_EQ(runCli({"export", file}).exitCode, 2);
}

// Every command that opens a document, with the file and a node uri filled in.
std::vector<std::vector<std::string>> commandsOn(const std::string& file, const std::string& uri) {
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

TEST_F(CliTest, FilesThatAreNotDocumentsAreRefusedAndLeftAlone) {
    const std::string junk = folder_.file("junk file.bin");
    writeBytes(junk, std::string("\x00\x01\x02\xfe\xff<calverin>", 15));
    const std::string foreign = folder_.file("foreign.xml");
    writeBytes(foreign, "<?xml version=\"1.0\"?><HUD name=\"x\"/>");
    for (const std::string& file : {folder_.file("missing.xml"), junk, foreign}) {
        for (const std::vector<std::string>& command : commandsOn(file, "n100")) {
            SCOPED_TRACE(::testing::PrintToString(command));
            const std::string before = readBytes(file);
            const std::vector<std::string> entries = folder_.entries();
            expectRefused(runCli(command));
            EXPECT_EQ(readBytes(file), before);
            EXPECT_EQ(folder_.entries(), entries);
        }
    }
}

TEST_F(CliTest, MissingNodesAndPropertiesAreRefusedWithoutWriting) {
    const std::string file = newDocument();
    ASSERT_EQ(runCli({"add", file, "", "ledger"}).exitCode, 0);
    ASSERT_EQ(runCli({"add", file, "ledger", "deposits"}).exitCode, 0);
    ASSERT_EQ(runCli({"add", file, "ledger/deposits", "deposit"}).exitCode, 0);

    std::vector<std::vector<std::string>> commands = commandsOn(file, "n100/nowhere");
    const std::vector<std::vector<std::string>> unknownProperties = {
        {"get", file, "n100", "bogus"},
        {"set", file, "n100", "bogus", "1"},
        {"set", file, "ledger/deposits", "bogus", "1", "--where", "name=deposit1"},
        {"set", file, "ledger/deposits", "amount", "1", "--where", "name=deposit9"},
        {"add", file, "n100", "bogus"},
        {"remove", file, "ledger/deposits", "deposit", "name=deposit9"},
        {"find", file, "n100", "bogus", "x"},
        {"set", file, "n100", "n120", "abc"},
        {"set", file, "n100", "n102Option", "1.5"},
        {"set", file, "", "i_settlementDate", "2/30/2008"},
        {"set", file, "ledger/deposits", "amount", "1", "--where", "name=deposit1|amount=x"},
    };
    commands.insert(commands.end(), unknownProperties.begin(), unknownProperties.end());
    const std::string before = readBytes(file);
    const std::vector<std::string> entries = folder_.entries();
    for (const std::vector<std::string>& command : commands) {
        SCOPED_TRACE(::testing::PrintToString(command));
        expectRefused(runCli(command));
        EXPECT_EQ(readBytes(file), before);
        EXPECT_EQ(folder_.entries(), entries);
    }
}

TEST_F(CliTest, DamagedDocumentIsRefusedAndLeftAlone) {
    const std::string file = newDocument();
    const std::string whole = readBytes(file);
    writeBytes(file, whole.substr(0, whole.size() / 2));
    const std::string before = readBytes(file);
    const std::vector<std::string> entries = folder_.entries();
    for (const std::vector<std::string>& command : commandsOn(file, "n100")) {
        SCOPED_TRACE(command[0]);
        const CliRun run = runCli(command);
        EXPECT_EQ(run.exitCode, 1) << run;
        // The engine's own message may come first; the tool's reason is last.
        const std::vector<std::string> lines = linesOf(run.err);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back().rfind("velmora: ", 0), 0u) << run;
        EXPECT_EQ(readBytes(file), before);
        EXPECT_EQ(folder_.entries(), entries);
    }
}

TEST_F(CliTest, UsageErrorsAndHelp) {
    const std::string file = newDocument();
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{},
                                               {"frobnicate", file},
                                               {"get", file},
                                               {"set", file, "n100/n104", "amount"},
                                               {"remove", file, "ledger/deposits", "deposit"},
                                               {"child", file, "n100", "first"},
                                               {"show", file, "--depth", "-1"},
                                               {"get", file, "n100", "n101", "extra"}}) {
        const CliRun run = runCli(args);
        EXPECT_EQ(run.exitCode, 2) << run;
    }

    const CliRun help = runCli({"--help"});
    EXPECT_EQ(help.exitCode, 0) << help;
    EXPECT_NE(help.out.find("export"), std::string::npos);
    const CliRun setHelp = runCli({"set", "--help"});
    EXPECT_EQ(setHelp.exitCode, 0) << setHelp;
    EXPECT_NE(setHelp.out.find("--where"), std::string::npos);
    const CliRun version = runCli({"--version"});
    EXPECT_EQ(version.exitCode, 0) << version;
    EXPECT_FALSE(version.out.empty());
    EXPECT_EQ(output({"--yes", "count", file, "n100"}), "9\n");
}

TEST_F(CliTest, FileHeldByAnotherProviderIsRefusedUntilReleased) {
    const std::string file = newDocument();
    const std::string before = readBytes(file);
    CHudDocument holder(document_types::kHud);
    holder.applyLock(file);
    ASSERT_TRUE(holder.isLocked());

    for (const std::vector<std::string>& command : std::vector<std::vector<std::string>>{
             {"set", file, "n100/n104", "amount", "1.00"}, {"get", file, "n100/n104", "amount"}}) {
        const CliRun run = runCli(command);
        EXPECT_FALSE(run.stopped) << run;
        expectRefused(run);
        EXPECT_NE(run.err.find(kSharingError), std::string::npos) << run;
    }
    EXPECT_EQ(readBytes(file), before);
    // Reported as held, not mistaken for a file in another format.
    const CliRun check = runCli({"check", file});
    expectRefused(check);
    EXPECT_NE(check.err.find("held by another program"), std::string::npos) << check;

    holder.releaseLock();
    EXPECT_EQ(output({"set", file, "n100/n104", "amount", "1.00"}), "");
    EXPECT_EQ(output({"get", file, "n100/n104", "amount"}), "1.00\n");
}

TEST_F(CliTest, DemoBuildsASampleDealThatReadsBack) {
    const std::string demoFolder = folder_.file("demo files");
    const CliRun run = runCli({"demo", demoFolder});
    ASSERT_EQ(run.exitCode, 0) << run;
    const std::string sample = demoFolder + "/sample-deal.xml";
    ASSERT_TRUE(std::filesystem::exists(sample));
    EXPECT_NE(run.out.find(sample), std::string::npos);

    EXPECT_EQ(output({"get", sample, "n100/n104", "amount"}), "250000.00\n");
    EXPECT_EQ(output({"get", sample, "e", "name1"}), "Morgan & Lee Estates\n");
    EXPECT_EQ(output({"get", sample, "d_borrowers/address", "name1"}), "Riley Whitlock\n");
    EXPECT_EQ(output({"count", sample, "ledger/deposits"}), "2\n");
    EXPECT_NE(output({"find", sample, "ledger/deposits", "amount", "231125.50"})
                  .find("name=\"deposit2\""),
              std::string::npos);
}

} // namespace
} // namespace velmora::testing
