// Failed logins slowed per remote address, so that guessing a token takes
// longer than anyone lives: past kFailuresAMinute failures in a minute, an
// address may not try again, not even with the right token, until that
// minute is over.
//
// An address's minute starts at its first failure. Addresses whose minute
// is over are forgotten; when kTrackedAddresses are tracked at once, a new
// address is refused rather than the table grown, so that a flood of
// addresses cannot exhaust memory or slip past the count.
#pragma once

#include "serve/steady_now.h"

#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

namespace velmora::serve {

inline constexpr unsigned kFailuresAMinute = 5;
inline constexpr std::size_t kTrackedAddresses = 10000;

class LoginThrottle {
public:
    explicit LoginThrottle(SteadyNow now = SteadyClock::now,
                           std::size_t capacity = kTrackedAddresses)
        : now_(std::move(now)), capacity_(capacity) {}

    // How long `address` must wait before it may try to log in; none when
    // it may try now.
    std::optional<std::chrono::seconds> waitFor(const std::string& address);
    // Counts a failed login from `address`.
    void failed(const std::string& address);

private:
    struct Failures {
        SteadyClock::time_point first;
        unsigned count = 0;
    };
    // Forgets addresses whose minute is over, when the table is full.
    void makeRoom(SteadyClock::time_point now);

    const SteadyNow now_;
    const std::size_t capacity_;
    std::mutex mutex_;
    std::unordered_map<std::string, Failures> failures_;
};

} // namespace velmora::serve
