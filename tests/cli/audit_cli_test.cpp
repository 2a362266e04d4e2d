// velmora audit: the listing and its filters, a table no value can break,
// and --verify's answers (intact, tampered, torn, unreadable) as exit codes.
#include "cli/cli_runner.h"
#include "serve/audit_log.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sys/stat.h>

namespace velmora::testing {
namespace {

using serve::AuditAction;
using serve::AuditEvent;
using serve::AuditLog;

constexpr std::int64_t kSecond = 1000000000;
// 2026-12-07T23:59:59Z
constexpr std::int64_t kLateOnTheSeventh = 1796687999;

// Entries an hour apart from kLateOnTheSeventh on.
void writeLog(const std::string& path, const std::vector<AuditEvent>& events) {
    auto hour = std::make_shared<std::int64_t>(0);
    AuditLog log(path, [hour] { return (kLateOnTheSeventh + 3600 * (*hour)++) * kSecond; });
    for (const AuditEvent& event : events)
        log.append(event);
}

std::size_t lineCount(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

class AuditCommand : public ::testing::Test {
protected:
    void SetUp() override {
        writeLog(log, {{"ana", "192.0.2.7", AuditAction::Login, "", "", "", 303},
                       {"ana", "192.0.2.7", AuditAction::Search, "smith", "", "", 200},
                       {"bob", "192.0.2.8", AuditAction::View, "", "d-17", "/deals/a.xml", 200},
                       {"ana", "192.0.2.7", AuditAction::Pdf, "", "d-17", "/deals/a.xml", 200},
                       {"ana", "192.0.2.7", AuditAction::Json, "", "d-18", "/deals/b.xml", 200}});
    }
    TempFolder folder;
    const std::string log = folder.file("velmora-audit.log");
};

TEST_F(AuditCommand, ListsTheEntriesThatMatchEveryFilter) {
    CliRun all = runCli({"audit", log});
    ASSERT_EQ(all.exitCode, 0) << all;
    EXPECT_EQ(lineCount(all.out), 6u);
    EXPECT_NE(all.out.find("N\tTIME\tUSER\tADDRESS\tACTION"), std::string::npos);
    EXPECT_NE(all.out.find("3\t2026-12-08T01:59:59Z\tbob\t192.0.2.8\tview\t200\td-17\t/deals/"
                           "a.xml\t-\n"),
              std::string::npos)
        << all.out;

    const CliRun ana = runCli({"audit", log, "--user", "ana"});
    EXPECT_EQ(lineCount(ana.out), 5u) << ana;
    EXPECT_EQ(ana.out.find("bob"), std::string::npos);
    const CliRun deal = runCli({"audit", log, "--deal", "d-17", "--user", "ana"});
    EXPECT_EQ(lineCount(deal.out), 2u) << deal;
    EXPECT_NE(deal.out.find("\tpdf\t"), std::string::npos);
    const CliRun sinceDay = runCli({"audit", log, "--since", "2026-12-08"});
    EXPECT_EQ(lineCount(sinceDay.out), 5u) << sinceDay;
    const CliRun sinceTime = runCli({"audit", log, "--since", "2026-12-08T02:59:59Z"});
    EXPECT_EQ(lineCount(sinceTime.out), 3u) << sinceTime;
    EXPECT_EQ(runCli({"audit", log, "--since", "8/12/2026"}).exitCode, 2);
    EXPECT_EQ(runCli({"audit", "--verify", log, "--user", "ana"}).exitCode, 2);

    // --json: the lines as stored, filtered alike.
    const CliRun json = runCli({"audit", log, "--json", "--deal", "d-18"});
    const std::string stored = readBytes(log);
    EXPECT_EQ(json.out, stored.substr(stored.rfind('\n', stored.size() - 2) + 1)) << json;
}

TEST_F(AuditCommand, AHostileValueStaysInItsCell) {
    const std::string hostile = folder.file("hostile.log");
    writeLog(hostile, {{"x\n5\t2026\tmallory\x1b[2J", "192.0.2.9\r", AuditAction::Search, "a\tb\nc",
                        "", "", 200}});
    const CliRun run = runCli({"audit", hostile});
    ASSERT_EQ(run.exitCode, 0) << run;
    EXPECT_EQ(lineCount(run.out), 2u) << run.out;
    const std::string row = run.out.substr(run.out.find('\n') + 1);
    EXPECT_EQ(std::count(row.begin(), row.end(), '\t'), 8) << row;
    EXPECT_EQ(run.out.find('\x1b'), std::string::npos);
    EXPECT_EQ(run.out.find('\r'), std::string::npos);
}

TEST_F(AuditCommand, VerifyAnswersWithItsExitCode) {
    const CliRun intact = runCli({"audit", "--verify", log});
    EXPECT_EQ(intact.exitCode, 0) << intact;
    EXPECT_NE(intact.out.find("5 entries, chain intact"), std::string::npos) << intact;

    const std::string stored = readBytes(log);
    std::string edited = stored;
    edited.replace(edited.find("\"bob\""), 5, "\"eve\"");
    writeBytes(log, edited);
    const CliRun changed = runCli({"audit", "--verify", log});
    EXPECT_EQ(changed.exitCode, 1) << changed;
    EXPECT_NE(changed.err.find("line 3 was changed"), std::string::npos) << changed;

    writeBytes(log, stored.substr(0, stored.size() - 10));
    const CliRun torn = runCli({"audit", "--verify", log});
    EXPECT_EQ(torn.exitCode, 0) << torn;
    EXPECT_NE(torn.err.find("line 5 is torn"), std::string::npos) << torn;
    EXPECT_NE(torn.out.find("4 entries, chain intact"), std::string::npos) << torn;

    EXPECT_EQ(runCli({"audit", "--verify", folder.file("missing.log")}).exitCode, 2);
}

TEST_F(AuditCommand, ALogOthersMayReadIsNamed) {
    ::chmod(log.c_str(), 0644);
    const CliRun run = runCli({"audit", log});
    EXPECT_EQ(run.exitCode, 0) << run;
    EXPECT_NE(run.err.find(log + " can be read by other users"), std::string::npos) << run;
    EXPECT_NE(run.err.find("chmod 600"), std::string::npos);
    ::chmod(log.c_str(), 0600);
    EXPECT_EQ(runCli({"audit", log}).err, "");
}

} // namespace
} // namespace velmora::testing
