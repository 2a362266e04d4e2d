// The secret that lets a person in when the server listens beyond this
// machine.
//
// The token is read from a file the office keeps (--token-file), never from
// the command line, where other users of the machine could read it.
#pragma once

#include <cstddef>
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

} // namespace velmora::serve
