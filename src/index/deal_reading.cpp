#include "index/deal_reading.h"

#include "batch/deal_in_memory.h"
#include "document/hud_document.h"
#include "index/deal_fields.h"
#include "platform/code_page.h"

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
    entry.text = textBeyondFields(documentText(document), entry.values);
    return entry;
}

// How a row tells of a deal that does not read.
std::string damageOf(const batch::DealInMemory& deal) {
    if (deal.kind.kind == batch::FileKind::XmlDocument)
        return "the XML document is damaged: it does not load";
    return "the legacy file is damaged: " + deal.reason;
}

void setFormat(IndexEntry& entry, const batch::KindOfFile& kind) {
    switch (kind.kind) {
    case batch::FileKind::NotADeal:
        return;
    case batch::FileKind::XmlDocument:
        set(entry, Field::Format, std::string("xml"));
        return;
    case batch::FileKind::Statement:
    case batch::FileKind::Refinance:
    case batch::FileKind::UnconvertibleDeal:
        break;
    }
    set(entry, Field::Format, std::string("legacy"));
    set(entry, Field::VersionWord, static_cast<std::int64_t>(kind.versionWord));
}

std::optional<IndexEntry> readEntry(const std::string& path, const std::string& key,
                                    const FileStamp& stamp) {
    IndexEntry entry = entryOfFile(key, stamp);
    const batch::DealInMemory deal = batch::readDealInMemory(path);
    if (deal.reading == batch::DealReading::NotADeal)
        return std::nullopt;
    setFormat(entry, deal.kind);
    switch (deal.reading) {
    case batch::DealReading::Read:
        break;
    case batch::DealReading::NotADeal:
    case batch::DealReading::Unreadable:
        return notIndexed(std::move(entry), "unreadable", deal.reason);
    case batch::DealReading::Damaged:
        return notIndexed(std::move(entry), "failed", damageOf(deal));
    case batch::DealReading::Unconvertible:
        return notIndexed(std::move(entry), "failed", deal.reason);
    }
    std::string version;
    deal.document->getString("versionNumber", version);
    if (!version.empty() && deal.kind.kind == batch::FileKind::XmlDocument)
        set(entry, Field::Version, treeTextToUtf8(version));
    return indexed(std::move(entry), *deal.document);
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
