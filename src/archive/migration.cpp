#include "archive/migration.h"

#include "archive/file_kind.h"
#include "document/hud_document.h"
#include "legacy/kind_check.h"
#include "legacy/legacy_conversion.h"
#include "platform/file_system.h"
#include "platform/safe_file.h"
#include "platform/shared_file.h"
#include "tree/xml_document.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <thread>

namespace velmora::archive {
namespace {

// Long enough for another run to finish the file it holds: a conversion
// takes milliseconds.
constexpr auto kWaitForHolder = std::chrono::milliseconds(250);

constexpr char kCurrentVersion[] = "201";

// A file read whole while nobody else could write it.
struct ReadFile {
    std::string bytes;
    std::optional<FileIdentity> identity;
    bool complete = false;
};

// None when another holder has the file; `complete` is false when a read
// error ended the reading before the file's size was reached.
std::optional<ReadFile> readHeld(const std::string& path) {
    const std::unique_ptr<SharedFile> held =
        SharedFile::open(path, FileAccess::Read, FileSharing::None);
    if (!held)
        return std::nullopt;
    ReadFile file{{}, held->identity(), false};
    char buffer[64 * 1024];
    for (std::size_t got; (got = held->read(buffer, sizeof buffer)) > 0;) {
        file.bytes.append(buffer, got);
        if (got < sizeof buffer)
            break;
    }
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    file.complete = !error && size == file.bytes.size();
    return file;
}

bool canBeOpened(const std::string& path) {
    return std::ifstream(path, std::ios::binary).is_open();
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
    }

    FileRecord run() {
        if (found_.found == Found::NotAFile)
            return outcome(record_, Outcome::NotADeal, problemOf(found_.found));
        if (found_.found != Found::File)
            return outcome(record_, Outcome::Failed, problemOf(found_.found));
        std::optional<ReadFile> file = readHeld(found_.path);
        if (!file && !canBeOpened(found_.path))
            return outcome(record_, Outcome::Failed,
                           fileExists(found_.path) ? "the file cannot be read"
                                                   : "the file is gone");
        if (!file) {
            std::this_thread::sleep_for(kWaitForHolder);
            file = readHeld(found_.path);
        }
        if (!file)
            return outcome(record_, Outcome::Refused, "held by another program");
        // Never a conversion of part of a file.
        if (!file->complete)
            return outcome(record_, Outcome::Failed, "the file could not be read whole");
        return examine(*file);
    }

private:
    FileRecord examine(const ReadFile& file) {
        record_.bytes = file.bytes.size();
        const KindOfFile kind = kindOfFile(file.bytes);
        record_.kind = kindName(kind);
        record_.versionWord = kind.versionWord;
        switch (kind.kind) {
        case FileKind::XmlDocument:
            return outcome(record_, Outcome::AlreadyConverted);
        case FileKind::NotADeal:
            return outcome(record_, Outcome::NotADeal);
        case FileKind::UnconvertibleDeal:
            return outcome(record_, Outcome::UnsupportedKind,
                           "a " + record_.kind + " cannot be converted");
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
        return convert(file, type);
    }

    FileRecord convert(const ReadFile& file, const std::string& type) {
        ArchiveReader in(std::vector<unsigned char>(file.bytes.begin(), file.bytes.end()));
        const LegacyConversion conversion = convertLegacyArchive(type, in);
        if (conversion.result != ReadResult::Read)
            return outcome(record_, Outcome::Failed,
                           "The file is damaged and cannot be converted.");
        conversion.document->putString("versionNumber", kCurrentVersion);
        const std::string text = xmlFileText(*conversion.document);
        if (options_.dryRun)
            return outcome(record_, Outcome::Converted, "dry run: nothing was written");
        return replace(file, type, text);
    }

    FileRecord replace(const ReadFile& file, const std::string& type, const std::string& text) {
        // From the bytes read: the file itself may have changed since.
        const std::optional<std::string> backup =
            makeUpgradeBackupOf(found_.path, type, file.bytes);
        if (!backup || !holdsBytes(*backup, file.bytes))
            return outcome(record_, Outcome::Failed,
                           "The backup copy could not be made; the file was not converted.");
        record_.backupPath = *backup;
        if (!file.identity || !writeFileReplacingSame(found_.path, text, *file.identity))
            return notReplaced(type);
        CHudDocument reloaded(type);
        if (loadXmlFile(reloaded, found_.path) == 0)
            return outcome(record_, Outcome::Converted);
        const bool restored = writeFileReplacing(found_.path, file.bytes);
        return outcome(record_, Outcome::Failed,
                       restored
                           ? "the converted file did not read back; the original is back"
                           : "the converted file did not read back; the original is in " + *backup);
    }

    // The file was not replaced: another run may have converted it since it
    // was read. The backup made here stays: it holds the original's bytes.
    FileRecord notReplaced(const std::string& type) {
        std::this_thread::sleep_for(kWaitForHolder);
        const std::optional<ReadFile> now = readHeld(found_.path);
        if (now && kindOfFile(now->bytes).kind == FileKind::XmlDocument) {
            record_.kind = type;
            return outcome(record_, Outcome::AlreadyConverted, "converted by another run");
        }
        return outcome(record_, Outcome::Failed,
                       "the converted document could not be written; the file was not changed");
    }

    const FoundFile& found_;
    const MigrationOptions& options_;
    FileRecord record_;
};

// A failure of the system (memory, above all) ends this file's work, not the
// run: the file is as it was, or converted with its backup.
FileRecord migrateGuarded(const FoundFile& file, const MigrationOptions& options) {
    try {
        return FileMigration(file, options).run();
    } catch (const std::exception& failure) {
        FileRecord record;
        record.path = file.path;
        return outcome(std::move(record), Outcome::Failed, failure.what());
    }
}

} // namespace

FileRecord migrateFile(const FoundFile& file, const MigrationOptions& options) {
    const auto start = std::chrono::steady_clock::now();
    FileRecord record = migrateGuarded(file, options);
    record.milliseconds =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    return record;
}

std::vector<FileRecord> migrateFiles(const std::vector<FoundFile>& files,
                                     const MigrationOptions& options, unsigned jobs,
                                     const std::function<void()>& fileDone) {
    std::vector<FileRecord> records(files.size());
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i = next++; i < files.size(); i = next++) {
            records[i] = migrateFile(files[i], options);
            if (fileDone)
                fileDone();
        }
    };
    std::vector<std::thread> workers;
    const std::size_t threads =
        std::clamp<std::size_t>(jobs, 1, std::max<std::size_t>(files.size(), 1));
    for (std::size_t t = 1; t < threads; ++t)
        workers.emplace_back(work);
    work();
    for (std::thread& worker : workers)
        worker.join();
    return records;
}

} // namespace velmora::archive
