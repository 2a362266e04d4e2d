#include "index/index_search.h"

#include "index/deal_fields.h"
#include "tree/json_text.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>

namespace velmora::index {
namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// A word worth asking for holds a letter or a digit; "*", "(" or "-" alone
// would only be query syntax, which is not what a person means.
bool holdsWordCharacter(std::string_view word) {
    return std::any_of(word.begin(), word.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte >= 0x80 || std::isalnum(byte);
    });
}

// A quoted string is never syntax; its quotes are doubled inside.
std::string prefixPhrase(std::string_view word) {
    std::string phrase = "\"";
    for (const char c : word) {
        phrase += c;
        if (c == '"')
            phrase += '"';
    }
    return phrase + "\"*";
}

struct SqlWithValues {
    std::string sql;
    std::vector<SqlValue> values;
};

void addConditions(SqlWithValues& query, const SearchQuery& search) {
    for (const auto& [field, value] : search.where) {
        query.sql += std::string(" AND instr(lower(d.") + fieldDef(field).name + "), lower(?)) > 0";
        query.values.emplace_back(value);
    }
    if (search.from) {
        query.sql += " AND d.settlement_date >= ?";
        query.values.emplace_back(isoDate(*search.from).substr(0, 10));
    }
    if (search.to) {
        // Dates with a time of day sort after the day itself.
        query.sql += " AND d.settlement_date < ?";
        query.values.emplace_back(
            isoDate(OleDate{std::floor(search.to->days) + 1.0, DateStatus::Valid}).substr(0, 10));
    }
}

// A whole amount as an integer ("250000"), any other as the shortest text
// that reads back to it; NaN and infinities, which JSON has no number for, as
// null.
nlohmann::ordered_json jsonNumber(double value) {
    constexpr double kLargestExact = 9007199254740992.0; // 2^53
    if (std::trunc(value) == value && std::fabs(value) <= kLargestExact)
        return static_cast<std::int64_t>(value);
    return value;
}

nlohmann::ordered_json jsonValue(const FieldValue& value) {
    return std::visit(
        [](const auto& held) -> nlohmann::ordered_json {
            using Held = std::decay_t<decltype(held)>;
            if constexpr (std::is_same_v<Held, double>)
                return jsonNumber(held);
            else if constexpr (std::is_same_v<Held, std::monostate>)
                return nullptr;
            else
                return held;
        },
        value);
}

SqlWithValues sqlOf(const SearchQuery& search) {
    SqlWithValues query;
    const std::string words = fullTextQueryOf(search.words);
    if (words.empty()) {
        query.sql = "SELECT " + fieldColumns("d.") + " FROM documents d WHERE 1";
        addConditions(query, search);
        query.sql += " ORDER BY d.settlement_date DESC, d.path";
    } else {
        query.sql = "SELECT " + fieldColumns("d.") +
                    " FROM document_text JOIN documents d ON d.id = document_text.rowid"
                    " WHERE document_text MATCH ?";
        query.values.emplace_back(words);
        addConditions(query, search);
        query.sql += " ORDER BY document_text.rank, d.path";
    }
    query.sql += " LIMIT ?";
    // Compared as 64-bit numbers: a 32-bit size_t cannot hold INT64_MAX.
    query.values.emplace_back(
        static_cast<std::int64_t>(std::min<std::uint64_t>(search.limit, INT64_MAX)));
    return query;
}

} // namespace

std::string fullTextQueryOf(std::string_view words) {
    std::string query;
    while (!words.empty()) {
        const auto start = std::find_if_not(words.begin(), words.end(), isSpace);
        const auto end = std::find_if(start, words.end(), isSpace);
        const std::string_view word(start, end);
        if (holdsWordCharacter(word))
            query += (query.empty() ? "" : " ") + prefixPhrase(word);
        words.remove_prefix(static_cast<std::size_t>(end - words.begin()));
    }
    return query;
}

std::optional<std::pair<Field, std::string>> parseWhere(std::string_view text) {
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    const std::optional<Field> field = fieldNamed(text.substr(0, equals));
    if (!field)
        return std::nullopt;
    return std::pair{*field, std::string(text.substr(equals + 1))};
}

std::string jsonOfFields(const FieldValues& values) {
    nlohmann::ordered_json json = nlohmann::ordered_json::object();
    for (const Field field : batch::everyValue<Field>())
        json[fieldDef(field).name] = jsonValue(values[field]);
    return jsonText(json);
}

std::vector<FieldValues> searchIndex(Database& db, const SearchQuery& search) {
    const SqlWithValues query = sqlOf(search);
    Statement statement = db.prepare(query.sql);
    for (std::size_t i = 0; i < query.values.size(); ++i)
        statement.bindValue(static_cast<int>(i + 1), query.values[i]);
    std::vector<FieldValues> hits;
    while (statement.step())
        hits.push_back(fieldsOfRow(statement));
    return hits;
}

} // namespace velmora::index
