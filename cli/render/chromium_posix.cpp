#include "chromium.h"

#include "platform/safe_file.h"
#include "session.h"

#include <cctype>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace velmora::cli {
namespace {

// A statement prints in a second or two; a browser still busy after this
// waits for something that will not come.
constexpr auto kTimeout = std::chrono::seconds(60);
constexpr auto kPoll = std::chrono::milliseconds(50);
constexpr std::size_t kMaxReasonLength = 300;

std::string programName() {
    const char* named = std::getenv("VELMORA_CHROMIUM");
    return named && *named ? named : "chromium";
}

// A new folder for one run (the page, the PDF, the browser's profile and its
// log), removed with everything in it.
class WorkFolder {
public:
    WorkFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "velmora-render-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw CommandFailed("could not create a temporary folder for Chromium");
        path_ = pattern;
    }
    ~WorkFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;

    std::string file(const char* name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    if (!out.flush())
        throw CommandFailed(path + ": could not be written");
}

// A file: URL for an absolute path, every byte but the safe ones escaped.
std::string fileUrl(const std::string& path) {
    constexpr char kHex[] = "0123456789ABCDEF";
    std::string url = "file://";
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
            url += c;
        } else {
            url += '%';
            url += kHex[byte >> 4];
            url += kHex[byte & 0xF];
        }
    }
    return url;
}

// The last line the browser wrote, as the reason of a failure.
std::string lastLine(const std::string& log) {
    std::string_view text = log;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.remove_suffix(1);
    const std::size_t newline = text.find_last_of('\n');
    if (newline != std::string_view::npos)
        text.remove_prefix(newline + 1);
    return std::string(text.substr(0, kMaxReasonLength));
}

enum class Ending { NotFound, Exited, Failed, TimedOut };

// Runs `args` (the program looked up in PATH as a shell would) in a process
// group of its own, both output streams to `log`; the whole group (the
// browser and its helpers) is killed when the browser has not ended in time.
Ending runBounded(std::vector<std::string> args, const std::string& log) {
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    ::posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                       0600);
    ::posix_spawn_file_actions_adddup2(&actions, 1, 2);
    posix_spawnattr_t attributes;
    ::posix_spawnattr_init(&attributes);
    ::posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    ::posix_spawnattr_setpgroup(&attributes, 0);
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = ::posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    ::posix_spawnattr_destroy(&attributes);
    ::posix_spawn_file_actions_destroy(&actions);
    if (spawned == ENOENT || spawned == EACCES)
        return Ending::NotFound;
    if (spawned != 0)
        return Ending::Failed;

    const auto deadline = std::chrono::steady_clock::now() + kTimeout;
    int status = 0;
    while (true) {
        const pid_t ended = ::waitpid(pid, &status, WNOHANG);
        if (ended == pid)
            return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? Ending::Exited : Ending::Failed;
        if (ended < 0 && errno != EINTR)
            return Ending::Failed;
        if (std::chrono::steady_clock::now() >= deadline)
            break;
        std::this_thread::sleep_for(kPoll);
    }
    ::kill(-pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    return Ending::TimedOut;
}

} // namespace

void printHtmlToPdf(const std::string& html, const std::string& pdfPath) {
    const std::string program = programName();
    const WorkFolder work;
    const std::string page = work.file("statement.html");
    const std::string pdf = work.file("statement.pdf");
    const std::string log = work.file("chromium.log");
    writeFile(page, html);
    const Ending ending = runBounded(
        {program, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync",
         "--disable-dev-shm-usage", "--user-data-dir=" + work.file("profile"),
         "--no-pdf-header-footer", "--print-to-pdf=" + pdf, fileUrl(page)},
        log);
    if (ending == Ending::NotFound)
        throw CommandFailed("PDF output needs Chromium, and no program '" + program +
                            "' was found (install Debian's 'chromium' package, as "
                            "scripts/install-deps does, or name the browser in "
                            "VELMORA_CHROMIUM)");
    if (ending == Ending::TimedOut)
        throw CommandFailed("Chromium did not finish printing within " +
                            std::to_string(kTimeout.count()) + " seconds and was stopped");
    const std::string bytes = readFile(pdf);
    if (ending != Ending::Exited || bytes.rfind("%PDF-", 0) != 0)
        throw CommandFailed("Chromium could not print the page: " + lastLine(readFile(log)));
    if (!writeFileReplacing(pdfPath, bytes))
        throw CommandFailed(pdfPath + ": could not be written");
}

} // namespace velmora::cli
