// The audit trail as `velmora audit` lists it: which entries, and the cells
// of each row.
#pragma once

#include "serve/audit_entry.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::serve {

// Entries are kept when they match every filter given.
struct AuditFilter {
    std::optional<std::string> user;
    std::optional<std::string> deal;
    // An ISO time ("YYYY-MM-DDTHH:MM:SSZ"): entries at or after it.
    std::optional<std::string> since;
};

// The time a --since of "YYYY-MM-DD" or "YYYY-MM-DDTHH:MM:SSZ" names, in the
// form entries carry; none when `text` is neither.
std::optional<std::string> sinceTime(std::string_view text);

bool auditFilterMatches(const AuditFilter& filter, const AuditEntry& entry);

std::vector<std::string> auditTableHeader();
// The row of `entry`: "-" for what it does not have.
std::vector<std::string> auditTableRow(const AuditEntry& entry);

} // namespace velmora::serve
