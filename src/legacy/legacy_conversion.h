// A legacy deal read and converted into a new document in memory, by the
// reader and converter of its document type. The host's open road writes the
// result over the file; the batch migration checks it first.
#pragma once

#include "legacy/archive_reader.h"
#include "legacy/legacy_record.h"

#include <cstdint>
#include <memory>
#include <string>

namespace velmora {

class CHudDocument;

struct LegacyConversion {
    ReadResult result = ReadResult::Damaged;
    std::uint32_t versionWord = 0;
    // The converted document when result is Read.
    std::unique_ptr<CHudDocument> document;
    // Why a damaged file does not read, in words ("it ends inside a field").
    std::string damage;
};

// `documentType` is "hud" or "hud1a"; shows no message.
LegacyConversion convertLegacyArchive(const std::string& documentType, ArchiveReader& in);

} // namespace velmora
