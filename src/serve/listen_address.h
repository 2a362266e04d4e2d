// Where the server listens: ADDR:PORT, as --listen gives it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmora::serve {

struct ListenAddress {
    std::string host; // an IPv4 address, an IPv6 address without brackets, or "localhost"
    int port = 0;
};

inline constexpr char kDefaultHost[] = "127.0.0.1";
inline constexpr int kDefaultPort = 8080;

// "127.0.0.1:8080", "[::1]:8080", "localhost:8080", "0.0.0.0:443"; none for
// anything else, a port outside 1 to 65535 included.
std::optional<ListenAddress> parseListenAddress(std::string_view text);

// Whether only this machine can reach the address: 127.0.0.0/8, ::1 and
// "localhost". 0.0.0.0 and :: reach every network.
bool isLoopback(const std::string& host);

// "http://127.0.0.1:8080/", "https://[::1]:8443/".
std::string addressUrl(const ListenAddress& address, bool tls);

} // namespace velmora::serve
