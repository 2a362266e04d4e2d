#include "index/index_schema.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>
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

std::string createStatements() {
    std::string documents = "CREATE TABLE documents (id INTEGER PRIMARY KEY";
    for (const FieldDef& field : kFields)
        documents += std::string(", ") + field.name + " " + field.sqlType;
    return "CREATE TABLE meta (key TEXT PRIMARY KEY, value TEXT NOT NULL);" + documents +
           ");"
           "CREATE INDEX documents_by_settlement_date ON documents (settlement_date);"
           "CREATE VIRTUAL TABLE document_text USING fts5 (body, tokenize = 'unicode61 "
           "remove_diacritics 2', prefix = '2 3');";
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

// The schema version of an index; none when `meta` does not say, as in
// someone else's database that happens to have tables of the same names.
std::optional<int> schemaVersionOf(Database& db) {
    Statement query = db.prepare("SELECT value FROM meta WHERE key = ?");
    query.bind(1, std::string_view(kSchemaVersionKey));
    if (!query.step())
        return std::nullopt;
    try {
        return std::stoi(query.text(0));
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

void createTables(Database& db) {
    db.execute(createStatements());
    Statement version = db.prepare("INSERT INTO meta (key, value) VALUES (?, ?)");
    version.bind(1, std::string_view(kSchemaVersionKey))
        .bind(2, std::to_string(kIndexSchemaVersion))
        .run();
}

// The index tables are ours alone: anything else in the file belongs to
// someone else's database.
bool isIndexTable(const std::string& table) {
    return table == "meta" || table == "documents" || table.starts_with("document_text") ||
           table.starts_with("sqlite_");
}

// Throws unless `tables` are those of an index; gives its schema version.
int checkedVersion(Database& db, const std::vector<std::string>& tables) {
    const auto refuse = [&] {
        throw IndexError(db.path() + ": not a velmora index (it holds other tables); it was "
                                     "left as it is");
    };
    if (!holds(tables, "meta") || !std::all_of(tables.begin(), tables.end(), isIndexTable))
        refuse();
    const std::optional<int> found = schemaVersionOf(db);
    if (!found)
        refuse();
    const int version = *found;
    if (version > kIndexSchemaVersion)
        throw IndexError(db.path() + ": an index of schema " + std::to_string(version) +
                         ", made by a newer velmora; this one knows schema " +
                         std::to_string(kIndexSchemaVersion));
    return version;
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
    Transaction transaction(db);
    const std::vector<std::string> tables = tablesOf(db);
    if (tables.empty()) {
        createTables(db);
    } else if (checkedVersion(db, tables) < kIndexSchemaVersion) {
        // Rebuilt, not converted: its rows may mean other things.
        db.execute("DROP TABLE IF EXISTS document_text; DROP TABLE IF EXISTS documents; "
                   "DROP TABLE meta;");
        createTables(db);
    }
    transaction.commit();
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
