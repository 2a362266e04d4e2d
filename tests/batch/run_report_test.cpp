// The record of a convert run: JSON and CSV rows that stay valid whatever a
// path holds, and the summary that says whether every deal is done.
#include "batch/run_report.h"

#include <gtest/gtest.h>

#include <string>

namespace velmora::testing {
namespace {

// A CSV report opens as UTF-8 in a spreadsheet program only after a
// byte-order mark; JSON Lines never carry one.
TEST(RunReport, CsvReportsBeginWithAByteOrderMarkAndJsonLinesDoNot) {
    batch::FileRecord record;
    record.path = "deals/Jos\xC3\xA9 Mu\xC3\xB1oz.hud";
    record.outcome = batch::Outcome::Converted;
    const std::string csv = batch::reportText({record, record}, true);
    EXPECT_EQ(csv, "\xEF\xBB\xBF" + batch::csvHeader() + "\n" + batch::csvRecord(record) + "\n" +
                       batch::csvRecord(record) + "\n");
    EXPECT_EQ(batch::reportText({record}, false), batch::jsonRecord(record) + "\n");
    for (const char* name : {"report.csv", "REPORT.CSV", "r.Csv", ".csv"})
        EXPECT_TRUE(batch::isCsvReportName(name)) << name;
    for (const char* name : {"report.jsonl", "report.csv.jsonl", "csv", "report-csv", ""})
        EXPECT_FALSE(batch::isCsvReportName(name)) << name;
}

TEST(RunReport, RecordsStayValidJsonAndCsvWhateverThePathHolds) {
    batch::FileRecord record;
    record.path = "deals/Smith, \"Oak\" St.hud";
    record.outcome = batch::Outcome::Converted;
    record.kind = "hud";
    record.version = 1601;
    record.backupPath = "deals/UpgradeBackup/x.prb";
    record.bytes = 42;
    record.milliseconds = 1.5;
    EXPECT_EQ(batch::jsonRecord(record),
              "{\"path\":\"deals/Smith, \\\"Oak\\\" St.hud\",\"outcome\":\"converted\","
              "\"kind\":\"hud\",\"version\":1601,\"backup\":\"deals/UpgradeBackup/x.prb\","
              "\"reason\":\"\",\"bytes\":42,\"milliseconds\":1.5,\"link\":\"\"}");
    EXPECT_EQ(batch::csvRecord(record), "\"deals/Smith, \"\"Oak\"\" St.hud\",converted,hud,1601,"
                                        "deals/UpgradeBackup/x.prb,,42,1.500,");
    // The link a deal was reached by comes last, so that readers of the
    // earlier columns keep working.
    record.link = "2003/link, to deal.hud";
    EXPECT_TRUE(batch::jsonRecord(record).ends_with(",\"link\":\"2003/link, to deal.hud\"}"));
    EXPECT_TRUE(batch::csvRecord(record).ends_with(",1.500,\"2003/link, to deal.hud\""));
    EXPECT_TRUE(batch::csvHeader().ends_with(",milliseconds,link"));
    record.link.clear();
    // JSON has the CSV's milliseconds as a number.
    record.milliseconds = 2.0004;
    EXPECT_TRUE(batch::jsonRecord(record).ends_with(",\"milliseconds\":2.0,\"link\":\"\"}"));
    EXPECT_TRUE(batch::csvRecord(record).ends_with(",2.000,"));

    // A cell a spreadsheet would run as a formula is written as text.
    for (const char* start : {"=", "+", "-", "@", "\t", "\r"}) {
        batch::FileRecord hostile = record;
        hostile.path = std::string(start) + "cmd|' /C calc'!A0.hud";
        hostile.reason = std::string(start) + "1+1";
        const std::string row = batch::csvRecord(hostile);
        const bool quoted = *start == '\r';
        EXPECT_EQ(row.substr(0, hostile.path.size() + 1 + quoted),
                  (quoted ? "\"'" : "'") + hostile.path)
            << row;
        EXPECT_NE(row.find("'" + hostile.reason), std::string::npos) << row;
    }

    std::vector<batch::FileRecord> records(3, record);
    records[1].outcome = batch::Outcome::NotADeal;
    records[2].outcome = batch::Outcome::UnsupportedKind;
    EXPECT_TRUE(batch::summarize(records).allDealsDone());
    records[2].outcome = batch::Outcome::Refused;
    const batch::RunSummary summary = batch::summarize(records);
    EXPECT_FALSE(summary.allDealsDone());
    EXPECT_EQ(batch::summaryJson(summary),
              "{\"files\":3,\"converted\":1,\"already-converted\":0,\"not-a-deal\":1,"
              "\"unsupported-kind\":0,\"refused\":1,\"failed\":0,\"broken-link\":0}");
}

// A dry run counts what it would convert, never what it converted; a
// broken link is counted and fails nothing.
TEST(RunReport, SummariesNameWhatTheRunDidAndBrokenLinksFailNothing) {
    std::vector<batch::FileRecord> records(3);
    records[0].outcome = batch::Outcome::WouldConvert;
    records[1].outcome = batch::Outcome::BrokenLink;
    records[2].outcome = batch::Outcome::AlreadyConverted;
    const batch::RunSummary summary = batch::summarize(records);
    EXPECT_TRUE(summary.allDealsDone());
    EXPECT_EQ(batch::summaryLine(summary, true),
              "would convert: 1, already converted: 1, not a deal: 0, unsupported kind: 0, "
              "refused: 0, failed: 0, broken link: 1");
    EXPECT_EQ(batch::summaryJson(summary, true),
              "{\"files\":3,\"would-convert\":1,\"already-converted\":1,\"not-a-deal\":0,"
              "\"unsupported-kind\":0,\"refused\":0,\"failed\":0,\"broken-link\":1,"
              "\"dry-run\":true}");
    EXPECT_EQ(batch::summaryLine(summary).substr(0, 28), "converted: 0, already conver");
}

// Which records get a line of their own on the error stream.
TEST(RunReport, WhatWasNotDoneAsItShouldBeGetsALineClutterDoesNot) {
    const auto line = [](batch::Outcome outcome, const std::string& path, bool named,
                         const std::string& reason = "") {
        batch::FileRecord record;
        record.outcome = outcome;
        record.path = path;
        record.named = named;
        record.reason = reason;
        return batch::deservesALine(record) ? batch::recordLine(record) : std::string();
    };
    using batch::Outcome;
    EXPECT_EQ(line(Outcome::Converted, "a.hud", true), "");
    EXPECT_EQ(line(Outcome::WouldConvert, "a.hud", true), "");
    EXPECT_EQ(line(Outcome::AlreadyConverted, "a.hud", false), "");
    EXPECT_EQ(line(Outcome::AlreadyConverted, "a.hud", true), "already converted: a.hud");
    EXPECT_EQ(line(Outcome::NotADeal, "Thumbs.db", false), "");
    EXPECT_EQ(line(Outcome::NotADeal, "x.HUD", false, "empty"), "not a deal: x.HUD: empty");
    EXPECT_EQ(
        line(Outcome::UnsupportedKind, "m.hud", false, "a red document; only statements convert"),
        "unsupported kind: m.hud: a red document; only statements convert");
    EXPECT_EQ(line(Outcome::BrokenLink, "g.hud", false, "the link leads nowhere"),
              "broken link: g.hud: the link leads nowhere");
    EXPECT_EQ(line(Outcome::Refused, "r.hud", false, "read-only"), "refused: r.hud: read-only");
}

} // namespace
} // namespace velmora::testing
