#include "serve/sessions.h"

#include "serve/access_token.h"

namespace velmora::serve {

std::string Sessions::open(const Person& person) {
    const SteadyClock::time_point now = now_();
    std::string id = randomId();
    const std::lock_guard lock(mutex_);
    forgetEnded(now);
    sessions_[id] = Session{person, now, now};
    return id;
}

std::optional<Person> Sessions::use(const std::string& id) {
    const SteadyClock::time_point now = now_();
    const std::lock_guard lock(mutex_);
    forgetEnded(now);
    const auto found = sessions_.find(id);
    if (found == sessions_.end())
        return std::nullopt;
    found->second.lastUse = now;
    return found->second.person;
}

void Sessions::close(const std::string& id) {
    const std::lock_guard lock(mutex_);
    sessions_.erase(id);
}

void Sessions::forgetEnded(SteadyClock::time_point now) {
    std::erase_if(sessions_, [&](const auto& entry) {
        return now - entry.second.lastUse >= idle_ || now - entry.second.opened >= longest_;
    });
}

} // namespace velmora::serve
