// Questions to the archive index: words anywhere in a document, filters on
// the documents fields, a range of settlement dates.
#pragma once

#include "index/index_schema.h"
#include "index/search_memo.h"
#include "index/sqlite_db.h"
#include "tree/ole_date.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmora::index {

// The order of the matches: best first (see searchIndex), or by settlement
// date, deals without one last.
enum class SearchOrder { Best, SettlementNewest, SettlementOldest };

struct SearchQuery {
    // Each word must begin a word of the document or of its path, folded
    // (text_fold.h).
    std::string words;
    // Each field's text must hold the value, both folded.
    std::vector<std::pair<Field, std::string>> where;
    std::optional<OleDate> from; // settlement dates from this day
    std::optional<OleDate> to;   // up to and including this day
    std::size_t limit = 20;
    // Matches passed over before the first given: a later page of the list.
    std::size_t offset = 0;
    SearchOrder order = SearchOrder::Best;
};

// One match: the row's id in the index, and every field of it.
struct SearchHit {
    std::int64_t id = 0;
    FieldValues fields;
};

// Words that more deals than this hold give them newest in the index first:
// ranking every match before the first is shown costs in proportion to the
// matches, and a word most deals hold tells them apart by little.
inline constexpr std::size_t kRankedMatches = 2000;

struct SearchResult {
    // At most the limit.
    std::vector<SearchHit> hits;
    std::size_t matches = 0; // all of them, however many were given
};

// The matches, best first when words were given and they match at most
// kRankedMatches deals (else the most recently indexed first), and the
// latest settlement first when no words were given.
// With a `memo`, what earlier searches through the same connection learned
// is used again while the index is unchanged (search_memo.h).
SearchResult searchIndex(Database& db, const SearchQuery& query, SearchMemo* memo = nullptr);

// The same matches, each given to `hit` as it is read; gives how many there
// are in all. For long lists: no more than one is held at a time.
std::size_t forEachHit(Database& db, const SearchQuery& query,
                       const std::function<void(const SearchHit&)>& hit,
                       SearchMemo* memo = nullptr);

// The row of id `id`, when the index holds one.
std::optional<SearchHit> documentOfId(Database& db, std::int64_t id);

// The words of what a person typed that a search asks for, folded, in
// order: each must begin a word of the deal, and none is taken for query
// syntax. A word that another one begins or repeats is left out: it would
// find nothing more. Empty when no word is left.
std::vector<std::string> askedWords(std::string_view words);

// One JSON object of the hit: its id, then every field, named as its
// column: texts as strings, numbers as numbers, NULL as null.
std::string jsonOfHit(const SearchHit& hit);

// "FIELD=VALUE" with FIELD a documents column, in any case; none for any
// other text.
std::optional<std::pair<Field, std::string>> parseWhere(std::string_view text);

} // namespace velmora::index
