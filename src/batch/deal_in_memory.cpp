#include "batch/deal_in_memory.h"

#include "document/hud_document.h"
#include "legacy/archive_reader.h"
#include "legacy/legacy_conversion.h"
#include "platform/read_refusal.h"
#include "tree/xml_document.h"

#include <optional>

namespace velmora::batch {
namespace {

DealInMemory notRead(DealReading reading, const KindOfFile& kind, std::string reason) {
    DealInMemory deal;
    deal.reading = reading;
    deal.kind = kind;
    deal.reason = std::move(reason);
    return deal;
}

DealInMemory read(const KindOfFile& kind, std::unique_ptr<CHudDocument> document) {
    DealInMemory deal;
    deal.reading = DealReading::Read;
    deal.kind = kind;
    deal.document = std::move(document);
    return deal;
}

// A file the system will not let be read now (another program holds it, it
// is gone) is not read, rather than damaged: that is the reason, once its
// first bytes were read or not.
std::optional<DealInMemory> refused(const std::string& path, const KindOfFile& kind) {
    const ReadRefusal refusal = readRefusalOf(path);
    if (refusal == ReadRefusal::None)
        return std::nullopt;
    return notRead(DealReading::Unreadable, kind,
                   std::string("cannot be opened: ") + readRefusalText(refusal));
}

DealInMemory readXml(const std::string& path, const KindOfFile& kind) {
    auto document = std::make_unique<CHudDocument>(document_types::kHud);
    if (loadXmlFile(*document, path) != 0)
        return refused(path, kind)
            .value_or(notRead(DealReading::Damaged, kind, "it does not load"));
    return read(kind, std::move(document));
}

DealInMemory readLegacy(const std::string& path, const KindOfFile& kind) {
    if (kind.kind == FileKind::UnconvertibleDeal)
        return notRead(DealReading::Unconvertible, kind, "a " + kindName(kind) + " cannot be read");
    ArchiveReader in = ArchiveReader::fromFile(path);
    if (in.failed())
        return refused(path, kind).value_or(notRead(DealReading::Unreadable, kind, in.failure()));
    LegacyConversion conversion = convertLegacyArchive(documentTypeOf(kind.kind), in);
    if (conversion.result != ReadResult::Read)
        return notRead(DealReading::Damaged, kind,
                       conversion.damage.empty() ? "it does not read" : conversion.damage);
    return read(kind, std::move(conversion.document));
}

} // namespace

DealInMemory readDealInMemory(const std::string& path) {
    const std::optional<std::string> first = readFirstBytes(path);
    if (!first)
        return refused(path, {}).value_or(notRead(DealReading::Unreadable, {}, "cannot be opened"));
    const KindOfFile kind = kindOfFile(*first);
    switch (kind.kind) {
    case FileKind::NotADeal:
        return notRead(DealReading::NotADeal, kind, "");
    case FileKind::XmlDocument:
        return readXml(path, kind);
    case FileKind::Statement:
    case FileKind::Refinance:
    case FileKind::UnconvertibleDeal:
        break;
    }
    return readLegacy(path, kind);
}

} // namespace velmora::batch
