// Runs the velmora executable (or another program) the way a script would:
// arguments passed as they are (no shell), standard input from /dev/null
// unless a test names another file (a terminal), and standard output and
// standard error captured apart.
#pragma once

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace velmora::testing {
struct CliRun {
    int exitCode = -1;    // -1 when the tool did not exit normally
    bool stopped = false; // killed by the runner's safety net
    std::string out;
    std::string err;
};

inline std::ostream& operator<<(std::ostream& out, const CliRun& run) {
    return out << "exit " << run.exitCode << (run.stopped ? " (stopped)" : "")
               << "\nstdout: " << run.out << "\nstderr: " << run.err;
}

// Starts `command` (the program first, found in PATH) with standard input
// from `input` and its output streams to the files named; the error of
// posix_spawnp, 0 when it started.
inline int startProgram(std::vector<std::string> command, const std::string& outPath,
                        const std::string& errPath, pid_t& pid,
                        const std::string& input = "/dev/null") {
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_addopen(&actions, 0, input.c_str(), O_RDONLY | O_NOCTTY, 0);
    ::posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT, 0600);
    ::posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT, 0600);
    std::vector<char*> argv;
    for (std::string& arg : command)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    const int spawned = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    return spawned;
}

// Runs `command` (the program first, found in PATH), killing it and what it
// started after `seconds`: a safety net against one that waits forever (a
// lock, a question, a browser); it is no measure of speed.
inline CliRun runProgram(const std::vector<std::string>& command, int seconds,
                         const std::string& input = "/dev/null") {
    TempFolder streams;
    const std::string outPath = streams.file("out");
    const std::string errPath = streams.file("err");
    std::vector<std::string> all{"timeout", "-s", "KILL", std::to_string(seconds)};
    all.insert(all.end(), command.begin(), command.end());
    pid_t pid = 0;
    const int spawned = startProgram(all, outPath, errPath, pid, input);
    CliRun run;
    int status = 0;
    if (spawned != 0 || ::waitpid(pid, &status, 0) != pid) {
        ADD_FAILURE() << "cannot run " << command.front() << ": error " << spawned;
        return run;
    }
    run.stopped = WIFEXITED(status) && WEXITSTATUS(status) == 128 + SIGKILL;
    if (WIFEXITED(status) && !run.stopped)
        run.exitCode = WEXITSTATUS(status);
    run.out = readBytes(outPath);
    run.err = readBytes(errPath);
    return run;
}

// The velmora tool, stopped after a minute.
inline CliRun runCli(const std::vector<std::string>& args, const std::string& input = "/dev/null") {
    std::vector<std::string> command{VELMORA_CLI_PATH};
    command.insert(command.end(), args.begin(), args.end());
    return runProgram(command, 60, input);
}

} // namespace velmora::testing
