// The folder one browser works in (its profile and its log): made fresh as
// velmora-render-XXXXXX under a parent folder, the system's temporary folder,
// and removed with everything in it when the run ends. A run that is killed
// cannot remove it; so that a later run can tell such a folder from one in
// use (stale_work_folders.h), a work folder holds an exclusive flock on a
// file inside it for its whole life.
#pragma once

#include <string>

namespace velmora::render::pdf {

// mkdtemp's pattern is this and six letters or digits.
inline constexpr char kWorkFolderPrefix[] = "velmora-render-";
// The file inside a work folder that its run holds locked.
inline constexpr char kWorkFolderLock[] = "in-use.lock";

class WorkFolder {
public:
    // Throws PrintFailed when the folder cannot be made or locked.
    explicit WorkFolder(const std::string& parent);
    ~WorkFolder();
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    void remove() const;

    std::string path_;
    int lock_ = -1;
};

} // namespace velmora::render::pdf
