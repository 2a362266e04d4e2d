// The pieces of the archive layer on their own: shards that every machine
// splits alike, the kind of a file from its first bytes, report texts that
// stay valid whatever a path holds, and the walk over links and loops.
#include "archive/json_text.h"
#include "batch/file_kind.h"
#include "batch/run_report.h"
#include "batch/shard.h"
#include "batch/tree_walk.h"
#include "support/child_process.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

namespace velmora::testing {
namespace {

namespace fs = std::filesystem;
using batch::FileKind;
using batch::Found;

TEST(Shard, TextsAndAStableSplit) {
    for (const char* bad : {"", "1", "0/2", "3/2", "1/0", "a/2", "1/2x", "-1/2", "1/-2", "1//2"})
        EXPECT_FALSE(batch::parseShard(bad)) << bad;
    const std::optional<batch::Shard> shard = batch::parseShard("2/3");
    ASSERT_TRUE(shard);
    EXPECT_EQ(shard->index, 2u);
    EXPECT_EQ(shard->count, 3u);

    // Pinned: machines of any platform must split a tree alike.
    const std::tuple<const char*, unsigned, unsigned> pinned[] = {{"deal.hud", 6, 2},
                                                                  {"2004/0117.hud", 6, 3},
                                                                  {"loans/r.ref", 7, 2},
                                                                  {"x/y/z.dat", 4, 1},
                                                                  {"notes.txt", 5, 3}};
    for (const auto& [path, ofSeven, ofThree] : pinned) {
        for (unsigned k = 1; k <= 7; ++k)
            EXPECT_EQ(batch::isInShard({k, 7}, path), k == ofSeven) << path << " " << k;
        for (unsigned k = 1; k <= 3; ++k)
            EXPECT_EQ(batch::isInShard({k, 3}, path), k == ofThree) << path << " " << k;
    }
}

TEST(FileKindOf, FirstBytesDecide) {
    const auto word = [](unsigned w, std::string rest = "...") {
        return std::string{static_cast<char>(w & 0xFF), static_cast<char>(w >> 8)} + rest;
    };
    const std::tuple<std::string, FileKind, unsigned, std::string> cases[] = {
        {"<calverin><HUD/></calverin>", FileKind::XmlDocument, 0, "xml"},
        {"<calverin>", FileKind::XmlDocument, 0, "xml"},
        {"<calveri", FileKind::NotADeal, 0, ""},
        {word(401), FileKind::Statement, 401, "hud"},
        {word(1601, ""), FileKind::Statement, 1601, "hud"},
        {word(902), FileKind::Refinance, 902, "hud1a"},
        {word(1502), FileKind::Refinance, 1502, "hud1a"},
        {word(403), FileKind::UnconvertibleDeal, 403, "red document"},
        {word(404), FileKind::UnconvertibleDeal, 404, "mortgage closing document"},
        {word(405), FileKind::UnconvertibleDeal, 405, "title closing document"},
        {word(1603), FileKind::NotADeal, 0, ""},
        {word(400), FileKind::NotADeal, 0, ""},
        {"\x91", FileKind::NotADeal, 0, ""},
        {"", FileKind::NotADeal, 0, ""},
        {"PK\x03\x04 a word file", FileKind::NotADeal, 0, ""}};
    for (const auto& [bytes, kind, version, name] : cases) {
        const batch::KindOfFile found = batch::kindOfFile(bytes);
        EXPECT_EQ(found.kind, kind) << bytes;
        EXPECT_EQ(found.versionWord, version) << bytes;
        EXPECT_EQ(batch::kindName(found), name) << bytes;
    }
}

TEST(RunReport, RecordsStayValidJsonAndCsvWhateverThePathHolds) {
    EXPECT_EQ(archive::jsonQuoted("a\"b\\c\n\t\x01\x7f"), "\"a\\\"b\\\\c\\n\\t\\u0001\x7f\"");
    // Bytes that are not UTF-8 (a Latin-1 file name, a cut sequence, an
    // encoded surrogate, an overlong form) become U+FFFD; real UTF-8 stays.
    EXPECT_EQ(
        archive::jsonQuoted("Ren\xE9 \xC3\xA9 \xE2\x82 \xED\xA0\x80 \xC0\xAF \xF0\x9F\x98\x80"),
        "\"Ren\xEF\xBF\xBD \xC3\xA9 \xEF\xBF\xBD\xEF\xBF\xBD \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD "
        "\xEF\xBF\xBD\xEF\xBF\xBD \xF0\x9F\x98\x80\"");

    batch::FileRecord record;
    record.path = "deals/Smith, \"Oak\" St.hud";
    record.outcome = batch::Outcome::Converted;
    record.kind = "hud";
    record.versionWord = 1601;
    record.backupPath = "deals/UpgradeBackup/x.prb";
    record.bytes = 42;
    record.milliseconds = 1.5;
    EXPECT_EQ(batch::jsonRecord(record),
              "{\"path\":\"deals/Smith, \\\"Oak\\\" St.hud\",\"outcome\":\"converted\","
              "\"kind\":\"hud\",\"version\":1601,\"backup\":\"deals/UpgradeBackup/x.prb\","
              "\"reason\":\"\",\"bytes\":42,\"milliseconds\":1.500}");
    EXPECT_EQ(batch::csvRecord(record), "\"deals/Smith, \"\"Oak\"\" St.hud\",converted,hud,1601,"
                                        "deals/UpgradeBackup/x.prb,,42,1.500");

    std::vector<batch::FileRecord> records(3, record);
    records[1].outcome = batch::Outcome::NotADeal;
    records[2].outcome = batch::Outcome::UnsupportedKind;
    EXPECT_TRUE(batch::summarize(records).allDealsDone());
    records[2].outcome = batch::Outcome::Refused;
    const batch::RunSummary summary = batch::summarize(records);
    EXPECT_FALSE(summary.allDealsDone());
    EXPECT_EQ(batch::summaryJson(summary),
              "{\"files\":3,\"converted\":1,\"already-converted\":0,\"not-a-deal\":1,"
              "\"unsupported-kind\":0,\"refused\":1,\"failed\":0}");
}

TEST(TreeWalk, LinksAreFollowedOnceLoopsEndAndBackupsAreLeftAlone) {
    TempFolder tree;
    TempFolder outside;
    const auto put = [](const std::string& path) {
        fs::create_directories(fs::path(path).parent_path());
        writeBytes(path, "x");
    };
    put(tree.file("a.hud"));
    put(tree.file("a.hud.tmp-Xy12Zq")); // a save in progress
    put(tree.file("sub/b.hud"));
    put(tree.file("UpgradeBackup/a_1-1-2000 0-0-0.prb"));
    put(outside.file("far/c.hud"));
    fs::create_symlink(tree.file("a.hud"), tree.file("again.hud"));      // a file reached twice
    fs::create_symlink(tree.path(), tree.file("sub/loop"));              // a loop of folders
    fs::create_symlink(outside.file("far"), tree.file("far"));           // a folder elsewhere
    fs::create_symlink(outside.file("gone.hud"), tree.file("gone.hud")); // a link to nothing
    fs::create_symlink(tree.file("UpgradeBackup"), tree.file("old"));    // links into backups
    fs::create_symlink(tree.file("UpgradeBackup/a_1-1-2000 0-0-0.prb"), tree.file("latest.hud"));
    ASSERT_EQ(::mkfifo(tree.file("pipe").c_str(), 0644), 0);

    const batch::TreeWalk walk = batch::walkTree(
        {tree.path(), tree.file("sub/b.hud"), tree.file("UpgradeBackup"), tree.file("missing")});
    std::vector<std::tuple<std::string, std::string, Found>> found;
    for (const batch::FoundFile& file : walk.files)
        found.emplace_back(file.path, file.relative, file.found);
    const std::vector<std::tuple<std::string, std::string, Found>> expected = {
        {tree.file("a.hud"), "a.hud", Found::File},
        {tree.file("gone.hud"), "gone.hud", Found::Dangling},
        {tree.file("pipe"), "pipe", Found::NotAFile},
        {tree.file("far/c.hud"), "far/c.hud", Found::File},
        {tree.file("sub/b.hud"), "sub/b.hud", Found::File},
        {tree.file("missing"), "missing", Found::Missing}};
    EXPECT_EQ(found, expected);
    ASSERT_EQ(walk.notes.size(), 1u);
    EXPECT_EQ(walk.notes[0],
              tree.file("UpgradeBackup") + ": upgrade backups are never converted; left alone");
}

// A folder another user may not enter: its name is reported as unreadable,
// and so is a file named inside it, never as a link that leads nowhere.
TEST(TreeWalk, WhatCannotBeLookedAtIsUnreadable) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "making a folder another user cannot enter needs root";
    TempFolder tree;
    ASSERT_EQ(::chmod(tree.path().c_str(), 0755), 0);
    fs::create_directory(tree.file("locked"));
    writeBytes(tree.file("locked/deal.hud"), "x");
    ASSERT_EQ(::chmod(tree.file("locked").c_str(), 0700), 0);
    EXPECT_TRUE(inChildProcess([&] {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            return false;
        const batch::TreeWalk walk = batch::walkTree({tree.path(), tree.file("locked/deal.hud")});
        return walk.files.size() == 2 && walk.files[0].found == Found::Unreadable &&
               walk.files[0].relative == "locked" && walk.files[1].found == Found::Unreadable;
    }));
}

} // namespace
} // namespace velmora::testing
