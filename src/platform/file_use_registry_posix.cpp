// There is no file-use registry outside Windows: nothing is ever in use.
#include "platform/file_use_registry.h"

namespace velmora {
namespace {

class AbsentRegistry final : public FileUseRegistry {
public:
    bool queryFileInUse(const std::string&) override { return false; }
    void claimFile(const std::string&) override {}
    void releaseFile(const std::string&) override {}
};

} // namespace

FileUseRegistry& systemFileUseRegistry() {
    static AbsentRegistry absent;
    return absent;
}

} // namespace velmora
