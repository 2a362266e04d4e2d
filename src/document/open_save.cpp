// Opening and saving a document file: the format test, the conversion of a
// legacy file after the user agrees (with a backup first), the XML load, the
// version rules, and the file lock around every read and write.
#include "document/hud_document.h"
#include "legacy/kind_check.h"
#include "legacy/legacy_conversion.h"
#include "platform/dialog.h"
#include "platform/file_system.h"
#include "platform/file_use_registry.h"
#include "platform/safe_file.h"
#include "tree/text_forms.h"
#include "tree/xml_document.h"

#include <chrono>
#include <thread>

namespace velmora {
namespace {

constexpr std::int32_t kCurrentVersion = 201;
constexpr std::int32_t kMigratedVersion = 200;
constexpr auto kPauseAfterConversion = std::chrono::milliseconds(100);

// Shown for a save refused because of the file: read-only, or (while
// locking is off) held against us.
constexpr char kCannotBeSaved[] = "This file is opened by another user and cannot be saved";

constexpr char kConversionQuestion[] =
    "This file is from older version and will be converted to current version format. "
    "Converted file will not be compatible with older version. Continue?";

void show(const std::string& caption, const std::string& text, unsigned flags) {
    currentDialog().ask(caption, text, flags);
}

void showSharingError() {
    show(kSharingErrorCaption, kSharingErrorText, dialog_flags::kIconInformation);
}

DialogButton askToConvert() {
    return currentDialog().ask("Warning", kConversionQuestion,
                               dialog_flags::kYesNo | dialog_flags::kIconQuestion);
}

// Reads the legacy file of `documentType` and writes its XML form over it.
// -1 when the reader refused the file (it said why) or the result could not
// be written (the file is then unchanged).
int convertLegacyFile(const std::string& documentType, const std::string& path) {
    ArchiveReader in = ArchiveReader::fromFile(path);
    const LegacyConversion conversion = convertLegacyArchive(documentType, in);
    const LegacyReaderKind reader = documentType == document_types::kHud
                                        ? LegacyReaderKind::Statement
                                        : LegacyReaderKind::Refinance;
    if (reportReadResult(conversion.result, conversion.versionWord, reader) != 0)
        return -1;
    const int written = conversion.document->save(path);
    if (written != 0)
        show("Error", "The converted document could not be written; the file was not changed.",
             dialog_flags::kOk | dialog_flags::kIconError);
    return written;
}

} // namespace

int CHudDocument::loadDocument(const std::string& path) {
    if (!fileExists(path)) {
        show("Path not found", "File: " + path + " not found", dialog_flags::kIconError);
        return -1;
    }
    // This document's own file, under any spelling: loading it again would
    // put its content into the tree twice.
    if (holdsFile(path)) {
        showSharingError();
        return -1;
    }
    FileUseRegistry& registry = currentFileUseRegistry();
    if (registry.queryFileInUse(path))
        registry.releaseFile(path);

    const std::optional<bool> isXml = readFormatMarker(path);
    if (!isXml) {
        showSharingError();
        return -1;
    }
    if (!*isXml) {
        if (const int converted = convertLegacy(path); converted != 0)
            return converted;
        std::this_thread::sleep_for(kPauseAfterConversion);
    }

    const int loaded = loadXmlFile(*this, path);
    if (loaded != 0)
        return loaded;
    registry.claimFile(path);

    std::string version;
    getString("versionNumber", version);
    if (!version.empty()) {
        const std::int32_t number = parseLong(version);
        if (number > kCurrentVersion) {
            show("version issue",
                 "This file version is newer than the application version. You cannot open "
                 "higher version files in older application. Contact Calverin tech support.",
                 dialog_flags::kIconInformation);
            return -1;
        }
        if (documentType() == document_types::kHud && number == kMigratedVersion)
            upgradeVersion200();
    }
    applyLock(path);
    return 0;
}

// A legacy file: converted in place after the user agrees, with a backup
// first. 0 when the XML load may follow.
int CHudDocument::convertLegacy(const std::string& path) {
    if (askToConvert() != DialogButton::Yes)
        return -1;
    const std::string type = documentType();
    if (type == document_types::kMortgage || type == document_types::kTitle) {
        show("Error", "Older format is not supported.", dialog_flags::kIconError);
        return -1;
    }
    if (type != document_types::kHud && type != document_types::kHud1a)
        return 0;
    // Asked before the backup, so that a file that cannot be replaced gets
    // no copy for a conversion that never happens.
    if (writeTargetOf(path) != WriteTarget::Replaceable) {
        show("Write error", "This file is read-only and cannot be converted; it was not changed.",
             dialog_flags::kIconError);
        return -1;
    }
    // The conversion drops what the new format does not carry: never without a copy.
    if (!makeUpgradeBackup(path)) {
        show("Error", "The backup copy could not be made; the file was not converted.",
             dialog_flags::kIconError);
        return -1;
    }
    if (convertLegacyFile(type, path) != 0)
        return -1;
    currentFileUseRegistry().releaseFile(path);
    return 0;
}

int CHudDocument::refuseUnwritable(const std::string& path) {
    switch (writeTargetOf(path)) {
    case WriteTarget::Replaceable:
        return 0;
    case WriteTarget::ReadOnly:
        show("Write error", kCannotBeSaved, dialog_flags::kOk);
        return -1;
    case WriteTarget::NotAFile:
        show("Write error",
             "This path names a folder or a device, not a file, and cannot be saved over",
             dialog_flags::kOk);
        return -1;
    }
    return -1;
}

int CHudDocument::saveDocument(const std::string& path) {
    if (!lockingEnabled) {
        show("Write error", kCannotBeSaved, dialog_flags::kOk);
        return -1;
    }
    if (refuseUnwritable(path) != 0)
        return -1;
    std::string version;
    getString("versionNumber", version);
    // Saving an older document makes it unreadable to the older program.
    if (!version.empty() && parseLong(version) < kCurrentVersion &&
        askToConvert() == DialogButton::No)
        return -1;
    putString("versionNumber", std::to_string(kCurrentVersion));
    // Our own hold would stop the write over our own file. A save elsewhere
    // keeps the document's file held until the new one is in place, so that
    // a failed "save as" leaves the document with its file.
    const bool overOwnFile = holdsFile(path);
    if (overOwnFile)
        releaseLock();
    const int saved = saveXmlFile(*this, path);
    if (saved != 0 && !overOwnFile)
        return saved;
    currentFileUseRegistry().claimFile(path);
    applyLock(path);
    return saved;
}

} // namespace velmora
