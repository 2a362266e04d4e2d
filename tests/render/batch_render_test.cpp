// velmora render over many documents: folders walked as every batch command
// walks them, legacy deals shown from their own files, outputs kept apart and
// a renamed one told, existing ones kept without --force and other programs'
// files kept with it, the page on standard output, and PDFs of many deals
// from one browser.
#include "render/pdf/pdf_producer.h"
#include "render/statement_fixture.h"
#include "support/legacy_writer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sys/stat.h>
#include <utility>

namespace velmora::testing {
namespace {

namespace fs = std::filesystem;

constexpr int kBrowserSeconds = 180;

class BatchRenderTest : public ::testing::Test {
protected:
    // A "hud" statement whose page shows `fileNumber`.
    std::string deal(const std::string& name, const std::string& fileNumber,
                     const std::string& type = "hud") {
        const std::string path = folder.file(name);
        fs::create_directories(fs::path(path).parent_path());
        writeStatement(path, type, {{"b", "fileNo_6", fileNumber}});
        return path;
    }

    std::string put(const std::string& name, const std::string& bytes) {
        const std::string path = folder.file(name);
        fs::create_directories(fs::path(path).parent_path());
        writeBytes(path, bytes);
        return path;
    }

    // The files below `root`, relative, sorted.
    static std::vector<std::string> filesBelow(const std::string& root) {
        std::vector<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(root)) {
            if (!entry.is_directory())
                names.push_back(fs::relative(entry.path(), root).generic_string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    TempFolder folder;
};

bool isPageOf(const std::string& html, const std::string& fileNumber) {
    return html.rfind("<!DOCTYPE html>", 0) == 0 && countOf(bodyOf(html), fileNumber) == 1;
}

TEST_F(BatchRenderTest, AMixedFolderGetsOnePagePerDealAndAnExactSummary) {
    deal("deals/a.xml", "FILE-A");
    deal("deals/sub/b.xml", "FILE-B", "hud1a");
    HudRecord record;
    record.version = 1601;
    record.fileNo = "FILE-OLD";
    put("deals/old.hud", hudFile(record));
    put("deals/broken.xml", readBytes(deal("deals/broken.xml", "X")).substr(0, 40));
    put("deals/notes.txt", "not a deal");
    deal("deals/UpgradeBackup/kept.xml", "FILE-KEPT");
    TempFolder elsewhere;
    writeStatement(elsewhere.file("linked.xml"), "hud", {{"b", "fileNo_6", "FILE-LINKED"}});
    fs::create_symlink(elsewhere.file("linked.xml"), folder.file("deals/linked.xml"));
    // A second way to the same file is no second document.
    fs::create_symlink(folder.file("deals/a.xml"), folder.file("deals/same-a.xml"));

    const std::string out = folder.file("out");
    const CliRun run = runCli({"render", folder.file("deals"), "--out-dir", out, "-j", "2"});
    EXPECT_EQ(run.exitCode, 1) << run;
    EXPECT_EQ(run.out, out + "/a.html\n" + out + "/linked.html\n" + out + "/old.html\n" + out +
                           "/sub/b.html\n");
    EXPECT_EQ(run.err, "failed: " + folder.file("deals/broken.xml") +
                           ": the document could not be read\n"
                           "rendered: 4, skipped existing: 0, unsupported: 0, not a deal: 1, "
                           "failed: 1, broken link: 0\nvelmora: 1 of 6 files failed\n");
    EXPECT_EQ(filesBelow(out),
              (std::vector<std::string>{"a.html", "linked.html", "old.html", "sub/b.html"}));
    EXPECT_TRUE(isPageOf(readBytes(out + "/a.html"), "FILE-A"));
    EXPECT_TRUE(isPageOf(readBytes(out + "/linked.html"), "FILE-LINKED"));
    EXPECT_TRUE(isPageOf(readBytes(out + "/old.html"), "FILE-OLD"));
    EXPECT_TRUE(isPageOf(readBytes(out + "/sub/b.html"), "FILE-B"));

    // Beside each document, the folder gets pages and nothing else; the
    // deal a link leads to gets its page beside it, where it lies.
    const CliRun beside = runCli({"render", folder.file("deals")});
    EXPECT_EQ(beside.exitCode, 1) << beside;
    for (const char* page : {"a.html", "sub/b.html", "old.html"})
        EXPECT_TRUE(fs::exists(folder.file("deals/") + page)) << page;
    EXPECT_TRUE(fs::exists(elsewhere.file("linked.html")));
    for (const char* none : {"broken.html", "notes.html", "same-a.html", "old.xml", "linked.html"})
        EXPECT_FALSE(fs::exists(folder.file("deals/") + none)) << none;
    // Nor is anything kept for the legacy deal, which was not converted.
    EXPECT_EQ(filesBelow(folder.file("deals/UpgradeBackup")), std::vector<std::string>{"kept.xml"});
    EXPECT_EQ(readBytes(folder.file("deals/old.hud")), hudFile(record));
}

// A FIFO, socket or device is no deal, as convert and index call it: it
// neither fails the run nor is read. Named alone, it is refused by name, as
// is any file that is no deal, with what it is instead.
TEST_F(BatchRenderTest, SpecialFilesAreNotDealsAndNamedOnesSayWhy) {
    deal("deals/a.xml", "FILE-A");
    const std::string pipe = folder.file("deals/pipe.xml");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    const std::string notes = put("deals/notes.txt", "not a deal");
    const CliRun run = runCli({"render", folder.file("deals"), "--out-dir", folder.file("out")});
    EXPECT_EQ(run.exitCode, 0) << run;
    EXPECT_EQ(run.err, "rendered: 1, skipped existing: 0, unsupported: 0, not a deal: 2, failed: "
                       "0, broken link: 0\n");

    // Named alone, a file that is no deal is told why.
    const std::string empty = put("empty.hud", "");
    const std::string unknown = put("unknown.hud", "\xA5\x06 and the rest");
    for (const auto& [path, why] :
         {std::pair{pipe, "not a regular file"},
          std::pair{notes, "neither an XML document nor a legacy deal"}, std::pair{empty, "empty"},
          std::pair{unknown, "unknown version word 1701"}}) {
        const CliRun alone = runCli({"render", path, "-o", folder.file("alone.html")});
        EXPECT_EQ(alone.exitCode, 1) << alone;
        EXPECT_EQ(alone.err, "velmora: not a deal: " + path + ": " + why + "\n") << alone;
        EXPECT_FALSE(fs::exists(folder.file("alone.html")));
    }
}

TEST_F(BatchRenderTest, OutputsThatWouldCollideAreKeptApart) {
    deal("x/deal.xml", "FILE-X");
    deal("y/deal.xml", "FILE-Y");
    const std::string out = folder.file("out");
    const CliRun run = runCli({"render", folder.file("x"), folder.file("y"), "--out-dir", out});
    ASSERT_EQ(run.exitCode, 0) << run;
    EXPECT_EQ(run.out,
              out + "/deal.html\n" + folder.file("y/deal.xml") + " -> " + out + "/deal-2.html\n");
    EXPECT_TRUE(isPageOf(readBytes(out + "/deal.html"), "FILE-X"));
    EXPECT_TRUE(isPageOf(readBytes(out + "/deal-2.html"), "FILE-Y"));

    // Beside the documents: two documents of one stem, and one whose name is
    // the page another would get, which no page may replace; a later run
    // finds the same names.
    deal("z/deal.xml", "FILE-Z1");
    deal("z/DEAL.old", "FILE-Z2");
    deal("z/deal-2.html", "FILE-Z3");
    const std::string z = folder.file("z");
    const std::string document = readBytes(z + "/deal-2.html");
    const CliRun beside = runCli({"render", z, "--force"});
    EXPECT_EQ(beside.exitCode, 1) << beside;
    EXPECT_EQ(beside.out, z + "/DEAL.html\n" + z + "/deal.xml -> " + z + "/deal-3.html\n");
    EXPECT_EQ(beside.err, "failed: " + z + "/deal-2.html: that is the document itself; name " +
                              "another output\n" +
                              "rendered: 2, skipped existing: 0, unsupported: 0, not a deal: 0, "
                              "failed: 1, broken link: 0\nvelmora: 1 of 3 files failed\n");
    EXPECT_TRUE(isPageOf(readBytes(z + "/DEAL.html"), "FILE-Z2"));
    EXPECT_TRUE(isPageOf(readBytes(z + "/deal-3.html"), "FILE-Z1"));
    EXPECT_EQ(readBytes(z + "/deal-2.html"), document);
}

// A legacy statement and a legacy refinance of one name in one folder: the
// second page takes a number, and the line that lists it says whose it is,
// escaped as every line with a path is.
TEST_F(BatchRenderTest, ARenamedOutputIsListedWithItsDeal) {
    HudRecord statement;
    statement.version = 1601;
    statement.fileNo = "HUD-1010";
    RefinanceRecord refinance;
    refinance.version = 1502;
    refinance.loanNo = "RFN-1010";
    const std::string office = folder.file("office");
    for (const std::string stem : {"deal1010", "line\nbreak"}) {
        put("office/" + stem + ".hud", hudFile(statement));
        put("office/" + stem + ".rfn", refinanceFile(refinance));
    }
    const CliRun run = runCli({"render", office});
    ASSERT_EQ(run.exitCode, 0) << run;
    EXPECT_EQ(run.out, office + "/deal1010.html\n" + office + "/deal1010.rfn -> " + office +
                           "/deal1010-2.html\n" + office + "/line\\nbreak.html\n" + office +
                           "/line\\nbreak.rfn -> " + office + "/line\\nbreak-2.html\n");
    EXPECT_TRUE(isPageOf(readBytes(office + "/deal1010.html"), "HUD-1010"));
    EXPECT_TRUE(isPageOf(readBytes(office + "/deal1010-2.html"), "RFN-1010"));
    EXPECT_EQ(filesBelow(office),
              (std::vector<std::string>{"deal1010-2.html", "deal1010.html", "deal1010.hud",
                                        "deal1010.rfn", "line\nbreak-2.html", "line\nbreak.html",
                                        "line\nbreak.hud", "line\nbreak.rfn"}));
}

// Outputs there already are kept without --force; with it, only those this
// tool wrote are replaced. Any other file of that name is kept and named: a
// page from elsewhere, and never a deal document.
TEST_F(BatchRenderTest, ForceReplacesOnlyTheToolsOwnOutputs) {
    const std::string a = deal("deals/a.xml", "FILE-A");
    deal("deals/b.xml", "FILE-B");
    const std::string deals = folder.file("deals");
    ASSERT_EQ(runCli({"render", a}).exitCode, 0);
    const std::string ours = deals + "/a.html";
    EXPECT_EQ(readBytes(ours).rfind("<!DOCTYPE html>\n<html lang=\"en\"><head><meta "
                                    "charset=\"utf-8\"><meta name=\"generator\" "
                                    "content=\"velmora render\">",
                                    0),
              0u);
    const std::string foreign = put("deals/b.html", "<!DOCTYPE html><p>an older page</p>");
    const std::string kept =
        "skipped: " + foreign + ": exists and is not an output of this tool; it was kept\n";
    writeStatement(a, "hud", {{"b", "fileNo_6", "FILE-A2"}});
    const CliRun run = runCli({"render", deals});
    EXPECT_EQ(run.exitCode, 0) << run;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "skipped: " + ours + ": exists; --force replaces it\n" + kept +
                           "rendered: 0, skipped existing: 2, unsupported: 0, not a deal: 2, "
                           "failed: 0, broken link: 0\n");

    // One document named gets the same rules, said in one line.
    const CliRun one = runCli({"render", deals + "/b.xml", "--force"});
    EXPECT_EQ(one.exitCode, 1) << one;
    EXPECT_EQ(one.err, "velmora: " + kept);

    const CliRun forced = runCli({"render", deals, "--force"});
    EXPECT_EQ(forced.exitCode, 0) << forced;
    EXPECT_EQ(forced.out, ours + "\n");
    EXPECT_EQ(forced.err, kept + "rendered: 1, skipped existing: 1, unsupported: 0, not a "
                                 "deal: 2, failed: 0, broken link: 0\n");
    EXPECT_TRUE(isPageOf(readBytes(ours), "FILE-A2"));
    EXPECT_EQ(readBytes(foreign), "<!DOCTYPE html><p>an older page</p>");

    // A deal document in the output's place stays, even with --force.
    HudRecord record;
    record.version = 1601;
    const std::string legacy = put("out/a.html", hudFile(record));
    const CliRun overDeal = runCli({"render", a, "--out-dir", folder.file("out"), "--force"});
    EXPECT_EQ(overDeal.exitCode, 1) << overDeal;
    EXPECT_EQ(overDeal.err,
              "velmora: " + legacy + ": is a deal document, which an output never replaces\n");
    EXPECT_EQ(readBytes(legacy), hudFile(record));
}

TEST_F(BatchRenderTest, DashPrintsThePageAndOutputIsForOneDocumentOnly) {
    const std::string a = deal("a.xml", "FILE-A");
    const std::string b = deal("b.xml", "FILE-B");
    const std::vector<std::string> before = folder.entries();
    const CliRun dash = runCli({"render", a, "-o", "-"});
    ASSERT_EQ(dash.exitCode, 0) << dash;
    EXPECT_EQ(dash.err, "");
    EXPECT_TRUE(isPageOf(dash.out, "FILE-A"));
    EXPECT_EQ(folder.entries(), before);
    EXPECT_FALSE(fs::exists("-"));
    ASSERT_EQ(runCli({"render", a, "-o", folder.file("a-page.html")}).exitCode, 0);
    EXPECT_EQ(readBytes(folder.file("a-page.html")), dash.out);

    for (const std::string& output : {std::string("-"), folder.file("page.html")}) {
        const CliRun several = runCli({"render", a, b, "-o", output});
        EXPECT_EQ(several.exitCode, 2) << several;
        EXPECT_EQ(several.out, "");
        EXPECT_EQ(several.err.rfind("--output: names the output of one document; for several, "
                                    "use --out-dir\n",
                                    0),
                  0u)
            << several;
    }
    EXPECT_EQ(runCli({"render", a, "-o", "x.html", "--out-dir", "out"}).exitCode, 2);
    EXPECT_EQ(runCli({"render", a, "--paper", "a4"}).exitCode, 2);
    EXPECT_EQ(runCli({"render", a, "--pdf", "--paper", "b5"}).exitCode, 2);
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"a-page.html", "a.xml", "b.xml"}));
}

bool chromiumInstalled() {
    return std::system("command -v chromium >/dev/null 2>&1") == 0;
}

std::size_t pageCount(const std::string& pdf) {
    const std::regex page(R"(/Type\s*/Page(?![A-Za-z]))");
    return static_cast<std::size_t>(
        std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()));
}

// The page box of every page, or "" when the pages differ.
std::string mediaBox(const std::string& pdf) {
    const std::regex box(R"(/MediaBox\s*\[([^\]]*)\])");
    std::string found;
    for (auto it = std::sregex_iterator(pdf.begin(), pdf.end(), box); it != std::sregex_iterator();
         ++it) {
        if (!found.empty() && found != (*it)[1].str())
            return "";
        found = (*it)[1].str();
    }
    return found;
}

TEST_F(BatchRenderTest, OneBrowserPrintsManyDealsOnThePaperAsked) {
    if (!chromiumInstalled())
        GTEST_SKIP() << "Chromium is not installed (scripts/install-deps installs Debian's "
                        "'chromium'); no PDF was printed";
    for (int i = 1; i <= 4; ++i)
        deal("deals/d" + std::to_string(i) + ".xml", "FILE-" + std::to_string(i));
    deal("deals/r.xml", "FILE-R", "hud1a");
    const std::string letter = folder.file("letter");
    const std::string a4 = folder.file("a4");
    const std::string deals = folder.file("deals");
    const CliRun first =
        runProgram({VELMORA_CLI_PATH, "render", "--pdf", "-j", "2", deals, "--out-dir", letter},
                   kBrowserSeconds);
    ASSERT_EQ(first.exitCode, 0) << first;
    const CliRun second =
        runProgram({VELMORA_CLI_PATH, "render", "--pdf", "--paper", "a4", deals, "--out-dir", a4},
                   kBrowserSeconds);
    ASSERT_EQ(second.exitCode, 0) << second;
    EXPECT_EQ(second.err, "rendered: 5, skipped existing: 0, unsupported: 0, not a deal: 0, "
                          "failed: 0, broken link: 0\n");
    for (const std::string name : {"d1.pdf", "d2.pdf", "d3.pdf", "d4.pdf", "r.pdf"}) {
        SCOPED_TRACE(name);
        const std::string onLetter = readBytes(letter + "/" + name);
        const std::string onA4 = readBytes(a4 + "/" + name);
        for (const std::string* pdf : {&onLetter, &onA4}) {
            EXPECT_EQ(pdf->rfind("%PDF-", 0), 0u);
            EXPECT_GE(pageCount(*pdf), 2u);
        }
        EXPECT_EQ(mediaBox(onLetter), "0 0 612 792");
        EXPECT_EQ(mediaBox(onA4), "0 0 595.91998 841.91998");
    }

    const CliRun dash = runProgram(
        {VELMORA_CLI_PATH, "render", "--pdf", deals + "/d1.xml", "-o", "-"}, kBrowserSeconds);
    ASSERT_EQ(dash.exitCode, 0) << dash;
    EXPECT_EQ(dash.out.rfind("%PDF-", 0), 0u);
    EXPECT_EQ(mediaBox(dash.out), "0 0 612 792");
}

// A scan that shares a deal's name stays, even with --force; the PDFs the
// tool printed carry its name as their Producer, and --force replaces them.
TEST_F(BatchRenderTest, ForcedPdfsReplaceTheToolsOwnAndKeepAScan) {
    if (!chromiumInstalled())
        GTEST_SKIP() << "Chromium is not installed (scripts/install-deps installs Debian's "
                        "'chromium'); no PDF was printed";
    const std::string scanBytes = "%PDF-1.4\n1 0 obj\n<</Producer (ScanSnap)>>\nendobj\n"
                                  "trailer\n<</Info 1 0 R>>\n%%EOF\n";
    HudRecord record;
    record.version = 1601;
    const std::string legacy = put("deals/deal.hud", hudFile(record));
    const std::string scan = put("deals/deal.pdf", scanBytes);
    deal("deals/other.xml", "FILE-O");
    const std::string deals = folder.file("deals");
    const std::string printed = deals + "/other.pdf";
    const std::string kept =
        "skipped: " + scan + ": exists and is not an output of this tool; it was kept\n";
    const CliRun first = runProgram({VELMORA_CLI_PATH, "render", "--pdf", deals}, kBrowserSeconds);
    ASSERT_EQ(first.exitCode, 0) << first;
    EXPECT_EQ(first.out, printed + "\n");
    EXPECT_EQ(first.err, kept + "rendered: 1, skipped existing: 1, unsupported: 0, not a deal: "
                                "1, failed: 0, broken link: 0\n");
    const std::string pdf = readBytes(printed);
    EXPECT_TRUE(render::pdf::producedBy(pdf, 0, "velmora render"));
    EXPECT_FALSE(render::pdf::producedBy(scanBytes, 0, "velmora render"));

    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(24);
    fs::last_write_time(printed, old);
    const CliRun forced =
        runProgram({VELMORA_CLI_PATH, "render", "--pdf", "--force", deals}, kBrowserSeconds);
    ASSERT_EQ(forced.exitCode, 0) << forced;
    EXPECT_EQ(forced.out, printed + "\n");
    EXPECT_EQ(forced.err, kept + "rendered: 1, skipped existing: 1, unsupported: 0, not a deal: "
                                 "2, failed: 0, broken link: 0\n");
    EXPECT_GT(fs::last_write_time(printed), old);
    EXPECT_EQ(readBytes(scan), scanBytes);

    // A legacy deal prints to PDF as well, marked the same.
    const CliRun named =
        runProgram({VELMORA_CLI_PATH, "render", "--pdf", legacy, "-o", folder.file("legacy.pdf")},
                   kBrowserSeconds);
    ASSERT_EQ(named.exitCode, 0) << named;
    EXPECT_TRUE(render::pdf::producedBy(readBytes(folder.file("legacy.pdf")), 0, "velmora render"));
}

// A program that talks nonsense on the pipe is stopped, and the run says so
// at once, without a hang and without an output.
TEST_F(BatchRenderTest, ABrowserThatSendsNonsenseIsStopped) {
    deal("deals/a.xml", "FILE-A");
    const std::string fake =
        put("fake-browser", "#!/bin/sh\nprintf 'not json\\000' >&4\nexec sleep 60\n");
    fs::permissions(fake, fs::perms::owner_all);
    ::setenv("VELMORA_CHROMIUM", fake.c_str(), 1);
    const CliRun run = runCli({"render", "--pdf", folder.file("deals")});
    ::unsetenv("VELMORA_CHROMIUM");
    EXPECT_EQ(run.exitCode, 1) << run;
    EXPECT_EQ(run.err, "velmora: Chromium could not be started: Chromium sent a message that is "
                       "not JSON and was stopped\n");
    EXPECT_EQ(filesBelow(folder.file("deals")), std::vector<std::string>{"a.xml"});
}

} // namespace
} // namespace velmora::testing
