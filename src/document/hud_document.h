// CHudDocument: the root of every document tree.
//
// The root carries the document-level data of the statement (document type,
// file format version, tax numbers, lender, lot and block, place and dates of
// settlement), creates the top-level sections by name, and builds the
// standard set of sections for a new document. A CHudDocument also serves as
// the nested child "secondHud".
#pragma once

#include "platform/clock.h"
#include "platform/safe_file.h"
#include "platform/shared_file.h"
#include "sections/section_table.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

extern const SectionTable hudDocumentTable;

namespace document_types {
inline constexpr char kHud[] = "hud";
inline constexpr char kHud1a[] = "hud1a";
inline constexpr char kMortgage[] = "mortgage";
inline constexpr char kTitle[] = "title";
} // namespace document_types

// The message for a file another provider or process holds against a read,
// in the words hosts have always been shown.
inline constexpr char kSharingErrorCaption[] = "Sharing error";
inline constexpr char kSharingErrorText[] =
    "This file is already being user by another user, and cannot be open at this point of time";

class CHudDocument : public TableSection<hudDocumentTable> {
public:
    // A top-level root, element name "HUD", of the given document type.
    explicit CHudDocument(const std::string& documentType);
    // The nested root "secondHud" made by a parent's factory; type "hud".
    CHudDocument(std::string elementName, CNode* parent);
    // Releases the file lock.
    ~CHudDocument() override;

    // Opening and saving a document file (open_save.cpp): the format test,
    // the conversion of a legacy file, the version rules and the file lock.
    int load(const std::string& path) override { return loadDocument(path); }
    int save(const std::string& path) override { return saveDocument(path); }
    // A read-only file opens like any other: only saving over it is refused,
    // and saving it elsewhere ("save as") makes the document the new file's.
    // A refused open or save leaves the document's file, its lock and its
    // ability to save as they were.
    int loadDocument(const std::string& path);
    int saveDocument(const std::string& path);

    // Gives a "hud" or "hud1a" document its standard sections with their
    // default lines; other types get nothing. Existing children are not looked
    // at, so a second call adds a second set.
    void initDocument();

    std::string documentType() const;
    void setDocumentType(std::string_view documentType);

    // ---- File locks (file_lock.cpp) ----

    // Whether this document holds the file at `path`, under whatever spelling.
    bool holdsFile(const std::string& path) const;
    // Records the file as in use and holds it open with read-only sharing, so
    // others may read it but nobody may write it. A file that cannot be held
    // stays unlocked, silently. Nothing while locking is disabled.
    void applyLock(const std::string& path);
    // Closes the held file, if any. The file-use registry is not told.
    void releaseLock();
    bool isLocked() const { return lockFile_ != nullptr; }

    // Whether the first ten bytes of the file are "<calverin>". A file that
    // cannot be opened without sharing, or is shorter, is not.
    bool isXmlFile(const std::string& path);
    // The same test without the file-use registry: none when the file cannot
    // be opened without sharing.
    static std::optional<bool> readFormatMarker(const std::string& path);

    // Copies the file into the folder "UpgradeBackup" beside it, named by the
    // local date and time, before a conversion replaces it (see
    // makeUpgradeBackupOf). False when no copy could be made (the caller must
    // then not convert).
    bool makeUpgradeBackup(const std::string& path);

    // Whether loads and saves take and drop the file lock. Nothing in the
    // engine turns it off; while it is off, every save is refused.
    bool lockingEnabled = true;
    // The path last given to applyLock.
    std::string lockedPath;

private:
    void applyDocumentType(std::string_view documentType);
    // A legacy file at `path`: asks, backs up and converts it in place.
    int convertLegacy(const std::string& path);
    // Shows why a save to `path` is refused; -1, or 0 when it is not.
    int refuseUnwritable(const std::string& path);
    // Moves the 1099-S data of a version-200 file to the current layout.
    void upgradeVersion200();

    std::unique_ptr<SharedFile> lockFile_;
};

// Copies the file at `path` into the folder "UpgradeBackup" beside it, under
// the name upgradeBackupName gives for `documentType` and the local time, and
// returns the copy's path; the copy keeps the file's modification time. With
// `original`, the copy holds those bytes, as read from the file earlier. A
// backup is never replaced: a name taken by a copy of the same bytes (this
// file backed up within the same second) counts as the backup, a name taken
// by other bytes (another file of the same stem) gets a number, "_2", "_3",
// before the extension. None when no copy could be made.
std::optional<std::string> makeUpgradeBackupOf(const std::string& path,
                                               const std::string& documentType,
                                               std::optional<std::string_view> original = {});

// Whether `bytes` (a file's first bytes or more) begin with the marker of the
// XML format, "<calverin>".
bool hasFormatMarker(std::string_view bytes);

// Whether `bytes`, all of a file shorter than the marker, are its beginning:
// a document cut short before its marker ends.
bool isCutFormatMarker(std::string_view bytes);

// The name makeUpgradeBackup gives the backup of `path`: the folder of the
// file ("/" and "\\" both separate folders) + "UpgradeBackup", then the file's
// name without its extension, "_", the stamp "M-D-YYYY h-m-s" and ".prb" for
// "hud", ".rfb" for "hud1a", no extension for other types.
struct UpgradeBackupName {
    std::string folder;
    std::string path;
};
UpgradeBackupName upgradeBackupName(const std::string& path, const std::string& documentType,
                                    const LocalTime& when);

} // namespace velmora
