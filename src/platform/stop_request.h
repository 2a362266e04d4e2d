// A person's request to stop a long run: Ctrl-C or SIGTERM (Ctrl-C or
// Ctrl-Break on Windows). While a StopRequests lives, the first request is
// only noted, so that the run can finish the files in flight and write its
// record; a second one ends the process at once, as with no handler.
#pragma once

namespace velmora {

class StopRequests {
public:
    StopRequests();
    ~StopRequests();
    StopRequests(const StopRequests&) = delete;
    StopRequests& operator=(const StopRequests&) = delete;
};

// 0 while no stop was asked; else the signal that asked (SIGINT or SIGTERM,
// the POSIX numbers on every platform, so that exit codes agree).
int stopRequested();

// The exit status of a run stopped by `signal`: 128 + signal, as shells
// report a program ended by it (130 for Ctrl-C, 143 for SIGTERM).
inline int exitStatusOfStop(int signal) {
    return 128 + signal;
}

} // namespace velmora
