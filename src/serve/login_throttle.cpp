#include "serve/login_throttle.h"

namespace velmora::serve {
namespace {

constexpr std::chrono::minutes kMinute{1};

// The whole seconds left of a minute begun at `first`, at least one.
std::chrono::seconds restOfMinute(SteadyClock::time_point first, SteadyClock::time_point now) {
    const auto left = std::chrono::ceil<std::chrono::seconds>(first + kMinute - now);
    return std::max(left, std::chrono::seconds(1));
}

} // namespace

std::optional<std::chrono::seconds> LoginThrottle::waitFor(const std::string& address) {
    const SteadyClock::time_point now = now_();
    const std::lock_guard lock(mutex_);
    const auto found = failures_.find(address);
    if (found == failures_.end()) {
        makeRoom(now);
        if (failures_.size() < capacity_)
            return std::nullopt;
        return kMinute;
    }
    if (now - found->second.first >= kMinute) {
        failures_.erase(found);
        return std::nullopt;
    }
    if (found->second.count < kFailuresAMinute)
        return std::nullopt;
    return restOfMinute(found->second.first, now);
}

void LoginThrottle::failed(const std::string& address) {
    const SteadyClock::time_point now = now_();
    const std::lock_guard lock(mutex_);
    auto found = failures_.find(address);
    if (found != failures_.end() && now - found->second.first >= kMinute) {
        failures_.erase(found);
        found = failures_.end();
    }
    if (found == failures_.end()) {
        makeRoom(now);
        if (failures_.size() >= capacity_)
            return;
        found = failures_.emplace(address, Failures{now, 0}).first;
    }
    ++found->second.count;
}

void LoginThrottle::makeRoom(SteadyClock::time_point now) {
    if (failures_.size() < capacity_)
        return;
    std::erase_if(failures_,
                  [&](const auto& entry) { return now - entry.second.first >= kMinute; });
}

} // namespace velmora::serve
