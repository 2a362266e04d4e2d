// One line of the audit trail: who did what, from where, to which deal, and
// with what answer, chained to the line before it.
//
// A line is one JSON object (tree/json_text.h's jsonText: every string
// escaped, so no value can end a line or start another), members in this
// order: "n" (the entry's number, from 1, one more on each line), "time"
// (UTC, "YYYY-MM-DDTHH:MM:SSZ"; order is n's, so seconds are enough),
// "user", "address", "action", "words" (a search's query and filters),
// "deal" and "path" (the deal's id and file, where there is one), "status"
// (the HTTP status answered) and "prev": the SHA-256, in hexadecimal, of the
// exact bytes of the line before it in the file, without its newline. The
// first line's "prev" is the SHA-256 of the empty string (auditGenesis).
// Members that are empty are left out.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::serve {

enum class AuditAction { Login, LoginFailed, Logout, Search, View, Pdf, Json, Refused };

// "login", "login-failed", "logout", "search", "view", "pdf", "json", "refused".
std::string_view actionName(AuditAction action);

// What happened, as the server tells it.
struct AuditEvent {
    std::string user;
    std::string address;
    AuditAction action = AuditAction::Refused;
    std::string words;
    std::string deal;
    std::string path;
    int status = 0;
};

struct AuditEntry {
    std::uint64_t n = 0;
    std::string time;
    AuditEvent event;
    std::string prev;
};

// The "prev" of the first line: the SHA-256 of nothing.
const std::string& auditGenesis();

// The line of `entry`, without its newline.
std::string auditLineOf(const AuditEntry& entry);

// The entry a line holds; none when it is not one (not JSON, a member
// missing or of the wrong kind, an action not known, a line too long).
std::optional<AuditEntry> parseAuditLine(std::string_view line);

} // namespace velmora::serve
