#include "serve/audit_listing.h"

#include <cctype>

namespace velmora::serve {
namespace {

// Whether `text` matches `pattern`, where '9' stands for any digit.
bool hasShape(std::string_view text, std::string_view pattern) {
    if (text.size() != pattern.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool digit = std::isdigit(static_cast<unsigned char>(text[i])) != 0;
        if (pattern[i] == '9' ? !digit : text[i] != pattern[i])
            return false;
    }
    return true;
}

std::string cell(const std::string& value) {
    return value.empty() ? "-" : value;
}

} // namespace

std::optional<std::string> sinceTime(std::string_view text) {
    if (hasShape(text, "9999-99-99"))
        return std::string(text) + "T00:00:00Z";
    if (hasShape(text, "9999-99-99T99:99:99Z"))
        return std::string(text);
    return std::nullopt;
}

bool auditFilterMatches(const AuditFilter& filter, const AuditEntry& entry) {
    // Times of one form compare as text.
    return (!filter.user || entry.event.user == *filter.user) &&
           (!filter.deal || entry.event.deal == *filter.deal) &&
           (!filter.since || entry.time >= *filter.since);
}

std::vector<std::string> auditTableHeader() {
    return {"N", "TIME", "USER", "ADDRESS", "ACTION", "STATUS", "DEAL", "PATH", "WORDS"};
}

std::vector<std::string> auditTableRow(const AuditEntry& entry) {
    return {std::to_string(entry.n),
            entry.time,
            cell(entry.event.user),
            cell(entry.event.address),
            std::string(actionName(entry.event.action)),
            std::to_string(entry.event.status),
            cell(entry.event.deal),
            cell(entry.event.path),
            cell(entry.event.words)};
}

} // namespace velmora::serve
