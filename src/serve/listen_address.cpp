#include "serve/listen_address.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace velmora::serve {
namespace {

std::optional<int> portOf(std::string_view text) {
    int port = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), port);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || port < 1 ||
        port > 65535)
        return std::nullopt;
    return port;
}

// Four decimal numbers of at most three digits and at most 255, dotted. A
// sign is no digit: "127.0.0.-1" is no address, but a name the resolver
// might take anywhere.
bool isIpv4(std::string_view text) {
    int parts = 0;
    while (true) {
        const std::size_t dot = std::min(text.find('.'), text.size());
        const std::string_view part = text.substr(0, dot);
        int value = 0;
        const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), value);
        if (part.empty() || part.size() > 3 || part.front() == '-' || error != std::errc() ||
            end != part.data() + part.size() || value > 255)
            return false;
        ++parts;
        if (dot == text.size())
            return parts == 4;
        text.remove_prefix(dot + 1);
    }
}

// Hexadecimal groups and colons, as far as a listener needs to tell; the
// system's own parser has the last word when the server binds.
bool looksLikeIpv6(std::string_view text) {
    return !text.empty() && text.find(':') != std::string_view::npos &&
           std::all_of(text.begin(), text.end(), [](char c) {
               return std::isxdigit(static_cast<unsigned char>(c)) || c == ':' || c == '.';
           });
}

} // namespace

std::optional<ListenAddress> parseListenAddress(std::string_view text) {
    const std::size_t colon = text.rfind(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    const std::optional<int> port = portOf(text.substr(colon + 1));
    std::string_view host = text.substr(0, colon);
    if (!port)
        return std::nullopt;
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
        if (!looksLikeIpv6(host))
            return std::nullopt;
    } else if (host != "localhost" && !isIpv4(host)) {
        return std::nullopt;
    }
    return ListenAddress{std::string(host), *port};
}

bool isLoopback(const std::string& host) {
    return host == "localhost" || host == "::1" || (isIpv4(host) && host.starts_with("127."));
}

std::string addressUrl(const ListenAddress& address, bool tls) {
    const bool ipv6 = address.host.find(':') != std::string::npos;
    return std::string(tls ? "https" : "http") + "://" + (ipv6 ? "[" : "") + address.host +
           (ipv6 ? "]" : "") + ":" + std::to_string(address.port) + "/";
}

} // namespace velmora::serve
