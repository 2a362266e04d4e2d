#include "index/index_merge.h"

#include "index/index_schema.h"
#include "index/index_writer.h"
#include "index/merge_row_check.h"
#include "index/text_lines.h"

#include <functional>
#include <unordered_map>

namespace velmora::index {
namespace {

std::int64_t modifiedOf(const FieldValues& values) {
    const auto* modified = std::get_if<std::int64_t>(&values[Field::ModifiedNs]);
    return modified ? *modified : 0;
}

std::unordered_map<std::string, std::int64_t> modifiedByPath(Database& db) {
    std::unordered_map<std::string, std::int64_t> rows;
    Statement query = db.prepare("SELECT path, modified_ns FROM documents");
    while (query.step())
        rows.emplace(query.text(0), query.integer(1));
    return rows;
}

// Calls `take` with each row of `in`, and throws IndexError naming the
// input and the row at the first row that may not be merged.
void forEachRow(Database& in, const std::function<void(IndexEntry&)>& take) {
    // The other lines follow the fields, the row's id comes last.
    Statement rows = in.prepare("SELECT " + fieldColumns() + ", " + kOtherLinesColumn +
                                ", id FROM documents ORDER BY id");
    LineReader lines(in);
    const int linesColumn = static_cast<int>(kFieldCount);
    const auto refuse = [&](const std::string& problem) {
        throw IndexError(in.path() + ": row " + std::to_string(rows.integer(linesColumn + 1)) +
                         ": " + problem + "; nothing of it was merged");
    };
    while (rows.step()) {
        IndexEntry entry;
        entry.values = fieldsOfRow(rows);
        const SqlValue ids = rows.value(linesColumn);
        const auto* list = std::get_if<std::string>(&ids);
        const std::optional<std::string> text = list ? lines.textOf(*list) : std::string();
        if (!text || (!list && !std::holds_alternative<std::monostate>(ids)))
            refuse(std::string("its ") + kOtherLinesColumn +
                   " is not a list of lines that text_lines holds");
        entry.text = *text;
        if (const std::optional<std::string> problem = mergeRowProblem(entry.values, entry.text))
            refuse(*problem);
        take(entry);
    }
}

void mergeOne(Database& out, Database& in, MergeRun& run) {
    // Each row is checked as it is read below; a refused one rolls back the
    // transaction, so nothing of the input is kept.
    requireIndexSchema(in);
    std::unordered_map<std::string, std::int64_t> existing = modifiedByPath(out);
    IndexWriter writer(out);
    forEachRow(in, [&](IndexEntry& entry) {
        const std::string& path = std::get<std::string>(entry.values[Field::Path]);
        const auto known = existing.find(path);
        if (known != existing.end() && known->second > modifiedOf(entry.values)) {
            ++run.kept;
            return;
        }
        ++(known == existing.end() ? run.added : run.replaced);
        writer.put(entry);
        existing[path] = modifiedOf(entry.values);
    });
    writer.commit();
}

} // namespace

void checkMergeInput(Database& in) {
    requireIndexSchema(in);
    forEachRow(in, [](IndexEntry&) {});
}

MergeRun mergeIndexes(Database& out, const std::vector<std::string>& inputs, int busySeconds) {
    MergeRun run;
    for (const std::string& input : inputs) {
        Database in(input, OpenMode::ReadOnly, busySeconds);
        mergeOne(out, in, run);
    }
    if (run.replaced > 0)
        purgeDroppedText(out);
    return run;
}

} // namespace velmora::index
