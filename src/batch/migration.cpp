#include "batch/migration.h"

#include "batch/file_kind.h"
#include "batch/not_a_deal.h"
#include "batch/work_threads.h"
#include "batch/xml_stamp.h"
#include "document/hud_document.h"
#include "legacy/kind_check.h"
#include "legacy/legacy_conversion.h"
#include "platform/file_system.h"
#include "platform/native_path.h"
#include "platform/read_refusal.h"
#include "platform/safe_file.h"
#include "platform/shared_file.h"
#include "tree/xml_document.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>
#include <thread>

namespace velmora::batch {
namespace {

// Long enough for another run to finish the file it holds: a conversion
// takes milliseconds.
constexpr auto kWaitForHolder = std::chrono::milliseconds(250);

constexpr char kCurrentVersion[] = "201";

// What a record says of a file another program wrote while it was converted.
constexpr char kChanged[] = "changed during conversion";

std::uint64_t sizeOf(const std::string& path) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(nativePath(path), error);
    return error ? 0 : static_cast<std::uint64_t>(size);
}

// A deal read whole while nobody else could write it. None when another
// holder has it or it cannot be read whole (an error before its end).
std::optional<std::string> readHeld(const std::string& path) {
    const std::unique_ptr<SharedFile> held =
        SharedFile::open(path, FileAccess::Read, FileSharing::None);
    if (!held)
        return std::nullopt;
    std::optional<std::string> bytes = held->readAll();
    if (!bytes || bytes->size() != sizeOf(path))
        return std::nullopt;
    return bytes;
}

FileRecord outcome(FileRecord record, Outcome outcome, std::string reason = {}) {
    record.outcome = outcome;
    record.reason = std::move(reason);
    return record;
}

// The message a forced type's reader gives a deal of the other kind.
std::string otherKindReason(const std::string& forcedType, std::uint32_t versionWord) {
    if (forcedType == document_types::kHud)
        return kindCheckMessage(versionWord, LegacyReaderKind::Statement).value_or("");
    if (forcedType == document_types::kHud1a)
        return kindCheckMessage(versionWord, LegacyReaderKind::Refinance).value_or("");
    return "Older format is not supported.";
}

class FileMigration {
public:
    FileMigration(const FoundFile& found, const MigrationOptions& options)
        : found_(found), options_(options) {
        record_.path = found.path;
        record_.link = found.link;
        record_.named = found.named;
    }

    // A failure of the system (memory, above all) ends this file's work, not
    // the run, and its record says how far the work had come.
    FileRecord run() {
        try {
            return examine();
        } catch (const std::exception& failure) {
            return outcome(record_, Outcome::Failed,
                           replaced_ ? std::string("converted but not checked (") + failure.what() +
                                           "); the original is in " + record_.backupPath
                                     : std::string("not converted: ") + failure.what());
        }
    }

private:
    FileRecord examine() {
        if (found_.found == Found::NotAFile)
            return outcome(record_, Outcome::NotADeal, problemOf(found_.found));
        if (found_.found == Found::Dangling)
            return outcome(record_, Outcome::BrokenLink, problemOf(found_.found));
        if (found_.found != Found::File)
            return outcome(record_, Outcome::Failed, problemOf(found_.found));
        std::optional<std::string> first = readFirstBytes(found_.path);
        if (!first && fileExists(found_.path)) {
            std::this_thread::sleep_for(kWaitForHolder); // held without sharing, perhaps
            first = readFirstBytes(found_.path);
        }
        if (!first) {
            const ReadRefusal refusal = readRefusalOf(found_.path);
            if (refusal == ReadRefusal::Missing)
                return outcome(record_, Outcome::Failed, "the file is gone");
            return outcome(record_, Outcome::Refused,
                           std::string("cannot be opened: ") + readRefusalText(refusal));
        }
        record_.bytes = sizeOf(found_.path);
        const KindOfFile kind = kindOfFile(*first);
        record_.kind = kindName(kind);
        record_.version = kind.versionWord;
        switch (kind.kind) {
        case FileKind::XmlDocument:
            return alreadyConverted();
        case FileKind::NotADeal:
            return notADeal(*first);
        case FileKind::UnconvertibleDeal:
            return outcome(record_, Outcome::UnsupportedKind,
                           "a " + record_.kind + "; only statements convert");
        case FileKind::Statement:
        case FileKind::Refinance:
            break;
        }
        const std::string type = documentTypeOf(kind.kind);
        if (!options_.forcedType.empty() && options_.forcedType != type)
            return outcome(record_, Outcome::Refused,
                           otherKindReason(options_.forcedType, kind.versionWord));
        if (writeTargetOf(found_.path) != WriteTarget::Replaceable)
            return outcome(record_, Outcome::Refused, "read-only");
        return readDeal(type);
    }

    FileRecord readDeal(const std::string& type) {
        std::optional<std::string> bytes = readHeld(found_.path);
        if (!bytes) {
            std::this_thread::sleep_for(kWaitForHolder);
            bytes = readHeld(found_.path);
        }
        if (!bytes)
            return outcome(record_, Outcome::Refused, notReadWhole());
        // Another run may have converted it since its first bytes were read.
        if (kindOfFile(*bytes).kind == FileKind::XmlDocument)
            return alreadyConverted("converted by another run");
        record_.bytes = bytes->size();
        return convert(*bytes, type);
    }

    FileRecord convert(const std::string& original, const std::string& type) {
        ArchiveReader in(std::vector<unsigned char>(original.begin(), original.end()));
        const LegacyConversion conversion = convertLegacyArchive(type, in);
        if (conversion.result != ReadResult::Read)
            return outcome(record_, Outcome::Failed,
                           "The file is damaged and cannot be converted: " + conversion.damage +
                               ".");
        conversion.document->putString("versionNumber", kCurrentVersion);
        const std::string text = xmlFileText(*conversion.document);
        if (options_.dryRun)
            return outcome(record_, Outcome::WouldConvert);
        return replace(original, type, text);
    }

    FileRecord replace(const std::string& original, const std::string& type,
                       const std::string& text) {
        // From the bytes read: the file itself may have changed since.
        const std::optional<std::string> backup = makeUpgradeBackupOf(found_.path, type, original);
        if (!backup || !holdsBytes(*backup, original))
            return outcome(record_, Outcome::Failed,
                           "The backup copy could not be made; the file was not converted.");
        record_.backupPath = *backup;
        switch (writeFileReplacingIfUnchanged(found_.path, text, original)) {
        case GuardedReplace::Replaced:
            break;
        case GuardedReplace::Changed:
            return changedDuringConversion(type);
        case GuardedReplace::NotWritten:
            return notReplaced();
        case GuardedReplace::NotPutBack:
            return outcome(record_, Outcome::Failed,
                           "changed during conversion, and what was written meanwhile could not "
                           "be put back; the file holds the conversion of the earlier bytes, "
                           "which are in " +
                               *backup);
        }
        replaced_ = true;
        CHudDocument reloaded(type);
        if (loadXmlFile(reloaded, found_.path) == 0)
            return outcome(record_, Outcome::Converted,
                           retried_ ? std::string(kChanged) + "; converted as it is now" : "");
        const bool restored = writeFileReplacing(found_.path, original);
        return outcome(record_, Outcome::Failed,
                       restored
                           ? "the converted file did not read back; the original is back"
                           : "the converted file did not read back; the original is in " + *backup);
    }

    // Another program wrote the file while it was converted, and the file
    // holds what it wrote. The backup made here holds bytes the file no longer
    // holds, so it goes; the file is tried again once, as a held one is.
    FileRecord changedDuringConversion(const std::string& type) {
        if (convertedByAnotherRun())
            return alreadyConverted("converted by another run");
        removeFile(record_.backupPath);
        record_.backupPath.clear();
        if (retried_)
            return outcome(record_, Outcome::Refused, kChanged);
        retried_ = true;
        return readDeal(type);
    }

    // The file was not replaced: another holder kept it, or the write failed.
    // The backup made here stays: it holds the bytes the file still holds.
    FileRecord notReplaced() {
        if (convertedByAnotherRun())
            return alreadyConverted("converted by another run");
        return outcome(record_, Outcome::Failed,
                       "not converted: the file could not be replaced (held by another program, "
                       "or a write failed); it was left as it is");
    }

    // What the system says of a deal that could not be read whole while
    // nobody else could write it; a reader that denies writing holds it too,
    // but the system tells that only as a file others may read.
    std::string notReadWhole() const {
        const ReadRefusal refusal = readRefusalOf(found_.path);
        if (refusal == ReadRefusal::None)
            return "held by another program, or not readable whole";
        return readRefusalText(refusal);
    }

    // Its record carries the type and version the document says it is.
    FileRecord alreadyConverted(std::string reason = {}) {
        const std::optional<XmlStamp> stamp = xmlStampOf(found_.path);
        if (!stamp)
            return outcome(record_, Outcome::AlreadyConverted,
                           reason.empty() ? "the XML document does not load" : reason);
        record_.kind = stamp->type.empty() ? kindName({FileKind::XmlDocument}) : stamp->type;
        record_.version = stamp->version;
        return outcome(record_, Outcome::AlreadyConverted, std::move(reason));
    }

    // Told why when it is named, or its name says deal.
    FileRecord notADeal(const std::string& firstBytes) {
        const std::optional<NotADealNote> note =
            notADealNote(found_.path, found_.named, firstBytes);
        if (!note)
            return outcome(record_, Outcome::NotADeal);
        record_.version = note->versionWord;
        return outcome(record_, Outcome::NotADeal, note->reason);
    }

    bool convertedByAnotherRun() const {
        std::this_thread::sleep_for(kWaitForHolder);
        const std::optional<std::string> now = readFirstBytes(found_.path);
        return now && kindOfFile(*now).kind == FileKind::XmlDocument;
    }

    const FoundFile& found_;
    const MigrationOptions& options_;
    FileRecord record_;
    bool replaced_ = false;
    bool retried_ = false;
};

} // namespace

FileRecord migrateFile(const FoundFile& file, const MigrationOptions& options) {
    const auto start = std::chrono::steady_clock::now();
    FileRecord record = FileMigration(file, options).run();
    record.milliseconds =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    return record;
}

std::vector<FileRecord> migrateFiles(const std::vector<FoundFile>& files,
                                     const MigrationOptions& options, unsigned jobs,
                                     const std::function<void()>& fileDone,
                                     const std::function<bool()>& stopped) {
    return mapOnThreads<FileRecord>(
        files.size(), jobs,
        [&](std::size_t i) {
            FileRecord record = migrateFile(files[i], options);
            if (fileDone)
                fileDone();
            return record;
        },
        stopped);
}

} // namespace velmora::batch
