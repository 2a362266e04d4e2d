#include "index/index_writer.h"

#include "index/text_fold.h"

namespace velmora::index {
namespace {

std::string insertDocumentSql() {
    std::string parameters = "?";
    for (std::size_t i = 0; i < kFieldCount; ++i)
        parameters += ", ?";
    return "INSERT INTO documents (" + fieldColumns() + ", " + kOtherLinesColumn + ") VALUES (" +
           parameters + ")";
}

std::string selectRowSql() {
    std::string columns = "id";
    for (const Field field : kFullTextFields)
        columns += std::string(", ") + fieldDef(field).name;
    return "SELECT " + columns + ", " + kOtherLinesColumn +
           ", status FROM documents WHERE path = ?";
}

// Only the deals that were read have words to find: a file that failed is
// found by its status and path fields.
bool hasWords(const SqlValue& status) {
    const auto* text = std::get_if<std::string>(&status);
    return text && *text == "indexed";
}

void appendLine(std::string& text, const SqlValue& value) {
    if (const auto* line = std::get_if<std::string>(&value))
        text += *line + "\n";
}

} // namespace

std::string fullTextOf(const FieldValues& values, std::string_view otherText) {
    std::string text;
    for (const Field field : kFullTextFields)
        appendLine(text, values[field]);
    text += otherText;
    return foldedText(text);
}

IndexWriter::IndexWriter(Database& db)
    : db_(db), transaction_(db), lines_(db), selectRow_(db.prepare(selectRowSql())),
      removeText_(db.prepare("INSERT INTO document_text (document_text, rowid, body) "
                             "VALUES ('delete', ?, ?)")),
      removeDocument_(db.prepare("DELETE FROM documents WHERE id = ?")),
      insertDocument_(db.prepare(insertDocumentSql())),
      insertText_(db.prepare("INSERT INTO document_text (rowid, body) VALUES (?, ?)")) {}

void IndexWriter::put(const IndexEntry& entry) {
    const auto& path = std::get<std::string>(entry.values[Field::Path]);
    remove(path);
    int parameter = 1;
    for (const FieldValue& value : entry.values)
        insertDocument_.bindValue(parameter++, value);
    if (const std::optional<std::string> lines = lines_.keep(entry.text))
        insertDocument_.bind(parameter, *lines);
    insertDocument_.run();
    if (hasWords(entry.values[Field::Status]))
        insertText_.bind(1, db_.lastInsertId()).bind(2, fullTextOf(entry.values, entry.text)).run();
}

// The full-text table keeps no copy of what it was given: a row's words are
// taken out by giving it the same text again, made from the row.
void IndexWriter::remove(const std::string& path) {
    selectRow_.bind(1, path);
    if (!selectRow_.step()) {
        selectRow_.reset();
        return;
    }
    const std::int64_t id = selectRow_.integer(0);
    FieldValues values;
    int column = 1;
    for (const Field field : kFullTextFields)
        values[field] = selectRow_.value(column++);
    const std::optional<std::string> lines =
        selectRow_.isNull(column) ? std::nullopt : std::optional(selectRow_.text(column));
    const bool words = hasWords(selectRow_.value(column + 1));
    selectRow_.reset();
    const std::optional<std::string> otherText = lines ? lines_.take(*lines) : std::string();
    if (!otherText)
        throw IndexError(db_.path() + ": the row of " + path + " is damaged: its " +
                         kOtherLinesColumn + " is not a list of lines that text_lines holds");
    if (words)
        removeText_.bind(1, id).bind(2, fullTextOf(values, *otherText)).run();
    removeDocument_.bind(1, id).run();
    droppedText_ = true;
}

void IndexWriter::commit() {
    lines_.settle();
    transaction_.commit();
}

void purgeDroppedText(Database& db) {
    Transaction transaction(db);
    db.execute("INSERT INTO document_text (document_text) VALUES ('optimize')");
    transaction.commit();
}

} // namespace velmora::index
