#include "chromium.h"

#include "devtools_pipe.h"

#include "archive/base64.h"
#include "archive/json_text.h"

#include <atomic>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

namespace velmora::cli {
namespace {

using Clock = DevToolsPipe::Clock;

// A statement prints in a second or two; a page still not printed after this
// waits for something that will not come. Starting takes longer on a cold
// machine.
constexpr auto kPageTime = std::chrono::seconds(60);
constexpr auto kStartTime = std::chrono::seconds(60);
// Closing a tab is tidying up: a browser that does not, is not waited for.
constexpr auto kCloseTime = std::chrono::seconds(5);

std::string programName() {
    const char* named = std::getenv("VELMORA_CHROMIUM");
    return named && *named ? named : "chromium";
}

// A new folder for one browser (its pages, its profile and its log),
// removed with everything in it.
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

    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

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

// printToPDF's paper, in inches.
std::string paperParams(Paper paper) {
    const char* size = paper == Paper::A4 ? "\"paperWidth\":8.27,\"paperHeight\":11.69"
                                          : "\"paperWidth\":8.5,\"paperHeight\":11";
    return std::string("{") + size +
           ",\"preferCSSPageSize\":false,\"printBackground\":true,\"transferMode\":"
           "\"ReturnAsBase64\"}";
}

std::string requiredText(const archive::JsonValue& result, const char* name, const char* method) {
    const std::string* text = result.stringMember(name);
    if (!text || text->empty())
        throw CommandFailed(std::string("Chromium answered ") + method + " without " + name);
    return *text;
}

// One running browser and the folder it works in.
class Browser {
public:
    explicit Browser(const std::string& program)
        : pipe_({program, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
                 "--no-first-run", "--disable-background-networking", "--disable-component-update",
                 "--disable-sync", "--disable-dev-shm-usage",
                 "--user-data-dir=" + folder_.file("profile"), "--remote-debugging-pipe"},
                folder_.file("chromium.log")) {
        // Proof that it listens before any page is given to it.
        pipe_.call("Browser.getVersion", "{}", "", Clock::now() + kStartTime);
    }

    bool running() const { return pipe_.running(); }

    std::string print(const std::string& html, const std::string& paperParams) {
        const Clock::time_point deadline = Clock::now() + kPageTime;
        const std::string page = folder_.file("page-" + std::to_string(++pages_) + ".html");
        writePage(page, html);
        const std::string target = requiredText(
            pipe_.call("Target.createTarget", R"({"url":"about:blank"})", "", deadline), "targetId",
            "Target.createTarget");
        try {
            std::string pdf = printInTarget(target, fileUrl(page), paperParams, deadline);
            tidyUp(target, page);
            return pdf;
        } catch (const CommandFailed&) {
            tidyUp(target, page);
            throw;
        }
    }

private:
    static void writePage(const std::string& path, const std::string& html) {
        std::ofstream out(path, std::ios::binary);
        out << html;
        if (!out.flush())
            throw CommandFailed(path + ": could not be written");
    }

    std::string printInTarget(const std::string& target, const std::string& url,
                              const std::string& paperParams, Clock::time_point deadline) {
        const std::string session = requiredText(
            pipe_.call("Target.attachToTarget",
                       "{\"targetId\":" + archive::jsonQuoted(target) + ",\"flatten\":true}", "",
                       deadline),
            "sessionId", "Target.attachToTarget");
        pipe_.call("Page.enable", "{}", session, deadline);
        pipe_.expectEvent("Page.loadEventFired", session);
        const archive::JsonValue navigated = pipe_.call(
            "Page.navigate", "{\"url\":" + archive::jsonQuoted(url) + "}", session, deadline);
        if (const std::string* error = navigated.stringMember("errorText"))
            throw CommandFailed("Chromium could not open the page: " + error->substr(0, 200));
        pipe_.awaitEvent("Page.loadEventFired", session, deadline);
        const std::string data =
            requiredText(pipe_.call("Page.printToPDF", paperParams, session, deadline), "data",
                         "Page.printToPDF");
        std::optional<std::string> pdf = archive::decodeBase64(data);
        if (!pdf || !pdf->starts_with("%PDF-"))
            throw CommandFailed("Chromium printed something that is not a PDF");
        return std::move(*pdf);
    }

    void tidyUp(const std::string& target, const std::string& page) {
        std::error_code ignored;
        std::filesystem::remove(page, ignored);
        try {
            pipe_.call("Target.closeTarget", "{\"targetId\":" + archive::jsonQuoted(target) + "}",
                       "", Clock::now() + kCloseTime);
        } catch (const CommandFailed&) {
            // The page's outcome is told already; a browser that cannot close
            // a tab is not running any more, and the next page starts anew.
        }
    }

    WorkFolder folder_;
    DevToolsPipe pipe_;
    std::atomic<unsigned> pages_{0};
};

} // namespace

// The browser of the run: started again after one died, but not after one
// could not be started, which would only fail again, slowly.
class PdfPrinter::Browsers {
public:
    explicit Browsers(Paper paper) : program_(programName()), paperParams_(paperParams(paper)) {
        current();
    }

    std::string print(const std::string& html) { return current()->print(html, paperParams_); }

private:
    std::shared_ptr<Browser> current() {
        const std::lock_guard lock(mutex_);
        if (browser_ && browser_->running())
            return browser_;
        if (!startFailure_.empty())
            throw CommandFailed(startFailure_);
        try {
            browser_ = std::make_shared<Browser>(program_);
        } catch (const BrowserMissing&) {
            startFailure_ = "PDF output needs Chromium, and no program '" + program_ +
                            "' was found (install Debian's 'chromium' package, as "
                            "scripts/install-deps does, or name the browser in VELMORA_CHROMIUM)";
            throw CommandFailed(startFailure_);
        } catch (const CommandFailed& failure) {
            startFailure_ = std::string("Chromium could not be started: ") + failure.what();
            throw CommandFailed(startFailure_);
        }
        return browser_;
    }

    const std::string program_;
    const std::string paperParams_;
    std::mutex mutex_;
    std::shared_ptr<Browser> browser_;
    std::string startFailure_;
};

PdfPrinter::PdfPrinter(Paper paper) : browsers_(std::make_unique<Browsers>(paper)) {}

PdfPrinter::~PdfPrinter() = default;

std::string PdfPrinter::print(const std::string& html) {
    return browsers_->print(html);
}

} // namespace velmora::cli
