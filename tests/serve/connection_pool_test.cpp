// The threads that serve connections: a connection past the threads and the
// waiting places goes to the one thread that tells it the server is busy,
// without waiting for those being served; and connections accepted before
// the server stops are all still served, so that each socket is closed.
#include "serve/connection_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace velmora::serve {
namespace {

using namespace std::chrono_literals;

// A point the tasks wait at until the test opens it, and a count of those waiting.
class Gate {
public:
    void wait() {
        std::unique_lock lock(mutex_);
        ++waiting_;
        changed_.notify_all();
        changed_.wait(lock, [this] { return open_; });
    }
    // Whether `count` tasks came to wait within the test's patience.
    bool waitFor(int count) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 30s, [&] { return waiting_ >= count; });
    }
    void open() {
        const std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int waiting_ = 0;
    bool open_ = false;
};

TEST(ConnectionPool, PastTheThreadsAndTheWaitingPlacesIsTheBusyThread) {
    Gate served;
    Gate told;
    std::atomic<int> overflowRuns = 0;
    std::atomic<int> normalRuns = 0;
    const auto count = [&] { ++(ConnectionPool::servingOverflow() ? overflowRuns : normalRuns); };
    {
        ConnectionPool pool(2, 1);
        // One after the other: the second, made before a thread took the
        // first, would find the waiting place taken.
        for (int i = 1; i <= 2; ++i) {
            pool.enqueue([&] {
                count();
                served.wait();
            });
            ASSERT_TRUE(served.waitFor(i));
        }
        pool.enqueue(count); // waits for a thread
        // Past the bound: taken at once, while both threads are held.
        pool.enqueue([&] {
            count();
            told.wait();
        });
        ASSERT_TRUE(told.waitFor(1));
        EXPECT_EQ(overflowRuns, 1);
        EXPECT_EQ(normalRuns, 2);
        told.open();
        served.open();
    }
    EXPECT_EQ(overflowRuns, 1);
    EXPECT_EQ(normalRuns, 3);
}

TEST(ConnectionPool, EveryConnectionTakenIsServedBeforeItStops) {
    Gate first;
    std::atomic<int> runs = 0;
    ConnectionPool pool(1, 64);
    pool.enqueue([&] {
        first.wait();
        ++runs;
    });
    ASSERT_TRUE(first.waitFor(1));
    for (int i = 0; i < 10; ++i)
        pool.enqueue([&] { ++runs; });
    first.open();
    pool.shutdown();
    EXPECT_EQ(runs, 11);
}

} // namespace
} // namespace velmora::serve
