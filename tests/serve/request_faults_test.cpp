// Requests a browser would not make: one sent half and left hanging, headers
// and addresses past the limits, text that is no UTF-8 or holds a NUL, paths
// that try to leave the index, ids of no deal, and more connections at once
// than the server takes. Each gets a short answer or is let go, never a
// crash or a hang, and the server goes on serving.
#include "serve/served_archive.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>
#include <vector>

namespace velmora::testing {
namespace {

using ServeFaults = ServedArchive;

// Whether the server took every connection made to `port`: none is left in
// the listening socket's queue, nor half open. Linux completes a connection
// before the server takes it, and when that queue is full, lets it wait and
// takes it later, in any order.
bool everyConnectionTaken(int port) {
    std::ifstream table("/proc/net/tcp");
    std::string line;
    std::getline(table, line); // the heading
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string slot, local, remote, state, queues;
        fields >> slot >> local >> remote >> state >> queues;
        const std::size_t colon = local.find(':');
        if (colon == std::string::npos || std::stoi(local.substr(colon + 1), nullptr, 16) != port)
            continue;
        // SYN_RECV; and LISTEN, whose receive queue is the connections not yet taken.
        if (state == "03" || (state == "0A" && !queues.ends_with(":00000000")))
            return false;
    }
    return true;
}

::testing::AssertionResult allTaken(int port) {
    for (int wait = 0; wait < kPatienceSeconds * 1000; ++wait) {
        if (everyConnectionTaken(port))
            return ::testing::AssertionSuccess();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return ::testing::AssertionFailure() << "a connection the server does not take";
}

TEST_F(ServeFaults, ARequestSentHalfHoldsNobodyUpAndIsLetGo) {
    RawConnection stalled(served().port());
    ASSERT_TRUE(stalled.connected());
    ASSERT_TRUE(stalled.send("GET /?q=whitlock HTTP/1.1\r\nHost: 127.0.0.1\r\nAccept: te"));
    for (int request = 0; request < 4; ++request)
        EXPECT_TRUE(stillServing(served()));
    // The server's read timeout ends the request, and the connection.
    const RawResponse answer = parseResponse(stalled.readToEnd());
    EXPECT_TRUE(stalled.closedByServer());
    EXPECT_EQ(answer.status, 400);
    EXPECT_TRUE(guarded(answer.headers));
    EXPECT_TRUE(stillServing(served()));
}

TEST_F(ServeFaults, OversizedRequestsAreRefusedWithAShortText) {
    const std::string big(9000, 'a');
    const RawResponse header = exchange(
        served().port(),
        "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\nX-Big: " + big + "\r\n\r\n");
    // The HTTP library refuses a line past its buffer as it reads it.
    EXPECT_EQ(header.status, 400);
    EXPECT_EQ(header.body, "bad request\n");
    EXPECT_TRUE(guarded(header.headers));
    EXPECT_TRUE(stillServing(served()));

    // Lines the library takes one by one, too many together.
    std::string many = "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n";
    for (int line = 0; line < 200; ++line)
        many += "X-Line-" + std::to_string(line) + ": " + std::string(40, 'x') + "\r\n";
    const RawResponse lines = exchange(served().port(), many + "\r\n");
    EXPECT_EQ(lines.status, 431);
    EXPECT_EQ(lines.body, "the request's headers are too large\n");
    EXPECT_TRUE(guarded(lines.headers));
    // What a browser sends, and more, is taken.
    const httplib::Result cookies =
        served().client().Get("/?q=whitlock", {{"Cookie", std::string(4000, 'c')},
                                               {"User-Agent", std::string(2000, 'u')}});
    ASSERT_TRUE(cookies);
    EXPECT_EQ(cookies->status, 200);
    EXPECT_TRUE(stillServing(served()));

    // Over the server's limit, and over the HTTP library's own.
    for (const std::size_t length : {4097u, 9000u, 70000u}) {
        const httplib::Result query = get("/?q=" + std::string(length - 4, 'a'));
        ASSERT_TRUE(query) << length;
        EXPECT_EQ(query->status, 414) << length;
        EXPECT_EQ(query->body, "the address is too long\n");
        EXPECT_TRUE(guarded(query->headers));
    }
    EXPECT_TRUE(stillServing(served()));

    const httplib::Result body = served().client().Post("/login", "token=" + std::string(5000, 'a'),
                                                        "application/x-www-form-urlencoded");
    ASSERT_TRUE(body);
    EXPECT_EQ(body->status, 413);
    EXPECT_TRUE(guarded(body->headers));
    EXPECT_TRUE(stillServing(served()));
}

TEST_F(ServeFaults, TextThatIsNoUtf8OrHoldsANulIsRefused) {
    for (const std::string bad : {"%FF", "%00", "a%00b", "Ren%C3", "%C0%AF", "%ED%A0%80"}) {
        for (const std::string route : {"/?q=", "/api/search?q="}) {
            const httplib::Result refused = get(route + bad);
            ASSERT_TRUE(refused) << route << bad;
            EXPECT_EQ(refused->status, 400) << route << bad;
            EXPECT_NE(refused->body.find("the parameter q is not UTF-8 text"), std::string::npos)
                << route << bad;
        }
    }
    const httplib::Result kept = get("/?q=Ren%C3%A9e");
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->status, 200);
    EXPECT_NE(kept->body.find("value=\"Ren\xC3\xA9"
                              "e\""),
              std::string::npos);
    EXPECT_TRUE(stillServing(served()));
}

TEST_F(ServeFaults, PathsThatTryToLeaveTheIndexFindNothing) {
    for (const std::string target :
         {"/deal/../../etc/passwd", "/deal/%2e%2e/%2e%2e/etc/passwd",
          "/deal/..%2f..%2fetc%2fpasswd", "/assets/../../../etc/passwd",
          "/assets/..%2f..%2fetc%2fpasswd", "/api/deal/../../etc/passwd",
          "/deal/1/../../../etc/passwd", "//etc/passwd", "/etc/passwd"}) {
        const httplib::Result client = get(target);
        ASSERT_TRUE(client) << target;
        EXPECT_EQ(client->status, 404) << target;
        EXPECT_EQ(client->body.find("root:"), std::string::npos) << target;
        // As sent, with nothing in between to tidy the path.
        const RawResponse raw = exchange(
            served().port(), "GET " + target + " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
        EXPECT_EQ(raw.status, 404) << target;
        EXPECT_EQ(raw.body.find("root:"), std::string::npos) << target;
        EXPECT_TRUE(guarded(raw.headers)) << target;
    }
    EXPECT_TRUE(stillServing(served()));
}

TEST_F(ServeFaults, IdsOfNoDealAreNotFound) {
    const std::string real = std::to_string(idOf(archive().purchase));
    ASSERT_EQ(get("/deal/" + real)->status, 200);
    for (const std::string& id :
         {std::string("999999"), std::string("0"), "0" + real, std::string("-1"), "+" + real,
          std::string("9223372036854775807"), std::string("9223372036854775808"),
          std::string("12345678901234567890"), std::string("1e3"), std::string(""), real + "%00",
          real + "x"}) {
        for (const std::string route : {"/deal/", "/api/deal/"}) {
            const httplib::Result missing = get(route + id);
            ASSERT_TRUE(missing) << route << id;
            EXPECT_EQ(missing->status, 404) << route << id;
            EXPECT_TRUE(guarded(missing->headers)) << route << id;
        }
    }
    EXPECT_NE(get("/deal/999999")->body.find("The index holds no deal of this id."),
              std::string::npos);
    EXPECT_EQ(get("/api/deal/999999")->body, "no deal of this id\n");
    EXPECT_TRUE(stillServing(served()));
}

TEST_F(ServeFaults, ConnectionsPastTheBoundAreToldTheServerIsBusy) {
    // Each served connection holds a thread until it sends a request or the
    // read timeout ends it; the waiting ones queue behind them. Each is
    // taken by the server before the next is made, so that they reach its
    // queue in order.
    std::vector<std::unique_ptr<RawConnection>> held;
    for (std::size_t i = 0; i < serve::kServingThreads + serve::kWaitingConnections; ++i) {
        held.push_back(std::make_unique<RawConnection>(served().port()));
        ASSERT_TRUE(held.back()->connected()) << i;
        ASSERT_TRUE(allTaken(served().port())) << i;
    }
    const std::string search = "GET /?q=whitlock HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
    RawConnection refused(served().port());
    ASSERT_TRUE(refused.connected() && refused.send(search));
    const RawResponse busy = parseResponse(refused.readResponse());
    EXPECT_EQ(busy.status, 503);
    const auto retry = busy.headers.find("Retry-After");
    EXPECT_TRUE(retry != busy.headers.end() && retry->second == "5");
    const auto connection = busy.headers.find("Connection");
    EXPECT_TRUE(connection != busy.headers.end() && connection->second == "close");
    EXPECT_EQ(busy.headers.count("Keep-Alive"), 0u);
    EXPECT_EQ(busy.body, "the server is busy; try again in a moment\n");
    EXPECT_TRUE(guarded(busy.headers));
    // As it said, the server closed the connection: another request on it
    // gets no answer, and holds the thread of the refused no longer.
    refused.send(search);
    EXPECT_EQ(refused.readToEnd(), "");
    EXPECT_TRUE(refused.closedByServer());
    held.clear();
    EXPECT_TRUE(stillServing(served()));
}

} // namespace
} // namespace velmora::testing
