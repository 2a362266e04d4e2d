#include "batch/tree_walk.h"

#include "platform/code_page.h"
#include "platform/file_identity.h"
#include "platform/folder_entries.h"
#include "platform/native_path.h"
#include "platform/safe_file.h"

#include <algorithm>
#include <chrono>
#include <cwctype>
#include <filesystem>
#include <map>
#include <optional>
#include <tuple>

namespace velmora::batch {
namespace {

namespace fs = std::filesystem;

constexpr char kBackupFolder[] = "UpgradeBackup";

using Identity = std::tuple<std::uint64_t, std::uint64_t>;

// UTF-8 with "/" between folders on every platform, so that shards agree.
std::string shardKeyOf(const fs::path& relative) {
    const std::u8string key = relative.generic_u8string();
    return std::string(key.begin(), key.end());
}

std::optional<Identity> identityOf(const fs::path& path) {
    const std::optional<FileIdentity> id = fileIdentity(pathText(path));
    if (!id)
        return std::nullopt;
    return Identity{id->volume, id->index};
}

// Windows names files without regard to case: "upgradebackup" is the folder
// new backups go to there.
bool isBackupFolderName(const fs::path& name) {
#ifdef _WIN32
    std::wstring folded = name.wstring();
    std::transform(folded.begin(), folded.end(), folded.begin(), ::towlower);
    return folded == L"upgradebackup";
#else
    return name == kBackupFolder;
#endif
}

bool isInBackupFolder(const fs::path& path) {
    std::error_code error;
    const fs::path absolute = fs::absolute(path, error).lexically_normal();
    const fs::path& checked = error ? path : absolute;
    return std::any_of(checked.begin(), checked.end(), isBackupFolderName);
}

// A link whose target lies in a backup folder ("latest.hud" pointing at a
// backup, "old" pointing at the folder).
bool leadsIntoBackups(const fs::directory_entry& entry) {
    // The folder listing says whether an entry is a link, without a call.
    std::error_code error;
    if (!entry.is_symlink(error))
        return false;
    const fs::path target = fs::canonical(entry.path(), error);
    return !error && isInBackupFolder(target);
}

// A save writes its temporary file and renames it within seconds; one not
// written for an hour belongs to no save under way.
constexpr auto kLongUnwritten = std::chrono::hours(1);

bool isLongUnwritten(const fs::path& path) {
    std::error_code error;
    const fs::file_time_type written = fs::last_write_time(path, error);
    return !error && fs::file_time_type::clock::now() - written > kLongUnwritten;
}

// Where a name reached through links really is: the file they lead to, or
// for a link that leads nowhere, the link itself in its real folder.
fs::path realPathOf(const fs::path& path) {
    std::error_code error;
    fs::path real = fs::canonical(path, error);
    if (!error)
        return real;
    real = fs::canonical(path.parent_path(), error);
    return error ? path : real / path.filename();
}

bool isLink(const fs::directory_entry& entry) {
    std::error_code error;
    return entry.is_symlink(error);
}

struct PendingFolder {
    fs::path path;
    bool throughLink = false;
};

class Walker {
public:
    void walkRoot(const std::string& root) {
        const fs::path path = nativeTreePath(root);
        std::error_code ignored;
        const fs::directory_entry named(path, ignored);
        if (isInBackupFolder(path) || leadsIntoBackups(named)) {
            notes_.push_back(root + ": upgrade backups are never converted; left alone");
            return;
        }
        std::error_code error;
        const fs::file_status status = fs::status(path, error);
        if (fs::is_directory(status)) {
            walkFolder(path);
            return;
        }
        const std::string name = shardKeyOf(path.filename());
        if (error || !fs::exists(status)) {
            add({root, name, absence(named, error), true});
            return;
        }
        addFile(path, name, status, isLink(named), true);
    }

    TreeWalk result() {
        TreeWalk walk;
        for (std::optional<FoundFile>& file : files_) {
            if (file)
                walk.files.push_back(std::move(*file));
        }
        walk.notes = std::move(notes_);
        walk.leftoverTemporaries = std::move(leftoverTemporaries_);
        return walk;
    }

private:
    void walkFolder(const fs::path& root) {
        std::vector<PendingFolder> pending{{root, false}};
        while (!pending.empty()) {
            const PendingFolder folder = std::move(pending.back());
            pending.pop_back();
            if (!isToBeSearched(folder))
                continue;
            std::error_code error;
            std::vector<fs::directory_entry> entries = folderEntries(folder.path, error);
            if (error) {
                add({pathText(folder.path), relativeTo(root, folder.path), Found::Unreadable});
                continue;
            }
            std::sort(entries.begin(), entries.end());
            // Folders go on the stack in reverse, so that they come out in name order.
            std::vector<PendingFolder> subfolders;
            for (const fs::directory_entry& entry : entries)
                visitEntry(root, entry, folder.throughLink, subfolders);
            pending.insert(pending.end(), subfolders.rbegin(), subfolders.rend());
        }
    }

    // A folder is searched once through links and once more, at most, when
    // it is then reached without one: its files are to be known by their
    // real paths wherever the link stands in the walk.
    bool isToBeSearched(const PendingFolder& folder) {
        const std::optional<Identity> id = identityOf(folder.path);
        if (!id)
            return true;
        const auto [seen, added] = foldersSeen_.try_emplace(*id, !folder.throughLink);
        if (added)
            return true;
        if (folder.throughLink || seen->second)
            return false;
        seen->second = true;
        return true;
    }

    void visitEntry(const fs::path& root, const fs::directory_entry& entry, bool inLinkedFolder,
                    std::vector<PendingFolder>& subfolders) {
        const fs::path& path = entry.path();
        std::error_code error;
        const fs::file_status status = entry.status(error);
        if (leadsIntoBackups(entry))
            return;
        const bool throughLink = inLinkedFolder || isLink(entry);
        if (fs::is_directory(status)) {
            if (!isBackupFolderName(path.filename()))
                subfolders.push_back({path, throughLink});
            return;
        }
        // Another run's save in progress: the file it will become is found.
        // Told by its name alone, since it may be renamed away at any moment;
        // one not written for long is what a killed run left.
        if (isSafeWriteTemporary(pathText(path.filename()))) {
            if (fs::is_regular_file(status) && isLongUnwritten(path))
                leftoverTemporaries_.push_back(pathText(path));
            return;
        }
        if (error || !fs::exists(status)) {
            // A link that leads nowhere has no real path but its own.
            add(reached(path, relativeTo(root, path), absence(entry, error), inLinkedFolder));
            return;
        }
        addFile(path, relativeTo(root, path), status, throughLink);
    }

    void addFile(const fs::path& path, const std::string& relative, const fs::file_status& status,
                 bool throughLink, bool named = false) {
        if (!fs::is_regular_file(status)) {
            add(reached(path, relative, Found::NotAFile, throughLink, named));
            return;
        }
        FoundFile file = reached(path, relative, Found::File, throughLink, named);
        const std::optional<Identity> id = identityOf(path);
        if (id && isFoundAgain(*id, file))
            return;
        if (id)
            filesSeen_[*id] = files_.size();
        add(std::move(file));
    }

    // A file found before keeps its first finding, unless that went through
    // a link and this one does not. Named either time, it counts as named.
    bool isFoundAgain(const Identity& id, FoundFile& file) {
        const auto seen = filesSeen_.find(id);
        if (seen == filesSeen_.end())
            return false;
        std::optional<FoundFile>& first = files_[seen->second];
        if (first->link.empty() || !file.link.empty()) {
            first->named = first->named || file.named;
            return true;
        }
        file.named = file.named || first->named;
        first.reset();
        return false;
    }

    static FoundFile reached(const fs::path& path, const std::string& relative, Found found,
                             bool throughLink, bool named = false) {
        if (!throughLink)
            return {knownPathOf(path), relative, found, named};
        return {knownPathOf(realPathOf(path)), relative, found, named, pathText(path)};
    }

    // Windows knows a file by its final path, whatever spelling reached it:
    // "s:\deals\", "S:\Deals" and ".\Deals\." find one file once and name it
    // alike in reports and rows.
    static std::string knownPathOf(const fs::path& path) {
#ifdef _WIN32
        if (std::optional<std::string> final = finalPathOf(pathText(path)))
            return std::move(*final);
#endif
        return pathText(path);
    }

    // Why a name has no file to look at: not there (through a link or not),
    // or not to be looked at (no permission on a folder on the way).
    static Found absence(const fs::directory_entry& entry, const std::error_code& statusError) {
        if (statusError && statusError != std::errc::no_such_file_or_directory)
            return Found::Unreadable;
        return isLink(entry) ? Found::Dangling : Found::Missing;
    }

    static std::string relativeTo(const fs::path& root, const fs::path& path) {
        return shardKeyOf(path.lexically_relative(root));
    }

    void add(FoundFile file) {
        files_.emplace_back(std::move(file));
    }

    // Dropped findings stay as empty places until the end, so that the places
    // remembered for the others hold.
    std::vector<std::optional<FoundFile>> files_;
    std::vector<std::string> notes_;
    std::vector<std::string> leftoverTemporaries_;
    // Whether each folder was reached without a link.
    std::map<Identity, bool> foldersSeen_;
    std::map<Identity, std::size_t> filesSeen_;
};

} // namespace

TreeWalk walkTree(const std::vector<std::string>& roots) {
    Walker walker;
    for (const std::string& root : roots)
        walker.walkRoot(root);
    return walker.result();
}

std::string absoluteKey(const std::string& path) {
#ifdef _WIN32
    // The final path when the file is there, else the full path as the system
    // makes it of any path it is given.
    if (std::optional<std::string> final = finalPathOf(path))
        return treeTextToUtf8(std::move(*final));
    return treeTextToUtf8(pathText(nativeTreePath(path)));
#else
    std::error_code error;
    fs::path absolute = fs::absolute(nativePath(path), error);
    if (error)
        absolute = nativePath(path);
    return treeTextToUtf8(pathText(absolute.lexically_normal()));
#endif
}

const char* problemOf(Found found) {
    switch (found) {
    case Found::File:
        break;
    case Found::NotAFile:
        return "not a regular file";
    case Found::Dangling:
        return "the link leads nowhere";
    case Found::Missing:
        return "no such file or folder";
    case Found::Unreadable:
        return "cannot be read";
    }
    return "";
}

} // namespace velmora::batch
