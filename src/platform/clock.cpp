#include "platform/clock.h"

#include <atomic>
#include <ctime>

namespace velmora {
namespace {

class SystemClock final : public Clock {
public:
    LocalTime now() override {
        const std::time_t seconds = std::time(nullptr);
        std::tm local{};
        localtime_r(&seconds, &local);
        return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                local.tm_hour,        local.tm_min,     local.tm_sec};
    }
};

std::atomic<Clock*> installed{nullptr};

} // namespace

Clock& currentClock() {
    static SystemClock system;
    Clock* clock = installed.load(std::memory_order_acquire);
    return clock ? *clock : system;
}

Clock* installClock(Clock* clock) { return installed.exchange(clock, std::memory_order_acq_rel); }

} // namespace velmora
