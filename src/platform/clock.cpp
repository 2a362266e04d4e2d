#include "platform/clock.h"

#include <atomic>

namespace velmora {
namespace {

class SystemClock final : public Clock {
public:
    LocalTime now() override { return systemLocalTime(); }
};

std::atomic<Clock*> installed{nullptr};

} // namespace

Clock& currentClock() {
    static SystemClock system;
    Clock* clock = installed.load(std::memory_order_acquire);
    return clock ? *clock : system;
}

Clock* installClock(Clock* clock) {
    return installed.exchange(clock, std::memory_order_acq_rel);
}

} // namespace velmora
