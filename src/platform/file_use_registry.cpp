#include "platform/file_use_registry.h"

#include <atomic>

namespace velmora {
namespace {

class AbsentRegistry final : public FileUseRegistry {
public:
    bool queryFileInUse(const std::string&) override { return false; }
    void claimFile(const std::string&) override {}
    void releaseFile(const std::string&) override {}
};

std::atomic<FileUseRegistry*> installed{nullptr};

} // namespace

FileUseRegistry& currentFileUseRegistry() {
    static AbsentRegistry absent;
    FileUseRegistry* registry = installed.load(std::memory_order_acquire);
    return registry ? *registry : absent;
}

FileUseRegistry* installFileUseRegistry(FileUseRegistry* registry) {
    return installed.exchange(registry, std::memory_order_acq_rel);
}

} // namespace velmora
