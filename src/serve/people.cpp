#include "serve/people.h"

#include "serve/access_token.h"

#include <algorithm>

namespace velmora::serve {

std::optional<Person> TokenOwner::byToken(std::string_view token) {
    if (!sameSecret(token, token_))
        return std::nullopt;
    return Person{kOwnerName, ""};
}

UsersOnFile::UsersOnFile(std::string path, SteadyNow now,
                         std::function<void(const std::string&)> notice)
    : path_(std::move(path)), now_(std::move(now)), notice_(std::move(notice)),
      stamp_(fileStamp(path_)),
      lines_(std::make_shared<const std::vector<UserLine>>(readUsersFile(path_))),
      lastLook_(now_()) {}

std::optional<Person> UsersOnFile::byToken(std::string_view token) {
    // Every line is tried, so that the time taken tells nothing of which
    // one held the token.
    std::optional<Person> found;
    for (const UserLine& line : *current()) {
        if (holdsToken(line, token) && !found)
            found = Person{line.name, line.salt};
    }
    return found;
}

bool UsersOnFile::present(const Person& person) {
    const Lines lines = current();
    return std::any_of(lines->begin(), lines->end(), [&](const UserLine& line) {
        return line.name == person.name && line.salt == person.line;
    });
}

UsersOnFile::Lines UsersOnFile::current() {
    const SteadyClock::time_point now = now_();
    const std::lock_guard lock(mutex_);
    if (now - lastLook_ < kUsersFileCheck)
        return lines_;
    lastLook_ = now;
    // The stamp is taken before the read: a change made in between is read
    // now and seen again at the next look, never missed.
    const std::optional<FileStamp> stamp = fileStamp(path_);
    if (stamp && stamp == stamp_)
        return lines_;
    try {
        if (!stamp)
            throw UsersRefused(path_ + ": the users file cannot be read");
        lines_ = std::make_shared<const std::vector<UserLine>>(readUsersFile(path_));
        stamp_ = stamp;
        told_ = false;
    } catch (const UsersRefused& refusal) {
        // Looked at again only once it changes again.
        stamp_ = stamp;
        if (!told_)
            notice_(std::string(refusal.what()) + "; the last good list of users stays in use");
        told_ = true;
    }
    return lines_;
}

} // namespace velmora::serve
