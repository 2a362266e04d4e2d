#include "legacy/legacy_conversion.h"

#include "document/hud_document.h"
#include "legacy/hud_converter.h"
#include "legacy/hud_reader.h"
#include "legacy/refinance_converter.h"
#include "legacy/refinance_reader.h"

namespace velmora {

namespace {

template <typename Record, typename Read, typename Convert>
LegacyConversion readAndConvert(ArchiveReader& in, Read read, Convert convert) {
    Record record;
    LegacyConversion conversion;
    conversion.result = read(in, record);
    conversion.versionWord = record.version;
    if (conversion.result == ReadResult::Read)
        conversion.document = convert(record);
    else if (conversion.result == ReadResult::Damaged)
        conversion.damage =
            in.endedEarly() ? "it ends inside a field" : "it holds a malformed object list";
    return conversion;
}

} // namespace

LegacyConversion convertLegacyArchive(const std::string& documentType, ArchiveReader& in) {
    if (documentType == document_types::kHud)
        return readAndConvert<HudRecord>(in, readHudRecord, convertHudRecord);
    return readAndConvert<RefinanceRecord>(in, readRefinanceRecord, convertRefinanceRecord);
}

} // namespace velmora
