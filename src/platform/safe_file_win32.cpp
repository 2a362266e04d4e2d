// Safe writing on Windows: the bytes go to a new file beside the target and
// are flushed to the disk, then ReplaceFileW puts it in the target's place
// (keeping the target's attributes and security), or MoveFileExW when there
// is no target yet. Both leave the old content in place when they fail, but
// for a ReplaceFileW that got as far as removing the target (see below). A
// link is written through: what is replaced is the file it finally leads to.
#include "platform/safe_file.h"

#include "platform/file_faults.h"
#include "platform/file_security_win32.h"
#include "platform/final_path_win32.h"
#include "platform/native_path.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

namespace velmora {
namespace {

class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() { close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }
    bool close() {
        if (!valid())
            return true;
        const bool closed = ::CloseHandle(handle_) != 0;
        handle_ = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE handle_;
};

bool endsInSeparator(const std::string& path) {
    return path.empty() || path.back() == '\\' || path.back() == '/';
}

bool exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// False while another holder denies writing (or the file is read-only): the
// same condition under which replacing it must be refused.
bool othersAllowWriting(const std::wstring& path) {
    const Handle probe(::CreateFileW(path.c_str(), GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return probe.valid();
}

bool writeAll(HANDLE file, std::string_view bytes, const std::string& path) {
    while (!bytes.empty()) {
        if (faultInjected(FileStep::Write, path))
            return false;
        constexpr std::size_t kLargestWrite = 1u << 30;
        const auto chunk = static_cast<DWORD>(std::min(bytes.size(), kLargestWrite));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0)
            return false;
        bytes.remove_prefix(written);
    }
    return true;
}

// The file a write must replace: for a link (any reparse point) the file it
// finally leads to, so that the link stays a link; else `path` itself, also
// when there is no file yet. Empty when a link cannot be followed.
std::wstring finalTarget(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return path;
    const Handle file(::CreateFileW(path.c_str(), 0,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file.valid() ? finalPathOfHandle(file.get()) : std::wstring();
}

WriteTarget kindOfTarget(const std::wstring& target) {
    if (target.empty())
        return WriteTarget::NotAFile;
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return WriteTarget::Replaceable;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return WriteTarget::NotAFile;
    if (attributes & FILE_ATTRIBUTE_READONLY)
        return WriteTarget::ReadOnly;
    // The type first, through a handle that asks for no access: opening a
    // pipe or a device for writing would already talk to it.
    const Handle plain(::CreateFileW(target.c_str(), 0,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, 0, nullptr));
    if (plain.valid() && ::GetFileType(plain.get()) != FILE_TYPE_DISK)
        return WriteTarget::NotAFile;
    const Handle probe(::CreateFileW(target.c_str(), GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!probe.valid()) {
        // A holder's sharing mode is not the file's own: the write reports it.
        const DWORD error = ::GetLastError();
        return error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT
                   ? WriteTarget::ReadOnly
                   : WriteTarget::Replaceable;
    }
    return WriteTarget::Replaceable;
}

std::wstring temporaryName(const std::wstring& path) {
    static std::atomic<unsigned> counter{0};
    wchar_t suffix[40];
    std::swprintf(suffix, sizeof suffix / sizeof suffix[0], L".tmp-%lx-%x-%llx",
                  ::GetCurrentProcessId(), counter++, ::GetTickCount64());
    return path + suffix;
}

// Writes `bytes` to a new file beside `target` (`path` in the tree's text)
// and flushes it; its name, or nothing when it could not be made, with no
// file left behind.
std::wstring writeTemporary(const std::string& path, const std::wstring& target,
                            std::string_view bytes, FileSecurity* security = nullptr) {
    constexpr int kAttempts = 16;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (faultInjected(FileStep::Create, path))
            return {};
        const std::wstring name = temporaryName(target);
        Handle file(::CreateFileW(name.c_str(), GENERIC_WRITE, 0,
                                  security ? security->attributes() : nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.valid()) {
            if (::GetLastError() == ERROR_FILE_EXISTS)
                continue;
            return {};
        }
        const bool written = writeAll(file.get(), bytes, path) &&
                             !faultInjected(FileStep::Flush, path) &&
                             ::FlushFileBuffers(file.get());
        if (file.close() && written)
            return name;
        ::DeleteFileW(name.c_str());
        return {};
    }
    return {};
}

// Puts `temporary` in the place of `target` and keeps the replaced file as
// `replaced`, so that it can still be looked at and put back. False when that
// fails: the target is as it was (or, when it went to `replaced` and could
// not come back, missing), and the temporary file is still there.
bool swapKeepingReplaced(const std::wstring& target, const std::wstring& temporary,
                         const std::wstring& replaced) {
    if (::ReplaceFileW(target.c_str(), temporary.c_str(), replaced.c_str(),
                       REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))
        return true;
    if (::GetLastError() != ERROR_UNABLE_TO_MOVE_REPLACEMENT_2)
        return false;
    // The target went to `replaced`, the new file did not follow: finish, or undo.
    if (::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH))
        return true;
    ::MoveFileExW(replaced.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
    return false;
}

// Puts `temporary` in the place of the existing `target`, and the replaced
// file goes. It is moved aside under a name of our own: given none, Wine's
// ReplaceFileW first makes an empty file of its own beside the target
// (GetTempFileNameW, "rf....tmp") and leaves it there whenever the target
// cannot be moved, as while another process holds it.
bool replaceExisting(const std::wstring& target, const std::wstring& temporary) {
    const std::wstring replaced = temporaryName(target);
    const bool swapped = swapKeepingReplaced(target, temporary, replaced);
    // Also after a failed swap: what it held was to be replaced anyway.
    ::DeleteFileW(replaced.c_str());
    return swapped;
}

// The whole content of the file; none when it cannot be read. `sharing` is
// what others may do meanwhile.
std::optional<std::string> contentOf(const std::wstring& path, DWORD sharing) {
    const Handle file(::CreateFileW(path.c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        return std::nullopt;
    std::string bytes;
    char buffer[64 * 1024];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr))
            return std::nullopt;
        if (got == 0)
            return bytes;
        bytes.append(buffer, got);
    }
}

constexpr DWORD kAnySharing = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The checks a replace makes before writing anything: the file a write
// replaces, or empty when the write must be refused.
std::wstring replaceableTarget(const std::string& path) {
    if (endsInSeparator(path))
        return {};
    const std::wstring wide = systemPath(path);
    if (wide.empty())
        return {};
    std::wstring target = finalTarget(wide);
    if (kindOfTarget(target) != WriteTarget::Replaceable)
        return {};
    if (exists(target) && !othersAllowWriting(target))
        return {};
    return target;
}

// After a replace that failed with the target gone. Another process saving
// the same file may be between taking the old file away and putting its own
// in place: the new file takes the free name, or goes once the other's file
// is there. Only when neither happens is it kept, as the only copy of the
// document.
bool settleAfterTargetWentAway(const std::wstring& target, const std::wstring& temporary) {
    constexpr int kAttempts = 50;
    constexpr DWORD kPauseMs = 10;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH))
            return true;
        if (exists(target)) {
            ::DeleteFileW(temporary.c_str());
            return false;
        }
        ::Sleep(kPauseMs);
    }
    return false;
}

// The access list of the file `modeSource` names, for a file made from it;
// nothing when there is none, or when it cannot be read (the new file then
// admits its user alone rather than whom its folder admits).
std::unique_ptr<FileSecurity> securityFrom(const std::string& modeSource) {
    if (modeSource.empty())
        return nullptr;
    const std::wstring source = systemPath(modeSource);
    std::unique_ptr<FileSecurity> security = source.empty() ? nullptr : securityOfFile(source);
    return security ? std::move(security) : ownerOnlySecurity();
}

bool replaceFile(const std::string& path, std::string_view bytes, const std::string& modeSource) {
    const std::wstring target = replaceableTarget(path);
    if (target.empty())
        return false;
    const bool replacing = exists(target);
    const std::unique_ptr<FileSecurity> security = securityFrom(modeSource);
    const std::wstring temporary = writeTemporary(path, target, bytes, security.get());
    if (temporary.empty())
        return false;
    const bool moved =
        !faultInjected(FileStep::Rename, path) &&
        (replacing ? replaceExisting(target, temporary)
                   : ::MoveFileExW(temporary.c_str(), target.c_str(),
                                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0);
    // ReplaceFileW gives the new file the replaced one's access list, which
    // may admit more people than the source does.
    if (moved && replacing && security)
        applySecurity(target, *security);
    if (moved)
        return true;
    if (replacing && !exists(target))
        return settleAfterTargetWentAway(target, temporary);
    ::DeleteFileW(temporary.c_str());
    return false;
}

// The replaced file back in the target's place, over the new one.
bool putBack(const std::wstring& target, const std::wstring& replaced) {
    return replaceExisting(target, replaced) ||
           ::MoveFileExW(replaced.c_str(), target.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

GuardedReplace replaceGuarded(const std::string& path, std::string_view bytes,
                              std::string_view expected) {
    const std::wstring target = replaceableTarget(path);
    if (target.empty())
        return GuardedReplace::NotWritten;
    if (!exists(target))
        return GuardedReplace::Changed; // taken away since it was read
    const std::wstring temporary = writeTemporary(path, target, bytes);
    if (temporary.empty())
        return GuardedReplace::NotWritten;
    // As late as it can be, while nobody may write: the new bytes are on the
    // disk, only the swap is left.
    const std::optional<std::string> now = contentOf(target, FILE_SHARE_READ);
    if (!now || *now != expected) {
        ::DeleteFileW(temporary.c_str());
        return now ? GuardedReplace::Changed : GuardedReplace::NotWritten;
    }
    const std::wstring replaced = temporaryName(target);
    if (faultInjected(FileStep::Rename, path)) {
        ::DeleteFileW(temporary.c_str());
        return GuardedReplace::NotWritten;
    }
    if (!swapKeepingReplaced(target, temporary, replaced)) {
        ::DeleteFileW(temporary.c_str());
        return GuardedReplace::NotWritten;
    }
    // A writer that kept the file open, sharing its deletion, may have
    // written between the comparison and the swap: its bytes are in the
    // replaced file, which then goes back in the file's place (also when it
    // cannot be read to tell).
    const std::optional<std::string> old = contentOf(replaced, kAnySharing);
    if (old && *old == expected) {
        ::DeleteFileW(replaced.c_str());
        return GuardedReplace::Replaced;
    }
    return putBack(target, replaced) ? GuardedReplace::Changed : GuardedReplace::NotPutBack;
}

} // namespace

WriteTarget writeTargetOf(const std::string& path) {
    const std::wstring wide = systemPath(path);
    return wide.empty() ? WriteTarget::NotAFile : kindOfTarget(finalTarget(wide));
}

bool writeFileReplacing(const std::string& path, std::string_view bytes,
                        const std::string& modeSource) {
    return replaceFile(path, bytes, modeSource);
}

GuardedReplace writeFileReplacingIfUnchanged(const std::string& path, std::string_view bytes,
                                             std::string_view expected) {
    return replaceGuarded(path, bytes, expected);
}

bool writeNewFile(const std::string& path, std::string_view bytes, const std::string& modeSource) {
    if (endsInSeparator(path))
        return false;
    const std::wstring target = systemPath(path);
    if (target.empty() || exists(target))
        return false;
    const std::unique_ptr<FileSecurity> security = securityFrom(modeSource);
    const std::wstring temporary = writeTemporary(path, target, bytes, security.get());
    if (temporary.empty())
        return false;
    // Without MOVEFILE_REPLACE_EXISTING the move refuses a name that is taken,
    // also by a file made since the check above.
    const bool moved =
        !faultInjected(FileStep::Rename, path) &&
        ::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
    if (!moved)
        ::DeleteFileW(temporary.c_str());
    return moved;
}

} // namespace velmora
