#include "index/deal_reading.h"

#include "batch/file_kind.h"
#include "document/hud_document.h"
#include "index/deal_fields.h"
#include "legacy/archive_reader.h"
#include "legacy/legacy_conversion.h"
#include "platform/code_page.h"
#include "tree/xml_document.h"

namespace velmora::index {
namespace {

// Day 25569 of the date kind's count is 1 January 1970.
constexpr double kDaysTo1970 = 25569.0;

void set(IndexEntry& entry, Field field, FieldValue value) {
    entry.values[field] = std::move(value);
}

IndexEntry entryOfFile(const std::string& key, const FileStamp& stamp) {
    IndexEntry entry;
    set(entry, Field::Path, key);
    set(entry, Field::Size, static_cast<std::int64_t>(stamp.size));
    set(entry, Field::Modified, isoTimeOfNanoseconds(stamp.modifiedNs));
    set(entry, Field::ModifiedNs, stamp.modifiedNs);
    set(entry, Field::FileId, static_cast<std::int64_t>(stamp.fileId));
    return entry;
}

IndexEntry notIndexed(IndexEntry entry, const char* status, std::string reason) {
    set(entry, Field::Status, std::string(status));
    set(entry, Field::Reason, std::move(reason));
    return entry;
}

IndexEntry indexed(IndexEntry entry, CHudDocument& document) {
    set(entry, Field::Status, std::string("indexed"));
    fillDealFields(document, entry.values);
    entry.text = documentText(document);
    return entry;
}

IndexEntry readXml(IndexEntry entry, const std::string& path) {
    set(entry, Field::Format, std::string("xml"));
    CHudDocument document(document_types::kHud);
    if (loadXmlFile(document, path) != 0)
        return notIndexed(std::move(entry), "failed",
                          "the XML document is damaged: it does not load");
    std::string version;
    document.getString("versionNumber", version);
    if (!version.empty())
        set(entry, Field::Version, treeTextToUtf8(version));
    return indexed(std::move(entry), document);
}

IndexEntry readLegacy(IndexEntry entry, const std::string& path, const batch::KindOfFile& kind) {
    set(entry, Field::Format, std::string("legacy"));
    set(entry, Field::VersionWord, static_cast<std::int64_t>(kind.versionWord));
    if (kind.kind == batch::FileKind::UnconvertibleDeal)
        return notIndexed(std::move(entry), "failed",
                          "a " + batch::kindName(kind) + " cannot be read");
    ArchiveReader in = ArchiveReader::fromFile(path);
    if (in.failed())
        return notIndexed(std::move(entry), "unreadable", "the file cannot be read");
    const LegacyConversion conversion = convertLegacyArchive(batch::documentTypeOf(kind.kind), in);
    if (conversion.result != ReadResult::Read)
        return notIndexed(std::move(entry), "failed",
                          "the legacy file is damaged: " + conversion.damage);
    return indexed(std::move(entry), *conversion.document);
}

std::optional<IndexEntry> readEntry(const std::string& path, const std::string& key,
                                    const FileStamp& stamp) {
    IndexEntry entry = entryOfFile(key, stamp);
    const std::optional<std::string> first = batch::readFirstBytes(path);
    if (!first)
        return notIndexed(std::move(entry), "unreadable",
                          "cannot be opened: held by another program, or not readable");
    const batch::KindOfFile kind = batch::kindOfFile(*first);
    switch (kind.kind) {
    case batch::FileKind::NotADeal:
        return std::nullopt;
    case batch::FileKind::XmlDocument:
        return readXml(std::move(entry), path);
    case batch::FileKind::Statement:
    case batch::FileKind::Refinance:
    case batch::FileKind::UnconvertibleDeal:
        break;
    }
    return readLegacy(std::move(entry), path, kind);
}

} // namespace

std::optional<IndexEntry> readIndexEntry(const std::string& path, const std::string& key,
                                         const FileStamp& stamp) {
    // A failure of the system (memory, above all) ends this file's reading,
    // not the run; the next run tries the file again.
    try {
        return readEntry(path, key, stamp);
    } catch (const std::exception& failure) {
        return notIndexed(entryOfFile(key, stamp), "unreadable",
                          std::string("not read: ") + failure.what());
    }
}

std::string isoTimeOfNanoseconds(std::int64_t nanoseconds) {
    // Whole seconds, so that the text does not depend on rounding in days.
    const std::int64_t seconds = nanoseconds >= 0 ? nanoseconds / 1'000'000'000
                                                  : -((-nanoseconds + 999'999'999) / 1'000'000'000);
    const double days = kDaysTo1970 + static_cast<double>(seconds) / 86400.0;
    std::string iso = isoDate(OleDate{days, DateStatus::Valid});
    if (iso.size() == 10)
        iso += "T00:00:00";
    return iso + "Z";
}

} // namespace velmora::index
