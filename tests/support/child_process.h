// Running a piece of a test in a child process: to try what another process
// may do with a file (locks belong to the process), or to try it as another
// user.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <sys/wait.h>
#include <unistd.h>

namespace velmora::testing {

// Runs `attempt` in a child process; whether it succeeded there.
inline bool inChildProcess(const std::function<bool()>& attempt) {
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(attempt() ? 0 : 1);
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        ADD_FAILURE() << "the child process did not finish normally";
        return false;
    }
    return WEXITSTATUS(status) == 0;
}

} // namespace velmora::testing
