// The reader of legacy refinance statement files.
#pragma once

#include "legacy/archive_reader.h"
#include "legacy/legacy_record.h"

#include <string>

namespace velmora {

// Reads the file at `path` into `record`: 0 when read, -1 when the kind check
// refuses the file or the archive is damaged (a message says which).
int readRefinanceFile(const std::string& path, RefinanceRecord& record);

// The same over bytes already in a reader; no message is shown.
ReadResult readRefinanceRecord(ArchiveReader& in, RefinanceRecord& record);

} // namespace velmora
