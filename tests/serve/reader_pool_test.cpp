// The index connections requests borrow: never one to two requests at once,
// never more at once than the pool holds, every borrower served in the end,
// and one that could not be opened given back rather than lost.
#include "index/index_schema.h"
#include "serve/reader_pool.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>
#include <thread>
#include <vector>

namespace velmora::serve {
namespace {

void makeIndex(const std::string& path) {
    index::Database db(path, index::OpenMode::Create, 1);
    index::prepareIndexSchema(db);
}

TEST(ReaderPool, LendsEachConnectionToOneRequestAndNoMoreThanItHolds) {
    const testing::TempFolder folder;
    const std::string path = folder.file("index.db");
    makeIndex(path);
    constexpr std::size_t kSize = 2;
    ReaderPool pool(path, kSize, 1);
    std::atomic<int> lent{0};
    std::atomic<int> mostLent{0};
    std::atomic<int> read{0};
    std::mutex seenMutex;
    std::vector<index::Database*> inUse;
    bool sharedOne = false;
    std::vector<std::thread> requests;
    for (int r = 0; r < 8; ++r) {
        requests.emplace_back([&] {
            for (int n = 0; n < 20; ++n) {
                ReaderPool::Lease reader = pool.borrow();
                const int now = ++lent;
                int most = mostLent.load();
                while (now > most && !mostLent.compare_exchange_weak(most, now)) {
                }
                {
                    const std::lock_guard lock(seenMutex);
                    sharedOne = sharedOne || std::count(inUse.begin(), inUse.end(), &reader.db());
                    inUse.push_back(&reader.db());
                }
                index::Statement count = reader.db().prepare("SELECT count(*) FROM documents");
                read += count.step() && count.integer(0) == 0;
                std::this_thread::sleep_for(std::chrono::microseconds(200));
                {
                    const std::lock_guard lock(seenMutex);
                    inUse.erase(std::find(inUse.begin(), inUse.end(), &reader.db()));
                }
                --lent;
            }
        });
    }
    for (std::thread& request : requests)
        request.join();
    EXPECT_EQ(read.load(), 8 * 20);
    EXPECT_LE(mostLent.load(), static_cast<int>(kSize));
    EXPECT_GE(mostLent.load(), 1);
    EXPECT_FALSE(sharedOne);
}

TEST(ReaderPool, AConnectionThatCannotBeOpenedIsGivenBack) {
    const testing::TempFolder folder;
    const std::string path = folder.file("index.db");
    ReaderPool pool(path, 1, 1);
    // A pool of one: had the failed connection not come back, the next
    // borrow would wait for ever.
    for (int attempt = 0; attempt < 3; ++attempt) {
        auto borrowing = std::async(std::launch::async, [&] { pool.borrow(); });
        ASSERT_EQ(borrowing.wait_for(std::chrono::seconds(30)), std::future_status::ready);
        EXPECT_THROW(borrowing.get(), index::IndexError);
    }
    makeIndex(path);
    auto borrowing = std::async(std::launch::async, [&] {
        ReaderPool::Lease reader = pool.borrow();
        index::Statement count = reader.db().prepare("SELECT count(*) FROM documents");
        return count.step() ? count.integer(0) : -1;
    });
    ASSERT_EQ(borrowing.wait_for(std::chrono::seconds(30)), std::future_status::ready);
    EXPECT_EQ(borrowing.get(), 0);
}

} // namespace
} // namespace velmora::serve
