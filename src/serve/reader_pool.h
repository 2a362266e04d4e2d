// The connections the server reads the index through: a few, each lent to
// one request at a time, rather than one for each serving thread. Thirty-two
// connections each mapped the index's pages and faulted them in for itself
// (a fault costs tens of microseconds on a virtual machine), each learned
// the index's words alone, and all of them searched at once on two cores;
// a few shared ones stay warm, and no more searches run at once than the
// machine can run. Slightly more connections than cores, so that one slow
// search does not hold the others up.
#pragma once

#include "index/search_memo.h"
#include "index/sqlite_db.h"

#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace velmora::serve {

class ReaderPool {
    struct Reader {
        std::unique_ptr<index::Database> connection; // opened when first lent
        index::SearchMemo memo;
    };

public:
    // `size` connections to the index at `database`, opened read-only when
    // first lent; another process's write is waited for up to `busySeconds`.
    ReaderPool(std::string database, std::size_t size, int busySeconds);
    ReaderPool(const ReaderPool&) = delete;
    ReaderPool& operator=(const ReaderPool&) = delete;

    // A connection lent until the lease ends, with what the searches through
    // it learned.
    class Lease {
    public:
        ~Lease();
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;

        index::Database& db() { return *reader_->connection; }
        index::SearchMemo& memo() { return reader_->memo; }

    private:
        friend ReaderPool;
        Lease(ReaderPool& pool, Reader& reader) : pool_(pool), reader_(&reader) {}

        ReaderPool& pool_;
        Reader* reader_;
    };

    // Waits while every connection is lent. Throws the IndexError of a
    // connection that cannot be opened; it is tried again at the next.
    Lease borrow();

private:
    void giveBack(Reader& reader);

    const std::string database_;
    const int busySeconds_;
    std::vector<std::unique_ptr<Reader>> readers_;
    std::mutex mutex_;
    std::condition_variable returned_;
    std::vector<Reader*> free_; // under mutex_
};

} // namespace velmora::serve
