// Opening and saving a document file: the format test, the conversion of a
// legacy file after the user agrees (with a backup first), the XML load, the
// version rules, and the file lock around every read and write.
#include "document/hud_document.h"
#include "legacy/hud_converter.h"
#include "legacy/hud_reader.h"
#include "legacy/refinance_converter.h"
#include "legacy/refinance_reader.h"
#include "platform/dialog.h"
#include "platform/file_system.h"
#include "platform/file_use_registry.h"
#include "tree/text_forms.h"
#include "tree/xml_document.h"

#include <chrono>
#include <thread>

namespace velmora {
namespace {

constexpr std::int32_t kCurrentVersion = 201;
constexpr std::int32_t kMigratedVersion = 200;
constexpr auto kPauseAfterConversion = std::chrono::milliseconds(100);

constexpr char kConversionQuestion[] =
    "This file is from older version and will be converted to current version format. "
    "Converted file will not be compatible with older version. Continue?";

void show(const std::string& caption, const std::string& text, unsigned flags) {
    currentDialog().ask(caption, text, flags);
}

DialogButton askToConvert() {
    return currentDialog().ask("Warning", kConversionQuestion,
                               dialog_flags::kYesNo | dialog_flags::kIconQuestion);
}

// Reads the legacy file of `documentType` and writes its XML form over it.
// -1 when the reader refused the file (it said why) or the result could not
// be written (the file is then unchanged).
int convertLegacyFile(const std::string& documentType, const std::string& path) {
    int written = -1;
    if (documentType == document_types::kHud) {
        HudRecord record;
        if (readHudFile(path, record) != 0)
            return -1;
        written = convertHudFile(record, path);
    } else {
        RefinanceRecord record;
        if (readRefinanceFile(path, record) != 0)
            return -1;
        written = convertRefinanceFile(record, path);
    }
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
    probeWritable(path);
    FileUseRegistry& registry = currentFileUseRegistry();
    if (registry.queryFileInUse(path))
        registry.releaseFile(path);

    const std::optional<bool> isXml = readFormatMarker(path);
    if (!isXml) {
        show("Sharing error",
             "This file is already being user by another user, and cannot be open at this "
             "point of time",
             dialog_flags::kIconInformation);
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

int CHudDocument::saveDocument(const std::string& path) {
    if (!lockingEnabled) {
        show("Write error", "This file is opened by another user and cannot be saved",
             dialog_flags::kOk);
        return -1;
    }
    std::string version;
    getString("versionNumber", version);
    // Saving an older document makes it unreadable to the older program.
    if (!version.empty() && parseLong(version) < kCurrentVersion &&
        askToConvert() == DialogButton::No)
        return -1;
    putString("versionNumber", std::to_string(kCurrentVersion));
    releaseLock();
    const int saved = saveXmlFile(*this, path);
    currentFileUseRegistry().claimFile(path);
    applyLock(path);
    return saved;
}

} // namespace velmora
