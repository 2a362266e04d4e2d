#include "index/index_schema.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace velmora::index {
namespace {

constexpr auto kFields = std::to_array<FieldDef>({
    {"path", "TEXT NOT NULL UNIQUE"},
    {"size", "INTEGER"},
    {"modified", "TEXT"},
    {"modified_ns", "INTEGER"},
    {"file_id", "INTEGER"},
    {"status", "TEXT NOT NULL"},
    {"reason", "TEXT"},
    {"format", "TEXT"},
    {"version", "TEXT"},
    {"version_word", "INTEGER"},
    {"document_type", "TEXT"},
    {"settlement_date", "TEXT"},
    {"funding_date", "TEXT"},
    {"file_number", "TEXT"},
    {"loan_number", "TEXT"},
    {"borrowers", "TEXT"},
    {"sellers", "TEXT"},
    {"property_address", "TEXT"},
    {"lender", "TEXT"},
    {"settlement_agent", "TEXT"},
    {"contract_sales_price", "REAL"},
    {"contract_sales_price_text", "TEXT"},
    {"loan_amount", "REAL"},
    {"loan_amount_text", "TEXT"},
    {"total_120", "REAL"},
    {"total_120_text", "TEXT"},
    {"total_220", "REAL"},
    {"total_220_text", "TEXT"},
    {"total_420", "REAL"},
    {"total_420_text", "TEXT"},
    {"total_520", "REAL"},
    {"total_520_text", "TEXT"},
    {"total_1400_borrower", "REAL"},
    {"total_1400_borrower_text", "TEXT"},
    {"total_1400_seller", "REAL"},
    {"total_1400_seller_text", "TEXT"},
    {"total_1520", "REAL"},
    {"total_1520_text", "TEXT"},
});
static_assert(kFields.size() == kFieldCount);

constexpr char kSchemaVersionKey[] = "schema_version";

// Without content: the texts are the documents table's. Without prefix
// indexes: they tripled the index for the words of two or three letters
// only, which a scan of the terms answers quickly enough.
constexpr char kFullTextTable[] =
    "CREATE VIRTUAL TABLE document_text USING fts5 (body, content = '', "
    "tokenize = 'unicode61 remove_diacritics 2')";

// Pages of 8 KiB hold a documents row whole: with 4 KiB, a row of more than
// about 1,000 bytes (long party lists, many lines) spills into an overflow
// page of its own, mostly empty. Said before the first write of a new file,
// or before a VACUUM; a file that has pages keeps their size until then.
constexpr char kPageSize[] = "PRAGMA page_size = 8192";

std::string createStatements() {
    std::string documents = "CREATE TABLE documents (id INTEGER PRIMARY KEY";
    for (const FieldDef& field : kFields)
        documents += std::string(", ") + field.name + " " + field.sqlType;
    return "CREATE TABLE meta (key TEXT PRIMARY KEY, value TEXT NOT NULL);" + documents + ", " +
           kOtherLinesColumn +
           " TEXT);"
           "CREATE TABLE text_lines (id INTEGER PRIMARY KEY, line TEXT NOT NULL UNIQUE, "
           "uses INTEGER NOT NULL);" +
           kFullTextTable + ";";
}

constexpr char kDateIndexName[] = "documents_by_settlement_date";

// The settlement date leads: a list without words is read in its order.
// The lender and the kind of statement follow, the filters an office puts
// on a period, so that such a count is answered from this index alone: the
// deals of three years at one lender were counted from each one's wide row,
// ten times the work. The long fields (parties, address, path) stay out:
// they would grow the file by a fifth, and are looked up by their words.
std::string dateIndexStatement() {
    return std::string("CREATE INDEX ") + kDateIndexName + " ON documents (settlement_date, " +
           fieldDef(Field::Lender).name + ", " + fieldDef(Field::DocumentType).name + ")";
}

// Made anew when an index holds another form of it, as one of an earlier
// release does: its rows mean the same, so the index is not rebuilt.
void makeDateIndexCurrent(Database& db) {
    const std::string wanted = dateIndexStatement();
    Statement held = db.prepare("SELECT sql FROM sqlite_master WHERE type = 'index' AND name = ?");
    held.bind(1, std::string_view(kDateIndexName));
    if (held.step() && held.text(0) == wanted)
        return;
    held.reset();
    db.execute(std::string("DROP INDEX IF EXISTS ") + kDateIndexName);
    db.execute(wanted);
}

std::vector<std::string> tablesOf(Database& db) {
    std::vector<std::string> tables;
    Statement query = db.prepare("SELECT name FROM sqlite_master WHERE type = 'table'");
    while (query.step())
        tables.push_back(query.text(0));
    return tables;
}

bool holds(const std::vector<std::string>& tables, std::string_view name) {
    return std::find(tables.begin(), tables.end(), name) != tables.end();
}

// The schema version of an index: the plain whole number `meta` holds. None
// when `meta` does not say, as in someone else's database that happens to
// have a table of that name.
std::optional<std::string> schemaVersionTextOf(Database& db) {
    Statement query = db.prepare("SELECT value FROM meta WHERE key = ?");
    query.bind(1, std::string_view(kSchemaVersionKey));
    if (!query.step())
        return std::nullopt;
    return query.text(0);
}

// Digits only: " 1", "1abc" and "+1" are no version this program wrote.
std::optional<std::int64_t> plainInteger(const std::string& text) {
    std::int64_t value = 0;
    const char* const end = text.data() + text.size();
    if (text.empty() ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    if (std::from_chars(text.data(), end, value).ec != std::errc())
        return std::nullopt;
    return value;
}

void createTables(Database& db) {
    db.execute(createStatements());
    Statement version = db.prepare("INSERT INTO meta (key, value) VALUES (?, ?)");
    version.bind(1, std::string_view(kSchemaVersionKey))
        .bind(2, std::to_string(kIndexSchemaVersion))
        .run();
}

// The tables an index of any schema may hold: its own, the full-text
// table's shadow tables and SQLite's own.
bool isIndexTable(const std::string& table) {
    static constexpr std::array<std::string_view, 9> kTables = {"meta",
                                                                "documents",
                                                                "text_lines",
                                                                "document_text",
                                                                "document_text_data",
                                                                "document_text_idx",
                                                                "document_text_content",
                                                                "document_text_docsize",
                                                                "document_text_config"};
    return std::find(kTables.begin(), kTables.end(), table) != kTables.end() ||
           table.starts_with("sqlite_");
}

bool isIndexIndex(const std::string& index) {
    return index == kDateIndexName || index.starts_with("sqlite_autoindex_");
}

std::vector<std::string> columnsOf(Database& db, const std::string& table) {
    std::vector<std::string> columns;
    Statement query = db.prepare("SELECT name FROM pragma_table_info(?)");
    query.bind(1, std::string_view(table));
    while (query.step())
        columns.push_back(query.text(0));
    return columns;
}

std::vector<std::string> documentsColumns() {
    std::vector<std::string> columns{"id"};
    for (const FieldDef& field : kFields)
        columns.emplace_back(field.name);
    columns.emplace_back(kOtherLinesColumn);
    return columns;
}

// The full-text table as this schema makes it: another kind (one that keeps
// a copy of its texts, say) would be written wrongly.
bool hasOurFullTextTable(Database& db) {
    Statement query =
        db.prepare("SELECT sql FROM sqlite_master WHERE type = 'table' AND name = 'document_text'");
    return query.step() && query.text(0) == kFullTextTable;
}

// Why the objects of the file are not those of an index, if they are not.
// Triggers would run our writes through someone else's code, views would
// answer for tables; neither is ever ours.
std::optional<std::string> foreignObject(Database& db) {
    Statement query = db.prepare("SELECT type, name FROM sqlite_master");
    while (query.step()) {
        const std::string type = query.text(0);
        const std::string name = query.text(1);
        if (type == "trigger")
            return "it holds a trigger";
        if (type == "view")
            return "it holds a view";
        if ((type == "table" && !isIndexTable(name)) || (type == "index" && !isIndexIndex(name)))
            return "it holds other tables";
    }
    if (columnsOf(db, "meta") != std::vector<std::string>{"key", "value"})
        return "it holds other tables";
    return std::nullopt;
}

// The tables of this schema have exactly the columns it makes.
bool hasThisSchemasColumns(Database& db) {
    return columnsOf(db, "documents") == documentsColumns() &&
           columnsOf(db, "text_lines") == std::vector<std::string>{"id", "line", "uses"} &&
           columnsOf(db, "document_text") == std::vector<std::string>{"body"} &&
           hasOurFullTextTable(db);
}

// Throws unless the file is an index, refusing it before anything is
// written; gives its schema version.
int checkedVersion(Database& db, const std::vector<std::string>& tables) {
    const auto refuse = [&](const std::string& why) {
        throw IndexError(db.path() + ": not a velmora index (" + why + "); it was left as it is");
    };
    if (!holds(tables, "meta"))
        refuse("it holds other tables");
    if (const std::optional<std::string> why = foreignObject(db))
        refuse(*why);
    const std::optional<std::string> text = schemaVersionTextOf(db);
    if (!text)
        refuse("it holds other tables");
    const std::optional<std::int64_t> version = plainInteger(*text);
    if (!version)
        refuse("its schema version is not a whole number");
    if (*version > kIndexSchemaVersion)
        throw IndexError(db.path() + ": an index of schema " + *text +
                         ", made by a newer velmora; this one knows schema " +
                         std::to_string(kIndexSchemaVersion));
    if (*version == kIndexSchemaVersion && !hasThisSchemasColumns(db))
        refuse("its tables have other columns than an index of schema " +
               std::to_string(kIndexSchemaVersion));
    return static_cast<int>(*version);
}

} // namespace

const FieldDef& fieldDef(Field field) {
    return kFields.at(static_cast<std::size_t>(field));
}

std::optional<Field> fieldNamed(std::string_view name) {
    for (const Field field : batch::everyValue<Field>()) {
        const std::string_view known = fieldDef(field).name;
        if (known.size() == name.size() &&
            std::equal(known.begin(), known.end(), name.begin(), [](char a, char b) {
                return a == std::tolower(static_cast<unsigned char>(b));
            }))
            return field;
    }
    return std::nullopt;
}

std::string fieldColumns(std::string_view prefix) {
    std::string columns;
    for (const FieldDef& field : kFields)
        columns += (columns.empty() ? "" : ", ") + std::string(prefix) + field.name;
    return columns;
}

FieldValues fieldsOfRow(const Statement& row) {
    FieldValues values;
    int column = 0;
    for (const Field field : batch::everyValue<Field>())
        values[field] = row.value(column++);
    return values;
}

void prepareIndexSchema(Database& db) {
    db.execute(kPageSize);
    Transaction transaction(db);
    const std::vector<std::string> tables = tablesOf(db);
    const bool rebuilt = !tables.empty() && checkedVersion(db, tables) < kIndexSchemaVersion;
    if (rebuilt) {
        // Rebuilt, not converted: its rows may mean other things.
        db.execute("DROP TABLE IF EXISTS document_text; DROP TABLE IF EXISTS documents; "
                   "DROP TABLE IF EXISTS text_lines; DROP TABLE meta;");
    }
    if (tables.empty() || rebuilt)
        createTables(db);
    makeDateIndexCurrent(db);
    transaction.commit();
    // The pages of the old rows are given back, and the file gets this
    // schema's page size: copying the empty tables costs next to nothing.
    if (rebuilt)
        db.execute("VACUUM");
}

void requireIndexSchema(Database& db) {
    const std::vector<std::string> tables = tablesOf(db);
    if (tables.empty())
        throw IndexNotReady(db.path() + ": an empty database, not an index yet",
                            IndexNotReady::Why::Empty);
    if (checkedVersion(db, tables) < kIndexSchemaVersion)
        throw IndexNotReady(db.path() + ": an index of an older schema",
                            IndexNotReady::Why::OlderSchema);
}

} // namespace velmora::index
