// Fault injection for the file layer.
//
// Every step by which the platform code changes the disk (creating a file,
// writing into it, flushing it, putting it in the target's place, copying a
// file, creating a folder) first asks the installed FileFaults whether it must
// fail, and then fails exactly as if the system had refused it. Tests install
// one to fail each step of an operation in turn and check that no failure
// leaves a temporary file, half a file or a changed target behind. In a
// product run nothing is installed and the question is one atomic load.
#pragma once

#include <string>

namespace velmora {

enum class FileStep {
    Create,       // making a new file (the temporary file of a safe write)
    Write,        // one write of bytes into it
    Flush,        // flushing it to the disk
    Rename,       // putting it in the target's place
    Copy,         // reading the source of a copy
    CreateFolder, // making a new folder
};

class FileFaults {
public:
    virtual ~FileFaults() = default;
    // Whether `step` on `path` (the file or folder the operation is for) must
    // fail. Called on whichever thread touches the file.
    virtual bool fails(FileStep step, const std::string& path) = 0;
};

// What the platform code asks before each step: false while nothing is installed.
bool faultInjected(FileStep step, const std::string& path);

// Installs `faults` for the whole process (nullptr removes it) and returns the
// previous one. The caller keeps it alive while it is installed; install it
// before the threads that use files start.
FileFaults* installFileFaults(FileFaults* faults);

// Installs faults for the lifetime of the object, then puts back what was
// installed before.
class ScopedFileFaults {
public:
    explicit ScopedFileFaults(FileFaults& faults) : previous_(installFileFaults(&faults)) {}
    ~ScopedFileFaults() { installFileFaults(previous_); }
    ScopedFileFaults(const ScopedFileFaults&) = delete;
    ScopedFileFaults& operator=(const ScopedFileFaults&) = delete;

private:
    FileFaults* previous_;
};

} // namespace velmora
