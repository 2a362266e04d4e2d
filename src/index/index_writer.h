// Writing rows of the archive index: a file's documents row and its
// full-text row, always together. Callers hold a Transaction around a batch.
#pragma once

#include "index/deal_reading.h"
#include "index/sqlite_db.h"

#include <string>

namespace velmora::index {

class IndexWriter {
public:
    explicit IndexWriter(Database& db);

    // Replaces whatever the index holds under the entry's path.
    void put(const IndexEntry& entry);
    // Removes the rows of `path`, if any.
    void remove(const std::string& path);

private:
    Database& db_;
    Statement removeText_;
    Statement removeDocument_;
    Statement insertDocument_;
    Statement insertText_;
};

} // namespace velmora::index
