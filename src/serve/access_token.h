// The secret that lets a person in when the server listens beyond this
// machine, and the sessions a login opens.
//
// The token is read from a file the office keeps (--token-file), never from
// the command line, where other users of the machine could read it. A
// login trades it for a session: the cookie carries a random session id,
// never the token, so that a cookie that leaks ends with its session.
#pragma once

#include <chrono>
#include <cstddef>
#include <map>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace velmora::serve {

// 128 bits written as hexadecimal digits, or as the 22 characters of base64.
inline constexpr std::size_t kShortestToken = 22;

class TokenRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The token in the file at `path`: its first line, without the line break.
// Throws TokenRefused, saying why, when the file cannot be read or the token
// is shorter than kShortestToken or holds a blank or a control character.
std::string readAccessToken(const std::string& path);

// Whether `given` is `secret`, in a time that does not tell how much of it
// matched.
bool sameSecret(std::string_view given, std::string_view secret);

// 128 random bits from the system, as 32 hexadecimal digits.
std::string randomId();

class Sessions {
public:
    using Clock = std::chrono::steady_clock;

    Sessions(std::chrono::seconds idle, std::chrono::seconds longest)
        : idle_(idle), longest_(longest) {}

    // A new session's id.
    std::string open();
    // Whether `id` names a session that has not ended; each use restarts its idle time.
    bool use(const std::string& id);
    void close(const std::string& id);

private:
    struct Session {
        Clock::time_point opened;
        Clock::time_point lastUse;
    };
    void forgetEnded(Clock::time_point now);

    const std::chrono::seconds idle_;
    const std::chrono::seconds longest_;
    std::mutex mutex_;
    std::map<std::string, Session> sessions_;
};

} // namespace velmora::serve
