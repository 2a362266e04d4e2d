// A steady clock a test moves by hand, read by the server's threads.
#pragma once

#include "serve/steady_now.h"

#include <atomic>
#include <chrono>

namespace velmora::testing {

class ManualClock {
public:
    void advance(std::chrono::nanoseconds by) { elapsed_ += by.count(); }
    // What the server reads the time through; valid while the clock lives.
    serve::SteadyNow reader() {
        return [this] { return start_ + std::chrono::nanoseconds(elapsed_.load()); };
    }

private:
    const serve::SteadyClock::time_point start_ = serve::SteadyClock::now();
    std::atomic<std::int64_t> elapsed_{0};
};

} // namespace velmora::testing
