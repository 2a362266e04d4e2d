// Verification names the first line that was changed, removed or inserted,
// each as what it is, wherever in the log it happened.
#include "serve/audit_chain.h"
#include "serve/sha256.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace velmora::serve {
namespace {

using Lines = std::vector<std::string>;

// Lines chained as the log writes them, from entry `first` on, the first
// chained to `prev`.
Lines chainedLines(std::size_t count, std::uint64_t first = 1, std::string prev = auditGenesis()) {
    Lines lines;
    for (std::size_t i = 0; i < count; ++i) {
        AuditEntry entry;
        entry.n = first + i;
        entry.time = "2026-12-08T01:42:1" + std::to_string(i % 10) + "Z";
        entry.event = {"ana",          "192.0.2.7", AuditAction::View, "", "d-" + std::to_string(i),
                       "/deals/d.xml", 200};
        entry.prev = prev;
        lines.push_back(auditLineOf(entry));
        prev = sha256Hex(lines.back());
    }
    return lines;
}

std::string textOf(const Lines& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

// Line `index` (from 0) with `from` replaced by `to`.
void edit(Lines& lines, std::size_t index, const std::string& from, const std::string& to) {
    const std::size_t at = lines[index].find(from);
    ASSERT_NE(at, std::string::npos) << lines[index];
    lines[index].replace(at, from.size(), to);
}

struct Tampering {
    const char* what;
    std::function<void(Lines&)> change;
    std::size_t line;
    AuditFault fault;
};

TEST(AuditChain, NamesTheFirstLineChangedRemovedOrInserted) {
    const std::vector<Tampering> cases{
        {"a value edited", [](Lines& l) { edit(l, 2, "\"ana\"", "\"bob\""); }, 3,
         AuditFault::Changed},
        {"the first line edited", [](Lines& l) { edit(l, 0, "\"d-0\"", "\"d-9\""); }, 1,
         AuditFault::Changed},
        {"a prev edited",
         [](Lines& l) {
             const std::size_t digit = l[3].find("\"prev\":\"") + 8;
             l[3][digit] = l[3][digit] == '0' ? '1' : '0';
         },
         4, AuditFault::Changed},
        {"a number edited", [](Lines& l) { edit(l, 2, "\"n\":3", "\"n\":7"); }, 3,
         AuditFault::Changed},
        {"a line removed", [](Lines& l) { l.erase(l.begin() + 2); }, 3, AuditFault::Removed},
        {"two lines removed", [](Lines& l) { l.erase(l.begin() + 1, l.begin() + 3); }, 2,
         AuditFault::Removed},
        {"the first line removed", [](Lines& l) { l.erase(l.begin()); }, 1, AuditFault::Removed},
        {"a line copied", [](Lines& l) { l.insert(l.begin() + 2, l[1]); }, 3, AuditFault::Inserted},
        {"two lines swapped", [](Lines& l) { std::swap(l[1], l[2]); }, 2, AuditFault::Inserted},
        {"a forged line that chains to the one before",
         [](Lines& l) { l.insert(l.begin() + 2, chainedLines(1, 3, sha256Hex(l[1]))[0]); }, 3,
         AuditFault::Inserted},
        {"a forged first line", [](Lines& l) { l.insert(l.begin(), chainedLines(1)[0] + " "); }, 1,
         AuditFault::Inserted},
        {"garbage in the middle", [](Lines& l) { l.insert(l.begin() + 2, "garbage"); }, 3,
         AuditFault::Inserted},
        {"a line replaced by garbage", [](Lines& l) { l[2] = "garbage"; }, 3, AuditFault::Changed},
    };
    for (const Tampering& tampering : cases) {
        Lines lines = chainedLines(6);
        tampering.change(lines);
        const AuditVerdict verdict = verifyAuditText(textOf(lines));
        ASSERT_TRUE(verdict.problem) << tampering.what;
        EXPECT_EQ(verdict.problem->line, tampering.line)
            << tampering.what << ": " << verdict.problem->detail;
        EXPECT_EQ(verdict.problem->fault, tampering.fault)
            << tampering.what << ": " << verdict.problem->detail;
    }
}

// What a chain alone cannot see, as its header says: the last line edited
// or removed. An empty log is intact.
TEST(AuditChain, TheEndOfTheLogIsOnlyAsSafeAsItsHeadHash) {
    Lines lines = chainedLines(4);
    const AuditVerdict intact = verifyAuditText(textOf(lines));
    EXPECT_EQ(intact.head, sha256Hex(lines.back()));
    lines.pop_back();
    const AuditVerdict shortened = verifyAuditText(textOf(lines));
    EXPECT_FALSE(shortened.problem);
    EXPECT_NE(shortened.head, intact.head);
    const AuditVerdict empty = verifyAuditText("");
    EXPECT_EQ(empty.entries, 0u);
    EXPECT_FALSE(empty.problem);
    EXPECT_EQ(empty.head, auditGenesis());
}

} // namespace
} // namespace velmora::serve
