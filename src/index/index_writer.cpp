#include "index/index_writer.h"

namespace velmora::index {
namespace {

std::string insertDocumentSql() {
    std::string parameters = "?";
    for (std::size_t i = 1; i < kFieldCount; ++i)
        parameters += ", ?";
    return "INSERT INTO documents (" + fieldColumns() + ") VALUES (" + parameters + ")";
}

} // namespace

IndexWriter::IndexWriter(Database& db)
    : db_(db),
      removeText_(db.prepare(
          "DELETE FROM document_text WHERE rowid IN (SELECT id FROM documents WHERE path = ?)")),
      removeDocument_(db.prepare("DELETE FROM documents WHERE path = ?")),
      insertDocument_(db.prepare(insertDocumentSql())),
      insertText_(db.prepare("INSERT INTO document_text (rowid, body) VALUES (?, ?)")) {}

void IndexWriter::put(const IndexEntry& entry) {
    const auto& path = std::get<std::string>(entry.values[Field::Path]);
    remove(path);
    int parameter = 1;
    for (const FieldValue& value : entry.values)
        insertDocument_.bindValue(parameter++, value);
    insertDocument_.run();
    insertText_.bind(1, db_.lastInsertId()).bind(2, entry.text).run();
}

void IndexWriter::remove(const std::string& path) {
    removeText_.bind(1, path).run();
    removeDocument_.bind(1, path).run();
}

} // namespace velmora::index
