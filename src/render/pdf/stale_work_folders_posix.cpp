#include "render/pdf/stale_work_folders.h"

#include "render/pdf/work_folder.h"

#include <cerrno>
#include <chrono>
#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace velmora::render::pdf {
namespace {

// Older builds took no lock, so a folder of theirs may be in use whatever its
// age. Its time is when its browser started (the folder gets its two entries,
// the profile and the log, then and no more), so the age must pass the
// longest run: an hour is passed by a run printing a large archive (about 11
// pages a second), a day is not. Keeping a killed run's folder a day longer
// costs a few megabytes.
constexpr auto kLocklessAge = std::chrono::hours(24);
// Far deeper than a browser profile goes; anything deeper stays.
constexpr int kMaxDepth = 32;
constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }

private:
    int fd_;
};

// Read whole before anything is removed, as removing while reading may skip
// names.
std::vector<std::string> namesIn(int folder) {
    std::vector<std::string> names;
    // A descriptor of its own, which the listing closes.
    const int listed = ::openat(folder, ".", kFolderFlags);
    if (listed < 0)
        return names;
    DIR* listing = ::fdopendir(listed);
    if (!listing) {
        ::close(listed);
        return names;
    }
    while (const dirent* entry = ::readdir(listing)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..")
            names.emplace_back(name);
    }
    ::closedir(listing);
    return names;
}

bool emptyFolder(int folder, int depth);

// Each entry is looked at without following it and a folder is entered only
// through O_NOFOLLOW: a link, even one swapped in for a folder after it was
// looked at, is removed as a link or left, never entered.
bool removeEntry(int folder, const std::string& name, int depth) {
    struct stat info {};
    if (::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    if (!S_ISDIR(info.st_mode))
        return ::unlinkat(folder, name.c_str(), 0) == 0;
    if (depth >= kMaxDepth)
        return false;
    const Descriptor inner(::openat(folder, name.c_str(), kFolderFlags));
    return inner.valid() && emptyFolder(inner.get(), depth + 1) &&
           ::unlinkat(folder, name.c_str(), AT_REMOVEDIR) == 0;
}

// False when something stayed.
bool emptyFolder(int folder, int depth) {
    bool emptied = true;
    for (const std::string& name : namesIn(folder))
        emptied = removeEntry(folder, name, depth) && emptied;
    return emptied;
}

bool isAlphanumeric(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// A name mkdtemp makes from the work folders' pattern, and no other: a
// person's "velmora-render-notes" is not ours to remove.
bool isWorkFolderName(std::string_view name) {
    constexpr std::string_view prefix = kWorkFolderPrefix;
    if (name.size() != prefix.size() + 6 || !name.starts_with(prefix))
        return false;
    for (const char c : name.substr(prefix.size())) {
        if (!isAlphanumeric(c))
            return false;
    }
    return true;
}

bool isOlderThan(const struct stat& info, std::chrono::seconds age) {
    const auto changed = std::chrono::system_clock::from_time_t(info.st_mtime);
    return std::chrono::system_clock::now() - changed > age;
}

bool takeLock(int fd) {
    int result = 0;
    do {
        result = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

void removeIfStale(int parent, const std::string& name) {
    // Opened without following a link, and judged by what was opened.
    const Descriptor folder(::openat(parent, name.c_str(), kFolderFlags));
    struct stat info {};
    if (!folder.valid() || ::fstat(folder.get(), &info) != 0 || info.st_uid != ::geteuid())
        return;
    // Held until the folder is gone.
    const Descriptor lock(
        ::openat(folder.get(), kWorkFolderLock, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (lock.valid()) {
        if (!takeLock(lock.get()))
            return;
    } else if (errno != ENOENT || !isOlderThan(info, kLocklessAge)) {
        return;
    }
    if (emptyFolder(folder.get(), 1))
        ::unlinkat(parent, name.c_str(), AT_REMOVEDIR);
}

} // namespace

void removeStaleWorkFolders(const std::string& parent) {
    const Descriptor folder(::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.valid())
        return;
    for (const std::string& name : namesIn(folder.get())) {
        if (isWorkFolderName(name))
            removeIfStale(folder.get(), name);
    }
}

} // namespace velmora::render::pdf
