#include "legacy/legacy_conversion.h"

#include "document/hud_document.h"
#include "legacy/hud_converter.h"
#include "legacy/hud_reader.h"
#include "legacy/refinance_converter.h"
#include "legacy/refinance_reader.h"

namespace velmora {

LegacyConversion convertLegacyArchive(const std::string& documentType, ArchiveReader& in) {
    LegacyConversion conversion;
    if (documentType == document_types::kHud) {
        HudRecord record;
        conversion.result = readHudRecord(in, record);
        conversion.versionWord = record.version;
        if (conversion.result == ReadResult::Read)
            conversion.document = convertHudRecord(record);
        return conversion;
    }
    RefinanceRecord record;
    conversion.result = readRefinanceRecord(in, record);
    conversion.versionWord = record.version;
    if (conversion.result == ReadResult::Read)
        conversion.document = convertRefinanceRecord(record);
    return conversion;
}

} // namespace velmora
