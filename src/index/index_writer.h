// Writing rows of the archive index: a file's documents row and its
// full-text row, always together. Callers hold a Transaction around a batch.
#pragma once

#include "index/deal_reading.h"
#include "index/sqlite_db.h"

#include <string>
#include <string_view>

namespace velmora::index {

// What the full-text table is given for a row: the full-text fields of
// `values` and `otherText`, one a line, folded.
std::string fullTextOf(const FieldValues& values, std::string_view otherText);

class IndexWriter {
public:
    explicit IndexWriter(Database& db);

    // Replaces whatever the index holds under the entry's path.
    void put(const IndexEntry& entry);
    // Removes the rows of `path`, if any.
    void remove(const std::string& path);

private:
    Database& db_;
    Statement selectRow_;
    Statement removeText_;
    Statement removeDocument_;
    Statement insertDocument_;
    Statement insertText_;
};

} // namespace velmora::index
