// The server's end of a connection as the system sees it.
#include "index/index_schema.h"
#include "index/sqlite_db.h"
#include "serve/http_server.h"
#include "serve/index_keeper.h"
#include "temp_folder.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <optional>
#include <thread>

namespace velmora::serve {
namespace {

// Whether this process's end of a connection accepted on `port` sends
// without waiting (TCP_NODELAY); none when no such connection is open.
std::optional<bool> acceptedSendsAtOnce(int port) {
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        const std::string name = entry.path().filename().string();
        int fd = -1;
        if (std::from_chars(name.data(), name.data() + name.size(), fd).ec != std::errc())
            continue;
        sockaddr_in local{};
        sockaddr_in peer{};
        socklen_t size = sizeof local;
        if (::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &size) != 0 ||
            local.sin_family != AF_INET || ntohs(local.sin_port) != port)
            continue;
        // The listening socket has no peer.
        size = sizeof peer;
        if (::getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &size) != 0)
            continue;
        int noDelay = 0;
        socklen_t length = sizeof noDelay;
        if (::getsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &noDelay, &length) == 0)
            return noDelay != 0;
    }
    return std::nullopt;
}

// A new index with no deal in it, in `folder`; its path.
std::string emptyIndex(const testing::TempFolder& folder) {
    const std::string database = folder.file("index.db");
    index::Database db(database, index::OpenMode::Create, 10);
    index::prepareIndexSchema(db);
    return database;
}

// On a loopback port the system chooses.
ServeOptions loopbackOptions() {
    ServeOptions options;
    options.listen.port = 0;
    return options;
}

// A kept-alive connection asks again at once; a reply held back until the
// client acknowledges the headers would stall each of those requests.
TEST(ServedConnection, SendsRepliesWithoutWaitingForAcknowledgements) {
    const testing::TempFolder folder;
    IndexKeeper keeper(emptyIndex(folder), {}, std::chrono::hours(1), 1);
    const ServeOptions options = loopbackOptions();
    HttpServer server(options, keeper);
    ASSERT_TRUE(server.bind());
    std::thread serving([&server] { server.serve(); });

    httplib::Client client("127.0.0.1", server.port());
    client.set_keep_alive(true);
    const httplib::Result reply = client.Get("/health");
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, 200);
    EXPECT_EQ(acceptedSendsAtOnce(server.port()), std::optional<bool>(true));

    client.stop();
    server.stop();
    serving.join();
}

// A stop may come before the serving thread has begun, or while it is
// starting: either way serve() returns, rather than serve for ever.
TEST(ServedConnection, AStopThatComesBeforeServingBeginsIsKept) {
    const testing::TempFolder folder;
    IndexKeeper keeper(emptyIndex(folder), {}, std::chrono::hours(1), 1);
    const ServeOptions options = loopbackOptions();
    for (int round = 0; round < 50; ++round) {
        HttpServer server(options, keeper);
        ASSERT_TRUE(server.bind());
        std::promise<void> returned;
        std::thread serving([&] {
            server.serve();
            returned.set_value();
        });
        // Now before serve() begins, now while it starts.
        for (int wait = 0; wait < round % 5; ++wait)
            std::this_thread::yield();
        server.stop();
        const bool ended =
            returned.get_future().wait_for(std::chrono::seconds(30)) == std::future_status::ready;
        EXPECT_TRUE(ended) << "round " << round;
        if (!ended)
            std::abort(); // the serving thread cannot be joined
        serving.join();
    }
}

} // namespace
} // namespace velmora::serve
