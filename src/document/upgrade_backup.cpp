// The copy of a legacy file that is kept before a conversion replaces it.
#include "document/hud_document.h"
#include "platform/file_system.h"
#include "platform/path_parts.h"

namespace velmora {
namespace {

std::string stampOf(const LocalTime& when) {
    return std::to_string(when.month) + "-" + std::to_string(when.day) + "-" +
           std::to_string(when.year) + " " + std::to_string(when.hour) + "-" +
           std::to_string(when.minute) + "-" + std::to_string(when.second);
}

std::string extensionFor(const std::string& documentType) {
    if (documentType == document_types::kHud)
        return ".prb";
    if (documentType == document_types::kHud1a)
        return ".rfb";
    return {};
}

// Files of one stem backed up in one second get numbered names; past this
// many, something is wrong, and no backup (so no conversion) is made.
constexpr unsigned kMostBackupsInOneSecond = 1000;

} // namespace

UpgradeBackupName upgradeBackupName(const std::string& path, const std::string& documentType,
                                    const LocalTime& when) {
    // Both separators on every platform, and the name before its last dot
    // even when that is its first character: the names the engine has
    // always given.
    const std::string_view fileName = fileNameOf(path, "/\\");
    const std::string_view folder = std::string_view(path).substr(0, path.size() - fileName.size());
    const std::string_view stem = fileName.substr(0, fileName.find_last_of('.'));

    UpgradeBackupName name;
    name.folder = std::string(folder) + "UpgradeBackup";
    name.path = name.folder + kPreferredSeparator + std::string(stem) + "_" + stampOf(when) +
                extensionFor(documentType);
    return name;
}

std::optional<std::string> makeUpgradeBackupOf(const std::string& path,
                                               const std::string& documentType,
                                               std::optional<std::string_view> original) {
    if (!fileExists(path))
        return std::nullopt;
    const UpgradeBackupName backup = upgradeBackupName(path, documentType, currentClock().now());
    if (createFolder(backup.folder) == FolderResult::Failed)
        return std::nullopt;
    const std::string extension = extensionFor(documentType);
    const std::string stem = backup.path.substr(0, backup.path.size() - extension.size());
    for (unsigned number = 1; number <= kMostBackupsInOneSecond; ++number) {
        const std::string name =
            number == 1 ? backup.path : stem + "_" + std::to_string(number) + extension;
        if (original ? copyBytesNew(path, *original, name) : copyFileNew(path, name))
            return name;
        if (!fileExists(name))
            return std::nullopt; // the copy failed, not for a name that is taken
        // Taken within the same second: by this file's own earlier backup,
        // which is as good, or by the backup of another file of the same
        // stem (deal.hud beside deal.doc), which must not be replaced.
        if (original ? holdsBytes(name, *original) : sameContent(path, name))
            return name;
    }
    return std::nullopt;
}

bool CHudDocument::makeUpgradeBackup(const std::string& path) {
    return makeUpgradeBackupOf(path, documentType()).has_value();
}

} // namespace velmora
