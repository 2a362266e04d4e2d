// The tables of the archive index, as users query them with any SQL tool
// (the README's "Finding a deal" describes them for users):
//
//   meta(key, value)          "schema_version"
//   documents(id, <fields>, other_lines)
//                             one row per deal file: the fields below, and
//                             the ids of the document's texts that no field
//                             holds, one a line (text_lines.h)
//   text_lines(id, line, uses)
//                             each of those lines once, with the number of
//                             uses the rows make of it
//   document_text(body)       FTS5 without content of its own: the words of
//                             a row's path, its text fields and other lines,
//                             folded (text_fold.h); its rowid is the id of
//                             the file's documents row
//
// Every text is stored once: the full-text table keeps only its index, and
// what it was given for a row is made again from the row when the row
// leaves (index_writer.h).
//
// An index of an older schema is rebuilt from nothing (the next run reads
// every file again); one of a newer schema, or a database that is not an
// index, is refused rather than misread or written over.
#pragma once

#include "batch/enum_array.h"
#include "index/sqlite_db.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::index {

// 4: tax IDs are no longer indexed; an index of 3 holds them, and is rebuilt.
inline constexpr int kIndexSchemaVersion = 4;

// The columns of `documents` after its id, in table order.
enum class Field : std::size_t {
    Path,       // absolute, UTF-8: the row's key
    Size,       // bytes
    Modified,   // ISO 8601 UTC, to the second
    ModifiedNs, // nanoseconds since 1970: with size and file id, says a file changed
    FileId,     // inode (file index on Windows)
    Status,     // "indexed", "failed" (damaged, unsupported) or "unreadable" (tried again)
    Reason,     // why a file is not indexed
    Format,     // "xml" or "legacy"
    Version,    // an XML document's versionNumber
    VersionWord,
    DocumentType,
    SettlementDate, // ISO dates, YYYY-MM-DD[THH:MM:SS]
    FundingDate,
    FileNumber,
    LoanNumber,
    Borrowers, // "; " between people, the extra borrowers included
    Sellers,
    PropertyAddress,
    Lender,
    SettlementAgent,
    ContractSalesPrice, // each amount as a number (NULL when its text is none)
    ContractSalesPriceText,
    LoanAmount,
    LoanAmountText,
    Total120,
    Total120Text,
    Total220,
    Total220Text,
    Total420,
    Total420Text,
    Total520,
    Total520Text,
    Total1400Borrower,
    Total1400BorrowerText,
    Total1400Seller,
    Total1400SellerText,
    Total1520,
    Total1520Text,
    Count
};
inline constexpr std::size_t kFieldCount = batch::kCountOf<Field>;

// The column of documents after the fields: the ids of the lines of the
// document's texts that no field holds (text_lines.h).
inline constexpr char kOtherLinesColumn[] = "other_lines";

// The fields whose words the full-text table holds, besides the other lines: the
// path, and the fields made of the document's own texts.
inline constexpr std::array<Field, 8> kFullTextFields = {
    Field::Path,    Field::FileNumber,      Field::LoanNumber, Field::Borrowers,
    Field::Sellers, Field::PropertyAddress, Field::Lender,     Field::SettlementAgent};

struct FieldDef {
    const char* name;
    const char* sqlType; // "TEXT", "INTEGER" or "REAL"
};
const FieldDef& fieldDef(Field field);
// The field of a column name, given in any case; none for another name.
std::optional<Field> fieldNamed(std::string_view name);

using FieldValue = SqlValue;
using FieldValues = batch::EnumArray<Field, FieldValue>;

// The column names of every field in Field order, each after `prefix` ("d."
// for a table alias), separated by ", ".
std::string fieldColumns(std::string_view prefix = {});

// The fields of the row `row` is on, selected by fieldColumns from column 0.
FieldValues fieldsOfRow(const Statement& row);

// Makes `db` an index of this schema: creates the tables in an empty
// database, rebuilds an index of an older schema, and throws IndexError for a
// newer one or a database that holds other tables.
void prepareIndexSchema(Database& db);

// A database that is no index of this schema yet, though an index run would
// make it one: refused by readers, whose caller may say how to make it one.
class IndexNotReady : public IndexError {
public:
    enum class Why { Empty, OlderSchema };
    IndexNotReady(const std::string& what, Why why) : IndexError(what), why_(why) {}
    Why why() const { return why_; }

private:
    Why why_;
};

// Refuses a database that is not an index of this schema, for readers that
// must not change it: IndexNotReady for one an index run would make an index
// of, IndexError for any other.
void requireIndexSchema(Database& db);

} // namespace velmora::index
