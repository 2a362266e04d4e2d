#include "platform/stop_request.h"

#include <atomic>
#include <csignal>

namespace velmora {
namespace {

std::atomic<int> requested{0};
static_assert(std::atomic<int>::is_always_lock_free, "used from a signal handler");

extern "C" void noteStop(int signal) {
    requested.store(signal);
    // The next one is not caught: it ends the process as a person expects.
    std::signal(signal, SIG_DFL);
}

} // namespace

StopRequests::StopRequests() {
    requested.store(0);
    std::signal(SIGINT, noteStop);
    std::signal(SIGTERM, noteStop);
}

StopRequests::~StopRequests() {
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
}

int stopRequested() {
    return requested.load();
}

} // namespace velmora
