#include "serve/audit_log.h"

#include "index/deal_reading.h"
#include "platform/append_only_file.h"
#include "platform/native_path.h"
#include "platform/private_file.h"
#include "serve/sha256.h"

#include <chrono>
#include <fstream>
#include <optional>

namespace velmora::serve {
namespace {

// Where the file's chain ends: what the next line must carry.
struct ChainEnd {
    std::uint64_t nextNumber = 1;
    std::string lastHash = auditGenesis();
    bool endsMidLine = false;
};

// The last `size` bytes of the file, from the start of a line; none when
// they cannot be read.
std::optional<std::string> tailOf(const std::string& path, std::uint64_t fileSize,
                                  std::uint64_t size) {
    std::ifstream in(nativePath(path), std::ios::binary);
    const std::uint64_t start = fileSize > size ? fileSize - size : 0;
    if (!in.seekg(static_cast<std::streamoff>(start)))
        return std::nullopt;
    std::string bytes(fileSize - start, '\0');
    if (!in.read(bytes.data(), static_cast<std::streamsize>(bytes.size())))
        return std::nullopt;
    if (start == 0)
        return bytes;
    // The first line is cut unless a newline ends the byte before it; it
    // is dropped either way, the line wanted lies after it.
    const std::size_t firstEnd = bytes.find('\n');
    return firstEnd == std::string::npos ? std::string() : bytes.substr(firstEnd + 1);
}

// Reads more of the file's end until the last whole entry is in view (or
// the whole file is).
ChainEnd chainEndOf(const std::string& path) {
    std::ifstream probe(nativePath(path), std::ios::binary | std::ios::ate);
    if (!probe)
        throw AuditLogFailed(path + ": the audit log cannot be read");
    const auto fileSize = static_cast<std::uint64_t>(probe.tellg());
    ChainEnd end;
    if (fileSize == 0)
        return end;
    for (std::uint64_t size = 64 * 1024;; size *= 2) {
        const std::optional<std::string> tail = tailOf(path, fileSize, size);
        if (!tail)
            throw AuditLogFailed(path + ": the audit log cannot be read");
        const std::vector<AuditLine> lines = splitAuditLines(*tail);
        const bool whole = size >= fileSize;
        if (lines.empty() && !whole)
            continue;
        if (!lines.empty()) {
            end.lastHash = sha256Hex(lines.back().bytes);
            end.endsMidLine = !lines.back().ended;
        }
        for (auto line = lines.rbegin(); line != lines.rend(); ++line)
            if (line->entry) {
                end.nextNumber = line->entry->n + 1;
                return end;
            }
        if (whole)
            return end;
    }
}

} // namespace

AuditLog::AuditLog(std::string path, Clock clock)
    : path_(std::move(path)), clock_(std::move(clock)) {
    makeOwnerOnlyFile(path_);
    reopen();
}

AuditLog::~AuditLog() = default;

std::int64_t AuditLog::systemNanoseconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

void AuditLog::reopen() {
    file_.reset();
    std::unique_ptr<AppendOnlyFile> file = AppendOnlyFile::open(path_);
    if (!file)
        throw AuditLogFailed(path_ + ": the audit log cannot be opened for appending");
    const ChainEnd end = chainEndOf(path_);
    nextNumber_ = end.nextNumber;
    lastHash_ = end.lastHash;
    endsMidLine_ = end.endsMidLine;
    file_ = std::move(file);
}

std::shared_ptr<AppendOnlyFile> AuditLog::appendLine(const AuditEvent& event) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (!file_)
        reopen();
    AuditEntry entry;
    entry.n = nextNumber_;
    entry.time = index::isoTimeOfNanoseconds(clock_());
    entry.event = event;
    entry.prev = lastHash_;
    const std::string line = auditLineOf(entry);
    if (!file_->append((endsMidLine_ ? "\n" : "") + line + "\n")) {
        // What reached the file is unknown: read its end again next time.
        file_.reset();
        throw AuditLogFailed(path_ + ": the audit log could not be written");
    }
    ++nextNumber_;
    lastHash_ = sha256Hex(line);
    endsMidLine_ = false;
    return file_;
}

void AuditLog::append(const AuditEvent& event) {
    // The line is written in its place in the chain under the lock; the wait
    // for the disk is not, so that requests logged at once wait for it
    // together rather than one after another.
    const std::shared_ptr<AppendOnlyFile> written = appendLine(event);
    if (!written->flush())
        throw AuditLogFailed(path_ + ": the audit log could not be written to the disk");
}

} // namespace velmora::serve
