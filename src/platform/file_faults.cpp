#include "platform/file_faults.h"

#include <atomic>

namespace velmora {
namespace {

std::atomic<FileFaults*> installed{nullptr};

} // namespace

bool faultInjected(FileStep step, const std::string& path) {
    FileFaults* faults = installed.load(std::memory_order_acquire);
    return faults && faults->fails(step, path);
}

FileFaults* installFileFaults(FileFaults* faults) {
    return installed.exchange(faults, std::memory_order_acq_rel);
}

} // namespace velmora
