#include "serve/connection_pool.h"

namespace velmora::serve {
namespace {

thread_local bool overflowThread = false;

// Connections past the bound are read and refused one after another by
// this one thread: they wait at most the read timeout each.
constexpr std::size_t kOverflowThreads = 1;

} // namespace

ConnectionPool::ConnectionPool(std::size_t threads, std::size_t waiting) : waiting_(waiting) {
    for (std::size_t i = 0; i < threads; ++i)
        threads_.emplace_back([this] { work(false); });
    for (std::size_t i = 0; i < kOverflowThreads; ++i)
        threads_.emplace_back([this] { work(true); });
}

ConnectionPool::~ConnectionPool() {
    shutdown();
}

void ConnectionPool::enqueue(std::function<void()> connection) {
    {
        const std::lock_guard lock(mutex_);
        (queue_.size() < waiting_ ? queue_ : overflow_).push_back(std::move(connection));
    }
    ready_.notify_all();
}

void ConnectionPool::shutdown() {
    {
        const std::lock_guard lock(mutex_);
        if (shutdown_)
            return;
        shutdown_ = true;
    }
    ready_.notify_all();
    for (std::thread& thread : threads_)
        thread.join();
}

bool ConnectionPool::servingOverflow() {
    return overflowThread;
}

// Work left when the server shuts down is still done: each task closes its socket.
void ConnectionPool::work(bool overflow) {
    overflowThread = overflow;
    std::deque<std::function<void()>>& mine = overflow ? overflow_ : queue_;
    while (true) {
        std::function<void()> connection;
        {
            std::unique_lock lock(mutex_);
            ready_.wait(lock, [&] { return !mine.empty() || shutdown_; });
            if (mine.empty())
                return;
            connection = std::move(mine.front());
            mine.pop_front();
        }
        connection();
    }
}

} // namespace velmora::serve
