// A browser driven through its DevTools protocol over a pipe (POSIX only:
// the Windows build has no PDF output). The browser is started with
// --remote-debugging-pipe and reads commands on its descriptor 3 and writes
// answers and events on its descriptor 4, each a JSON text ended by a NUL
// byte. Events are not needed and are passed over.
//
// Everything the browser sends is untrusted: messages are bounded in size
// and read strictly, and a browser that sends something else is stopped. A
// browser that dies, or does not answer before a call's deadline, fails that
// call (and every call still waiting) with a reason, never a hang; one that
// did not answer in time is stopped, since whatever it waits for will not
// come.
#pragma once

#include "render/pdf/devtools_message.h"
#include "render/pdf/print_failed.h"

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <sys/types.h>
#include <thread>
#include <vector>

namespace velmora::render::pdf {

class DevToolsPipe {
public:
    using Clock = std::chrono::steady_clock;

    // Starts `args` (the program looked up in PATH) in a process group of its
    // own, its output streams to `logPath`. Throws BrowserMissing or
    // PrintFailed.
    DevToolsPipe(std::vector<std::string> args, const std::string& logPath);
    // Lets the browser go: it ends when its pipe closes, and the whole group
    // is killed should it linger.
    ~DevToolsPipe();
    DevToolsPipe(const DevToolsPipe&) = delete;
    DevToolsPipe& operator=(const DevToolsPipe&) = delete;

    // Sends `method` with `params` (a JSON object) to the browser, or to the
    // page of `sessionId` when not empty, and gives the answer's "result".
    // Throws PrintFailed with the browser's error, or when it died or did not
    // answer by `deadline`. Safe from several threads.
    nlohmann::json call(const std::string& method, const nlohmann::ordered_json& params,
                        const std::string& sessionId, Clock::time_point deadline);

    bool running() const;

private:
    void readMessages(const std::stop_token& stop);
    void handle(const std::string& message);
    void send(const std::string& message, Clock::time_point deadline);
    // Stops the browser once, keeping the first reason: later calls fail
    // with it.
    void stop(const std::string& reason);
    [[noreturn]] void stopAndThrow(const std::string& reason);
    // With the mutex held.
    void throwIfStopped() const;
    nlohmann::json resultOf(const std::string& method, const nlohmann::json& answer) const;

    std::string logPath_;
    pid_t pid_ = -1;
    int toBrowser_ = -1;
    int fromBrowser_ = -1;
    std::mutex sendMutex_;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    long long nextId_ = 1;
    std::set<long long> waiting_;
    std::map<long long, nlohmann::json> answers_;
    std::string stopReason_; // empty while the browser runs

    std::jthread reader_;
};

} // namespace velmora::render::pdf
