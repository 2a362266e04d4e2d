#include "serve/access_token.h"

#include "platform/native_path.h"
#include "platform/system_random.h"

#include <array>
#include <cstdint>
#include <fstream>

namespace velmora::serve {
namespace {

bool isTokenCharacter(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte > 0x20 && byte != 0x7F;
}

} // namespace

std::string readAccessToken(const std::string& path) {
    std::ifstream in(nativePath(path), std::ios::binary);
    std::string token;
    if (!in || !std::getline(in, token))
        throw TokenRefused(path + ": the token file cannot be read");
    if (!token.empty() && token.back() == '\r')
        token.pop_back();
    if (token.size() < kShortestToken)
        throw TokenRefused(path + ": the token is shorter than " + std::to_string(kShortestToken) +
                           " characters (128 bits); make one of 32 hexadecimal digits or more");
    for (const char c : token) {
        if (!isTokenCharacter(c))
            throw TokenRefused(path + ": the token holds a blank or a control character");
    }
    return token;
}

bool sameSecret(std::string_view given, std::string_view secret) {
    // Every byte of the longer is looked at, whatever differs first.
    const std::size_t length = std::max(given.size(), secret.size());
    unsigned difference = given.size() == secret.size() ? 0 : 1;
    for (std::size_t i = 0; i < length; ++i) {
        const auto a = static_cast<unsigned char>(i < given.size() ? given[i] : 0);
        const auto b = static_cast<unsigned char>(i < secret.size() ? secret[i] : 0);
        difference |= static_cast<unsigned>(a ^ b);
    }
    return difference == 0;
}

std::string randomId() {
    std::array<std::uint8_t, 16> bytes{};
    fillWithSystemRandom(bytes);
    constexpr char kDigits[] = "0123456789abcdef";
    std::string id;
    for (const std::uint8_t byte : bytes) {
        id += kDigits[byte >> 4];
        id += kDigits[byte & 0xF];
    }
    return id;
}

} // namespace velmora::serve
