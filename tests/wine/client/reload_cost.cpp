// com_client.exe reload-cost: what creating and releasing providers costs a
// host that calls CoFreeUnusedLibraries after each, as hosts that open many
// deals one after another do. COM may unload the DLL whenever it answers
// DllCanUnloadNow with S_OK, and load it again for the next provider; a DLL
// that left memory, a handle or a thread behind at each unload would make the
// host grow without bound. So what the process holds after a warm-up and
// after the last cycle must differ by no more than noise.
#include "client_modes.h"
#include "client_support.h"
#include "process_usage.h"

#include <cstdio>
#include <cwchar>

namespace velmora::wine_client {
namespace {

// The first cycles fill the host's own caches (COM's, the heap's).
constexpr unsigned kWarmUpCycles = 20;
constexpr unsigned long kMostCycles = 5000;
// Noise: the heap and the system's own handles and threads move a little.
constexpr long long kMostPrivateGrowth = 1024 * 1024;
constexpr long long kMostHandleGrowth = 4;
constexpr long long kMostThreadGrowth = 1;

// A short use of a new provider, as a host makes it; false when the provider
// did not answer as it must.
bool useOnce(unsigned cycle) {
    IHudProvider* deal = newProvider();
    if (!deal)
        return false;
    const std::wstring amount = std::to_wstring(cycle + 1) + L".00";
    const Bstr node(L"n100/n104"), property(L"amount");
    INT status = -1;
    Bstr got;
    const bool used = deal->initHUDDocument() == S_OK &&
                      deal->setNodePropertyValue(node, property, Bstr(amount), &status) == S_OK &&
                      status == 0 &&
                      deal->getNodePropertyValue(node, property, got.out()) == S_OK &&
                      got != nullptr && amount == static_cast<BSTR>(got);
    deal->Release();
    return used;
}

int failures = 0;

void require(bool ok, const char* what, long long measured, long long most) {
    if (ok)
        return;
    ++failures;
    std::printf("FAIL: %s (%lld, at most %lld)\n", what, measured, most);
}

// A measure that reads 0 measures nothing, and could never fail.
void requireMeasured(const ProcessUsage& usage) {
    if (usage.privateBytes > 0 && usage.handles > 0 && usage.threads > 0)
        return;
    ++failures;
    std::printf("FAIL: private bytes, handles or threads could not be measured\n");
}

void judge(const ProcessUsage& before, const ProcessUsage& after, unsigned failedUses) {
    require(failedUses == 0, "providers that did not answer", failedUses, 0);
    requireMeasured(before);
    requireMeasured(after);
    const long long memory = after.privateBytes - before.privateBytes;
    require(memory <= kMostPrivateGrowth, "private bytes grew", memory, kMostPrivateGrowth);
    const long long handles = after.handles - before.handles;
    require(handles <= kMostHandleGrowth, "handles grew", handles, kMostHandleGrowth);
    const long long threads = after.threads - before.threads;
    require(threads <= kMostThreadGrowth, "threads grew", threads, kMostThreadGrowth);
}

} // namespace

int runReloadCost(const std::vector<std::wstring>& arguments) {
    const unsigned long cycles =
        arguments.size() != 1 ? 0 : std::wcstoul(arguments[0].c_str(), nullptr, 10);
    if (cycles == 0 || cycles > kMostCycles) {
        std::printf("usage: com_client reload-cost CYCLES (1 to %lu)\n", kMostCycles);
        return 2;
    }
    unsigned failedUses = 0, unloads = 0;
    ProcessUsage before;
    for (unsigned cycle = 0; cycle < kWarmUpCycles + cycles; ++cycle) {
        if (cycle == kWarmUpCycles)
            before = usageOfThisProcess();
        failedUses += useOnce(cycle) ? 0 : 1;
        CoFreeUnusedLibrariesEx(0, 0);
        unloads += GetModuleHandleW(L"Velmora.dll") ? 0 : 1;
    }
    const ProcessUsage after = usageOfThisProcess();
    std::printf("reload-cost: %lu cycles after %u to warm up; Velmora.dll unloaded after %u of "
                "all %lu\n",
                cycles, kWarmUpCycles, unloads, cycles + kWarmUpCycles);
    std::printf("reload-cost: private bytes %lld -> %lld KB, working set %lld -> %lld KB, "
                "handles %lld -> %lld, threads %lld -> %lld\n",
                before.privateBytes / 1024, after.privateBytes / 1024, before.workingSet / 1024,
                after.workingSet / 1024, before.handles, after.handles, before.threads,
                after.threads);
    judge(before, after, failedUses);
    std::printf("reload-cost: %d failures\n", failures);
    return failures == 0 ? 0 : 1;
}

} // namespace velmora::wine_client
