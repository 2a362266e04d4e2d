// velmora convert and the demo end to end: which files of a folder are
// converted, what is left alone, the backups, the summary and the exit code.
#include "cli/cli_runner.h"
#include "document/hud_document.h"
#include "support/legacy_writer.h"
#include "tree/base64.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <vector>

namespace velmora::testing {
namespace {
namespace fs = std::filesystem;

HudRecord statement(std::uint32_t version, const std::string& fileNo) {
    HudRecord r;
    r.version = version;
    r.fileNo = fileNo;
    return r;
}

// The backups of `file`: the names in its folder's UpgradeBackup beginning with its stem + "_".
std::vector<fs::path> backupsOf(const std::string& file) {
    const fs::path folder = fs::path(file).parent_path() / "UpgradeBackup";
    std::vector<fs::path> found;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        if (entry.path().filename().string().rfind(fs::path(file).stem().string() + "_", 0) == 0)
            found.push_back(entry.path());
    return found;
}

bool isXml(const std::string& path) {
    return readBytes(path).rfind("<calverin>", 0) == 0;
}

std::string get(const std::string& file, const std::string& uri, const std::string& name) {
    const CliRun run = runCli({"get", file, uri, name});
    EXPECT_EQ(run.exitCode, 0) << run;
    return run.out;
}

RefinanceRecord refinance(std::uint32_t version, const std::string& loanNo) {
    RefinanceRecord r;
    r.version = version;
    r.loanNo = loanNo;
    return r;
}

// The outcome of each file in a JSON Lines report, by path.
std::map<std::string, std::string> outcomesIn(const std::string& report) {
    std::map<std::string, std::string> outcomes;
    const std::regex record(R"re(^\{"path":"([^"]*)","outcome":"([^"]*)")re");
    std::istringstream lines(report);
    for (std::string line; std::getline(lines, line);) {
        std::smatch match;
        if (std::regex_search(line, match, record))
            outcomes[match[1]] = match[2];
        else
            ADD_FAILURE() << "not a record: " << line;
    }
    return outcomes;
}

// The rows of a JSON Lines report, by path.
std::map<std::string, nlohmann::json> rowsIn(const std::string& report) {
    std::map<std::string, nlohmann::json> rows;
    std::istringstream lines(report);
    for (std::string line; std::getline(lines, line);) {
        nlohmann::json row = nlohmann::json::parse(line);
        const std::string path = row["path"];
        rows[path] = std::move(row);
    }
    return rows;
}

std::string realPath(const std::string& path) {
    return fs::canonical(path).string();
}

bool has(const CliRun& run, const std::string& errorLine) {
    return run.err.find(errorLine + "\n") != std::string::npos;
}

std::size_t backupCount(const std::string& folder) {
    std::size_t count = 0;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        count += entry.path().parent_path().filename() == "UpgradeBackup";
    return count;
}

class ConvertTest : public ::testing::Test {
protected:
    // Writes a file of the archive and remembers its bytes.
    std::string put(const std::string& name, const std::string& bytes) {
        const std::string path = folder.file(name);
        fs::create_directories(fs::path(path).parent_path());
        writeBytes(path, bytes);
        original[path] = bytes;
        return path;
    }

    // A tree as an office keeps it: both kinds of deal in every version,
    // files that are no deal (some named as deals: empty, cut, of a later
    // generation), a converted document, two deals of one stem, a read-only
    // deal, a link out of the tree, a link into another of its folders, a
    // dangling link, a damaged deal, deals of kinds that cannot be converted,
    // and old backups. The outcome each file must get, by its real path.
    std::map<std::string, std::string> buildMixedTree() {
        std::map<std::string, std::string> expected;
        for (const std::uint32_t version : {401, 901, 1001, 1101, 1201, 1501, 1601})
            expected[put("statements/s" + std::to_string(version) + ".hud",
                         hudFile(statement(version, "F-" + std::to_string(version))))] =
                "converted";
        for (const std::uint32_t version : {402, 902, 1202, 1502})
            expected[put("loans/" + std::to_string(version) + "/r.ref",
                         refinanceFile(refinance(version, "L-" + std::to_string(version))))] =
                "converted";
        expected[put("pair.hud", hudFile(statement(1601, "PAIR-1")))] = "converted";
        expected[put("pair.dat", hudFile(statement(1201, "PAIR-2")))] = "converted";
        for (const char* name : {"notes.txt", "Thumbs.db", "empty.txt", "page.html"})
            expected[put(name, std::string(name) == "empty.txt" ? "" : "no deal \x01\xFF")] =
                "not-a-deal";
        expected[put("mortgage.hud", std::string("\x94\x01", 2) + "closing data")] =
            "unsupported-kind";
        expected[put("title.rfn", std::string("\x95\x01", 2) + "closing data")] =
            "unsupported-kind";
        expected[put("empty.hud", "")] = "not-a-deal";
        expected[put("cut.hud", "\x91")] = "not-a-deal";
        expected[put("s1701.hud", std::string("\xA5\x06", 2) + "a later generation")] =
            "not-a-deal";
        const std::string deal1007 =
            put("2008/North Branch/deal1007.hud", hudFile(statement(1601, "F-1007")));
        expected[deal1007] = "converted";
        fs::create_directories(folder.file("2003/North Branch"));
        fs::create_symlink(deal1007, folder.file("2003/North Branch/link-to-deal.hud"));
        const std::string whole = hudFile(statement(1601, "CUT"));
        expected[put("damaged.hud", whole.substr(0, whole.size() / 3))] = "failed";
        expected[put("read-only.hud", hudFile(statement(1601, "RO")))] = "refused";
        ::chmod(folder.file("read-only.hud").c_str(), 0444);
        CHudDocument document(document_types::kHud);
        document.initDocument();
        EXPECT_EQ(document.saveDocument(folder.file("current.xml")), 0);
        document.releaseLock();
        expected[put("current.xml", readBytes(folder.file("current.xml")))] = "already-converted";
        writeBytes(elsewhere.file("linked.hud"), hudFile(statement(1601, "LINKED")));
        fs::create_symlink(elsewhere.file("linked.hud"), folder.file("link.hud"));
        original[realPath(elsewhere.file("linked.hud"))] = readBytes(elsewhere.file("linked.hud"));
        expected[realPath(elsewhere.file("linked.hud"))] = "converted";
        fs::create_symlink(elsewhere.file("nowhere.hud"), folder.file("gone.hud"));
        expected[folder.file("gone.hud")] = "broken-link";
        put("UpgradeBackup/old_1-1-2000 0-0-0.prb", hudFile(statement(1601, "kept as it is")));
        return expected;
    }

    TempFolder folder;
    TempFolder elsewhere;
    std::map<std::string, std::string> original;
};

TEST_F(ConvertTest, OnePassConvertsEveryDealAndRecordsEveryFileAndARerunChangesNothing) {
    const std::map<std::string, std::string> expected = buildMixedTree();
    const std::string report = elsewhere.file("report.jsonl");
    const std::string deal1007 = folder.file("2008/North Branch/deal1007.hud");

    const CliRun unasked = runCli({"convert", folder.path()});
    EXPECT_EQ(unasked.exitCode, 1) << unasked;
    for (const auto& [file, bytes] : original)
        EXPECT_EQ(readBytes(file), bytes) << file;

    const CliRun run = runCli({"convert", "--yes", "-j", "2", "--report", report, folder.path()});
    EXPECT_EQ(run.exitCode, 1) << run; // the read-only and damaged deals
    EXPECT_EQ(run.out, "converted: 15, already converted: 1, not a deal: 7, unsupported kind: 2, "
                       "refused: 1, failed: 1, broken link: 1\n")
        << run;
    for (const std::string& line :
         {"refused: " + folder.file("read-only.hud") + ": read-only",
          "broken link: " + folder.file("gone.hud") + ": the link leads nowhere",
          "not a deal: " + folder.file("empty.hud") + ": empty",
          "not a deal: " + folder.file("cut.hud") + ": truncated",
          "not a deal: " + folder.file("s1701.hud") + ": unknown version word 1701",
          "unsupported kind: " + folder.file("mortgage.hud") +
              ": a mortgage closing document; only statements convert",
          "unsupported kind: " + folder.file("title.rfn") +
              ": a title closing document; only statements convert"})
        EXPECT_TRUE(has(run, line)) << line << "\n" << run;
    // Where the file ends inside a field depends on the generator's layout.
    EXPECT_NE(run.err.find("failed: " + folder.file("damaged.hud") +
                           ": The file is damaged and cannot be converted: the file ends inside a "
                           "field that starts at byte "),
              std::string::npos)
        << run;
    // Clutter and what went well are only counted; the last line is the run's.
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 9) << run;
    EXPECT_EQ(outcomesIn(readBytes(report)), expected);
    const std::map<std::string, nlohmann::json> rows = rowsIn(readBytes(report));
    EXPECT_EQ(rows.at(realPath(elsewhere.file("linked.hud")))["link"], folder.file("link.hud"));
    EXPECT_EQ(rows.at(deal1007)["link"], ""); // found without a link as well
    EXPECT_EQ(rows.at(folder.file("s1701.hud"))["version"], 1701);
    EXPECT_EQ(rows.at(folder.file("current.xml"))["kind"], "hud");
    EXPECT_EQ(rows.at(folder.file("current.xml"))["version"], 201);
    // The deal reached through a link into another folder: one backup, beside it.
    EXPECT_EQ(backupsOf(deal1007).size(), 1u);
    EXPECT_FALSE(fs::exists(folder.file("2003/North Branch/UpgradeBackup")));
    EXPECT_TRUE(fs::is_symlink(folder.file("2003/North Branch/link-to-deal.hud")));
    EXPECT_TRUE(backupsOf(folder.file("link.hud")).empty());

    for (const auto& [file, outcome] : expected) {
        if (outcome != "converted") {
            if (original.count(file)) {
                EXPECT_EQ(readBytes(file), original[file]) << file;
            }
            EXPECT_TRUE(backupsOf(file).empty()) << file;
            continue;
        }
        EXPECT_TRUE(isXml(file)) << file;
        const std::vector<fs::path> backups = backupsOf(file);
        const std::string bytes = original.count(file) ? original[file] : "";
        EXPECT_TRUE(std::any_of(
            backups.begin(), backups.end(),
            [&](const fs::path& backup) { return readBytes(backup.string()) == bytes; }))
            << file << " has no backup of its own";
    }
    // Two deals of one stem: each original has its own backup.
    EXPECT_EQ(backupsOf(folder.file("pair.hud")).size(), 2u);
    EXPECT_EQ(get(folder.file("pair.dat"), "b", "fileNo_6"), "PAIR-2\n");
    EXPECT_EQ(get(folder.file("loans/1502/r.ref"), "b", "loanNo_7"), "L-1502\n");
    EXPECT_TRUE(fs::is_symlink(folder.file("link.hud")));
    EXPECT_EQ(get(elsewhere.file("linked.hud"), "b", "fileNo_6"), "LINKED\n");
    EXPECT_EQ(readBytes(folder.file("UpgradeBackup/old_1-1-2000 0-0-0.prb")),
              original[folder.file("UpgradeBackup/old_1-1-2000 0-0-0.prb")]);

    // Again: nothing is converted twice and no backup is added; the converted
    // deals say what they now are.
    const std::size_t backups = backupCount(folder.path());
    const CliRun again = runCli({"convert", "--yes", "--json", "--report", report, folder.path()});
    EXPECT_EQ(again.exitCode, 1) << again;
    EXPECT_EQ(again.out, "{\"files\":28,\"converted\":0,\"already-converted\":16,\"not-a-deal\":7,"
                         "\"unsupported-kind\":2,\"refused\":1,\"failed\":1,\"broken-link\":1}\n")
        << again;
    EXPECT_EQ(backupCount(folder.path()), backups);
    const nlohmann::json loan = rowsIn(readBytes(report)).at(folder.file("loans/902/r.ref"));
    EXPECT_EQ(loan["kind"], "hud1a");
    EXPECT_EQ(loan["version"], 201);
}

TEST_F(ConvertTest, DryRunAndShardsWriteNothingAndSplitTheTreeOnce) {
    std::map<std::string, std::string> expected = buildMixedTree();
    for (auto& [file, outcome] : expected)
        outcome = outcome == "converted" ? "would-convert" : outcome;
    std::map<std::string, std::string> shards;
    for (const char* shard : {"1/2", "2/2"}) {
        const std::string report = elsewhere.file(std::string("shard") + shard[0] + ".jsonl");
        const CliRun run =
            runCli({"convert", "--dry-run", "--shard", shard, "--report", report, folder.path()});
        EXPECT_TRUE(run.out.starts_with("would convert: ")) << run;
        EXPECT_TRUE(run.out.ends_with(" (dry run: nothing was written)\n")) << run;
        for (const auto& [file, outcome] : outcomesIn(readBytes(report)))
            EXPECT_TRUE(shards.emplace(file, outcome).second) << file << " is in both shards";
    }
    EXPECT_EQ(shards, expected);
    for (const auto& [file, bytes] : original)
        EXPECT_EQ(readBytes(file), bytes) << file;
    EXPECT_FALSE(fs::exists(folder.file("statements/UpgradeBackup")));
    EXPECT_EQ(elsewhere.entries(),
              (std::vector<std::string>{"linked.hud", "shard1.jsonl", "shard2.jsonl"}));
}

TEST_F(ConvertTest, ForcedTypesBackupFoldersCsvReportsAndTreesWithoutDeals) {
    const std::string loan = put("loan.ref", refinanceFile(refinance(1202, "L-7")));
    const std::string deal = put("deal.hud", hudFile(statement(1601, "F-1")));
    const std::string report = elsewhere.file("report.csv");
    // A forced type refuses the other kind with its reader's message.
    const CliRun forced = runCli({"--type", "hud", "convert", "--yes", "--report", report, loan});
    EXPECT_EQ(forced.exitCode, 1) << forced;
    EXPECT_NE(forced.err.find("refused: " + loan + ": This is not Hud document!"),
              std::string::npos)
        << forced;
    const std::string csv = readBytes(report);
    EXPECT_TRUE(
        csv.starts_with("\xEF\xBB\xBFpath,outcome,kind,version,backup,reason,bytes,milliseconds,"
                        "link\n" +
                        loan + ",refused,hud1a,1202,,This is not Hud document!," +
                        std::to_string(original[loan].size()) + ","))
        << csv;
    EXPECT_TRUE(csv.ends_with(",\n")) << csv; // reached without a link
    EXPECT_EQ(readBytes(loan), original[loan]);

    ASSERT_EQ(runCli({"convert", "--yes", deal}).exitCode, 0);
    // Backups named directly are never converted.
    const std::string backups = folder.file("UpgradeBackup");
    const std::vector<fs::path> kept = backupsOf(deal);
    ASSERT_EQ(kept.size(), 1u);
    const std::string backupBytes = readBytes(kept[0].string());
    for (const std::string& named : {backups, kept[0].string()}) {
        const CliRun run = runCli({"convert", "--yes", named});
        EXPECT_EQ(run.exitCode, 0) << run;
        EXPECT_NE(run.err.find("upgrade backups are never converted"), std::string::npos) << run;
        EXPECT_EQ(readBytes(kept[0].string()), backupBytes);
    }

    // A converted deal a host has open is looked at all the same.
    CHudDocument host(document_types::kHud);
    ASSERT_EQ(host.loadDocument(deal), 0);
    const CliRun held = runCli({"convert", "--yes", "--json", deal});
    EXPECT_EQ(held.exitCode, 0) << held;
    EXPECT_NE(held.out.find("\"already-converted\":1"), std::string::npos) << held;

    // No deal at all: nothing to do, and that is success.
    TempFolder plain;
    writeBytes(plain.file("notes.txt"), "a letter");
    writeBytes(plain.file("random.bin"), std::string("\x07\x13\xff\x00\x42", 5));
    const CliRun calm = runCli({"convert", "--yes", plain.path()});
    EXPECT_EQ(calm.exitCode, 0) << calm;
    EXPECT_EQ(plain.entries(), (std::vector<std::string>{"notes.txt", "random.bin"}));

    const CliRun badShard = runCli({"convert", "--shard", "3/2", plain.path()});
    EXPECT_EQ(badShard.exitCode, 2) << badShard;
}

// Two deals whose names differ only in bytes that are not UTF-8: their
// records show the same text, and each gives back its own name and backup.
TEST_F(ConvertTest, ReportsGiveBackNamesThatAreNotUtf8ByteForByte) {
    const std::set<std::string> deals = {put("deal\xFF\xFE.hud", hudFile(statement(1601, "FE"))),
                                         put("deal\xFF\xFD.hud", hudFile(statement(1601, "FD")))};
    const std::string report = elsewhere.file("report.jsonl");
    const CliRun run = runCli({"convert", "--yes", "--report", report, folder.path()});
    EXPECT_EQ(run.exitCode, 0) << run;

    std::set<std::string> named;
    std::istringstream lines(readBytes(report));
    for (std::string line; std::getline(lines, line);) {
        const nlohmann::json record = nlohmann::json::parse(line);
        EXPECT_EQ(record.value("path", ""), folder.file("deal\xEF\xBF\xBD\xEF\xBF\xBD.hud"));
        ASSERT_TRUE(record.contains("path_base64") && record.contains("backup_base64")) << line;
        const std::optional<std::string> path =
            decodeBase64(record["path_base64"].get<std::string>());
        const std::optional<std::string> backup =
            decodeBase64(record["backup_base64"].get<std::string>());
        ASSERT_TRUE(path && backup) << line;
        EXPECT_EQ(readBytes(*backup), original[*path]) << line;
        named.insert(*path);
    }
    EXPECT_EQ(named, deals);
}

// Every file named is told of when it is not converted; a deal named by a
// link is converted where it lies, with its backup there; a link to nothing
// fails nothing; "--report -" is the report on standard output.
TEST_F(ConvertTest, NamedFilesAreToldOfLinksLeadToTheRealFileAndBrokenOnesFailNothing) {
    const std::string deal = put("deals/deal.hud", hudFile(statement(1601, "F-1")));
    const std::string letter = put("notes.txt", "Dear Dana,");
    fs::create_symlink(deal, elsewhere.file("to-deal.hud"));
    fs::create_directories(folder.file("links"));
    fs::create_symlink(folder.file("nowhere.hud"), folder.file("links/gone.hud"));

    const CliRun run = runCli({"convert", "--yes", "--report", "-", elsewhere.file("to-deal.hud"),
                               letter, folder.file("links")});
    EXPECT_EQ(run.exitCode, 0) << run;
    EXPECT_EQ(run.err, "not a deal: " + letter +
                           ": neither an XML document nor a legacy deal\n"
                           "broken link: " +
                           folder.file("links/gone.hud") +
                           ": the link leads nowhere\n"
                           "converted: 1, already converted: 0, not a deal: 1, unsupported kind: "
                           "0, refused: 0, failed: 0, broken link: 1\n");
    std::map<std::string, nlohmann::json> rows = rowsIn(run.out);
    ASSERT_EQ(rows.size(), 3u) << run;
    EXPECT_EQ(rows[realPath(deal)]["outcome"], "converted");
    EXPECT_EQ(rows[realPath(deal)]["link"], elsewhere.file("to-deal.hud"));
    EXPECT_EQ(rows[folder.file("links/gone.hud")]["outcome"], "broken-link");
    ASSERT_EQ(backupsOf(deal).size(), 1u);
    EXPECT_EQ(readBytes(backupsOf(deal)[0].string()), original[deal]);
    EXPECT_TRUE(fs::is_symlink(elsewhere.file("to-deal.hud")));
    EXPECT_EQ(elsewhere.entries(), std::vector<std::string>{"to-deal.hud"});
    EXPECT_FALSE(fs::exists("-"));

    const CliRun again = runCli({"convert", "--yes", "--report", "-", deal});
    EXPECT_EQ(again.exitCode, 0) << again;
    EXPECT_TRUE(again.err.starts_with("already converted: " + deal + "\n")) << again;
    rows = rowsIn(again.out);
    EXPECT_EQ(rows[deal]["kind"], "hud");
    EXPECT_EQ(rows[deal]["version"], 201);
}

// Two runs over one tree at once: every deal is converted by one of them,
// and their counts add up.
TEST_F(ConvertTest, OverlappingRunsConvertEachDealOnce) {
    constexpr int kDeals = 60;
    for (int i = 0; i < kDeals; ++i)
        put("deal-" + std::to_string(i) + ".hud",
            hudFile(statement(1601, "F-" + std::to_string(i))));
    CliRun runs[2];
    std::thread other([&] { runs[1] = runCli({"convert", "--yes", "--json", folder.path()}); });
    runs[0] = runCli({"convert", "--yes", "--json", "-j", "2", folder.path()});
    other.join();
    int converted = 0;
    const std::regex count(R"re("converted":(\d+),"already-converted":(\d+))re");
    for (const CliRun& run : runs) {
        EXPECT_EQ(run.exitCode, 0) << run;
        std::smatch match;
        ASSERT_TRUE(std::regex_search(run.out, match, count)) << run;
        converted += std::stoi(match[1]);
        EXPECT_EQ(std::stoi(match[1]) + std::stoi(match[2]), kDeals) << run;
    }
    EXPECT_EQ(converted, kDeals);
    for (const auto& [file, bytes] : original) {
        EXPECT_TRUE(isXml(file)) << file;
        for (const fs::path& backup : backupsOf(file))
            EXPECT_EQ(readBytes(backup.string()), bytes) << backup;
    }
}

// Ctrl-C in the middle of a run: the files in flight finish, no further one
// starts, and the run still tells what it did (the report and the summary)
// and exits as the signal would have ended it.
TEST_F(ConvertTest, AStoppedRunFinishesTheFilesInFlightAndWritesItsRecord) {
    constexpr int kDeals = 1500;
    const std::string deals = folder.file("deals");
    for (int i = 0; i < kDeals; ++i)
        put("deals/deal-" + std::to_string(i) + ".hud",
            hudFile(statement(1601, "F-" + std::to_string(i))));
    const std::string report = folder.file("report.jsonl");
    const std::string out = folder.file("out.txt");
    const std::string err = folder.file("err.txt");
    pid_t pid = 0;
    ASSERT_EQ(
        startProgram({VELMORA_CLI_PATH, "convert", "--yes", "-j", "2", "--report", report, deals},
                     out, err, pid),
        0);
    // Stopped once it has converted a few.
    for (int wait = 0; wait < 3000 && backupCount(deals) < 3; ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ::kill(pid, SIGINT);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status)) << readBytes(err);
    EXPECT_EQ(WEXITSTATUS(status), 130) << readBytes(err);

    const std::map<std::string, std::string> outcomes = outcomesIn(readBytes(report));
    EXPECT_GE(outcomes.size(), 3u);
    EXPECT_LT(outcomes.size(), static_cast<std::size_t>(kDeals));
    EXPECT_NE(readBytes(out).find("converted: " + std::to_string(outcomes.size()) + ","),
              std::string::npos)
        << readBytes(out);
    EXPECT_NE(readBytes(err).find("velmora: stopped: " + std::to_string(outcomes.size()) + " of " +
                                  std::to_string(kDeals) + " files done"),
              std::string::npos)
        << readBytes(err);
    // Each file is whole: converted with its backup and reported, or as it was.
    for (const auto& [file, bytes] : original) {
        const auto reported = outcomes.find(file);
        if (reported == outcomes.end()) {
            EXPECT_EQ(readBytes(file), bytes) << file;
            continue;
        }
        EXPECT_EQ(reported->second, "converted") << file;
        EXPECT_TRUE(isXml(file)) << file;
        ASSERT_EQ(backupsOf(file).size(), 1u) << file;
    }
    for (const auto& entry : fs::recursive_directory_iterator(deals))
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
}

// The temporary file of a save that a killed run left is removed by the
// next run that writes there, when it holds what this tool writes; one being
// written now, and one of another program, stay.
TEST_F(ConvertTest, LeftoverTemporariesOfAKilledRunAreRemovedByTheNextOne) {
    put("deals/deal.hud", hudFile(statement(1601, "F-1")));
    const std::string ours = put("deals/old.xml.tmp-Ab3dE9", "<calverin><HUD/></calverin>");
    const std::string foreign = put("deals/notes.txt.tmp-Zz9y8X", "someone's notes");
    const std::string fresh = put("deals/new.xml.tmp-Qq1w2E", "<calverin><HUD/></calverin>");
    const auto longAgo = fs::file_time_type::clock::now() - std::chrono::hours(2);
    fs::last_write_time(ours, longAgo);
    fs::last_write_time(foreign, longAgo);

    CliRun run = runCli({"convert", "--dry-run", folder.file("deals")});
    EXPECT_TRUE(fs::exists(ours)) << run;

    run = runCli({"convert", "--yes", folder.file("deals")});
    EXPECT_EQ(run.exitCode, 0) << run;
    EXPECT_FALSE(fs::exists(ours));
    EXPECT_TRUE(fs::exists(foreign));
    EXPECT_TRUE(fs::exists(fresh));
    EXPECT_NE(run.err.find("velmora: " + ours +
                           ": a leftover temporary file of a stopped run; "
                           "removed\n"),
              std::string::npos)
        << run;
    EXPECT_NE(run.err.find("velmora: " + foreign +
                           ": a leftover temporary file of another "
                           "program; left as it is\n"),
              std::string::npos)
        << run;
    EXPECT_EQ(run.err.find(fresh), std::string::npos) << run;
}

TEST_F(ConvertTest, DemoBuildsASampleDealAndConvertsItsLegacySample) {
    const std::string demo = folder.file("demo files");
    const CliRun run = runCli({"demo", demo});
    ASSERT_EQ(run.exitCode, 0) << run;
    const std::string sample = demo + "/sample-deal.xml";
    EXPECT_NE(run.out.find(sample), std::string::npos);
    EXPECT_EQ(get(sample, "n100", "n101"), "250000.00\n");
    EXPECT_EQ(get(sample, "e", "name1"), "Morgan & Lee Estates\n");

    const std::string legacy = demo + "/legacy-deal.hud";
    EXPECT_TRUE(isXml(legacy));
    const std::vector<fs::path> backups = backupsOf(legacy);
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_FALSE(isXml(backups[0].string()));
    EXPECT_EQ(get(legacy, "d", "name1"), "Ren\xC3\xA9 Caldwell\n");

    // The refinance statement is converted as a refinance, rendered beside it.
    const std::string refinance = demo + "/legacy-refinance.rfn";
    EXPECT_TRUE(isXml(refinance));
    EXPECT_EQ(get(refinance, "n1500/n1501", "amount"), "152480.31\n");
    for (const char* page : {"sample-deal.html", "legacy-deal.html", "legacy-refinance.html"})
        EXPECT_NE(run.out.find(demo + "/" + page), std::string::npos) << page;
}

} // namespace
} // namespace velmora::testing
