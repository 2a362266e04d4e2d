// Who may log in, and whom a token names: the people of a users file, kept
// current while the server runs, or the one owner of a token file.
#pragma once

#include "platform/file_stamp.h"
#include "serve/steady_now.h"
#include "serve/users_file.h"

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::serve {

// The one person of --token-file.
inline constexpr char kOwnerName[] = "owner";
// How often a running server looks whether the users file changed.
inline constexpr std::chrono::seconds kUsersFileCheck{1};

struct Person {
    std::string name;
    // Which line made the person: their salt. A person removed and added
    // again under the same name is someone new, whose old sessions stay ended.
    std::string line;
    friend bool operator==(const Person&, const Person&) = default;
};

class People {
public:
    virtual ~People() = default;
    // The person `token` belongs to; none when it is no one's.
    virtual std::optional<Person> byToken(std::string_view token) = 0;
    // Whether `person` may still be let in.
    virtual bool present(const Person& person) = 0;
};

// A token file's secret, whose person is "owner".
class TokenOwner final : public People {
public:
    explicit TokenOwner(std::string token) : token_(std::move(token)) {}
    std::optional<Person> byToken(std::string_view token) override;
    bool present(const Person&) override { return true; }

private:
    const std::string token_;
};

// The people of a users file. The file is looked at again when asked about
// a person at least kUsersFileCheck after the last look, and read again
// when it changed; a file that became unreadable or malformed leaves the
// last good list in use, and says so once through `notice`.
class UsersOnFile final : public People {
public:
    // Throws UsersRefused when the file cannot be read or is malformed.
    UsersOnFile(std::string path, SteadyNow now, std::function<void(const std::string&)> notice);
    std::optional<Person> byToken(std::string_view token) override;
    bool present(const Person& person) override;

private:
    using Lines = std::shared_ptr<const std::vector<UserLine>>;
    Lines current();

    const std::string path_;
    const SteadyNow now_;
    const std::function<void(const std::string&)> notice_;
    std::mutex mutex_;
    std::optional<FileStamp> stamp_; // before lines_: taken before the read
    Lines lines_;
    SteadyClock::time_point lastLook_;
    bool told_ = false;
};

} // namespace velmora::serve
