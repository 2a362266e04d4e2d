#include "serve/audit_chain.h"

#include "platform/file_system.h"
#include "platform/native_path.h"
#include "serve/sha256.h"

#include <fstream>
#include <iterator>

namespace velmora::serve {
namespace {

// Where the chain stands after a line: the last entry's number, and the hash
// of the line itself (entry or torn), which the next line's "prev" must be.
struct ChainPoint {
    std::uint64_t n = 0;
    std::string hash = auditGenesis();
    std::size_t line = 0; // 0: before the first line
    bool torn = false;    // whether that line is no entry
};

bool fits(const ChainPoint& at, const AuditEntry& entry) {
    return entry.n == at.n + 1 && entry.prev == at.hash;
}

std::string lineName(std::size_t line) {
    return "line " + std::to_string(line);
}

// The likeliest account of line `line`, which does not fit after `current`:
// the one that needs the fewest lines touched.
class Explanation {
public:
    Explanation(const ChainPoint& before, const ChainPoint& current, std::size_t line,
                const AuditEntry& entry, std::string hash, const AuditEntry* next)
        : before_(before), current_(current), line_(line), entry_(entry), hash_(std::move(hash)),
          next_(next) {}

    AuditProblem problem() const {
        if (next_ && fits(current_, *next_))
            return {line_, AuditFault::Inserted,
                    lineName(line_ + 1) + " follows the line before it directly"};
        if (current_.line > 0 && fits(before_, entry_))
            return {current_.line, AuditFault::Inserted,
                    lineName(line_) + " follows the line before it directly"};
        if (current_.torn)
            return {current_.line, AuditFault::Changed,
                    "it is no entry, and " + lineName(line_) + " does not chain to it"};
        if (entry_.n == current_.n + 1)
            return brokenHash();
        if (entry_.prev == current_.hash && next_ && next_->n == current_.n + 2)
            return {line_, AuditFault::Changed,
                    "its number is " + std::to_string(entry_.n) + ", not " +
                        std::to_string(current_.n + 1)};
        if (entry_.n == current_.n + 2)
            return {line_, AuditFault::Removed,
                    "entry " + std::to_string(current_.n + 1) + " is missing before it"};
        if (entry_.n > current_.n + 2)
            return {line_, AuditFault::Removed,
                    "entries " + std::to_string(current_.n + 1) + " to " +
                        std::to_string(entry_.n - 1) + " are missing before it"};
        return {line_, AuditFault::Inserted,
                "its number " + std::to_string(entry_.n) + " repeats or goes back (" +
                    std::to_string(current_.n + 1) + " was next)"};
    }

private:
    // The numbers run on but "prev" is not the hash of the line before: that
    // line was changed, unless this line's own "prev" was (then the next
    // line does not chain to this one either).
    AuditProblem brokenHash() const {
        if (current_.line == 0)
            return {line_, AuditFault::Changed,
                    "its prev is not the SHA-256 of nothing, as the first line's is"};
        if (!next_ || next_->prev == hash_)
            return {current_.line, AuditFault::Changed,
                    lineName(line_) + "'s prev is not the SHA-256 of it"};
        return {line_, AuditFault::Changed,
                lineName(line_ + 1) + "'s prev is not the SHA-256 of it"};
    }

    const ChainPoint& before_;
    const ChainPoint& current_;
    std::size_t line_;
    const AuditEntry& entry_;
    std::string hash_;
    const AuditEntry* next_;
};

} // namespace

std::vector<AuditLine> splitAuditLines(std::string_view text) {
    std::vector<AuditLine> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        AuditLine line;
        line.bytes = text.substr(0, end);
        line.ended = end != std::string_view::npos;
        line.entry = parseAuditLine(line.bytes);
        lines.push_back(std::move(line));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return lines;
}

std::string readAuditFile(const std::string& path) {
    std::ifstream in(nativePath(path), std::ios::binary);
    if (!in || isFolder(path))
        throw AuditLogFailed(path + ": the audit log cannot be read");
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad())
        throw AuditLogFailed(path + ": the audit log cannot be read");
    return bytes;
}

AuditVerdict verifyAuditText(std::string_view text) {
    const std::vector<AuditLine> lines = splitAuditLines(text);
    AuditVerdict verdict;
    ChainPoint before;
    ChainPoint current;
    // Lines that are no entry are torn once the line after them chains to them.
    std::vector<std::size_t> pendingTorn;
    for (std::size_t index = 0; index < lines.size(); ++index) {
        const AuditLine& line = lines[index];
        const std::size_t number = index + 1;
        std::string hash = sha256Hex(line.bytes);
        if (number == lines.size() && (!line.ended || !line.entry)) {
            verdict.tornLines.insert(verdict.tornLines.end(), pendingTorn.begin(),
                                     pendingTorn.end());
            verdict.tornLines.push_back(number);
            verdict.head = hash;
            return verdict;
        }
        if (!line.entry) {
            before = current;
            current.hash = hash;
            current.line = number;
            current.torn = true;
            pendingTorn.push_back(number);
            continue;
        }
        if (!fits(current, *line.entry)) {
            const AuditLine* next = index + 1 < lines.size() ? &lines[index + 1] : nullptr;
            verdict.problem = Explanation(before, current, number, *line.entry, std::move(hash),
                                          next && next->entry ? &*next->entry : nullptr)
                                  .problem();
            return verdict;
        }
        verdict.tornLines.insert(verdict.tornLines.end(), pendingTorn.begin(), pendingTorn.end());
        pendingTorn.clear();
        before = current;
        current = {line.entry->n, std::move(hash), number, false};
        ++verdict.entries;
    }
    verdict.head = current.hash;
    return verdict;
}

AuditVerdict verifyAuditLog(const std::string& path) {
    return verifyAuditText(readAuditFile(path));
}

} // namespace velmora::serve
