// The batch layer on its own, with a callback in place of a renderer: which
// output each document gets, what is never written over, and what each
// file's record and the run's summary say.
#include "batch/batch_run.h"
#include "batch/work_threads.h"
#include "document/hud_document.h"
#include "temp_folder.h"
#include "tree/xml_document.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <new>
#include <stdexcept>
#include <thread>

namespace velmora::testing {
namespace {

namespace fs = std::filesystem;
using batch::BatchOutcome;

class BatchRunTest : public ::testing::Test {
protected:
    std::string document(const std::string& name) {
        const std::string path = folder.file(name);
        fs::create_directories(fs::path(path).parent_path());
        CHudDocument root("hud");
        root.initDocument();
        EXPECT_EQ(saveXmlFile(root, path), 0);
        return path;
    }

    std::vector<batch::BatchItem> plan(const std::vector<std::string>& roots,
                                       const std::string& outFolder = "") {
        return batch::planBatch(batch::walkTree(roots).files, {".out", outFolder});
    }

    TempFolder folder;
};

// What the callback makes of a document: its path, so that every output
// shows where it came from.
const batch::MakeOutput kEcho = [](const batch::BatchItem& item) {
    return "made " + item.document;
};

TEST_F(BatchRunTest, OutputsMirrorTheFoldersGivenAndNeverShareAName) {
    const std::string a = document("in/one/deal.xml");
    const std::string b = document("in/two/Deal.xml");
    const std::string c = document("in/two/deal.out"); // what b would get
    const std::string named = document("elsewhere/deal.xml");
    const std::string out = folder.file("out");
    const std::vector<batch::BatchItem> items = plan({folder.file("in"), named}, out);
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0].document, a);
    EXPECT_EQ(items[0].output, out + "/one/deal.out");
    EXPECT_EQ(items[1].document, b);
    EXPECT_EQ(items[1].output, out + "/two/Deal.out");
    EXPECT_EQ(items[2].document, c);
    EXPECT_EQ(items[2].output, out + "/two/deal-2.out"); // ASCII case does not tell apart
    EXPECT_EQ(items[3].output, out + "/deal.out");
    for (std::size_t i = 0; i < items.size(); ++i)
        EXPECT_EQ(items[i].renamed, i == 2) << i;

    // Beside the documents, no output takes a document's name.
    const std::vector<batch::BatchItem> beside = plan({folder.file("in/two")});
    EXPECT_EQ(beside[0].output, folder.file("in/two/Deal-2.out"));
    EXPECT_TRUE(beside[0].renamed);
    EXPECT_EQ(beside[1].output, c); // the document itself: refused when run
    EXPECT_FALSE(beside[1].renamed);

    const std::vector<batch::BatchRecord> records =
        batch::runBatch(items, kEcho, {false, 2, {}}, nullptr);
    for (std::size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(records[i].outcome, BatchOutcome::Written) << records[i].reason;
        EXPECT_EQ(readBytes(records[i].output), "made " + records[i].document);
        EXPECT_EQ(records[i].renamed, i == 2) << i;
    }
}

TEST_F(BatchRunTest, EachFileGetsARecordThatSaysWhy) {
    const std::string good = document("in/a.xml");
    const std::string bad = document("in/b.xml");
    writeBytes(folder.file("in/notes.txt"), "not a deal");
    const std::string existing = folder.file("in/c.out");
    document("in/c.xml");
    writeBytes(existing, "kept");
    const batch::MakeOutput failing = [&](const batch::BatchItem& item) -> std::string {
        if (item.document == bad)
            throw std::runtime_error(item.document + ": could not be read");
        return kEcho(item);
    };
    const std::vector<batch::BatchItem> items = plan({folder.file("in")});
    std::vector<batch::BatchRecord> records =
        batch::runBatch(items, failing, {false, 1, {}}, nullptr);
    ASSERT_EQ(records.size(), 5u); // a.xml, b.xml, c.out, c.xml, notes.txt
    EXPECT_EQ(batch::batchNote(records[0]), "");
    EXPECT_EQ(batch::batchNote(records[1]), "failed: " + bad + ": could not be read");
    EXPECT_EQ(records[2].outcome, BatchOutcome::NotADeal);
    EXPECT_EQ(batch::batchNote(records[2]), "");
    EXPECT_EQ(batch::batchNote(records[3]), "skipped: " + existing + ": exists");
    // What helps is the caller's to say, and only where something would.
    EXPECT_EQ(records[3].remedy, batch::BatchRemedy::ReplaceOutput);
    EXPECT_EQ(records[1].remedy, batch::BatchRemedy::None);
    EXPECT_EQ(readBytes(existing), "kept");
    EXPECT_FALSE(fs::exists(folder.file("in/b.out")));
    EXPECT_EQ(
        batch::batchSummaryLine(batch::summarizeBatch(records), "made"),
        "made: 1, skipped existing: 1, unsupported: 0, not a deal: 2, failed: 1, broken link: 0");

    records = batch::runBatch(items, kEcho, {true, 1, {}}, nullptr);
    EXPECT_EQ(
        batch::batchSummaryLine(batch::summarizeBatch(records), "made"),
        "made: 3, skipped existing: 0, unsupported: 0, not a deal: 2, failed: 0, broken link: 0");
    EXPECT_EQ(readBytes(existing), "made " + folder.file("in/c.xml"));
}

// A run that can tell its own outputs replaces only those, with or without
// leave to replace: another program's file of that name is kept, with a
// word that says so and no remedy offered.
TEST_F(BatchRunTest, OnlyTheCommandsOwnOutputsAreReplaced) {
    document("in/a.xml");
    document("in/b.xml");
    const std::string ours = folder.file("in/a.out");
    const std::string scan = folder.file("in/b.out");
    writeBytes(ours, "made earlier");
    writeBytes(scan, "a scan");
    const batch::IsOwnOutput ownOutput = [](const std::string& path) {
        return readBytes(path).starts_with("made");
    };
    const std::vector<batch::BatchItem> items = plan({folder.file("in")});
    ASSERT_EQ(items.size(), 4u); // a.out, a.xml, b.out, b.xml
    for (const bool replace : {false, true}) {
        SCOPED_TRACE(replace);
        const std::vector<batch::BatchRecord> records =
            batch::runBatch(items, kEcho, {replace, 1, ownOutput}, nullptr);
        EXPECT_EQ(records[1].outcome,
                  replace ? BatchOutcome::Written : BatchOutcome::SkippedExisting);
        EXPECT_EQ(records[3].outcome, BatchOutcome::SkippedExisting);
        EXPECT_EQ(batch::batchNote(records[3]),
                  "skipped: " + scan + ": exists and is not an output of this tool; it was kept");
        EXPECT_EQ(records[3].remedy, batch::BatchRemedy::None);
        EXPECT_EQ(readBytes(scan), "a scan");
    }
    EXPECT_EQ(readBytes(ours), "made " + folder.file("in/a.xml"));
}

// A link to nothing and a file named as a deal that is none are told, and
// fail nothing; other clutter is only counted.
TEST_F(BatchRunTest, BrokenLinksAndFilesNamedAsDealsAreToldAndFailNothing) {
    fs::create_directories(folder.file("in"));
    writeBytes(folder.file("in/empty.hud"), "");
    writeBytes(folder.file("in/notes.txt"), "not a deal");
    fs::create_symlink(folder.file("nowhere.xml"), folder.file("in/gone.xml"));
    const std::vector<batch::BatchRecord> records =
        batch::runBatch(plan({folder.file("in")}), kEcho, {false, 1, {}}, nullptr);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(batch::batchNote(records[0]),
              "not a deal: " + folder.file("in/empty.hud") + ": empty");
    EXPECT_EQ(batch::batchNote(records[1]),
              "broken link: " + folder.file("in/gone.xml") + ": the link leads nowhere");
    EXPECT_EQ(batch::batchNote(records[2]), "");
    EXPECT_EQ(
        batch::batchSummaryLine(batch::summarizeBatch(records), "made"),
        "made: 0, skipped existing: 0, unsupported: 0, not a deal: 2, failed: 0, broken link: 1");
}

// No exception from one file's work reaches a worker thread's end (which
// would end the process): memory and logic faults fail that file alone, on
// any number of threads.
TEST_F(BatchRunTest, AnyFaultOfOneFileFailsThatFileAndTheRunGoesOn) {
    std::vector<std::string> documents;
    for (const char* name : {"a.xml", "b.xml", "c.xml", "d.xml", "e.xml", "f.xml"})
        documents.push_back(document(std::string("in/") + name));
    const batch::MakeOutput faulty = [&](const batch::BatchItem& item) -> std::string {
        if (item.document == documents[1])
            throw std::bad_alloc();
        if (item.document == documents[4])
            throw std::logic_error("a fault");
        return kEcho(item);
    };
    const std::vector<batch::BatchItem> items = plan({folder.file("in")});
    const std::vector<batch::BatchRecord> records =
        batch::runBatch(items, faulty, {false, 2, {}}, nullptr);
    ASSERT_EQ(records.size(), 6u);
    EXPECT_EQ(batch::batchNote(records[1]), "failed: out of memory");
    EXPECT_EQ(batch::batchNote(records[4]), "failed: a fault");
    EXPECT_EQ(
        batch::batchSummaryLine(batch::summarizeBatch(records), "made"),
        "made: 4, skipped existing: 0, unsupported: 0, not a deal: 0, failed: 2, broken link: 0");
}

// What escapes the work itself is thrown on the calling thread, once every
// thread has stopped, and no further item is started.
TEST(WorkThreads, AnExceptionOnAWorkerReachesTheCallerAndStopsTheHandingOut) {
    std::atomic<int> started{0};
    const auto work = [&](std::size_t i) {
        ++started;
        if (i == 3)
            throw 42; // not even a std::exception
        // Long enough that the other worker cannot run through every item
        // before the handing out stops.
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
    EXPECT_THROW(batch::forEachOnThreads(1000, 2, work), int);
    EXPECT_LT(started.load(), 1000);
    started = 0;
    EXPECT_NO_THROW(batch::forEachOnThreads(10, 3, [&](std::size_t) { ++started; }));
    EXPECT_EQ(started.load(), 10);
}

// A legacy deal is told from its first word: one of a kind that converts is
// a deal to work on, with its kind for the callback; one of any other kind is
// settled. A file that is no deal says why.
TEST_F(BatchRunTest, LegacyDealsOfAKindThatConvertsAreWorkedOn) {
    const auto legacy = [&](const std::string& name, unsigned versionWord) {
        const std::string path = folder.file("in/" + name);
        fs::create_directories(fs::path(path).parent_path());
        writeBytes(path, std::string{static_cast<char>(versionWord & 0xFF),
                                     static_cast<char>(versionWord >> 8)} +
                             "...");
        return path;
    };
    const std::string statement = legacy("a.hud", 1601);
    const std::string mortgage = legacy("b.hud", 404);
    const std::string unknown = legacy("c.hud", 1701);
    writeBytes(folder.file("in/d.hud"), "");
    writeBytes(folder.file("in/e.hud"), "x");
    const std::vector<batch::BatchItem> items = plan({folder.file("in")});
    ASSERT_EQ(items.size(), 5u);
    EXPECT_FALSE(items[0].settled);
    EXPECT_EQ(items[0].kind.kind, batch::FileKind::Statement);
    EXPECT_EQ(items[0].output, folder.file("in/a.out"));
    EXPECT_EQ(items[1].settled, BatchOutcome::Unsupported);
    EXPECT_EQ(items[1].reason, mortgage + ": a legacy mortgage closing document, a kind no "
                                          "reader converts");
    EXPECT_EQ(items[1].remedy, batch::BatchRemedy::None);
    EXPECT_EQ(items[2].reason, unknown + ": unknown version word 1701");
    EXPECT_EQ(items[3].reason, folder.file("in/d.hud") + ": empty");
    EXPECT_EQ(items[4].reason, folder.file("in/e.hud") + ": truncated");
    const batch::BatchRecord record = batch::runBatchItem(items[1], kEcho, {});
    EXPECT_EQ(batch::batchNote(record), "unsupported: " + items[1].reason);
    EXPECT_EQ(readBytes(batch::runBatchItem(items[0], kEcho, {}).output), "made " + statement);
}

} // namespace
} // namespace velmora::testing
