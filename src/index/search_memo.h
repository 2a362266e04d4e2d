// What the searches through one reading connection learned that the next
// ones may use again: the indexed terms each word begins, and how many deals
// each question matches. Both are costly where many deals hold a word (each
// walks the lists of those deals), and both hold while the index is
// unchanged: a change committed by any connection or process makes the memo
// forget them. So a person who pages through a long list, or sorts it
// another way, has it counted once, and a common word is looked up in the
// terms once.
#pragma once

#include "index/sqlite_db.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace velmora::index {

// The indexed terms a word begins; none when there are too many to list.
using TermsOfWord = std::optional<std::vector<std::string>>;

class SearchMemo {
public:
    // Forgets everything once the index `db` reads has changed since the
    // last call. Called inside the search's read transaction, so that what
    // is kept afterwards was read from the state it checked. `db` is always
    // the same connection, and one that only reads.
    void follow(Database& db);

    const TermsOfWord* terms(const std::string& word) const;
    void keepTerms(const std::string& word, const TermsOfWord& terms);

    std::optional<std::size_t> count(const std::string& question) const;
    void keepCount(const std::string& question, std::size_t count);

private:
    std::optional<std::int64_t> version_;
    std::unordered_map<std::string, TermsOfWord> terms_;
    std::unordered_map<std::string, std::size_t> counts_;
};

} // namespace velmora::index
