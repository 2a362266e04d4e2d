// One file of an archive read for the index: an XML document loaded, a legacy
// deal converted, both in memory only. Nothing is ever written, asked or
// locked, so that an archive can be searched as it stands, also while hosts
// have its files open.
#pragma once

#include "index/index_schema.h"
#include "platform/file_stamp.h"

#include <optional>
#include <string>

namespace velmora::index {

struct IndexEntry {
    FieldValues values;
    // The texts of the document that no field holds (textBeyondFields), one a
    // line: with the fields, what the full-text table is given.
    std::string text;
};

// The entry of the file at `path`, to be kept under `key` with `stamp`, the
// file's stamp taken before it was read. A deal that cannot be read gets an
// entry that says why ("failed", or "unreadable" when it may be read later);
// none for a file that is no deal.
std::optional<IndexEntry> readIndexEntry(const std::string& path, const std::string& key,
                                         const FileStamp& stamp);

// "YYYY-MM-DDTHH:MM:SSZ" of a time in nanoseconds since 1970.
std::string isoTimeOfNanoseconds(std::int64_t nanoseconds);

} // namespace velmora::index
