// Keeps the index of the served folders current while the server runs: an
// incremental update, as `velmora index` makes, at start and then every
// refresh interval, on a thread of its own. Requests are answered all the
// while from what the index holds; SQLite's locking keeps each answer whole.
#pragma once

#include "index/index_update.h"
#include "index/sqlite_db.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace velmora::serve {

struct IndexHealth {
    std::size_t documents = 0;
    // When the last update ended; none before the first.
    std::optional<std::chrono::system_clock::time_point> updated;
    bool updating = false;
    // The summary line of the last update ("indexed: 3, unchanged: 10, ...").
    std::string lastRun;
};

class IndexKeeper {
public:
    // Opens the index at `database` for writing, made when missing; with no
    // folders it is only read, and must exist.
    IndexKeeper(std::string database, std::vector<std::string> folders, std::chrono::seconds every,
                unsigned jobs);
    ~IndexKeeper();
    IndexKeeper(const IndexKeeper&) = delete;
    IndexKeeper& operator=(const IndexKeeper&) = delete;

    // Starts the updates: the first at once, unless there are no folders.
    void start();
    // Updates now, on the caller's thread, once the update under way ends.
    void updateNow();

    IndexHealth health() const;
    const std::string& database() const { return database_; }

private:
    void run();
    void update();
    std::size_t countDocuments();

    const std::string database_;
    const std::vector<std::string> folders_;
    const std::chrono::seconds every_;
    const unsigned jobs_;
    std::unique_ptr<index::Database> writer_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    IndexHealth health_;
    std::mutex updating_; // one update at a time
    std::thread thread_;
};

} // namespace velmora::serve
