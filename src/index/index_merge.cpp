#include "index/index_merge.h"

#include "index/index_schema.h"
#include "index/index_writer.h"

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

void mergeOne(Database& out, Database& in, MergeRun& run) {
    requireIndexSchema(in);
    std::unordered_map<std::string, std::int64_t> existing = modifiedByPath(out);
    Transaction transaction(out);
    IndexWriter writer(out);
    // The full text follows the fields.
    Statement rows =
        in.prepare("SELECT " + fieldColumns("d.") +
                   ", t.body FROM documents d LEFT JOIN document_text t ON t.rowid = d.id");
    while (rows.step()) {
        IndexEntry entry;
        entry.values = fieldsOfRow(rows);
        entry.text = rows.text(static_cast<int>(kFieldCount));
        const std::string path = rows.text(0);
        const auto known = existing.find(path);
        if (known != existing.end() && known->second > modifiedOf(entry.values)) {
            ++run.kept;
            continue;
        }
        ++(known == existing.end() ? run.added : run.replaced);
        writer.put(entry);
        existing[path] = modifiedOf(entry.values);
    }
    transaction.commit();
}

} // namespace

MergeRun mergeIndexes(Database& out, const std::vector<std::string>& inputs, int busySeconds) {
    MergeRun run;
    for (const std::string& input : inputs) {
        Database in(input, OpenMode::ReadOnly, busySeconds);
        mergeOne(out, in, run);
    }
    return run;
}

} // namespace velmora::index
