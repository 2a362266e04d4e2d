// The other texts of the documents rows (the lines of a deal that no field
// holds) kept once per distinct line. Most of those lines are the same in
// many deals: the form's captions, a city, a lender, a charge and its payee.
// `text_lines` holds each distinct line once, with the number of uses the
// rows make of it; a row keeps the ids of its lines, in order, as a JSON
// array ("[4,17,4]"), from which its text is made again exactly: the
// full-text table is given that text, and must be given it again when the
// row leaves (index_writer.h). A line no row uses any more leaves the table.
#pragma once

#include "index/sqlite_db.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace velmora::index {

// "[4,17,4]" of the ids.
std::string lineIdsText(const std::vector<std::int64_t>& ids);

// The ids of a list lineIdsText wrote; none for any other text (spaces,
// signs, an id of 0 or one too large included).
std::optional<std::vector<std::int64_t>> lineIdsOf(std::string_view text);

// Reads texts back from their lines.
class LineReader {
public:
    explicit LineReader(Database& db);
    // The text an ids list stands for, its lines joined by "\n"; none when
    // the list is not one or names a line the table does not hold.
    std::optional<std::string> textOf(std::string_view ids);
    // The same of the ids of a list.
    std::optional<std::string> textOf(const std::vector<std::int64_t>& ids);

private:
    Statement line_;
};

// Stores lines and takes them back within a transaction of its caller, which
// calls settle() before it commits. The uses are counted in memory in
// between, and the ids of the lines already met are remembered, so that a
// line most deals hold costs no statement per deal.
class LineWriter {
public:
    explicit LineWriter(Database& db);
    // Stores the lines of `text` (one more use of each line for each time
    // it is there) and gives the ids list that stands for the text; none for
    // an empty text, which has no lines.
    std::optional<std::string> keep(std::string_view text);
    // Gives the text of `ids`, as textOf does, and takes back the uses that
    // keep made of its lines.
    std::optional<std::string> take(std::string_view ids);
    // Writes the uses counted so far to text_lines, and removes the lines
    // that no row uses any more.
    void settle();

private:
    // Lines remembered before the uses are written and they are forgotten:
    // enough for the lines of several thousand deals.
    static constexpr std::size_t kKnownLines = 100'000;

    struct TextHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>{}(text);
        }
    };

    // The id of `line`, stored if it is new, with one more use.
    std::int64_t use(std::string_view line);

    Database& db_;
    LineReader reader_;
    Statement find_;
    Statement add_;
    Statement use_;
    Statement dropUnused_;
    std::unordered_map<std::string, std::int64_t, TextHash, std::equal_to<>> known_;
    // The uses each line gained (or lost) that text_lines does not count yet.
    std::unordered_map<std::int64_t, std::int64_t> usesGained_;
};

} // namespace velmora::index
