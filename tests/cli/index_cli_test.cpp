// velmora index and velmora search as a script runs them: the summary and the
// problems reported, the lines and JSON of the answers, the exit codes, and
// that neither command ever writes a document or a database not its own.
#include "cli/cli_runner.h"
#include "index/index_search.h"
#include "index/sqlite_db.h"
#include "support/index_archive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <regex>

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>

namespace velmora::testing {
namespace {

namespace fs = std::filesystem;

const std::string kNoMatch = "velmora: no deal matches\n";

TEST(IndexCli, IndexesAnArchiveAndAnswersWithoutWritingAnyOfIt) {
    IndexArchive archive;
    const timespec stamp[2] = {{1700000000, 0}, {1700000000, 500000000}};
    ASSERT_EQ(::utimensat(AT_FDCWD, archive.purchase.c_str(), stamp, 0), 0);
    const std::map<std::string, std::string> before = contentsOf(archive.root.path());
    const std::map<std::string, std::string> farBefore = contentsOf(archive.elsewhere.path());
    // Kept in the archive itself, as a person may well do.
    const std::string db = archive.root.file("velmora-index.db");

    CliRun run = runCli({"index", archive.root.path(), "--db", db, "-j", "2"});
    EXPECT_EQ(run.exitCode, 0) << run;
    EXPECT_EQ(run.out, "indexed: 5, unchanged: 0, not indexed: 3, not a deal: 3, broken link: 0, "
                       "removed: 0\n");
    EXPECT_EQ(run.err, "not indexed: " + archive.damaged +
                           ": the XML document is damaged: it does not load\n"
                           "not indexed: " +
                           archive.cut +
                           ": the legacy file is damaged: the file ends inside a field that "
                           "starts at byte 1009\n" +
                           "not indexed: " + archive.mortgage +
                           ": a mortgage closing document cannot be read\n");
    run = runCli({"index", archive.root.path(), "--db", db});
    EXPECT_EQ(run.out, "indexed: 0, unchanged: 8, not indexed: 0, not a deal: 3, broken link: 0, "
                       "removed: 0\n")
        << run;
    const std::string indexBytes = readBytes(db);

    run = runCli({"search", "--db", db, "OKAFOR", "quarr"});
    EXPECT_EQ(run.exitCode, 0) << run;
    EXPECT_EQ(run.out, archive.purchase +
                           "\thud\t2008-09-16T14:30:00\tDana Whitlock; Lee Whitlock +3 more\t"
                           "Morgan Estates; Quentin Morgan\t14 Quarry Road, Hallam, PA 17406\t"
                           "Harbor Bank\t$250,000.00\t200,000.00\n");
    EXPECT_EQ(run.err, "");
    run = runCli({"search", "--db", db, "--where", "document_type=hud1a", "--from", "2010-03-01",
                  "--to", "2/3/2011", "--limit", "1"});
    EXPECT_EQ(run.out, archive.loan + "\thud1a\t2011-02-03\tRobin Refi; Kim Ren\xC3\xA9"
                                      "e +1 more\t\t3 Elm Court\tLegacy Trust\t\t95,000.00\n")
        << run;
    EXPECT_EQ(run.err, "1 of 2 matches (use --limit)\n") << run;
    run = runCli({"search", "--db", db, "--limit", "0", "okafor"});
    EXPECT_EQ(run.exitCode, 2) << run;
    EXPECT_EQ(run.err.substr(0, run.err.find('\n')),
              "--limit: Value 0 not in range 1 to 18446744073709551615");
    run = runCli(
        {"search", "--db", db, "--header", "--where", "sellers=MORGAN", "--to", "9999-12-31"});
    EXPECT_EQ(run.exitCode, 0) << run;
    EXPECT_EQ(run.out.substr(0, run.out.find('\n')),
              "path\ttype\tsettlement_date\tborrowers\tsellers\tproperty\tlender\tsales_price\t"
              "loan_amount");
    EXPECT_EQ(run.out.substr(run.out.find('\n') + 1, archive.purchase.size() + 1),
              archive.purchase + "\t");
    run = runCli({"search", "--db", db, "--where", "borrowers=okafor", "--to", "9/15/2008"});
    EXPECT_EQ(run.exitCode, 1) << run;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, kNoMatch);

    run = runCli({"search", "--db", db, "--json", "okafor"});
    EXPECT_EQ(run.exitCode, 0) << run;
    struct stat info {};
    ASSERT_EQ(::stat(archive.purchase.c_str(), &info), 0);
    // The row's id comes first: the served pages address a deal by it.
    const std::size_t idEnd = run.out.find(',');
    ASSERT_NE(idEnd, std::string::npos) << run;
    EXPECT_TRUE(std::regex_match(run.out.substr(0, idEnd), std::regex(R"(\{"id":[1-9][0-9]*)")))
        << run;
    EXPECT_EQ(
        "{" + run.out.substr(idEnd + 1),
        "{\"path\":\"" + archive.purchase + "\",\"size\":" + std::to_string(info.st_size) +
            ",\"modified\":\"2023-11-14T22:13:20Z\",\"modified_ns\":1700000000500000000,"
            "\"file_id\":" +
            std::to_string(info.st_ino) +
            ",\"status\":\"indexed\",\"reason\":null,\"format\":\"xml\",\"version\":\"201\","
            "\"version_word\":null,\"document_type\":\"hud\",\"settlement_date\":\"2008-09-16T14:"
            "30:00\",\"funding_date\":\"2008-09-18\",\"file_number\":\"F-2008-17\","
            "\"loan_number\":\"LN-4471\",\"borrowers\":\"Dana Whitlock; Lee Whitlock; Riley "
            "Whitlock; Sam Okafor; Jo Okafor\",\"sellers\":\"Morgan Estates; Quentin Morgan\","
            "\"property_address\":\"14 Quarry Road, Hallam, PA 17406\",\"lender\":\"Harbor "
            "Bank\",\"settlement_agent\":\"Velmora Title\",\"contract_sales_price\":250000,"
            "\"contract_sales_price_text\":\"$250,000.00\",\"loan_amount\":200000,"
            "\"loan_amount_text\":\"200,000.00\",\"total_120\":252210.5,\"total_120_text\":"
            "\"252210.5\",\"total_220\":26204,\"total_220_text\":\"26204\",\"total_420\":251402,"
            "\"total_420_text\":\"251402\",\"total_520\":1504.25,\"total_520_text\":\"1504.25\","
            "\"total_1400_borrower\":26006.5,\"total_1400_borrower_text\":\"26006.5\","
            "\"total_1400_seller\":249897.75,\"total_1400_seller_text\":\"249897.75\","
            "\"total_1520\":0,\"total_1520_text\":\"0\"}\n");

    // Query syntax typed by a person finds what its words find, or nothing.
    for (const std::vector<std::string>& words : {std::vector<std::string>{"\""},
                                                  {"*"},
                                                  {"("},
                                                  {")"},
                                                  {"NEAR"},
                                                  {"AND"},
                                                  {"-"},
                                                  {":"},
                                                  {"NEAR(okafor", "quarry)"},
                                                  {"okafor", "AND", "NOT"},
                                                  {"--", "-okafor"},
                                                  {"borrowers:okafor"},
                                                  {"\"okafor\"*"},
                                                  {"okafor", "OR"}}) {
        std::vector<std::string> args{"search", "--db", db};
        args.insert(args.end(), words.begin(), words.end());
        run = runCli(args);
        EXPECT_TRUE((run.exitCode == 0 && run.err.empty()) ||
                    (run.exitCode == 1 && run.err == kNoMatch))
            << words.front() << ": " << run;
    }
    run = runCli({"search", "--db", db, "--", "-okafor", "(quarry)"});
    EXPECT_EQ(run.out.substr(0, archive.purchase.size() + 1), archive.purchase + "\t") << run;

    EXPECT_EQ(readBytes(db), indexBytes);
    std::map<std::string, std::string> after = contentsOf(archive.root.path());
    EXPECT_EQ(after.erase("velmora-index.db"), 1u);
    EXPECT_EQ(after, before);
    EXPECT_EQ(contentsOf(archive.elsewhere.path()), farBefore);
}

// A deal reached through a link is indexed where it lies, once; files named
// as deals that are none, files named on the command line and links to
// nothing are told of, and fail nothing.
TEST(IndexCli, LinksAreIndexedByTheRealPathAndOddFilesAreTold) {
    TempFolder tree;
    TempFolder elsewhere;
    const std::string deal = tree.file("2008/North Branch/deal1007.hud");
    putFile(deal, hudFile(legacyStatement()));
    fs::create_directories(tree.file("2003/North Branch"));
    fs::create_symlink(deal, tree.file("2003/North Branch/link-to-deal.hud"));
    putFile(elsewhere.file("far.hud"), hudFile(legacyStatement()));
    fs::create_symlink(elsewhere.file("far.hud"), tree.file("far-link.hud"));
    putFile(tree.file("empty.hud"), "");
    putFile(tree.file("Thumbs.db"), "");
    fs::create_symlink(tree.file("nowhere.hud"), tree.file("gone.hud"));
    const std::string letter = elsewhere.file("letter.txt");
    putFile(letter, "Dear Dana,");
    const std::string db = elsewhere.file("index.db");

    CliRun run = runCli({"index", tree.path(), letter, "--db", db});
    EXPECT_EQ(run.exitCode, 0) << run;
    EXPECT_EQ(
        run.out,
        "indexed: 2, unchanged: 0, not indexed: 0, not a deal: 3, broken link: 1, removed: 0\n");
    EXPECT_EQ(run.err, "not a deal: " + tree.file("empty.hud") + ": empty\nnot a deal: " + letter +
                           ": neither an XML document nor a legacy deal\nbroken link: " +
                           tree.file("gone.hud") + ": the link leads nowhere\n");
    run = runCli({"search", "--db", db, "--where", "path=deal1007"});
    EXPECT_TRUE(run.out.starts_with(deal + "\t")) << run;
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1) << run;
    run = runCli({"search", "--db", db, "--where", "path=far"});
    EXPECT_TRUE(run.out.starts_with(fs::canonical(elsewhere.file("far.hud")).string() + "\t"))
        << run;
    EXPECT_EQ(runCli({"search", "--db", db, "--where", "path=link"}).exitCode, 1);
}

TEST(IndexCli, DatabasesNotItsOwnAreRefusedAndLeftAsTheyAre) {
    IndexArchive archive;
    TempFolder folder;
    const std::string notes = folder.file("notes.txt");
    writeBytes(notes, "Call the lender on Monday.\n");
    const auto refused = [&](const std::vector<std::string>& args, const std::string& path,
                             const std::string& message) {
        const std::string bytes = readBytes(path);
        const CliRun run = runCli(args);
        EXPECT_EQ(run.exitCode, 1) << run;
        EXPECT_EQ(run.err, "velmora: " + path + ": " + message + "\n") << run;
        EXPECT_TRUE(readBytes(path) == bytes) << path << " was changed";
        EXPECT_FALSE(fs::exists(path + "-journal")) << path;
    };
    refused({"index", archive.root.path(), "--db", notes}, notes, "not an SQLite database");
    refused({"index", archive.root.path(), "--db", archive.purchase}, archive.purchase,
            "not an SQLite database");
    refused({"search", "--db", archive.purchase, "okafor"}, archive.purchase,
            "not an SQLite database");
    // Inputs are looked at before the output is made or touched.
    const std::string notesBytes = readBytes(notes);
    refused({"index", "merge", notes, archive.purchase}, archive.purchase,
            "not an SQLite database");
    EXPECT_TRUE(readBytes(notes) == notesBytes);
    refused({"index", "merge", folder.file("new.db"), notes}, notes, "not an SQLite database");
    EXPECT_FALSE(fs::exists(folder.file("new.db")));
    const std::string missing = folder.file("missing.db");
    CliRun run = runCli({"search", "--db", missing, "okafor"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err,
              "velmora: " + missing + ": no index here (make one with 'velmora index PATH...')\n");
    EXPECT_FALSE(fs::exists(missing));

    // Another process in the middle of a write: the tool waits its while
    // (ten seconds), then says so; questions are answered meanwhile.
    const std::string db = folder.file("index.db");
    ASSERT_EQ(runCli({"index", archive.statement, "--db", db}).exitCode, 0);
    index::Database writer(db, index::OpenMode::ReadWrite, 1);
    writer.execute("BEGIN IMMEDIATE; DELETE FROM meta WHERE key = 'none'");
    run = runCli({"index", archive.root.path(), "--db", db});
    EXPECT_FALSE(run.stopped);
    EXPECT_EQ(run.exitCode, 1) << run;
    EXPECT_EQ(run.err,
              "velmora: " + db + ": in use by another process; try again when it has finished\n");
    run = runCli({"search", "--db", db, "legacy"});
    EXPECT_EQ(run.out,
              archive.statement +
                  "\thud\t2004-05-17\tPat Legacy; Chris Legacy +1 more\tSam Seller\t22 "
                  "Old Mill Rd, Hanover, PA 17331\tFirst Legacy Bank\t125,000.00\t100000\n")
        << run;
    writer.execute("COMMIT");
}

// Names and paths are shown by one rule in the table search prints and on
// standard error: a name cannot add a row or a field, nor reach a terminal as
// an escape sequence.
TEST(IndexCli, ForgedRowsAndEscapesInNamesAndPathsAreShownAsEscapes) {
    TempFolder folder;
    const std::string deal = folder.file("deal\x1b[2J\n.xml");
    ASSERT_EQ(runCli({"new", deal}).exitCode, 0);
    const std::string forged = "Lee\t\t\t\t\n/etc/passwd\thud\x1b]0;owned\x07";
    ASSERT_EQ(runCli({"set", deal, "d", "name1", forged}).exitCode, 0);
    const std::string db = folder.file("index.db");
    CliRun run = runCli({"index", folder.path(), "--db", db});
    ASSERT_EQ(run.exitCode, 0) << run;

    run = runCli({"search", "--db", db, "lee"});
    ASSERT_EQ(run.exitCode, 0) << run;
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1) << run;
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\t'), 8) << run;
    EXPECT_EQ(run.out.find('\x1b'), std::string::npos) << run;
    EXPECT_NE(run.out.find(folder.path() + "/deal\\x1B[2J\\n.xml\t"), std::string::npos) << run;
    EXPECT_NE(run.out.find("Lee\\t\\t\\t\\t\\n/etc/passwd\\thud\\x1B]0;owned\\x07"),
              std::string::npos)
        << run;

    // A refusal that names the file.
    run = runCli({"get", folder.file("missing\x1b[2J.xml"), "n100"});
    EXPECT_EQ(run.exitCode, 1) << run;
    EXPECT_EQ(run.err.find('\x1b'), std::string::npos) << run;
    EXPECT_NE(run.err.find("missing\\x1B[2J.xml"), std::string::npos) << run;
}

// An index from elsewhere is read whole before the merge makes or touches
// OUT: a row it could not keep (a relative or empty path, a status no run
// writes, a field of another type, bytes that are no text) refuses the input
// by its row, in words, with nothing merged.
TEST(IndexCli, MergeRefusesAnInputByItsRowBeforeTheOutputIsMade) {
    IndexArchive archive;
    TempFolder folder;
    const std::string sound = folder.file("sound.db");
    ASSERT_EQ(runCli({"index", archive.root.path(), "--db", sound}).exitCode, 0);
    const struct {
        const char* name;
        std::string sql;
        const char* problem;
    } cases[] = {
        {"relative.db", "UPDATE documents SET path = 'deals/a.hud' WHERE id = 2",
         "its path is not absolute"},
        {"empty.db", "UPDATE documents SET path = '' WHERE id = 2", "its path is not absolute"},
        {"status.db", "UPDATE documents SET status = 'approved' WHERE id = 2",
         "its status is not one an index run writes"},
        {"type.db", "UPDATE documents SET modified_ns = 'yesterday' WHERE id = 2",
         "its modified_ns is not of the column's type"},
        {"bytes.db", "UPDATE documents SET borrowers = CAST(x'4aff4e' AS TEXT) WHERE id = 2",
         "its borrowers is not valid UTF-8 text"},
        {"nul.db", "UPDATE documents SET path = '/a' || CAST(x'00' AS TEXT) || 'b' WHERE id = 2",
         "its path is not valid UTF-8 text"},
        {"lost.db", "UPDATE documents SET other_lines = '[1,999999]' WHERE id = 2",
         "its other_lines is not a list of lines that text_lines holds"},
        {"list.db", "UPDATE documents SET other_lines = '[1, 2]' WHERE id = 2",
         "its other_lines is not a list of lines that text_lines holds"},
        {"number.db", "UPDATE documents SET other_lines = 1 WHERE id = 2",
         "its other_lines is not a list of lines that text_lines holds"},
        {"lines.db",
         "INSERT INTO text_lines VALUES (999999, CAST(x'4aff4e' AS TEXT), 1);"
         "UPDATE documents SET other_lines = '[999999]' WHERE id = 2",
         "its other lines are not valid UTF-8 text"},
    };
    for (const auto& crafted : cases) {
        const std::string input = folder.file(crafted.name);
        fs::copy_file(sound, input);
        index::Database(input, index::OpenMode::ReadWrite, 1).execute(crafted.sql);
        const std::string bytes = readBytes(input);
        const std::string out = folder.file(std::string("out-") + crafted.name);
        const CliRun run = runCli({"index", "merge", out, sound, input});
        EXPECT_EQ(run.exitCode, 1) << run;
        EXPECT_EQ(run.err, "velmora: " + input + ": row 2: " + crafted.problem +
                               "; nothing of it was merged\n")
            << run;
        EXPECT_FALSE(fs::exists(out)) << crafted.name;
        EXPECT_TRUE(readBytes(input) == bytes) << crafted.name;
    }
    EXPECT_EQ(runCli({"index", "merge", folder.file("all.db"), sound}).exitCode, 0);
}

// The hints that name a command or a flag are the tool's own: an index not
// made yet, one of an older schema, a --where that names no field.
TEST(IndexCli, RefusalsNameTheCommandThatHelps) {
    TempFolder folder;
    const std::string empty = folder.file("empty.db");
    writeBytes(empty, "");
    CliRun run = runCli({"search", "--db", empty, "okafor"});
    EXPECT_EQ(run.exitCode, 2) << run;
    EXPECT_EQ(run.err,
              "velmora: " + empty +
                  ": an empty database, not an index yet (make one with 'velmora index')\n");

    const std::string older = folder.file("older.db");
    {
        index::Database db(older, index::OpenMode::Create, 1);
        db.execute("CREATE TABLE meta (key TEXT PRIMARY KEY, value TEXT NOT NULL);"
                   "INSERT INTO meta VALUES ('schema_version', '0')");
    }
    run = runCli({"index", "merge", folder.file("all.db"), older});
    EXPECT_EQ(run.exitCode, 2) << run;
    EXPECT_EQ(run.err, "velmora: " + older +
                           ": an index of an older schema; run 'velmora index' to rebuild it\n");
    EXPECT_FALSE(fs::exists(folder.file("all.db")));

    run = runCli({"search", "--db", older, "okafor"});
    EXPECT_EQ(run.exitCode, 2) << run;
    EXPECT_EQ(run.err, "velmora: " + older +
                           ": an index of an older schema; run 'velmora index' to rebuild it\n");

    // A field that is not one is a usage error, told before the index is opened.
    run = runCli({"search", "--db", folder.file("none.db"), "--where", "zip=17406"});
    EXPECT_EQ(run.exitCode, 2) << run;
    EXPECT_TRUE(run.err.starts_with("--where: takes FIELD=VALUE with FIELD one of: path, size, "
                                    "modified, "))
        << run;
    EXPECT_NE(run.err.find(", total_1520, total_1520_text"), std::string::npos) << run;
}

// A name given to index that is not there: a mistake refused before
// anything is made, or a folder the index knows (a share not mounted) whose
// rows are kept and which is named.
TEST(IndexCli, AMissingFolderIsRefusedUnlessTheIndexKnowsIt) {
    IndexArchive archive;
    TempFolder folder;
    const std::string db = folder.file("index.db");
    const std::string typo = archive.root.file("dealz");
    CliRun run = runCli({"index", typo, "--db", db});
    EXPECT_EQ(run.exitCode, 2) << run;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "velmora: " + typo + ": no such file or folder; nothing was indexed\n");
    EXPECT_FALSE(fs::exists(db));

    ASSERT_EQ(runCli({"index", archive.root.file("deals"), archive.root.file("legacy"), "--db", db})
                  .exitCode,
              0);
    const std::string bytes = readBytes(db);
    run = runCli({"index", archive.root.file("deals"), typo, "--db", db});
    EXPECT_EQ(run.exitCode, 2) << run;
    EXPECT_TRUE(readBytes(db) == bytes);

    fs::rename(archive.root.file("legacy"), archive.root.file("unmounted"));
    run = runCli({"index", archive.root.file("deals"), archive.root.file("legacy"), "--db", db});
    EXPECT_EQ(run.exitCode, 1) << run;
    EXPECT_EQ(
        run.out,
        "indexed: 0, unchanged: 2, not indexed: 0, not a deal: 0, broken link: 0, removed: 0\n");
    EXPECT_EQ(run.err, "missing: " + archive.root.file("legacy") +
                           ": not there; its rows in the index were kept\n"
                           "velmora: 1 of the names given is missing\n");
    run = runCli({"search", "--db", db, "--where", "path=/legacy/", "--limit", "9"});
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 4) << run;
    run = runCli({"search", "--db", db, "nothing-like-this"});
    EXPECT_EQ(run.exitCode, 1) << run;
    EXPECT_EQ(run.err, kNoMatch);
}

} // namespace
// Without --db the user's own index serves from any folder; one kept in the
// current folder is used instead, and named.
TEST(IndexCli, WithoutADatabaseNamedTheUsersOwnIndexServesFromAnyFolder) {
    IndexArchive archive;
    TempFolder data;
    TempFolder work;
    // The folder and the environment as they were, whatever the test's end.
    struct Restore {
        fs::path folder = fs::current_path();
        std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
        ~Restore() {
            fs::current_path(folder);
            ::unsetenv("XDG_DATA_HOME");
            ::setenv("HOME", home.c_str(), 1);
        }
    } restore;
    ::setenv("XDG_DATA_HOME", data.file("share").c_str(), 1);
    fs::current_path(work.path());

    CliRun run = runCli({"index", archive.root.file("deals")});
    EXPECT_EQ(run.exitCode, 0) << run;
    EXPECT_EQ(run.err, "");
    EXPECT_TRUE(fs::is_regular_file(data.file("share/velmora/index.db")));
    for (const char* made : {"share", "share/velmora"})
        EXPECT_EQ(fs::status(data.file(made)).permissions(), fs::perms::owner_all) << made;
    EXPECT_EQ(work.entries(), std::vector<std::string>{});
    run = runCli({"search", "whitlock"});
    EXPECT_EQ(run.exitCode, 0) << run;
    EXPECT_TRUE(run.out.starts_with(archive.purchase + "\t")) << run;

    // The current folder's own index comes first.
    ASSERT_EQ(runCli({"index", archive.root.file("legacy"), "--db", "velmora-index.db"}).exitCode,
              0);
    run = runCli({"search", "whitlock"});
    EXPECT_EQ(run.exitCode, 1) << run;
    EXPECT_EQ(run.err,
              "velmora: using the index in the current folder, velmora-index.db\n" + kNoMatch);

    // An XDG_DATA_HOME that is not absolute names no folder: HOME's is used.
    fs::remove(work.file("velmora-index.db"));
    ::setenv("XDG_DATA_HOME", "relative", 1);
    ::setenv("HOME", data.file("home").c_str(), 1);
    EXPECT_EQ(runCli({"index", archive.root.file("deals")}).exitCode, 0);
    EXPECT_TRUE(fs::is_regular_file(data.file("home/.local/share/velmora/index.db")));
    EXPECT_FALSE(fs::exists(work.file("relative")));
}

} // namespace velmora::testing
