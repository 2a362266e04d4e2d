// Questions to the archive index: words anywhere in a document, filters on
// the documents fields, a range of settlement dates.
#pragma once

#include "index/index_schema.h"
#include "index/sqlite_db.h"
#include "tree/ole_date.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmora::index {

struct SearchQuery {
    // Each word must begin a word of the document, in any case.
    std::string words;
    // Each field's text must hold the value, in any case.
    std::vector<std::pair<Field, std::string>> where;
    std::optional<OleDate> from; // settlement dates from this day
    std::optional<OleDate> to;   // up to and including this day
    std::size_t limit = 20;
};

// The matches, best first when words were given (else the latest settlement
// first): every field of each, in Field order.
std::vector<FieldValues> searchIndex(Database& db, const SearchQuery& query);

// The full-text query of what a person typed: every word a prefix, all of
// them required, and no character taken for query syntax. Empty when no
// word is left.
std::string fullTextQueryOf(std::string_view words);

// One JSON object of every field, named as its column: texts as strings,
// numbers as numbers, NULL as null.
std::string jsonOfFields(const FieldValues& values);

// "FIELD=VALUE" with FIELD a documents column, in any case; none for any
// other text.
std::optional<std::pair<Field, std::string>> parseWhere(std::string_view text);

} // namespace velmora::index
