#include "platform/file_use_registry.h"

#include <atomic>

namespace velmora {
namespace {

std::atomic<FileUseRegistry*> installed{nullptr};

} // namespace

FileUseRegistry& currentFileUseRegistry() {
    FileUseRegistry* registry = installed.load(std::memory_order_acquire);
    return registry ? *registry : systemFileUseRegistry();
}

FileUseRegistry* installFileUseRegistry(FileUseRegistry* registry) {
    return installed.exchange(registry, std::memory_order_acq_rel);
}

} // namespace velmora
