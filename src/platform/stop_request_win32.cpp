#include "platform/stop_request.h"

#include <windows.h>

#include <atomic>
#include <csignal>

namespace velmora {
namespace {

std::atomic<int> requested{0};

BOOL WINAPI noteStop(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE;
    // A second request is left to the default handler, which ends the process.
    int expected = 0;
    return requested.compare_exchange_strong(expected, SIGINT) ? TRUE : FALSE;
}

} // namespace

StopRequests::StopRequests() {
    requested.store(0);
    ::SetConsoleCtrlHandler(noteStop, TRUE);
}

StopRequests::~StopRequests() {
    ::SetConsoleCtrlHandler(noteStop, FALSE);
}

int stopRequested() {
    return requested.load();
}

} // namespace velmora
