#include "archive/tree_walk.h"

#include "platform/file_identity.h"
#include "platform/safe_file.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <tuple>

namespace velmora::archive {
namespace {

namespace fs = std::filesystem;

constexpr char kBackupFolder[] = "UpgradeBackup";

using Identity = std::tuple<std::uint64_t, std::uint64_t>;

std::optional<Identity> identityOf(const fs::path& path) {
    const std::optional<FileIdentity> id = fileIdentity(path.string());
    if (!id)
        return std::nullopt;
    return Identity{id->volume, id->index};
}

bool isInBackupFolder(const fs::path& path) {
    std::error_code error;
    const fs::path absolute = fs::absolute(path, error).lexically_normal();
    const fs::path& checked = error ? path : absolute;
    return std::any_of(checked.begin(), checked.end(),
                       [](const fs::path& part) { return part == kBackupFolder; });
}

class Walker {
public:
    TreeWalk result;

    void walkRoot(const std::string& root) {
        const fs::path path(root);
        if (isInBackupFolder(path)) {
            result.notes.push_back(root + ": upgrade backups are never converted; left alone");
            return;
        }
        std::error_code error;
        const fs::file_status status = fs::status(path, error);
        if (fs::is_directory(status)) {
            walkFolder(path, path);
            return;
        }
        const std::string name = path.filename().string();
        if (!fs::exists(status)) {
            const bool link = fs::is_symlink(fs::symlink_status(path, error));
            add({root, name, link ? Found::Dangling : Found::Missing});
            return;
        }
        addFile(path, name, status);
    }

private:
    void walkFolder(const fs::path& root, const fs::path& start) {
        std::vector<fs::path> pending{start};
        while (!pending.empty()) {
            const fs::path folder = std::move(pending.back());
            pending.pop_back();
            const std::optional<Identity> id = identityOf(folder);
            if (id && !foldersSeen_.insert(*id).second)
                continue; // reached again through a link
            std::vector<fs::path> entries;
            std::error_code error;
            for (fs::directory_iterator it(folder, error), end; !error && it != end;
                 it.increment(error))
                entries.push_back(it->path());
            if (error) {
                add({folder.string(), relativeTo(root, folder), Found::Unreadable});
                continue;
            }
            std::sort(entries.begin(), entries.end());
            // Folders go on the stack in reverse, so that they come out in name order.
            std::vector<fs::path> subfolders;
            for (const fs::path& entry : entries)
                visitEntry(root, entry, subfolders);
            pending.insert(pending.end(), subfolders.rbegin(), subfolders.rend());
        }
    }

    void visitEntry(const fs::path& root, const fs::path& entry,
                    std::vector<fs::path>& subfolders) {
        std::error_code error;
        const fs::file_status status = fs::status(entry, error);
        if (fs::is_directory(status)) {
            if (entry.filename() != kBackupFolder)
                subfolders.push_back(entry);
            return;
        }
        if (!fs::exists(status)) {
            add({entry.string(), relativeTo(root, entry), Found::Dangling});
            return;
        }
        // Another run's save in progress: the file it will become is found.
        if (isSafeWriteTemporary(entry.filename().string()))
            return;
        addFile(entry, relativeTo(root, entry), status);
    }

    void addFile(const fs::path& path, const std::string& relative, const fs::file_status& status) {
        if (!fs::is_regular_file(status)) {
            add({path.string(), relative, Found::NotAFile});
            return;
        }
        const std::optional<Identity> id = identityOf(path);
        if (id && !filesSeen_.insert(*id).second)
            return;
        add({path.string(), relative, Found::File});
    }

    static std::string relativeTo(const fs::path& root, const fs::path& path) {
        return path.lexically_relative(root).generic_string();
    }

    void add(FoundFile file) { result.files.push_back(std::move(file)); }

    std::set<Identity> foldersSeen_;
    std::set<Identity> filesSeen_;
};

} // namespace

TreeWalk walkTree(const std::vector<std::string>& roots) {
    Walker walker;
    for (const std::string& root : roots)
        walker.walkRoot(root);
    return std::move(walker.result);
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
        return "the folder cannot be read";
    }
    return "";
}

} // namespace velmora::archive
