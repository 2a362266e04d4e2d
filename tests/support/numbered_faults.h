// A test double for the file-fault seam: numbers every step the file layer
// takes, from 1, and fails the one numbered `failAt` (0 fails none), so that
// a clean run counts an operation's steps and the runs after it fail each in
// turn. Installed for its lifetime.
#pragma once

#include "platform/file_faults.h"

#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

namespace velmora::testing {

class NumberedFaults final : public FileFaults {
public:
    explicit NumberedFaults(std::size_t failAt = 0)
        : failAt_(failAt), previous_(installFileFaults(this)) {}
    ~NumberedFaults() override { installFileFaults(previous_); }
    NumberedFaults(const NumberedFaults&) = delete;
    NumberedFaults& operator=(const NumberedFaults&) = delete;

    bool fails(FileStep step, const std::string&) override {
        std::lock_guard lock(mutex_);
        steps_.push_back(step);
        return steps_.size() == failAt_;
    }

    std::vector<FileStep> steps() const {
        std::lock_guard lock(mutex_);
        return steps_;
    }

private:
    std::size_t failAt_;
    FileFaults* previous_;
    mutable std::mutex mutex_;
    std::vector<FileStep> steps_;
};

} // namespace velmora::testing
