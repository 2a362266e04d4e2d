// The server's audit trail: one line per event, appended and flushed to the
// disk before the request it records is answered (audit_entry.h for the
// line, audit_chain.h for the chain and its limits).
//
// The file is made readable by its owner alone; an existing one is used as
// it is. Opening reads the end of the file to go on with its chain: after a
// torn last line (a crash mid-write) the next line starts on a fresh line,
// chained to the torn line's bytes, numbered after the last whole entry.
// Appends from many threads are serialized. A failed append throws, and the
// next one reads the file's end again first, so that a line written in part
// is treated as torn rather than continued.
#pragma once

#include "serve/audit_chain.h"
#include "serve/audit_entry.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace velmora {
class AppendOnlyFile;
}

namespace velmora::serve {

class AuditLog {
public:
    // Nanoseconds since 1970, UTC: the time each line is stamped with.
    using Clock = std::function<std::int64_t()>;

    // Opens the log at `path`, making it when missing; throws AuditLogFailed
    // when it cannot be made, opened or read.
    explicit AuditLog(std::string path, Clock clock = systemNanoseconds);
    ~AuditLog();
    AuditLog(const AuditLog&) = delete;
    AuditLog& operator=(const AuditLog&) = delete;

    // Appends the line of `event`, on the disk when this returns; throws
    // AuditLogFailed when it could not be written whole.
    void append(const AuditEvent& event);

    const std::string& path() const { return path_; }

    static std::int64_t systemNanoseconds();

private:
    void reopen();
    // Writes the event's line; the file it went to, to flush.
    std::shared_ptr<AppendOnlyFile> appendLine(const AuditEvent& event);

    const std::string path_;
    const Clock clock_;
    std::mutex mutex_;
    std::shared_ptr<AppendOnlyFile> file_;
    std::uint64_t nextNumber_ = 1;
    std::string lastHash_;
    bool endsMidLine_ = false;
};

} // namespace velmora::serve
