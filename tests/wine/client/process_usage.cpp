// Private bytes are PagefileUsage, which Windows documents as the same
// figure as PrivateUsage and which Wine fills (it leaves PrivateUsage 0).
// Handles are this process's entries in the system's handle table:
// GetProcessHandleCount answers 0 under Wine.
#include "process_usage.h"

#include <windows.h>

#include <psapi.h>
#include <tlhelp32.h>

#include <cstddef>
#include <vector>

namespace velmora::wine_client {
namespace {

// SYSTEM_HANDLE_INFORMATION_EX of NtQuerySystemInformation, which MinGW's
// headers do not declare.
constexpr ULONG kExtendedHandleInformation = 64;
constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);

struct HandleEntry {
    void* object;
    ULONG_PTR processId;
    ULONG_PTR handle;
    ULONG grantedAccess;
    USHORT creatorBackTraceIndex;
    USHORT objectTypeIndex;
    ULONG attributes;
    ULONG reserved;
};

struct HandleTable {
    ULONG_PTR count;
    ULONG_PTR reserved;
    HandleEntry entries[1];
};

using QuerySystemInformation = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);

long long handleCount() {
    const auto query = reinterpret_cast<QuerySystemInformation>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (!query)
        return 0;
    constexpr std::size_t kLargestTable = 256u << 20;
    std::vector<ULONG_PTR> buffer(8192);
    for (;;) {
        const std::size_t bytes = buffer.size() * sizeof buffer[0];
        ULONG needed = 0;
        const LONG status =
            query(kExtendedHandleInformation, buffer.data(), static_cast<ULONG>(bytes), &needed);
        if (status == kInfoLengthMismatch && bytes < kLargestTable) {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (status != 0)
            return 0;
        const auto* table = reinterpret_cast<const HandleTable*>(buffer.data());
        const std::size_t room = (bytes - offsetof(HandleTable, entries)) / sizeof(HandleEntry);
        const ULONG_PTR self = GetCurrentProcessId();
        long long count = 0;
        for (std::size_t i = 0; i < table->count && i < room; ++i)
            count += table->entries[i].processId == self ? 1 : 0;
        return count;
    }
}

long long threadCount() {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return 0;
    const DWORD self = GetCurrentProcessId();
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    long long count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        count += entry.th32OwnerProcessID == self ? 1 : 0;
    CloseHandle(snapshot);
    return count;
}

} // namespace

ProcessUsage usageOfThisProcess() {
    ProcessUsage usage;
    PROCESS_MEMORY_COUNTERS memory{};
    if (GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory)) {
        usage.privateBytes = static_cast<long long>(memory.PagefileUsage);
        usage.workingSet = static_cast<long long>(memory.WorkingSetSize);
    }
    usage.handles = handleCount();
    usage.threads = threadCount();
    return usage;
}

} // namespace velmora::wine_client
