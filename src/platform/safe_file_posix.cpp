#include "platform/safe_file.h"

#include "platform/file_faults.h"
#include "platform/path_parts.h"
#include "platform/shared_file.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace velmora {
namespace {

std::string folderOf(const std::string& path) {
    const std::size_t slash = lastSeparator(path);
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool writeAll(int fd, std::string_view bytes, const std::string& path) {
    while (!bytes.empty()) {
        if (faultInjected(FileStep::Write, path))
            return false;
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// The permissions `modeSource` has, to narrow a file made from it to; all of
// them when there is none.
mode_t permissionsOf(const std::string& modeSource) {
    struct stat source {};
    if (modeSource.empty())
        return 07777;
    // A source that cannot be looked at gives nothing away: owner only.
    return ::stat(modeSource.c_str(), &source) == 0 ? source.st_mode & 0777 : 0600;
}

// The new file keeps the permissions of the one it replaces, and its owner
// and group where the process may give them; a new target gets what the
// process's umask allows. Either way, none that `modeSource` lacks. Set
// before any byte is written, so that no reader who may not read the
// source ever could have read the file.
void applyTargetAttributes(int fd, const std::string& path, const std::string& modeSource) {
    const mode_t allowed = permissionsOf(modeSource);
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0) {
        // A member of the file's group may keep the group though not the owner.
        if (::fchown(fd, existing.st_uid, existing.st_gid) != 0 &&
            ::fchown(fd, static_cast<uid_t>(-1), existing.st_gid) != 0) {
            // Neither is ours to give: the new file is the saver's, as any new file.
        }
        // After the owner, because changing it clears the set-id bits.
        ::fchmod(fd, existing.st_mode & 07777 & allowed);
        return;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask & allowed);
}

// Makes the rename itself durable.
void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

// Writes `bytes` to a new temporary file beside `path` and flushes it to the
// disk; its name, or none (and nothing left behind) when that failed.
std::optional<std::string> writeTemporaryBeside(const std::string& path, std::string_view bytes,
                                                const std::string& modeSource = {}) {
    std::string pattern = path + ".tmp-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = faultInjected(FileStep::Create, path) ? -1 : ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::string temporary(name.data());
    applyTargetAttributes(fd, path, modeSource);
    const bool written =
        writeAll(fd, bytes, path) && !faultInjected(FileStep::Flush, path) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (written && closed)
        return temporary;
    ::unlink(temporary.c_str());
    return std::nullopt;
}

bool isUsableTarget(const std::string& path) {
    return !path.empty() && path.back() != '/';
}

// As many links as the system itself follows in one path.
constexpr int kMostLinksFollowed = 40;

// `path` with the symbolic links at its end followed to the name they finally
// lead to, which need not exist yet (a dangling link is written through).
// None for a loop of links or a link that cannot be read.
std::optional<std::string> finalTarget(const std::string& path) {
    std::string current = path;
    for (int followed = 0; followed <= kMostLinksFollowed; ++followed) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return current;
        std::string target(PATH_MAX, '\0');
        const ssize_t length = ::readlink(current.c_str(), target.data(), target.size());
        if (length <= 0 || static_cast<std::size_t>(length) >= target.size())
            return std::nullopt;
        target.resize(static_cast<std::size_t>(length));
        current = target.front() == '/' ? target : folderOf(current) + "/" + target;
    }
    return std::nullopt;
}

WriteTarget kindOfTarget(const std::string& target) {
    struct stat info {};
    // A name that is not there yet is made; a folder that cannot be reached
    // fails the write itself.
    if (::stat(target.c_str(), &info) != 0)
        return WriteTarget::Replaceable;
    if (!S_ISREG(info.st_mode))
        return WriteTarget::NotAFile;
    // A file without any write permission is read-only by its owner's
    // choice, which root, whom permissions do not stop, must respect too.
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return WriteTarget::ReadOnly;
    // The folder may let us replace what the file's permissions forbid us
    // to write: that is not ours to do. Read-only media answer here too.
    if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
        return WriteTarget::ReadOnly;
    return WriteTarget::Replaceable;
}

// The file a replace writes (links followed), opened so that others are kept
// from writing until the new content is in place; `held` is empty when there
// is no file there yet.
struct HeldTarget {
    std::string path;
    std::unique_ptr<SharedFile> held;
};

// None when the replace must be refused: the target is not Replaceable, or
// another holder denies writing it.
std::optional<HeldTarget> holdTarget(const std::string& path) {
    if (!isUsableTarget(path))
        return std::nullopt;
    const std::optional<std::string> target = finalTarget(path);
    if (!target || !isUsableTarget(*target) || kindOfTarget(*target) != WriteTarget::Replaceable)
        return std::nullopt;
    HeldTarget result{*target, nullptr};
    if (::access(target->c_str(), F_OK) == 0) {
        result.held = SharedFile::open(*target, FileAccess::Read, FileSharing::None);
        if (!result.held)
            return std::nullopt;
    }
    return result;
}

// Puts the temporary file in the target's place; false, with the temporary
// file gone and the target as it was, when that fails.
bool swapIn(const std::string& temporary, const std::string& target) {
    if (faultInjected(FileStep::Rename, target) ||
        ::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    syncFolder(folderOf(target));
    return true;
}

bool replaceFile(const std::string& path, std::string_view bytes,
                 const std::string& modeSource = {}) {
    const std::optional<HeldTarget> target = holdTarget(path);
    if (!target)
        return false;
    const std::optional<std::string> temporary =
        writeTemporaryBeside(target->path, bytes, modeSource);
    return temporary && swapIn(*temporary, target->path);
}

bool holdsExactly(SharedFile& file, std::string_view expected) {
    const std::optional<std::string> held = file.readAll();
    return held && *held == expected;
}

GuardedReplace replaceGuarded(const std::string& path, std::string_view bytes,
                              std::string_view expected) {
    const std::optional<HeldTarget> target = holdTarget(path);
    if (!target)
        return GuardedReplace::NotWritten;
    if (!target->held)
        return GuardedReplace::Changed; // taken away since it was read
    const std::optional<std::string> temporary = writeTemporaryBeside(target->path, bytes);
    if (!temporary)
        return GuardedReplace::NotWritten;
    // As late as it can be: the new bytes are on the disk, only the swap is left.
    if (!holdsExactly(*target->held, expected)) {
        ::unlink(temporary->c_str());
        return GuardedReplace::Changed;
    }
    if (!swapIn(*temporary, target->path))
        return GuardedReplace::NotWritten;
    // A writer that takes no lock may have written between the comparison and
    // the swap: its bytes are in the replaced file, which only the held handle
    // still reaches. They go back in the file's place.
    const std::optional<std::string> replaced = target->held->readAll();
    if (replaced && *replaced == expected)
        return GuardedReplace::Replaced;
    if (replaced && replaceFile(target->path, *replaced))
        return GuardedReplace::Changed;
    return GuardedReplace::NotPutBack;
}

} // namespace

WriteTarget writeTargetOf(const std::string& path) {
    const std::optional<std::string> target = finalTarget(path);
    return target ? kindOfTarget(*target) : WriteTarget::NotAFile;
}

bool writeFileReplacing(const std::string& path, std::string_view bytes,
                        const std::string& modeSource) {
    return replaceFile(path, bytes, modeSource);
}

GuardedReplace writeFileReplacingIfUnchanged(const std::string& path, std::string_view bytes,
                                             std::string_view expected) {
    return replaceGuarded(path, bytes, expected);
}

bool writeNewFile(const std::string& path, std::string_view bytes, const std::string& modeSource) {
    if (!isUsableTarget(path))
        return false;
    const std::optional<std::string> temporary = writeTemporaryBeside(path, bytes, modeSource);
    if (!temporary)
        return false;
    // link, unlike rename, refuses a name that is taken.
    const bool linked =
        !faultInjected(FileStep::Rename, path) && ::link(temporary->c_str(), path.c_str()) == 0;
    ::unlink(temporary->c_str());
    if (linked)
        syncFolder(folderOf(path));
    return linked;
}

} // namespace velmora
