// velmora convert: turns folders of legacy deal files into XML documents, in
// place, each through the same open road a host uses (question, backup,
// conversion, load), on several threads when asked.
#include "commands.h"

#include "platform/dialog.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <unistd.h>

namespace velmora::cli {
namespace {

namespace fs = std::filesystem;

struct ConvertArguments {
    std::vector<std::string> paths;
    unsigned jobs = 1;
};

enum class Outcome { Converted, Skipped, Refused };

struct FileResult {
    std::string path;
    Outcome outcome = Outcome::Refused;
    std::string reason;
};

// The batch was agreed to once, so each file's conversion question is
// answered Yes; any other message is kept as the reason its file failed.
// Messages belong to the thread that converts the file.
class BatchDialog final : public Dialog {
public:
    DialogButton ask(const std::string& caption, const std::string& text, unsigned flags) override {
        if ((flags & dialog_flags::kButtonMask) == dialog_flags::kYesNo)
            return DialogButton::Yes;
        lastMessage() = caption.empty() ? text : caption + ": " + text;
        return DialogButton::Ok;
    }

    static std::string& lastMessage() {
        thread_local std::string message;
        return message;
    }
};

// Every regular file below the given paths, in a stable order. Backup folders
// hold copies of legacy files that must stay as they are.
std::vector<std::string> collectFiles(const std::vector<std::string>& paths,
                                      std::vector<FileResult>& missing) {
    std::vector<std::string> files;
    for (const std::string& path : paths) {
        std::error_code error;
        if (fs::is_regular_file(path, error)) {
            files.push_back(path);
            continue;
        }
        if (!fs::is_directory(path, error)) {
            missing.push_back({path, Outcome::Refused, "no such file or folder"});
            continue;
        }
        fs::recursive_directory_iterator walk(path, fs::directory_options::skip_permission_denied,
                                              error);
        for (; !error && walk != fs::recursive_directory_iterator(); walk.increment(error)) {
            if (walk->is_directory(error) && walk->path().filename() == "UpgradeBackup") {
                walk.disable_recursion_pending();
                continue;
            }
            if (walk->is_regular_file(error))
                files.push_back(walk->path().string());
        }
    }
    // One file named twice ("deal.hud" and "./deal.hud", or a folder and a
    // file in it) is converted once: twice at once it would race with itself.
    std::sort(files.begin(), files.end());
    std::set<fs::path> seen;
    std::vector<std::string> unique;
    for (std::string& file : files) {
        std::error_code error;
        fs::path key = fs::weakly_canonical(file, error);
        if (error)
            key = fs::path(file).lexically_normal();
        if (seen.insert(std::move(key)).second)
            unique.push_back(std::move(file));
    }
    return unique;
}

FileResult convertOne(const GlobalOptions& options, const std::string& path) {
    const std::optional<bool> isXml = CHudDocument::readFormatMarker(path);
    if (!isXml)
        return {path, Outcome::Refused, "held by another program"};
    if (*isXml)
        return {path, Outcome::Skipped, ""};
    BatchDialog::lastMessage().clear();
    Session session(options);
    int result = -1;
    session.provider().readHUD(path, &result);
    if (result == 0)
        return {path, Outcome::Converted, ""};
    const std::string& reason = BatchDialog::lastMessage();
    return {path, Outcome::Refused, reason.empty() ? "not converted" : reason};
}

class Progress {
public:
    explicit Progress(std::size_t total)
        : total_(total), visible_(::isatty(STDERR_FILENO) != 0),
          start_(std::chrono::steady_clock::now()) {}

    void fileDone() {
        const std::size_t done = ++done_;
        if (!visible_)
            return;
        std::lock_guard lock(mutex_);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
        const double rate = seconds > 0 ? static_cast<double>(done) / seconds : 0.0;
        const double eta = rate > 0 ? static_cast<double>(total_ - done) / rate : 0.0;
        constexpr std::size_t kWidth = 30;
        const std::size_t filled = total_ ? kWidth * done / total_ : kWidth;
        std::fprintf(stderr, "\r[%s%s] %zu/%zu files  %.1f files/s  ETA %.0fs ",
                     std::string(filled, '#').c_str(), std::string(kWidth - filled, '.').c_str(),
                     done, total_, rate, eta);
        if (done == total_)
            std::fprintf(stderr, "\n");
        std::fflush(stderr);
    }

private:
    std::size_t total_;
    bool visible_;
    std::chrono::steady_clock::time_point start_;
    std::atomic<std::size_t> done_{0};
    std::mutex mutex_;
};

std::vector<FileResult> convertAll(const GlobalOptions& options,
                                   const std::vector<std::string>& files, unsigned jobs) {
    std::vector<FileResult> results(files.size());
    std::atomic<std::size_t> next{0};
    Progress progress(files.size());
    const auto work = [&] {
        for (std::size_t i = next++; i < files.size(); i = next++) {
            results[i] = convertOne(options, files[i]);
            progress.fileDone();
        }
    };
    std::vector<std::thread> workers;
    const unsigned threads = std::max(1u, std::min<unsigned>(jobs, files.size()));
    for (unsigned t = 1; t < threads; ++t)
        workers.emplace_back(work);
    work();
    for (std::thread& worker : workers)
        worker.join();
    return results;
}

bool agreed(const GlobalOptions& options, std::size_t candidates) {
    if (options.yes)
        return true;
    if (!::isatty(STDIN_FILENO)) {
        std::cerr << "velmora: legacy files are converted in place; run with --yes to agree\n";
        return false;
    }
    std::cerr << "Convert up to " << candidates
              << " files in place? Legacy files are converted to the current format (a "
                 "backup of each goes to UpgradeBackup beside it); converted files will not be "
                 "compatible with the older version. [y/N] "
              << std::flush;
    std::string answer;
    return std::getline(std::cin, answer) && (answer == "y" || answer == "Y" || answer == "yes");
}

void printSummary(const std::vector<FileResult>& results) {
    std::size_t converted = 0;
    std::size_t skipped = 0;
    std::size_t refused = 0;
    for (const FileResult& result : results) {
        switch (result.outcome) {
        case Outcome::Converted:
            ++converted;
            break;
        case Outcome::Skipped:
            ++skipped;
            break;
        case Outcome::Refused:
            ++refused;
            std::cerr << "refused: " << result.path << ": " << result.reason << '\n';
            break;
        }
    }
    std::cout << "converted: " << converted << ", skipped (already XML): " << skipped
              << ", refused: " << refused << '\n';
    if (refused > 0)
        throw CommandFailed(std::to_string(refused) + " of " + std::to_string(results.size()) +
                            " files were not converted");
}

void runConvert(const GlobalOptions& options, const ConvertArguments& args) {
    std::vector<FileResult> results;
    const std::vector<std::string> files = collectFiles(args.paths, results);
    if (!files.empty() && !agreed(options, files.size()))
        throw CommandFailed("nothing converted");
    BatchDialog dialog;
    ScopedDialog scoped(dialog);
    std::vector<FileResult> converted = convertAll(options, files, args.jobs);
    results.insert(results.end(), converted.begin(), converted.end());
    printSummary(results);
}

} // namespace

void addConvertCommand(CLI::App& app, const GlobalOptions& options) {
    auto args = std::make_shared<ConvertArguments>();
    CLI::App* convert = app.add_subcommand(
        "convert", "Convert legacy files (and folders of them) to XML documents, in place");
    convert->add_option("PATH", args->paths, "Files or folders (searched recursively)")->required();
    convert->add_option("-j,--jobs", args->jobs, "Files converted at once (default 1)")
        ->check(CLI::Range(1u, 256u));
    convert->callback([&options, args] { runConvert(options, *args); });
}

} // namespace velmora::cli
