#include "index/text_lines.h"

#include <charconv>

namespace velmora::index {
namespace {

// The lines of a text that is not empty: every piece between two "\n", the
// empty ones too, so that joining them again gives the text back.
std::vector<std::string_view> linesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    while (true) {
        const std::size_t end = text.find('\n');
        lines.push_back(text.substr(0, end));
        if (end == std::string_view::npos)
            return lines;
        text.remove_prefix(end + 1);
    }
}

// A whole number from 1 up, without a sign or leading zeros.
std::optional<std::int64_t> lineId(std::string_view digits) {
    // from_chars would take a sign.
    if (digits.empty() || digits.front() < '1' || digits.front() > '9')
        return std::nullopt;
    std::int64_t id = 0;
    const char* const end = digits.data() + digits.size();
    const auto [stop, error] = std::from_chars(digits.data(), end, id);
    if (error != std::errc() || stop != end)
        return std::nullopt;
    return id;
}

} // namespace

std::string lineIdsText(const std::vector<std::int64_t>& ids) {
    std::string text = "[";
    for (const std::int64_t id : ids)
        text += (text.size() == 1 ? "" : ",") + std::to_string(id);
    return text + "]";
}

std::optional<std::vector<std::int64_t>> lineIdsOf(std::string_view text) {
    if (text.size() < 2 || text.front() != '[' || text.back() != ']')
        return std::nullopt;
    text = text.substr(1, text.size() - 2);
    std::vector<std::int64_t> ids;
    while (!text.empty()) {
        const std::size_t end = text.find(',');
        const std::optional<std::int64_t> id = lineId(text.substr(0, end));
        // A comma with nothing after it ends no id.
        if (!id || end == text.size() - 1)
            return std::nullopt;
        ids.push_back(*id);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return ids;
}

LineReader::LineReader(Database& db)
    : line_(db.prepare("SELECT line FROM text_lines WHERE id = ?")) {}

std::optional<std::string> LineReader::textOf(std::string_view ids) {
    const std::optional<std::vector<std::int64_t>> list = lineIdsOf(ids);
    return list ? textOf(*list) : std::nullopt;
}

std::optional<std::string> LineReader::textOf(const std::vector<std::int64_t>& ids) {
    std::string text;
    for (std::size_t i = 0; i < ids.size(); ++i) {
        line_.bind(1, ids[i]);
        const bool found = line_.step();
        if (found)
            text += (i == 0 ? "" : "\n") + line_.text(0);
        line_.reset();
        if (!found)
            return std::nullopt;
    }
    return text;
}

LineWriter::LineWriter(Database& db)
    : db_(db), reader_(db), find_(db.prepare("SELECT id FROM text_lines WHERE line = ?")),
      add_(db.prepare("INSERT INTO text_lines (line, uses) VALUES (?, 1)")),
      use_(db.prepare("UPDATE text_lines SET uses = uses + ? WHERE id = ?")),
      dropUnused_(db.prepare("DELETE FROM text_lines WHERE id = ? AND uses <= 0")) {}

std::int64_t LineWriter::use(std::string_view line) {
    if (const auto known = known_.find(line); known != known_.end()) {
        ++usesGained_[known->second];
        return known->second;
    }
    find_.bind(1, line);
    const bool found = find_.step();
    std::int64_t id = found ? find_.integer(0) : 0;
    find_.reset();
    if (found) {
        ++usesGained_[id];
    } else {
        add_.bind(1, line).run();
        id = db_.lastInsertId();
    }
    known_.emplace(line, id);
    return id;
}

std::optional<std::string> LineWriter::keep(std::string_view text) {
    if (text.empty())
        return std::nullopt;
    if (known_.size() >= kKnownLines)
        settle();
    // Stored in the order the lines come: the lines most deals hold get the
    // shortest ids, from the first deals written.
    std::vector<std::int64_t> ids;
    for (const std::string_view line : linesOf(text))
        ids.push_back(use(line));
    return lineIdsText(ids);
}

std::optional<std::string> LineWriter::take(std::string_view ids) {
    const std::optional<std::vector<std::int64_t>> list = lineIdsOf(ids);
    std::optional<std::string> text = list ? reader_.textOf(*list) : std::nullopt;
    if (!text)
        return std::nullopt;
    for (const std::int64_t id : *list)
        --usesGained_[id];
    return text;
}

void LineWriter::settle() {
    for (const auto& [id, gained] : usesGained_) {
        if (gained == 0)
            continue;
        use_.bind(1, gained).bind(2, id).run();
        if (gained < 0)
            dropUnused_.bind(1, id).run();
    }
    usesGained_.clear();
    // A line may have left the table.
    known_.clear();
}

} // namespace velmora::index
