// The audit log as the server writes it: lines that read back as written,
// a chain that holds across reopening, torn lines and threads, values that
// cannot forge a line, a private file, and a failed write that stops the
// caller without breaking the chain.
#include "platform/file_faults.h"
#include "serve/audit_chain.h"
#include "serve/audit_log.h"
#include "serve/sha256.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sys/stat.h>
#include <thread>
#include <vector>

namespace velmora::serve {
namespace {

using testing::readBytes;
using testing::TempFolder;
using testing::writeBytes;

// 2026-12-08T01:42:17Z, a second later on each call.
AuditLog::Clock steppingClock() {
    auto seconds = std::make_shared<std::int64_t>(1796694137);
    return [seconds] { return (*seconds)++ * 1000000000; };
}

AuditEvent viewOf(const std::string& deal) {
    return {"ana", "192.0.2.7", AuditAction::View, "", deal, "/deals/" + deal + ".xml", 200};
}

std::vector<AuditEntry> entriesOf(const std::string& path) {
    const std::string bytes = readBytes(path);
    std::vector<AuditEntry> entries;
    for (const AuditLine& line : splitAuditLines(bytes)) {
        EXPECT_TRUE(line.entry) << line.bytes;
        if (line.entry)
            entries.push_back(*line.entry);
    }
    return entries;
}

class AuditLogFile : public ::testing::Test {
protected:
    TempFolder folder;
    const std::string path = folder.file("velmora-audit.log");
};

TEST_F(AuditLogFile, LinesReadBackAsWrittenAndChain) {
    {
        AuditLog log(path, steppingClock());
        log.append({"ana", "192.0.2.7", AuditAction::Search, "smith from=2024-01-01", "", "", 200});
        log.append(viewOf("d-17"));
        log.append({"", "127.0.0.1", AuditAction::Refused, "", "", "", 401});
    }
    const std::vector<AuditEntry> entries = entriesOf(path);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].time, "2026-12-08T01:42:17Z");
    EXPECT_EQ(entries[1].time, "2026-12-08T01:42:18Z");
    EXPECT_EQ(entries[0].event.words, "smith from=2024-01-01");
    EXPECT_EQ(entries[0].event.action, AuditAction::Search);
    EXPECT_EQ(entries[1].event.deal, "d-17");
    EXPECT_EQ(entries[1].event.path, "/deals/d-17.xml");
    EXPECT_EQ(entries[2].event.status, 401);
    EXPECT_EQ(entries[2].event.user, "");
    EXPECT_EQ(entries[0].prev, sha256Hex(""));
    const std::string bytes = readBytes(path);
    EXPECT_EQ(entries[1].prev, sha256Hex(bytes.substr(0, bytes.find('\n'))));
    for (std::size_t i = 0; i < entries.size(); ++i)
        EXPECT_EQ(entries[i].n, i + 1);

    const AuditVerdict verdict = verifyAuditLog(path);
    EXPECT_EQ(verdict.entries, 3u);
    EXPECT_FALSE(verdict.problem);
    EXPECT_TRUE(verdict.tornLines.empty());
    const std::string last = bytes.substr(0, bytes.size() - 1);
    EXPECT_EQ(verdict.head, sha256Hex(last.substr(last.rfind('\n') + 1)));
}

TEST_F(AuditLogFile, ReopeningGoesOnWithTheChain) {
    for (int run = 0; run < 3; ++run) {
        AuditLog log(path, steppingClock());
        log.append(viewOf("d-" + std::to_string(run)));
        log.append(viewOf("e-" + std::to_string(run)));
    }
    const AuditVerdict verdict = verifyAuditLog(path);
    EXPECT_EQ(verdict.entries, 6u);
    EXPECT_FALSE(verdict.problem);
    EXPECT_EQ(entriesOf(path).back().n, 6u);
}

// A crash mid-write leaves part of a line. The log goes on after it on a
// fresh line, and verification calls it torn, never tampering, both while
// it is the last line and once lines follow it; a line cut just before its
// newline is whole, and the numbers go on after it.
TEST_F(AuditLogFile, ATornLineIsToldApartFromTampering) {
    {
        AuditLog log(path, steppingClock());
        log.append(viewOf("d-1"));
        log.append(viewOf("d-2"));
    }
    const std::string whole = readBytes(path);
    writeBytes(path, whole + "{\"n\":3,\"time\":\"2026-12-08T0");
    AuditVerdict verdict = verifyAuditLog(path);
    EXPECT_FALSE(verdict.problem);
    EXPECT_EQ(verdict.tornLines, std::vector<std::size_t>{3});
    EXPECT_EQ(verdict.entries, 2u);

    {
        AuditLog log(path, steppingClock());
        log.append(viewOf("d-3"));
    }
    verdict = verifyAuditLog(path);
    EXPECT_FALSE(verdict.problem) << verdict.problem->detail;
    EXPECT_EQ(verdict.tornLines, std::vector<std::size_t>{3});
    EXPECT_EQ(verdict.entries, 3u);

    // The last line whole but for its newline.
    std::string bytes = readBytes(path);
    writeBytes(path, bytes.substr(0, bytes.size() - 1));
    verdict = verifyAuditLog(path);
    EXPECT_FALSE(verdict.problem);
    EXPECT_EQ(verdict.tornLines, (std::vector<std::size_t>{3, 4}));
    {
        AuditLog log(path, steppingClock());
        log.append(viewOf("d-4"));
    }
    verdict = verifyAuditLog(path);
    EXPECT_FALSE(verdict.problem) << verdict.problem->detail;
    EXPECT_EQ(verdict.tornLines, std::vector<std::size_t>{3});
    EXPECT_EQ(verdict.entries, 4u);

    // A last line that is no entry, newline or not.
    writeBytes(path, whole + "garbage\n");
    verdict = verifyAuditLog(path);
    EXPECT_FALSE(verdict.problem);
    EXPECT_EQ(verdict.tornLines, std::vector<std::size_t>{3});
}

TEST_F(AuditLogFile, AppendsFromManyThreadsMakeOneChain) {
    AuditLog log(path);
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([&log, t] {
            for (int i = 0; i < 40; ++i)
                log.append(viewOf(std::to_string(t) + "-" + std::to_string(i)));
        });
    for (std::thread& thread : threads)
        thread.join();
    const AuditVerdict verdict = verifyAuditLog(path);
    EXPECT_EQ(verdict.entries, 320u);
    EXPECT_FALSE(verdict.problem);
}

// Whatever a user name, a search or a path holds, it stays inside its own
// member of its own line, and reads back byte for byte.
TEST_F(AuditLogFile, NoValueCanForgeALine) {
    const std::string forged = "x\",\"status\":200}\n{\"n\":2,\"action\":\"view\"\r\x1b[2J\t\\";
    const std::string notUtf8 = "caf\xe9 \xff\xfe";
    {
        AuditLog log(path, steppingClock());
        log.append({forged, notUtf8, AuditAction::Search, forged, forged, notUtf8, 200});
        log.append(viewOf("d-2"));
    }
    const std::string bytes = readBytes(path);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 2);
    EXPECT_EQ(bytes.find('\x1b'), std::string::npos);
    EXPECT_EQ(bytes.find('\r'), std::string::npos);
    const std::vector<AuditEntry> entries = entriesOf(path);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].event.user, forged);
    EXPECT_EQ(entries[0].event.words, forged);
    EXPECT_EQ(entries[0].event.address, notUtf8);
    EXPECT_EQ(entries[0].event.path, notUtf8);
    EXPECT_EQ(entries[0].event.status, 200);
    EXPECT_FALSE(verifyAuditLog(path).problem);
}

TEST_F(AuditLogFile, MadeOwnerOnlyAndAnExistingOneKeptAsItIs) {
    const mode_t previous = ::umask(022);
    { AuditLog log(path); }
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    const std::string shared = folder.file("shared.log");
    writeBytes(shared, "");
    ::chmod(shared.c_str(), 0640);
    {
        AuditLog log(shared);
        log.append(viewOf("d-1"));
    }
    ASSERT_EQ(::stat(shared.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    ::umask(previous);

    EXPECT_THROW(AuditLog(folder.file("no-folder/audit.log")), AuditLogFailed);
}

class FailingWrites : public FileFaults {
public:
    bool fails(FileStep step, const std::string&) override {
        return step == failing && remaining > 0 && remaining-- > 0;
    }
    FileStep failing = FileStep::Write;
    int remaining = 1;
};

// The request whose line cannot be written is stopped; the next one goes
// on with an unbroken chain.
TEST_F(AuditLogFile, AFailedWriteThrowsAndTheChainGoesOn) {
    AuditLog log(path, steppingClock());
    log.append(viewOf("d-1"));
    for (const FileStep step : {FileStep::Write, FileStep::Flush}) {
        FailingWrites faults;
        faults.failing = step;
        const ScopedFileFaults scoped(faults);
        EXPECT_THROW(log.append(viewOf("lost")), AuditLogFailed);
        log.append(viewOf("d-2"));
    }
    const AuditVerdict verdict = verifyAuditLog(path);
    EXPECT_FALSE(verdict.problem) << verdict.problem->detail;
    // A failed flush leaves its line written: it is in the chain too.
    EXPECT_EQ(verdict.entries, 4u);
}

} // namespace
} // namespace velmora::serve
