// The threads that serve connections, and a bound on how many wait. Each
// connection is served by one thread from start to end (keep-alive
// included), so the threads bound the connections served at once; a few
// more wait their turn. Past that, connections go to one thread of their
// own, which reads each (so that it can be closed properly) only to tell it
// the server is busy (503): a flood of connections costs no more threads,
// and the connections already being served go on.
#pragma once

#include <httplib.h>

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace velmora::serve {

class ConnectionPool final : public httplib::TaskQueue {
public:
    ConnectionPool(std::size_t threads, std::size_t waiting);
    ~ConnectionPool() override;

    void enqueue(std::function<void()> connection) override;
    void shutdown() override;

    // Whether the connection the calling thread serves came past the bound.
    static bool servingOverflow();

private:
    void work(bool overflow);

    const std::size_t waiting_;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::function<void()>> queue_;
    std::deque<std::function<void()>> overflow_;
    bool shutdown_ = false;
    std::vector<std::thread> threads_;
};

} // namespace velmora::serve
