#include "render/pdf/devtools_pipe.h"

#include "tree/json_text.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace velmora::render::pdf {
namespace {

// A printed statement is some hundred kilobytes, as base64 in one message;
// a message past this is no answer of ours.
constexpr std::size_t kMaxMessageBytes = 64u << 20;
constexpr std::size_t kMaxReasonLength = 300;
constexpr int kPollMilliseconds = 100;
// How long a browser whose pipe was closed may take to end by itself.
constexpr auto kEndingTime = std::chrono::seconds(5);

// The browser's words in our messages: one line, bounded, printable.
std::string plainText(std::string_view text) {
    std::string plain;
    for (const char c : text.substr(0, kMaxReasonLength))
        plain += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? ' ' : c;
    return plain;
}

// The last line the browser wrote, as the reason it ended.
std::string lastLogLine(const std::string& logPath) {
    std::ifstream in(logPath, std::ios::binary);
    const std::string log{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::string_view text = log;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.remove_suffix(1);
    const std::size_t newline = text.find_last_of('\n');
    if (newline != std::string_view::npos)
        text.remove_prefix(newline + 1);
    return plainText(text);
}

// Above the descriptors the child gets (0 to 4), so that no dup2 of the
// child lands on a descriptor another one still needs.
int movedHigh(int fd) {
    constexpr int kLowest = 10;
    const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, kLowest);
    ::close(fd);
    if (moved < 0)
        throw PrintFailed("could not set up the pipe to Chromium");
    return moved;
}

struct Pipe {
    int read = -1;
    int write = -1;
};

Pipe newPipe() {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        throw PrintFailed("could not set up the pipe to Chromium");
    return {movedHigh(ends[0]), movedHigh(ends[1])};
}

pid_t spawnBrowser(std::vector<std::string>& args, const std::string& logPath, int commands,
                   int answers) {
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    ::posix_spawn_file_actions_addopen(&actions, 1, logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                       0600);
    ::posix_spawn_file_actions_adddup2(&actions, 1, 2);
    ::posix_spawn_file_actions_adddup2(&actions, commands, 3);
    ::posix_spawn_file_actions_adddup2(&actions, answers, 4);
    // Nothing else of ours, a document's lock above all, goes with it.
    ::posix_spawn_file_actions_addclosefrom_np(&actions, 5);
    posix_spawnattr_t attributes;
    ::posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    ::posix_spawnattr_setsigdefault(&attributes, &defaults);
    ::posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF);
    ::posix_spawnattr_setpgroup(&attributes, 0);
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int spawned = ::posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    ::posix_spawnattr_destroy(&attributes);
    ::posix_spawn_file_actions_destroy(&actions);
    if (spawned == ENOENT || spawned == EACCES)
        throw BrowserMissing(args.front());
    if (spawned != 0)
        throw PrintFailed("Chromium could not be started");
    return pid;
}

bool hasEnded(pid_t pid) {
    siginfo_t info{};
    return ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == pid;
}

} // namespace

DevToolsPipe::DevToolsPipe(std::vector<std::string> args, const std::string& logPath)
    : logPath_(logPath) {
    // A browser that dies while we write to it must fail that write, not
    // end this process. The browser gets the default back (spawnBrowser).
    ::signal(SIGPIPE, SIG_IGN);
    const Pipe commands = newPipe();
    const Pipe answers = newPipe();
    try {
        pid_ = spawnBrowser(args, logPath, commands.read, answers.write);
    } catch (...) {
        for (const int fd : {commands.read, commands.write, answers.read, answers.write})
            ::close(fd);
        throw;
    }
    ::close(commands.read);
    ::close(answers.write);
    toBrowser_ = commands.write;
    fromBrowser_ = answers.read;
    ::fcntl(toBrowser_, F_SETFL, ::fcntl(toBrowser_, F_GETFL) | O_NONBLOCK);
    reader_ = std::jthread([this](const std::stop_token& stop) { readMessages(stop); });
}

DevToolsPipe::~DevToolsPipe() {
    ::close(toBrowser_);
    const auto deadline = Clock::now() + kEndingTime;
    while (!hasEnded(pid_) && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollMilliseconds));
    // Its helpers too, while the ended browser still holds the group's id.
    ::kill(-pid_, SIGKILL);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    reader_.request_stop();
    reader_.join();
    ::close(fromBrowser_);
}

bool DevToolsPipe::running() const {
    const std::lock_guard lock(mutex_);
    return stopReason_.empty();
}

void DevToolsPipe::stop(const std::string& reason) {
    {
        const std::lock_guard lock(mutex_);
        if (!stopReason_.empty())
            return;
        stopReason_ = reason;
    }
    changed_.notify_all();
    ::kill(-pid_, SIGKILL);
}

void DevToolsPipe::stopAndThrow(const std::string& reason) {
    stop(reason);
    throw PrintFailed(reason);
}

void DevToolsPipe::throwIfStopped() const {
    if (!stopReason_.empty())
        throw PrintFailed(stopReason_);
}

void DevToolsPipe::readMessages(const std::stop_token& stop) {
    std::string pending;
    std::size_t searched = 0;
    std::vector<char> chunk(1 << 16);
    while (!stop.stop_requested()) {
        pollfd ready{fromBrowser_, POLLIN, 0};
        const int polled = ::poll(&ready, 1, kPollMilliseconds);
        if (polled == 0 || (polled < 0 && errno == EINTR))
            continue;
        const ssize_t got = ::read(fromBrowser_, chunk.data(), chunk.size());
        if (got < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (got <= 0) {
            this->stop("Chromium ended: " + lastLogLine(logPath_));
            return;
        }
        pending.append(chunk.data(), static_cast<std::size_t>(got));
        for (std::size_t end; (end = pending.find('\0', searched)) != std::string::npos;
             searched = 0) {
            handle(pending.substr(0, end));
            pending.erase(0, end + 1);
        }
        searched = pending.size();
        if (pending.size() > kMaxMessageBytes) {
            this->stop("Chromium sent a message larger than " +
                       std::to_string(kMaxMessageBytes >> 20) + " MB and was stopped");
            return;
        }
    }
}

void DevToolsPipe::handle(const std::string& message) {
    std::optional<nlohmann::json> value = parseDevToolsMessage(message);
    if (!value) {
        stop("Chromium sent a message that is not JSON and was stopped");
        return;
    }
    const nlohmann::json* id = member(*value, "id");
    const std::optional<long long> number = id ? wholeNumber(*id) : std::nullopt;
    if (!number)
        return;
    // An answer nobody waits for any more (its call timed out) is dropped.
    const std::lock_guard lock(mutex_);
    if (!waiting_.contains(*number))
        return;
    answers_.insert_or_assign(*number, std::move(*value));
    changed_.notify_all();
}

void DevToolsPipe::send(const std::string& message, Clock::time_point deadline) {
    const std::lock_guard lock(sendMutex_);
    std::string_view rest = message;
    while (!rest.empty()) {
        const ssize_t sent = ::write(toBrowser_, rest.data(), rest.size());
        if (sent > 0) {
            rest.remove_prefix(static_cast<std::size_t>(sent));
            continue;
        }
        if (sent < 0 && errno != EAGAIN && errno != EINTR)
            stopAndThrow("Chromium ended: " + lastLogLine(logPath_));
        // Half a message leaves the pipe unusable.
        if (Clock::now() >= deadline)
            stopAndThrow("Chromium did not take a command in time and was stopped");
        pollfd writable{toBrowser_, POLLOUT, 0};
        ::poll(&writable, 1, kPollMilliseconds);
    }
}

nlohmann::json DevToolsPipe::resultOf(const std::string& method,
                                      const nlohmann::json& answer) const {
    if (const nlohmann::json* error = member(answer, "error")) {
        const std::string* text = stringMember(*error, "message");
        throw PrintFailed("Chromium refused " + method + ": " +
                          (text ? plainText(*text) : std::string("no reason given")));
    }
    const nlohmann::json* result = member(answer, "result");
    if (!result || !result->is_object())
        throw PrintFailed("Chromium answered " + method + " without a result");
    return *result;
}

nlohmann::json DevToolsPipe::call(const std::string& method, const nlohmann::ordered_json& params,
                                  const std::string& sessionId, Clock::time_point deadline) {
    long long id = 0;
    {
        const std::lock_guard lock(mutex_);
        throwIfStopped();
        id = nextId_++;
        waiting_.insert(id);
    }
    nlohmann::ordered_json command = {{"id", id}, {"method", method}, {"params", params}};
    if (!sessionId.empty())
        command["sessionId"] = sessionId;
    // Escaped, a NUL inside a text cannot end the message early. The browser
    // takes text and nothing else: exact bytes would be members it does not know.
    const std::string message = plainJsonText(command) + '\0';
    try {
        send(message, deadline);
    } catch (...) {
        const std::lock_guard lock(mutex_);
        waiting_.erase(id);
        throw;
    }
    std::unique_lock lock(mutex_);
    changed_.wait_until(lock, deadline,
                        [&] { return answers_.contains(id) || !stopReason_.empty(); });
    waiting_.erase(id);
    auto answer = answers_.extract(id);
    if (answer)
        return resultOf(method, answer.mapped());
    throwIfStopped();
    lock.unlock();
    stopAndThrow("Chromium did not answer " + method + " in time and was stopped");
}

} // namespace velmora::render::pdf
