#include "batch/legacy_damage.h"

#include "document/hud_document.h"
#include "legacy/archive_reader.h"
#include "legacy/legacy_conversion.h"

namespace velmora::batch {

std::optional<std::string> legacyDamage(const std::string& path, FileKind kind) {
    ArchiveReader in = ArchiveReader::fromFile(path);
    if (in.failed())
        return "the file cannot be read";
    const LegacyConversion conversion = convertLegacyArchive(documentTypeOf(kind), in);
    if (conversion.result == ReadResult::Read)
        return std::nullopt;
    return conversion.damage;
}

} // namespace velmora::batch
