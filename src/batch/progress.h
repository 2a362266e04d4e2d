// Progress of a batch run on a terminal: a bar, files per second and the time
// left, redrawn on standard error after each file. Silent when standard error
// is not a terminal, so that logs and pipes get only the results.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <mutex>

namespace velmora::batch {

class Progress {
public:
    explicit Progress(std::size_t total);
    // For a run that learns how many files it has once it has found them.
    void setTotal(std::size_t total) { total_ = total; }
    // Safe to call from several threads.
    void fileDone();

private:
    std::atomic<std::size_t> total_;
    bool visible_;
    std::chrono::steady_clock::time_point start_;
    std::atomic<std::size_t> done_{0};
    std::mutex mutex_;
};

} // namespace velmora::batch
