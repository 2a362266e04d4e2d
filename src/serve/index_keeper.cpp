#include "serve/index_keeper.h"

#include "index/index_schema.h"

namespace velmora::serve {
namespace {

// How long a request or an update waits for the other's transaction.
constexpr int kBusySeconds = 10;

} // namespace

IndexKeeper::IndexKeeper(std::string database, std::vector<std::string> folders,
                         std::chrono::seconds every, unsigned jobs)
    : database_(std::move(database)), folders_(std::move(folders)), every_(every), jobs_(jobs) {
    if (folders_.empty()) {
        index::Database reader(database_, index::OpenMode::ReadOnly, kBusySeconds);
        index::requireIndexSchema(reader);
    } else {
        writer_ =
            std::make_unique<index::Database>(database_, index::OpenMode::Create, kBusySeconds);
        index::prepareIndexSchema(*writer_);
    }
    const std::lock_guard lock(mutex_);
    health_.documents = countDocuments();
}

IndexKeeper::~IndexKeeper() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

void IndexKeeper::start() {
    if (!writer_ || thread_.joinable())
        return;
    thread_ = std::thread([this] { run(); });
}

void IndexKeeper::run() {
    while (true) {
        update();
        std::unique_lock lock(mutex_);
        if (wake_.wait_for(lock, every_, [this] { return stopping_; }))
            return;
    }
}

void IndexKeeper::updateNow() {
    if (writer_)
        update();
}

void IndexKeeper::update() {
    const std::lock_guard one(updating_);
    {
        const std::lock_guard lock(mutex_);
        health_.updating = true;
    }
    const index::IndexOptions options{jobs_, std::nullopt, {}, [this] {
                                          const std::lock_guard lock(mutex_);
                                          return stopping_;
                                      }};
    std::string line;
    try {
        line = index::indexRunLine(index::updateIndex(*writer_, folders_, options, [] {}));
    } catch (const index::IndexError& failure) {
        line = std::string("the update failed: ") + failure.what();
    }
    const std::size_t documents = countDocuments();
    const std::lock_guard lock(mutex_);
    health_ = IndexHealth{documents, std::chrono::system_clock::now(), false, line};
}

std::size_t IndexKeeper::countDocuments() {
    try {
        index::Database reader(database_, index::OpenMode::ReadOnly, kBusySeconds);
        index::Statement count = reader.prepare("SELECT count(*) FROM documents");
        return count.step() ? static_cast<std::size_t>(count.integer(0)) : 0;
    } catch (const index::IndexError&) {
        return 0;
    }
}

IndexHealth IndexKeeper::health() const {
    const std::lock_guard lock(mutex_);
    return health_;
}

} // namespace velmora::serve
