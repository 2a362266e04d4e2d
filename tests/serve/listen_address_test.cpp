// The addresses --listen takes, and which of them only this machine can
// reach: every other one needs a login, so that a doubt must fall on the
// side of "reaches the network".
#include "serve/listen_address.h"

#include <gtest/gtest.h>

namespace velmora::serve {
namespace {

TEST(ListenAddress, TakesIpv4Ipv6AndLocalhostWithAPortFrom1To65535) {
    const std::vector<std::tuple<std::string, std::string, int>> taken = {
        {"127.0.0.1:8080", "127.0.0.1", 8080},
        {"[::1]:8443", "::1", 8443},
        {"localhost:1", "localhost", 1},
        {"0.0.0.0:65535", "0.0.0.0", 65535},
        {"[::]:80", "::", 80},
        {"255.255.255.255:443", "255.255.255.255", 443},
        {"[fe80::1:2]:9", "fe80::1:2", 9},
    };
    for (const auto& [text, host, port] : taken) {
        const std::optional<ListenAddress> address = parseListenAddress(text);
        ASSERT_TRUE(address) << text;
        EXPECT_EQ(address->host, host) << text;
        EXPECT_EQ(address->port, port) << text;
    }
}

TEST(ListenAddress, RefusesPortsOutOfRangeAndWhatIsNoAddress) {
    for (const std::string text : {"127.0.0.1:0",
                                   "127.0.0.1:65536",
                                   "127.0.0.1:99999999999",
                                   "127.0.0.1:-1",
                                   "127.0.0.1:+80",
                                   "127.0.0.1: 80",
                                   "127.0.0.1:80 ",
                                   "127.0.0.1:",
                                   "127.0.0.1",
                                   ":8080",
                                   "8080",
                                   "",
                                   "256.0.0.1:80",
                                   "127.0.0:80",
                                   "127.0.0.1.1:80",
                                   "127..0.1:80",
                                   ".127.0.0.1:80",
                                   "127.0.0.1.:80",
                                   "1270.0.0.1:80",
                                   "127.0.0.-1:80",
                                   "127.0.-0.1:80",
                                   "127.0.0.1a:80",
                                   " 127.0.0.1:80",
                                   "::1:80",
                                   "[::1:80",
                                   "::1]:80",
                                   "[]:80",
                                   "[127.0.0.1]:80",
                                   "[host]:80",
                                   "example.com:80",
                                   "localhost.:80",
                                   "nonsense"}) {
        EXPECT_FALSE(parseListenAddress(text)) << text;
    }
    EXPECT_FALSE(parseListenAddress(std::string("127.0.0.1\0:80", 13)));
}

TEST(ListenAddress, OnlyThe127NetworkIpv6LoopbackAndLocalhostAreThisMachineAlone) {
    for (const std::string host :
         {"127.0.0.1", "127.0.0.2", "127.255.255.254", "127.1.2.3", "::1", "localhost"})
        EXPECT_TRUE(isLoopback(host)) << host;
    for (const std::string host :
         {"0.0.0.0", "::", "128.0.0.1", "10.0.0.1", "192.168.1.20", "1.127.0.0", "127.0.0",
          "127.0.0.1.5", "127.0.0.256", "127.0.0.-1", "127.evil.example", "::ffff:127.0.0.1", "",
          "localhost.example"})
        EXPECT_FALSE(isLoopback(host)) << host;
    // What the parser gives is what the check is made for.
    EXPECT_TRUE(isLoopback(parseListenAddress("[::1]:80")->host));
    EXPECT_FALSE(isLoopback(parseListenAddress("[::]:80")->host));
}

TEST(ListenAddress, TheAddressShownHasItsSchemeAndIpv6InBrackets) {
    EXPECT_EQ(addressUrl(*parseListenAddress("[::1]:8443"), true), "https://[::1]:8443/");
    EXPECT_EQ(addressUrl(*parseListenAddress("127.0.0.1:8080"), false), "http://127.0.0.1:8080/");
}

} // namespace
} // namespace velmora::serve
