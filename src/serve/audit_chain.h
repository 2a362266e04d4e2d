// Reading the audit trail back, and checking its chain.
//
// Each line's "prev" is the SHA-256 of the line before it, and its "n" one
// more than the last entry's. Whoever edits line k must therefore also
// rewrite the "prev" of line k+1, which changes k+1's bytes, and so on to
// the end: an edit, removal or insertion shows unless every later line is
// rewritten too. The chain alone cannot see what leaves no later line to
// disagree: the last line edited, the last lines removed, or the whole tail
// from some line on rewritten with fresh hashes. Keeping the head hash that
// verification prints somewhere else (a ticket, a mail) closes that gap up
// to the moment it was kept.
//
// A torn line is one whose write did not finish (a crash): the last line
// when it has no newline or is no entry. The log, when opened again, goes on
// after it on a fresh line: the next line's "prev" is the SHA-256 of the torn
// line's bytes as they are, and its "n" follows the last whole entry's (a
// torn line takes no number). Such a line is reported as torn, not as
// tampering, wherever it is, as long as the line after it chains to it.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "serve/audit_entry.h"

namespace velmora::serve {

class AuditLogFailed : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct AuditLine {
    std::string_view bytes; // without the newline
    bool ended = false;     // whether a newline follows it
    std::optional<AuditEntry> entry;
};

// The lines of `text`, the last one also when no newline ends it.
std::vector<AuditLine> splitAuditLines(std::string_view text);

// The whole file at `path`; throws AuditLogFailed when it cannot be read.
std::string readAuditFile(const std::string& path);

enum class AuditFault {
    Changed,  // a line's bytes are not those the next line's "prev" was made from
    Removed,  // entries are missing: the numbers jump
    Inserted, // a line that does not belong: a repeated or out-of-order number
};

struct AuditProblem {
    std::size_t line = 0; // from 1
    AuditFault fault = AuditFault::Changed;
    std::string detail;
};

struct AuditVerdict {
    std::size_t entries = 0; // whole entries that chain
    std::vector<std::size_t> tornLines;
    // The first sign of tampering; none when the chain is intact.
    std::optional<AuditProblem> problem;
    // The SHA-256 of the last line checked: what the next line will chain to.
    std::string head;
};

AuditVerdict verifyAuditText(std::string_view text);
// Throws AuditLogFailed when the file cannot be read.
AuditVerdict verifyAuditLog(const std::string& path);

} // namespace velmora::serve
