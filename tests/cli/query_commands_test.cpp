// The reading commands as scripts use them: exact values that `set` takes
// back without changing a byte, `--where` on get, export and find, and the
// ways find compares.
#include "cli/cli_runner.h"

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::testing {
namespace {
using Command = std::vector<std::string>;

// A JSON string's content with the escapes the export writes decoded; the
// tests' strings are ASCII, so "\u" carries one byte.
std::string unescaped(std::string_view json) {
    std::string text;
    for (std::size_t i = 0; i < json.size(); ++i) {
        if (json[i] != '\\' || i + 1 == json.size()) {
            text += json[i];
            continue;
        }
        const char escape = json[++i];
        if (escape == 'u') {
            text += static_cast<char>(std::stoi(std::string(json.substr(i + 1, 4)), nullptr, 16));
            i += 4;
        } else {
            text += escape == 'n' ? '\n' : escape == 'r' ? '\r' : escape == 't' ? '\t' : escape;
        }
    }
    return text;
}

// Property name to value of the top node of an `export --json` line, read
// as a script would; its children are left aside.
std::map<std::string, std::string> exportedProperties(const std::string& json) {
    static const std::regex property(
        R"re("([^"]+)":\{"kind":"[a-z]+","value":"((?:[^"\\]|\\.)*)"\})re");
    const std::string own = json.substr(0, json.find("},\"children\":["));
    std::map<std::string, std::string> values;
    for (auto match = std::sregex_iterator(own.begin(), own.end(), property);
         match != std::sregex_iterator(); ++match)
        values[(*match)[1]] = unescaped((*match)[2].str());
    return values;
}

class QueryCommandsTest : public ::testing::Test {
protected:
    std::string newDocument() {
        const std::string file = folder.file("deal.xml");
        EXPECT_EQ(runCli({"new", file}).exitCode, 0);
        return file;
    }
    std::string output(const Command& args) {
        const CliRun run = runCli(args);
        EXPECT_EQ(run.exitCode, 0) << run;
        EXPECT_TRUE(run.err.empty()) << run;
        return run.out;
    }
    // "--" lets values such as "-inf" through as values.
    void set(const std::string& file, const std::string& uri, const std::string& property,
             const std::string& value) {
        EXPECT_EQ(output({"set", "--", file, uri, property, value}), "");
    }
    void expectRefusedSaying(const Command& args, const std::string& message) {
        const CliRun run = runCli(args);
        EXPECT_EQ(run.exitCode, 1) << run;
        EXPECT_EQ(run.out, "") << run;
        EXPECT_EQ(run.err, "velmora: " + message + "\n") << run;
    }
    // ledger/deposits with deposit1..3 whose memos are "Rent May", "rent june", "Deposit".
    std::string documentWithDeposits() {
        const std::string file = newDocument();
        output({"add", file, "", "ledger"});
        output({"add", file, "ledger", "deposits"});
        const std::vector<std::string> memos{"Rent May", "rent june", "Deposit"};
        for (std::size_t i = 0; i < memos.size(); ++i) {
            output({"add", file, "ledger/deposits", "deposit"});
            output({"set", file, "ledger/deposits", "memo", memos[i], "--where",
                    "name=deposit" + std::to_string(i + 1)});
        }
        return file;
    }
    std::string depositXml(const std::string& file, const std::string& name) {
        return output({"get", file, "ledger/deposits", "--where", "name=" + name});
    }

    TempFolder folder;
};

TEST_F(QueryCommandsTest, ExportedValuesAreTheStoredTextsThatSetTakesBackByteForByte) {
    const std::string file = newDocument();
    struct Awkward {
        std::string uri, property, setText, exported;
    };
    const std::vector<Awkward> awkward{
        {"", "n303", "123456789012345", "123456789012345"},
        {"", "n603", "1e300", "1e+300"},
        {"", "i_settlementDate", "9/16/2008 14:30:15", "9/16/2008 2:30:15 PM"},
        {"", "fundingDate", "7/4/1776 6:00:00 AM", "7/4/1776 6:00:00 AM"},
        {"", "placeOfSettlement", "say \"hi\"\t\x01\x1f\\ <&>\n", "say \"hi\"\t\x01\x1f\\ <&>\n"},
        {"n100", "n120", "0.1", "0.1"},
        {"n100", "n102Option", "-7", "-7"},
        // The double nearest a float's 2636.98, as a widened float arrives.
        {"n1400", "borrowerFund", "2636.97998046875", "2636.97998046875"},
        {"n1400", "sellerFund", "-0", "-0"},
        {"n1500", "n1520", "nan", "nan"},
        {"n400", "n420", "-nan", "-nan"},
        {"n500", "n520", "4.9406564584124654e-324", "5e-324"},
        {"n1600", "n1604", "-inf", "-inf"},
        {"tax_data", "tax_days", "-2147483648", "-2147483648"},
        {"StateCharges1201", "UIFlag", "1", "1"},
    };
    for (const Awkward& value : awkward)
        set(file, value.uri, value.property, value.setText);
    EXPECT_NE(
        output({"export", "--json", file})
            .find(
                R"("placeOfSettlement":{"kind":"string","value":"say \"hi\"\t\u0001\u001f\\ <&>\n"})"),
        std::string::npos);

    std::map<std::string, std::map<std::string, std::string>> exported;
    for (const std::string uri :
         {"", "n100", "n400", "n500", "n1400", "n1500", "n1600", "tax_data", "StateCharges1201"})
        exported[uri] = exportedProperties(output({"export", "--json", file, uri}));
    for (const Awkward& value : awkward)
        EXPECT_EQ(exported[value.uri][value.property], value.exported) << value.property;

    const std::string before = readBytes(file);
    for (const auto& [uri, properties] : exported) {
        for (const auto& [property, value] : properties) {
            SCOPED_TRACE(uri + " " + property + " = " + value);
            set(file, uri, property, value);
            EXPECT_EQ(readBytes(file), before);
        }
    }
}

TEST_F(QueryCommandsTest, GetExactGivesTheStoredTextAndPlainGetTheDisplayText) {
    const std::string file = newDocument();
    set(file, "", "n303", "123456789012345");
    EXPECT_EQ(output({"get", file, "", "n303"}), "1.2345678901234e+014\n");
    EXPECT_EQ(output({"get", file, "", "n303", "--exact"}), "123456789012345\n");
    EXPECT_EQ(runCli({"get", file, "", "--exact"}).exitCode, 2);
    expectRefusedSaying({"get", file, "", "bogus", "--exact"},
                        "the document root has no property 'bogus'");
}

TEST_F(QueryCommandsTest, WhereMakesGetExportAndFindWorkOnTheFirstMatchingChild) {
    const std::string file = documentWithDeposits();
    set(file, "ledger/deposits/deposit", "amount", "12.50");
    EXPECT_EQ(output({"get", file, "ledger/deposits", "memo", "--where", "name=deposit2"}),
              "rent june\n");
    EXPECT_EQ(output({"get", file, "ledger/deposits", "memo", "--where", "amount=12.50"}),
              "Rent May\n");
    EXPECT_EQ(output({"get", file, "ledger/deposits", "--where", "memo=Deposit"}),
              "<deposit amount=\"\" date=\"\" description=\"\" from=\"\" memo=\"Deposit\" "
              "name=\"deposit3\"></deposit>\n");
    EXPECT_EQ(output({"export", "--json", file, "ledger/deposits", "--where", "name=deposit3"}),
              R"({"element":"deposit","name":"deposit3","description":"","properties":{)"
              R"("amount":{"kind":"string","value":""},"date":{"kind":"string","value":""},)"
              R"("from":{"kind":"string","value":""},"memo":{"kind":"string","value":"Deposit"}},)"
              R"("children":[]})"
              "\n");
    EXPECT_EQ(output({"find", file, "ledger", "memo", "rent june", "--where", "name=deposits1"}),
              depositXml(file, "deposit2"));

    const std::string before = readBytes(file);
    const std::string noMatch = "no child of 'ledger/deposits' matches 'name=deposit9'";
    expectRefusedSaying({"get", file, "ledger/deposits", "memo", "--where", "name=deposit9"},
                        noMatch);
    expectRefusedSaying({"export", "--json", file, "ledger/deposits", "--where", "name=deposit9"},
                        noMatch);
    expectRefusedSaying({"find", file, "ledger/deposits", "memo", "x", "--where", "name=deposit9"},
                        noMatch);
    expectRefusedSaying({"get", file, "ledger/deposits", "bogus", "--where", "name=deposit2"},
                        "'deposit2' has no property 'bogus'");
    expectRefusedSaying({"find", file, "ledger", "memo", "rent", "--where", "name=deposits1"},
                        "no child of the first child of 'ledger' matching 'name=deposits1' has "
                        "memo = 'rent'");
    EXPECT_EQ(readBytes(file), before);
}

TEST_F(QueryCommandsTest, FindComparesWithoutCaseByPartAndGivesAllMatchesOrJsonLines) {
    const std::string file = documentWithDeposits();
    const std::string first = depositXml(file, "deposit1");
    const std::string second = depositXml(file, "deposit2");
    expectRefusedSaying({"find", file, "ledger/deposits", "memo", "rent may"},
                        "no child of 'ledger/deposits' has memo = 'rent may'");
    EXPECT_EQ(output({"find", file, "ledger/deposits", "memo", "RENT MAY", "--ignore-case"}),
              first);
    EXPECT_EQ(output({"find", file, "ledger/deposits", "memo", "rent", "--contains"}), second);
    EXPECT_EQ(output({"find", file, "ledger/deposits", "memo", "RENT", "--contains",
                      "--ignore-case", "--all"}),
              first + second);
    EXPECT_EQ(output({"find", file, "ledger/deposits", "memo", "e", "--contains", "--all"}),
              first + second + depositXml(file, "deposit3"));
    EXPECT_EQ(
        output({"find", file, "ledger/deposits", "memo", "rEnT", "--contains", "--ignore-case",
                "--all", "--json"}),
        output({"export", "--json", file, "ledger/deposits", "--where", "name=deposit1"}) +
            output({"export", "--json", file, "ledger/deposits", "--where", "name=deposit2"}));
    expectRefusedSaying({"find", file, "ledger/deposits", "memo", "rent may", "--contains"},
                        "no child of 'ledger/deposits' has memo containing 'rent may'");
    expectRefusedSaying(
        {"find", file, "ledger/deposits", "memo", "x", "--contains", "--ignore-case", "--all"},
        "no child of 'ledger/deposits' has memo containing 'x' (ignoring case)");
}

} // namespace
} // namespace velmora::testing
