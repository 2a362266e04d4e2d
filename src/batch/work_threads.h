// Working through the files of a batch on several threads: each thread takes
// the next file not yet taken, so a slow file holds up one thread only.
#pragma once

#include <cstddef>
#include <functional>

namespace velmora::batch {

// Calls `work(i)` once for each i below `count`, on `jobs` threads at most
// (the calling thread is one of them); returns when every call has. Should a
// call throw, no further call starts, and once the calls under way have
// returned the first exception is thrown here, never on a worker thread.
void forEachOnThreads(std::size_t count, unsigned jobs,
                      const std::function<void(std::size_t)>& work);

} // namespace velmora::batch
