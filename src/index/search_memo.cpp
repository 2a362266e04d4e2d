#include "index/search_memo.h"

namespace velmora::index {
namespace {

// Each table is emptied when it reaches this, rather than grow with every
// distinct question a long-running server is asked.
constexpr std::size_t kMostKept = 4096;

template <typename Value>
void keep(std::unordered_map<std::string, Value>& table, const std::string& key,
          const Value& value) {
    if (table.size() >= kMostKept)
        table.clear();
    table.insert_or_assign(key, value);
}

} // namespace

void SearchMemo::follow(Database& db) {
    // Changes whenever another connection commits, this process's or not.
    Statement dataVersion = db.prepare("PRAGMA data_version");
    const std::optional<std::int64_t> version =
        dataVersion.step() ? std::optional(dataVersion.integer(0)) : std::nullopt;
    if (version && version == version_)
        return;
    version_ = version;
    terms_.clear();
    counts_.clear();
}

const TermsOfWord* SearchMemo::terms(const std::string& word) const {
    const auto found = terms_.find(word);
    return found == terms_.end() ? nullptr : &found->second;
}

void SearchMemo::keepTerms(const std::string& word, const TermsOfWord& terms) {
    keep(terms_, word, terms);
}

std::optional<std::size_t> SearchMemo::count(const std::string& question) const {
    const auto found = counts_.find(question);
    return found == counts_.end() ? std::nullopt : std::optional(found->second);
}

void SearchMemo::keepCount(const std::string& question, std::size_t count) {
    keep(counts_, question, count);
}

} // namespace velmora::index
