// The sessions a login opens. The cookie carries a random session id, never
// the token, so that a cookie that leaks ends with its session; each
// session remembers whom it was opened for.
#pragma once

#include "serve/people.h"
#include "serve/steady_now.h"

#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace velmora::serve {

class Sessions {
public:
    Sessions(std::chrono::seconds idle, std::chrono::seconds longest,
             SteadyNow now = SteadyClock::now)
        : idle_(idle), longest_(longest), now_(std::move(now)) {}

    // A new session's id.
    std::string open(const Person& person);
    // The person of the session `id` when it has not ended; each use
    // restarts its idle time.
    std::optional<Person> use(const std::string& id);
    void close(const std::string& id);

private:
    struct Session {
        Person person;
        SteadyClock::time_point opened;
        SteadyClock::time_point lastUse;
    };
    void forgetEnded(SteadyClock::time_point now);

    const std::chrono::seconds idle_;
    const std::chrono::seconds longest_;
    const SteadyNow now_;
    std::mutex mutex_;
    std::map<std::string, Session> sessions_;
};

} // namespace velmora::serve
