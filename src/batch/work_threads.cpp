#include "batch/work_threads.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace velmora::batch {

void forEachOnThreads(std::size_t count, unsigned jobs,
                      const std::function<void(std::size_t)>& work) {
    std::atomic<std::size_t> next{0};
    const auto takeFiles = [&] {
        for (std::size_t i = next++; i < count; i = next++)
            work(i);
    };
    // Joined however this block is left, also when starting one fails.
    std::vector<std::jthread> workers;
    const std::size_t threads = std::clamp<std::size_t>(jobs, 1, std::max<std::size_t>(count, 1));
    for (std::size_t t = 1; t < threads; ++t)
        workers.emplace_back(takeFiles);
    takeFiles();
}

} // namespace velmora::batch
