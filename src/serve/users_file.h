// The people who may log in to `velmora serve --users FILE`, one a line:
//
//   NAME:SALT:HASH
//
// NAME is 1 to 64 letters, digits, '.', '_', '-' or '@' (so that a name can
// never break a log line or a field); SALT is 32 lowercase hexadecimal digits
// of randomness made for that line; HASH is the SHA-256, in 64 lowercase
// hexadecimal digits, of SALT followed by the person's token. The file never
// holds a token: whoever reads it cannot log in with it. Blank lines are
// passed over; a line may end in CR LF.
//
// The file is made readable by its owner alone and is always rewritten whole
// through a temporary file, so a server reading it never sees half of it.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::serve {

// About ten thousand people; a larger file is refused rather than read.
inline constexpr std::size_t kLargestUsersFile = 1 << 20;
inline constexpr std::size_t kLongestUserName = 64;

class UsersRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct UserLine {
    std::string name;
    std::string salt;
    std::string hash;
    friend bool operator==(const UserLine&, const UserLine&) = default;
};

// Why `name` cannot be a person's name; empty when it can.
std::string userNameProblem(std::string_view name);

// A line for `name` whose person logs in with `token`, under a new salt.
UserLine userLineOf(const std::string& name, std::string_view token);
// Whether `token` is the one the line was made for, in a time that does
// not tell how much of it matched.
bool holdsToken(const UserLine& line, std::string_view token);

// The lines of the file's text. Throws UsersRefused naming `path` and the
// line number of the first line that is not a person's (never its content,
// which may be a secret pasted in the wrong place).
std::vector<UserLine> parseUsers(std::string_view text, const std::string& path);
std::string usersText(const std::vector<UserLine>& lines);

// The people of the file at `path`; throws UsersRefused when it cannot be
// read, is too large, or a line is not a person's.
std::vector<UserLine> readUsersFile(const std::string& path);

// Adds `name` to the file at `path`, made owner-only when it is new, and
// returns the token made for that person: 128 random bits, shown to no one
// else. Throws UsersRefused when the name cannot be one or is there
// already, or the file cannot be read or written.
std::string addUser(const std::string& path, const std::string& name);
// Takes `name` out of the file; throws UsersRefused when it is not there.
void removeUser(const std::string& path, const std::string& name);

} // namespace velmora::serve
