// Working through the files of a batch on several threads: each thread takes
// the next file not yet taken, so a slow file holds up one thread only.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace velmora::batch {

// Calls `work(i)` once for each i below `count`, on `jobs` threads at most
// (the calling thread is one of them); returns when every call has. Should a
// call throw, no further call starts, and once the calls under way have
// returned the first exception is thrown here, never on a worker thread.
// Once `stopped` answers true (it is asked before each call), no further
// call starts; the calls under way finish.
void forEachOnThreads(std::size_t count, unsigned jobs,
                      const std::function<void(std::size_t)>& work,
                      const std::function<bool()>& stopped = {});

// The results of `make(i)` for each i below `count`, made as forEachOnThreads
// calls it, in the order of i; after a stop, only those of the calls made.
template <typename Result>
std::vector<Result> mapOnThreads(std::size_t count, unsigned jobs,
                                 const std::function<Result(std::size_t)>& make,
                                 const std::function<bool()>& stopped = {}) {
    std::vector<std::optional<Result>> made(count);
    forEachOnThreads(
        count, jobs, [&](std::size_t i) { made[i] = make(i); }, stopped);
    std::vector<Result> results;
    results.reserve(count);
    for (std::optional<Result>& result : made) {
        if (result)
            results.push_back(std::move(*result));
    }
    return results;
}

} // namespace velmora::batch
