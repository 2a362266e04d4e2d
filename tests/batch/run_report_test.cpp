// The record of a convert run: JSON and CSV rows that stay valid whatever a
// path holds, and the summary that says whether every deal is done.
#include "batch/run_report.h"

#include <gtest/gtest.h>

#include <string>

namespace velmora::testing {
namespace {

TEST(RunReport, RecordsStayValidJsonAndCsvWhateverThePathHolds) {
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
              "\"reason\":\"\",\"bytes\":42,\"milliseconds\":1.5}");
    EXPECT_EQ(batch::csvRecord(record), "\"deals/Smith, \"\"Oak\"\" St.hud\",converted,hud,1601,"
                                        "deals/UpgradeBackup/x.prb,,42,1.500");
    // JSON has the CSV's milliseconds as a number.
    record.milliseconds = 2.0004;
    EXPECT_TRUE(batch::jsonRecord(record).ends_with(",\"milliseconds\":2.0}"));
    EXPECT_TRUE(batch::csvRecord(record).ends_with(",2.000"));

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
              "\"unsupported-kind\":0,\"refused\":1,\"failed\":0}");
}

} // namespace
} // namespace velmora::testing
