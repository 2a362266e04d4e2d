#include "batch/work_threads.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace velmora::batch {

void forEachOnThreads(std::size_t count, unsigned jobs,
                      const std::function<void(std::size_t)>& work,
                      const std::function<bool()>& stopped) {
    std::atomic<std::size_t> next{0};
    std::mutex faultMutex;
    std::exception_ptr fault;
    // An exception that escapes `work` on a worker thread would end the
    // process: it is kept instead, no further file is handed out, and the
    // first one is thrown on the calling thread once every thread is done.
    const auto takeFiles = [&] {
        try {
            for (std::size_t i = next++; i < count; i = next++) {
                if (stopped && stopped())
                    return;
                work(i);
            }
        } catch (...) {
            next = count;
            const std::lock_guard lock(faultMutex);
            if (!fault)
                fault = std::current_exception();
        }
    };
    {
        // Joined however this block is left, also when starting one fails.
        std::vector<std::jthread> workers;
        const std::size_t threads =
            std::clamp<std::size_t>(jobs, 1, std::max<std::size_t>(count, 1));
        for (std::size_t t = 1; t < threads; ++t)
            workers.emplace_back(takeFiles);
        takeFiles();
    }
    if (fault)
        std::rethrow_exception(fault);
}

} // namespace velmora::batch
