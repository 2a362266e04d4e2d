#include "com/win32/module.h"

#include "com/win32/class_factory.h"

#include <atomic>

namespace velmora::com {
namespace {

std::atomic<long> lockCount{0};
HINSTANCE instance = nullptr;

} // namespace

void lockModule() {
    lockCount.fetch_add(1, std::memory_order_acq_rel);
}

void unlockModule() {
    lockCount.fetch_sub(1, std::memory_order_acq_rel);
}

long moduleLockCount() {
    return lockCount.load(std::memory_order_acquire);
}

void stayLoaded() {
    static std::atomic<bool> pinned{false};
    if (pinned.exchange(true, std::memory_order_acq_rel))
        return;
    HMODULE self = nullptr;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                         reinterpret_cast<LPCWSTR>(&stayLoaded), &self);
}

HINSTANCE moduleInstance() {
    return instance;
}

std::wstring modulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(instance, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

} // namespace velmora::com

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        velmora::com::instance = instance;
        DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        // Unloaded by FreeLibrary: let go of the cached factory. At process
        // exit (reserved non-null) the process takes everything with it.
        velmora::com::releaseCachedFactory();
    }
    return TRUE;
}
