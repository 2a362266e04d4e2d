// Requests that never end, or end too late: a flood of short header lines, a
// line without a break, a chunked body past the bound. The server reads a
// bounded part of each, on the first request of a connection as on any
// later one, answers if it can, and closes the connection; its memory does
// not grow with what the client sends.
#include "serve/served_archive.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace velmora::testing {
namespace {

using ServeBounds = ServedArchive;

// What a client sends at most: far past any bound, and far past what the
// server could hold for each of its connections if it read all of it.
constexpr std::size_t kFlood = 32u << 20;
// What the server may take for reading a refused request: its buffers, a
// thread's first touch of its stack, and the allocator's own slack.
constexpr std::size_t kFewMegabytes = 8u << 20;

// A field of /proc/self/status (VmRSS, VmHWM) in bytes; 0 when missing.
std::size_t statusBytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string name;
    while (status >> name) {
        std::size_t kilobytes = 0;
        if (name == field + ":" && status >> kilobytes)
            return kilobytes * 1024;
        status.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    }
    return 0;
}

// How far this process's resident memory rose at its peak while `act` ran.
// The peak is reset first (clear_refs 5), so that no earlier one hides a
// rise; where that is refused, what stayed resident after `act` is measured.
std::size_t peakGrowthDuring(const std::function<void()>& act) {
    std::ofstream clear("/proc/self/clear_refs");
    const bool peakReset = static_cast<bool>(clear << "5" << std::flush);
    const std::size_t before = statusBytes("VmRSS");
    act();
    const std::size_t after = statusBytes(peakReset ? "VmHWM" : "VmRSS");
    return after > before ? after - before : 0;
}

// `head`, then `filler` over and over up to kFlood bytes in all, as a client
// that never ends its request sends; stops once the server takes no more.
void flood(RawConnection& connection, const std::string& head, const std::string& filler) {
    if (!connection.send(head))
        return;
    std::string block;
    while (block.size() < (64u << 10))
        block += filler;
    for (std::size_t sent = head.size(); sent < kFlood; sent += block.size()) {
        if (!connection.send(block))
            return;
    }
}

struct Flood {
    const char* what;
    std::string head;
    std::string filler;
    int status; // the answer the server gives it
};

TEST_F(ServeBounds, RequestsPastTheBoundAreRefusedAndTheirConnectionClosed) {
    const std::string chunked =
        "POST /login HTTP/1.1\r\nHost: 127.0.0.1\r\nTransfer-Encoding: chunked\r\n\r\n";
    const std::vector<Flood> floods = {
        {"short header lines", "GET /?q=whitlock HTTP/1.1\r\nHost: 127.0.0.1\r\n", "X-Flood: 1\r\n",
         431},
        {"a request line without a break", "GET /?q=", "a", 414},
        {"a header line without a break", "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Long: ", "a",
         431},
        {"a chunked body", chunked, "1000\r\n" + std::string(0x1000, 'a') + "\r\n", 413},
        {"a chunk's size line without a break", chunked, "0", 400},
    };
    for (const Flood& each : floods) {
        RawConnection connection(served().port());
        ASSERT_TRUE(connection.connected()) << each.what;
        // The bound holds for every request of a kept-alive connection.
        ASSERT_TRUE(connection.send("GET /health HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"));
        ASSERT_EQ(parseResponse(connection.readResponse()).status, 200) << each.what;

        std::string answer;
        const std::size_t growth = peakGrowthDuring([&] {
            flood(connection, each.head, each.filler);
            answer = connection.readToEnd();
        });
        const RawResponse refused = parseResponse(answer);
        EXPECT_EQ(refused.status, each.status) << each.what;
        EXPECT_TRUE(guarded(refused.headers)) << each.what;
        EXPECT_TRUE(connection.closedByServer()) << each.what;
        EXPECT_LT(growth, kFewMegabytes) << each.what;
        EXPECT_TRUE(stillServing(served())) << each.what;
    }
}

TEST_F(ServeBounds, ARequestWithinTheServersLimitsIsNotCutByTheBound) {
    // The longest address and nearly the most headers the server takes:
    // together near the bound, not past it, so the routes answer.
    std::string request =
        "GET /" + std::string(4000, 'x') + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n";
    for (int line = 0; line < 140; ++line)
        request += "X-Line-" + std::to_string(line) + ": " + std::string(40, 'x') + "\r\n";
    const RawResponse answer = exchange(served().port(), request + "\r\n");
    EXPECT_EQ(answer.status, 404);
    EXPECT_EQ(answer.body, "not found\n");
}

} // namespace
} // namespace velmora::testing
