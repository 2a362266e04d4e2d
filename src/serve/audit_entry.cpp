#include "serve/audit_entry.h"

#include "serve/sha256.h"
#include "tree/base64.h"
#include "tree/json_text.h"

#include <array>
#include <nlohmann/json.hpp>
#include <utility>

namespace velmora::serve {
namespace {

using Json = nlohmann::ordered_json;

constexpr std::array<std::pair<AuditAction, std::string_view>, 8> kActionNames{{
    {AuditAction::Login, "login"},
    {AuditAction::LoginFailed, "login-failed"},
    {AuditAction::Logout, "logout"},
    {AuditAction::Search, "search"},
    {AuditAction::View, "view"},
    {AuditAction::Pdf, "pdf"},
    {AuditAction::Json, "json"},
    {AuditAction::Refused, "refused"},
}};

// Longer than any line the server writes (a search's words are bounded by
// the request's size): anything beyond is no entry, and is not parsed.
constexpr std::size_t kLongestLine = 256 * 1024;

std::optional<AuditAction> actionOfName(std::string_view name) {
    for (const auto& [action, actionText] : kActionNames)
        if (actionText == name)
            return action;
    return std::nullopt;
}

void addText(Json& object, const char* key, const std::string& value) {
    if (!value.empty())
        object[key] = value;
}

// A string member as it was written: the exact bytes jsonText keeps beside
// text that is not UTF-8, else the text; empty when missing. None when the
// member is there but is no string.
std::optional<std::string> textOf(const Json& object, const std::string& key) {
    const auto exact = object.find(key + "_base64");
    if (exact != object.end() && exact->is_string())
        if (std::optional<std::string> bytes = decodeBase64(exact->get_ref<const std::string&>()))
            return bytes;
    const auto member = object.find(key);
    if (member == object.end())
        return std::string();
    if (!member->is_string())
        return std::nullopt;
    return member->get<std::string>();
}

bool isDigest(const std::string& text) {
    return text.size() == 64 && text.find_first_not_of("0123456789abcdef") == std::string::npos;
}

} // namespace

std::string_view actionName(AuditAction action) {
    for (const auto& [known, name] : kActionNames)
        if (known == action)
            return name;
    return "refused";
}

const std::string& auditGenesis() {
    static const std::string genesis = sha256Hex("");
    return genesis;
}

std::string auditLineOf(const AuditEntry& entry) {
    Json line = Json::object();
    line["n"] = entry.n;
    line["time"] = entry.time;
    addText(line, "user", entry.event.user);
    addText(line, "address", entry.event.address);
    line["action"] = actionName(entry.event.action);
    addText(line, "words", entry.event.words);
    addText(line, "deal", entry.event.deal);
    addText(line, "path", entry.event.path);
    line["status"] = entry.event.status;
    line["prev"] = entry.prev;
    return jsonText(line);
}

std::optional<AuditEntry> parseAuditLine(std::string_view line) {
    if (line.size() > kLongestLine || line.empty() || line.front() != '{')
        return std::nullopt;
    const Json object = Json::parse(line, nullptr, false);
    if (!object.is_object())
        return std::nullopt;
    const auto n = object.find("n");
    const auto status = object.find("status");
    const auto time = object.find("time");
    const auto action = object.find("action");
    const auto prev = object.find("prev");
    if (n == object.end() || !n->is_number_unsigned() || status == object.end() ||
        !status->is_number_integer() || time == object.end() || !time->is_string() ||
        action == object.end() || !action->is_string() || prev == object.end() ||
        !prev->is_string() || !isDigest(prev->get_ref<const std::string&>()))
        return std::nullopt;
    const std::optional<AuditAction> known = actionOfName(action->get_ref<const std::string&>());
    const std::optional<std::string> user = textOf(object, "user");
    const std::optional<std::string> address = textOf(object, "address");
    const std::optional<std::string> words = textOf(object, "words");
    const std::optional<std::string> deal = textOf(object, "deal");
    const std::optional<std::string> path = textOf(object, "path");
    if (!known || !user || !address || !words || !deal || !path)
        return std::nullopt;
    AuditEntry entry;
    entry.n = n->get<std::uint64_t>();
    entry.time = time->get<std::string>();
    entry.event = {*user, *address, *known, *words, *deal, *path, status->get<int>()};
    entry.prev = prev->get<std::string>();
    return entry;
}

} // namespace velmora::serve
