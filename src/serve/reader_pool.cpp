#include "serve/reader_pool.h"

#include <algorithm>

namespace velmora::serve {

ReaderPool::ReaderPool(std::string database, std::size_t size, int busySeconds)
    : database_(std::move(database)), busySeconds_(busySeconds) {
    for (std::size_t n = 0; n < std::max<std::size_t>(size, 1); ++n) {
        readers_.push_back(std::make_unique<Reader>());
        free_.push_back(readers_.back().get());
    }
}

ReaderPool::Lease ReaderPool::borrow() {
    std::unique_lock lock(mutex_);
    returned_.wait(lock, [&] { return !free_.empty(); });
    // The one given back last: its pages are the likeliest to be at hand.
    Reader& reader = *free_.back();
    free_.pop_back();
    lock.unlock();
    if (!reader.connection) {
        try {
            reader.connection = std::make_unique<index::Database>(
                database_, index::OpenMode::ReadOnly, busySeconds_);
        } catch (...) {
            giveBack(reader);
            throw;
        }
    }
    return Lease(*this, reader);
}

ReaderPool::Lease::~Lease() {
    pool_.giveBack(*reader_);
}

void ReaderPool::giveBack(Reader& reader) {
    {
        const std::lock_guard lock(mutex_);
        free_.push_back(&reader);
    }
    returned_.notify_one();
}

} // namespace velmora::serve
