// Writing rows of the archive index: a file's documents row, its lines in
// text_lines and its full-text row, always together, in batches: each
// writer is one transaction, kept whole by commit() or not at all.
#pragma once

#include "index/deal_reading.h"
#include "index/sqlite_db.h"
#include "index/text_lines.h"

#include <string>
#include <string_view>

namespace velmora::index {

// What the full-text table is given for a row: the full-text fields of
// `values` and `otherText`, one a line, folded.
std::string fullTextOf(const FieldValues& values, std::string_view otherText);

class IndexWriter {
public:
    // Begins the transaction.
    explicit IndexWriter(Database& db);

    // Replaces whatever the index holds under the entry's path.
    void put(const IndexEntry& entry);
    // Removes the rows of `path`, if any. Throws IndexError for a row whose
    // other lines cannot be read back, whose words could not be taken out.
    void remove(const std::string& path);
    // Keeps everything written since the writer was made.
    void commit();
    // Whether a row the index held was removed or replaced: its words stay in
    // the full-text table's older segments until purgeDroppedText.
    bool droppedText() const { return droppedText_; }

private:
    Database& db_;
    Transaction transaction_;
    LineWriter lines_;
    Statement selectRow_;
    Statement removeText_;
    Statement removeDocument_;
    Statement insertDocument_;
    Statement insertText_;
    bool droppedText_ = false;
};

// Merges the full-text table's segments into one, which leaves out the
// words of every row removed or replaced: with secure deletion on (every
// connection that writes has it), nothing of them stays in the file.
void purgeDroppedText(Database& db);

} // namespace velmora::index
