#include "render/pdf/work_folder.h"

#include "render/pdf/print_failed.h"

#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <unistd.h>

namespace velmora::render::pdf {
namespace {

// The lock is taken on a file of another name, which is then renamed into
// place: the lock file never exists unlocked, where a cleaner could take the
// lock and remove a folder that is just starting. Until the rename the folder
// has no lock file and is new, which keeps cleaners away as well.
int lockInside(const std::string& folder) {
    const std::string locked = folder + "/" + kWorkFolderLock;
    const std::string taking = locked + ".new";
    const int fd =
        ::open(taking.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::rename(taking.c_str(), locked.c_str()) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

WorkFolder::WorkFolder(const std::string& parent) {
    std::string pattern = parent + "/" + kWorkFolderPrefix + "XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr)
        throw PrintFailed("could not create a temporary folder for Chromium");
    path_ = pattern;
    lock_ = lockInside(path_);
    if (lock_ < 0) {
        remove();
        throw PrintFailed("could not lock the temporary folder for Chromium");
    }
}

WorkFolder::~WorkFolder() {
    // Gone before the lock is let go, so no cleaner finds it unlocked.
    remove();
    ::close(lock_);
}

void WorkFolder::remove() const {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

} // namespace velmora::render::pdf
