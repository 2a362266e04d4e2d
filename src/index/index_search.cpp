#include "index/index_search.h"

#include "index/deal_fields.h"
#include "index/text_fold.h"
#include "tree/json_text.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <functional>
#include <type_traits>
#include <variant>

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

// Whether a deal that holds the other words of `asked` holds word `i` too:
// it begins another word (or repeats an earlier one). Such a word is left
// out of the question, which then costs less: each word asked for is a pass
// over the lists of every indexed word it begins, and "s s s ..." repeated
// to the longest query took seconds.
bool impliedByAnother(const std::vector<std::string>& asked, std::size_t i) {
    for (std::size_t j = 0; j < asked.size(); ++j) {
        const bool longerOrEarlier = asked[j].size() > asked[i].size() || j < i;
        if (j != i && longerOrEarlier && asked[j].starts_with(asked[i]))
            return true;
    }
    return false;
}

// The indexed terms of the full-text table, one row each.
constexpr char kTermsTable[] = "temp.velmora_terms";

// A word of ASCII letters and digits only is one term of the tokenizer, so
// the terms it begins are the deals it finds. Any other may be split into a
// phrase, which only the full-text query itself answers.
bool isOneTerm(std::string_view word) {
    return std::all_of(word.begin(), word.end(),
                       [](char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); });
}

// Words that begin more indexed terms than this stay prefixes: a long OR
// costs more than the merge it saves.
constexpr std::size_t kMostTermsOfAWord = 16;

// The indexed terms that `word` begins; none when there are too many.
TermsOfWord termsBeginning(Database& db, const std::string& word) {
    Statement terms = db.prepare(std::string("SELECT term FROM ") + kTermsTable +
                                 " WHERE term >= ? AND term < ? LIMIT ?");
    // No byte of UTF-8 text is 0xFF: every term that begins with the word
    // sorts before this.
    terms.bind(1, std::string_view(word)).bind(2, word + "\xFF");
    terms.bind(3, static_cast<std::int64_t>(kMostTermsOfAWord + 1));
    std::vector<std::string> found;
    while (terms.step())
        found.push_back(terms.text(0));
    if (found.size() > kMostTermsOfAWord)
        return std::nullopt;
    return found;
}

// The same, from what an earlier search through `memo` found when it has
// the word: the terms' table walks the list of every deal each term is in.
TermsOfWord termsBeginning(Database& db, const std::string& word, SearchMemo* memo) {
    if (!memo)
        return termsBeginning(db, word);
    if (const TermsOfWord* known = memo->terms(word))
        return *known;
    TermsOfWord terms = termsBeginning(db, word);
    memo->keepTerms(word, terms);
    return terms;
}

// A quoted string is never syntax; its quotes are doubled inside.
std::string quotedText(std::string_view word) {
    std::string phrase = "\"";
    for (const char c : word) {
        phrase += c;
        if (c == '"')
            phrase += '"';
    }
    return phrase + "\"";
}

std::string prefixPhrase(std::string_view word) {
    return quotedText(word) + "*";
}

std::string anyOf(const std::vector<std::string>& terms) {
    std::string query;
    for (const std::string& term : terms)
        query += (query.empty() ? "(" : " OR ") + quotedText(term);
    return query + ")";
}

struct SqlWithValues {
    std::string sql;
    std::vector<SqlValue> values;
};

constexpr char kFoldFunction[] = "velmora_fold";

// The day of a date as settlement dates begin: "YYYY-MM-DD".
std::string isoDay(const OleDate& date) {
    return isoDate(OleDate{std::floor(date.days), DateStatus::Valid}).substr(0, 10);
}

bool hasConditions(const SearchQuery& search) {
    return !search.where.empty() || search.from || search.to;
}

// The full-text queries of a search's words, both empty without words.
//
// For rank, each word is a prefix: rank weighs each word asked for by the
// deals that word finds. A word that begins one indexed term only is asked
// for as that term, which finds the same deals with the same weight, without
// the merged copy of its list a prefix makes first.
//
// For counts and every other order, each word that begins few indexed terms
// is asked for as those terms, OR'ed. The same deals match. A prefix has its
// terms' lists merged whole before the first match is given (a word every
// deal holds: milliseconds a pass); terms OR'ed are walked side by side, only
// as far as asked.
//
// Words are joined by an explicit AND: FTS5 reads a space as AND between
// phrases only, not after an OR in parentheses.
struct WordQueries {
    std::string forRank;
    std::string terms;
    bool noMatch = false; // a word begins no indexed term
};

void appendWord(std::string& query, const std::string& word) {
    query += (query.empty() ? "" : " AND ") + word;
}

WordQueries wordQueriesOf(Database& db, const SearchQuery& search, SearchMemo* memo) {
    WordQueries queries;
    for (const std::string& word : askedWords(search.words)) {
        TermsOfWord terms;
        if (isOneTerm(word))
            terms = termsBeginning(db, word, memo);
        if (terms && terms->empty()) {
            queries.noMatch = true;
            return queries;
        }
        const bool oneTerm = terms && terms->size() == 1;
        appendWord(queries.forRank, oneTerm ? quotedText(terms->front()) : prefixPhrase(word));
        appendWord(queries.terms, terms ? anyOf(*terms) : prefixPhrase(word));
    }
    return queries;
}

// What follows SELECT ...: the tables and every condition, without order;
// `words` the full-text query, if any. Words alone are counted in the
// full-text table: a deal that was read has one row in each.
SqlWithValues matchingRows(const SearchQuery& search, const std::string& words, bool forCount) {
    SqlWithValues query;
    if (words.empty()) {
        query.sql = " FROM documents d WHERE 1";
    } else if (forCount && !hasConditions(search)) {
        query.sql = " FROM document_text WHERE document_text MATCH ?";
        query.values.emplace_back(words);
        return query;
    } else {
        query.sql = " FROM document_text JOIN documents d ON d.id = document_text.rowid"
                    " WHERE document_text MATCH ?";
        query.values.emplace_back(words);
    }
    for (const auto& [field, value] : search.where) {
        query.sql +=
            std::string(" AND instr(") + kFoldFunction + "(d." + fieldDef(field).name + "), ?) > 0";
        query.values.emplace_back(foldedText(value));
    }
    if (search.from) {
        query.sql += " AND d.settlement_date >= ?";
        query.values.emplace_back(isoDay(*search.from));
    }
    if (search.to) {
        // A settlement at any time of the last day sorts before this.
        query.sql += " AND d.settlement_date <= ?";
        query.values.emplace_back(isoDay(*search.to) + "T99:99:99");
    }
    return query;
}

bool ranked(const SearchQuery& search, const WordQueries& words, std::size_t matches) {
    return search.order == SearchOrder::Best && !words.forRank.empty() && matches <= kRankedMatches;
}

std::string orderOf(const SearchQuery& search, const WordQueries& words, std::size_t matches) {
    // A deal without a date (NULL) sorts last either way: NULL is the
    // smallest value, last when descending.
    if (search.order == SearchOrder::SettlementOldest)
        return " ORDER BY d.settlement_date NULLS LAST, d.path";
    if (search.order == SearchOrder::SettlementNewest || words.forRank.empty())
        return " ORDER BY d.settlement_date DESC, d.path";
    if (ranked(search, words, matches))
        return " ORDER BY document_text.rank, d.path";
    return " ORDER BY document_text.rowid DESC";
}

Statement prepared(Database& db, const SqlWithValues& query) {
    Statement statement = db.prepare(query.sql);
    for (std::size_t i = 0; i < query.values.size(); ++i)
        statement.bindValue(static_cast<int>(i + 1), query.values[i]);
    return statement;
}

// One text for the question, its values each after their length: two
// questions have the same text only when they ask the same.
std::string textOf(const SqlWithValues& query) {
    std::string text = query.sql;
    for (const SqlValue& value : query.values) {
        const std::string held = std::visit(
            [](const auto& v) -> std::string {
                using Held = std::decay_t<decltype(v)>;
                if constexpr (std::is_same_v<Held, std::string>)
                    return v;
                else if constexpr (std::is_same_v<Held, std::monostate>)
                    return "";
                else
                    return std::to_string(v);
            },
            value);
        text +=
            "\n" + std::to_string(value.index()) + "," + std::to_string(held.size()) + ":" + held;
    }
    return text;
}

std::size_t countOf(Database& db, const SearchQuery& search, const WordQueries& words,
                    SearchMemo* memo) {
    SqlWithValues query = matchingRows(search, words.terms, true);
    query.sql = "SELECT count(*)" + query.sql;
    const std::string question = memo ? textOf(query) : std::string();
    if (memo) {
        if (const std::optional<std::size_t> known = memo->count(question))
            return *known;
    }
    Statement statement = prepared(db, query);
    const std::size_t count = statement.step() ? static_cast<std::size_t>(statement.integer(0)) : 0;
    if (memo)
        memo->keepCount(question, count);
    return count;
}

// The ids of the hits, in order: the matches are sorted on their id and
// order keys alone, not on every field of each.
std::vector<std::int64_t> idsOf(Database& db, const SearchQuery& search, const WordQueries& words,
                                std::size_t matches) {
    SqlWithValues query =
        matchingRows(search, ranked(search, words, matches) ? words.forRank : words.terms, false);
    query.sql = "SELECT d.id" + query.sql + orderOf(search, words, matches) + " LIMIT ? OFFSET ?";
    // Compared as 64-bit numbers: a 32-bit size_t cannot hold INT64_MAX.
    query.values.emplace_back(
        static_cast<std::int64_t>(std::min<std::uint64_t>(search.limit, INT64_MAX)));
    query.values.emplace_back(
        static_cast<std::int64_t>(std::min<std::uint64_t>(search.offset, INT64_MAX)));
    Statement statement = prepared(db, query);
    std::vector<std::int64_t> ids;
    while (statement.step())
        ids.push_back(statement.integer(0));
    return ids;
}

Statement fieldsById(Database& db) {
    return db.prepare("SELECT " + fieldColumns() + " FROM documents WHERE id = ?");
}

std::optional<SearchHit> hitOfId(Statement& fields, std::int64_t id) {
    fields.bind(1, id);
    std::optional<SearchHit> hit;
    if (fields.step())
        hit = SearchHit{id, fieldsOfRow(fields)};
    fields.reset();
    return hit;
}

void giveHits(Database& db, const std::vector<std::int64_t>& ids,
              const std::function<void(const SearchHit&)>& hit) {
    Statement fields = fieldsById(db);
    for (const std::int64_t id : ids) {
        if (const std::optional<SearchHit> found = hitOfId(fields, id))
            hit(*found);
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

} // namespace

std::vector<std::string> askedWords(std::string_view words) {
    std::vector<std::string> asked;
    while (!words.empty()) {
        const auto start = std::find_if_not(words.begin(), words.end(), isSpace);
        const auto end = std::find_if(start, words.end(), isSpace);
        std::string word = foldedText(std::string_view(start, end));
        if (holdsWordCharacter(word))
            asked.push_back(std::move(word));
        words.remove_prefix(static_cast<std::size_t>(end - words.begin()));
    }
    std::vector<std::string> kept;
    for (std::size_t i = 0; i < asked.size(); ++i) {
        if (!impliedByAnother(asked, i))
            kept.push_back(asked[i]);
    }
    return kept;
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

std::string jsonOfHit(const SearchHit& hit) {
    nlohmann::ordered_json json = nlohmann::ordered_json::object();
    // Appended to the members as they are: the names are distinct, and
    // setting each by its name would look through all those before it.
    auto& members = json.get_ref<nlohmann::ordered_json::object_t&>();
    members.reserve(kFieldCount + 1);
    members.emplace_back("id", hit.id);
    for (const Field field : batch::everyValue<Field>())
        members.emplace_back(fieldDef(field).name, jsonValue(hit.fields[field]));
    return jsonText(json);
}

std::optional<SearchHit> documentOfId(Database& db, std::int64_t id) {
    const Transaction reading(db, TransactionFor::Reading);
    Statement fields = fieldsById(db);
    return hitOfId(fields, id);
}

std::size_t forEachHit(Database& db, const SearchQuery& search,
                       const std::function<void(const SearchHit&)>& hit, SearchMemo* memo) {
    db.defineTextFunction(kFoldFunction, foldedText);
    // Pages read in place rather than copied: a question may read many.
    db.execute("PRAGMA mmap_size = 1073741824");
    db.execute(std::string("CREATE VIRTUAL TABLE IF NOT EXISTS ") + kTermsTable +
               " USING fts5vocab(main, document_text, row)");
    const Transaction reading(db, TransactionFor::Reading);
    if (memo)
        memo->follow(db);
    const WordQueries words = wordQueriesOf(db, search, memo);
    if (words.noMatch)
        return 0;
    std::size_t matches = 0;
    // Words are counted first: how many decides the order. Without words,
    // only a list the limit cut needs its count.
    if (!words.terms.empty()) {
        matches = countOf(db, search, words, memo);
        if (matches == 0)
            return 0;
    }
    const std::vector<std::int64_t> ids = idsOf(db, search, words, matches);
    giveHits(db, ids, hit);
    // A first page the limit did not cut holds every match.
    if (matches == 0)
        matches = search.offset == 0 && ids.size() < search.limit
                      ? ids.size()
                      : countOf(db, search, words, memo);
    return matches;
}

SearchResult searchIndex(Database& db, const SearchQuery& search, SearchMemo* memo) {
    SearchResult result;
    result.matches = forEachHit(
        db, search, [&](const SearchHit& hit) { result.hits.push_back(hit); }, memo);
    return result;
}

} // namespace velmora::index
