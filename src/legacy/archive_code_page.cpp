#include "legacy/archive_code_page.h"

#include <atomic>

namespace velmora {
namespace {

// 0 while no run has named one. Atomic because a batch reads archives on
// several threads, though it names the code page before they start.
std::atomic<unsigned> namedCodePage{0};

} // namespace

void setArchiveCodePage(unsigned codePage) {
    namedCodePage.store(codePage, std::memory_order_relaxed);
}

std::optional<unsigned> archiveCodePage() {
    const unsigned codePage = namedCodePage.load(std::memory_order_relaxed);
    return codePage == 0 ? std::nullopt : std::optional<unsigned>(codePage);
}

} // namespace velmora
