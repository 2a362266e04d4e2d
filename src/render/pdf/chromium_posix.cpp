#include "render/pdf/chromium.h"

#include "render/own_outputs.h"
#include "render/pdf/devtools_pipe.h"
#include "render/pdf/pdf_producer.h"
#include "render/pdf/stale_work_folders.h"
#include "render/pdf/work_folder.h"
#include "tree/base64.h"

#include <cstdlib>
#include <exception>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace velmora::render::pdf {
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

// Where each browser's work folder is made: TMPDIR, or /tmp.
std::string temporaryFolder() {
    return std::filesystem::temp_directory_path().string();
}

// printToPDF's paper, in inches.
nlohmann::ordered_json paperParams(Paper paper) {
    const bool a4 = paper == Paper::A4;
    return {{"paperWidth", a4 ? 8.27 : 8.5},
            {"paperHeight", a4 ? 11.69 : 11.0},
            {"preferCSSPageSize", false},
            {"printBackground", true},
            {"transferMode", "ReturnAsBase64"}};
}

std::string requiredText(const nlohmann::json& result, const char* name, const char* method) {
    const std::string* text = stringMember(result, name);
    if (!text || text->empty())
        throw PrintFailed(std::string("Chromium answered ") + method + " without " + name);
    return *text;
}

// One running browser and the folder it works in.
class Browser {
public:
    explicit Browser(const std::string& program)
        : folder_(temporaryFolder()),
          pipe_({program, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
                 "--no-first-run", "--disable-background-networking", "--disable-component-update",
                 "--disable-sync", "--disable-dev-shm-usage",
                 "--user-data-dir=" + folder_.file("profile"), "--remote-debugging-pipe"},
                folder_.file("chromium.log")) {
        // Proof that it listens before any page is given to it.
        pipe_.call("Browser.getVersion", nlohmann::ordered_json::object(), "",
                   Clock::now() + kStartTime);
    }

    bool running() const { return pipe_.running(); }

    std::string print(const std::string& html, const nlohmann::ordered_json& paperParams) {
        const Clock::time_point deadline = Clock::now() + kPageTime;
        const Tab tab = takeTab(deadline);
        try {
            std::string pdf = printInTab(tab, html, paperParams, deadline);
            giveBack(tab);
            return pdf;
        } catch (const PrintFailed&) {
            close(tab);
            throw;
        }
    }

private:
    // A tab of the browser, attached to: each page is put in a free one
    // rather than a new one, which would cost a renderer's start.
    struct Tab {
        std::string target;
        std::string session;
        std::string frame;
    };

    Tab takeTab(Clock::time_point deadline) {
        {
            const std::lock_guard lock(mutex_);
            if (!idle_.empty()) {
                Tab tab = std::move(idle_.back());
                idle_.pop_back();
                return tab;
            }
        }
        Tab tab;
        tab.target =
            requiredText(pipe_.call("Target.createTarget", {{"url", "about:blank"}}, "", deadline),
                         "targetId", "Target.createTarget");
        try {
            tab.session = requiredText(pipe_.call("Target.attachToTarget",
                                                  {{"targetId", tab.target}, {"flatten", true}}, "",
                                                  deadline),
                                       "sessionId", "Target.attachToTarget");
            tab.frame = frameOf(pipe_.call("Page.getFrameTree", nlohmann::ordered_json::object(),
                                           tab.session, deadline));
        } catch (const PrintFailed&) {
            close(tab);
            throw;
        }
        return tab;
    }

    static std::string frameOf(const nlohmann::json& result) {
        const nlohmann::json* tree = member(result, "frameTree");
        const nlohmann::json* frame = tree ? member(*tree, "frame") : nullptr;
        if (!frame)
            throw PrintFailed("Chromium answered Page.getFrameTree without a frame");
        return requiredText(*frame, "id", "Page.getFrameTree");
    }

    // The page is given as text: it refers to nothing outside itself, so
    // there is nothing to load and no file to write.
    std::string printInTab(const Tab& tab, const std::string& html,
                           const nlohmann::ordered_json& paperParams, Clock::time_point deadline) {
        pipe_.call("Page.setDocumentContent", {{"frameId", tab.frame}, {"html", html}}, tab.session,
                   deadline);
        const std::string data =
            requiredText(pipe_.call("Page.printToPDF", paperParams, tab.session, deadline), "data",
                         "Page.printToPDF");
        const std::optional<std::string> pdf = decodeBase64(data);
        if (!pdf || !pdf->starts_with("%PDF-"))
            throw PrintFailed("Chromium printed something that is not a PDF");
        std::optional<std::string> marked = withProducer(*pdf, kGenerator);
        if (!marked)
            throw PrintFailed("Chromium printed a PDF whose end this tool cannot read, so it "
                              "could not be marked as the tool's own");
        return std::move(*marked);
    }

    void giveBack(Tab tab) {
        const std::lock_guard lock(mutex_);
        idle_.push_back(std::move(tab));
    }

    // A tab whose page failed is not used again: who knows what it holds.
    void close(const Tab& tab) {
        try {
            pipe_.call("Target.closeTarget", {{"targetId", tab.target}}, "",
                       Clock::now() + kCloseTime);
        } catch (const PrintFailed&) {
            // The page's failure is told already; a browser that cannot close
            // a tab is not running any more, and the next page starts anew.
        }
    }

    WorkFolder folder_;
    DevToolsPipe pipe_;
    std::mutex mutex_;
    std::vector<Tab> idle_;
};

} // namespace

bool browserInstalled() {
    const std::string program = programName();
    if (program.find('/') != std::string::npos)
        return ::access(program.c_str(), X_OK) == 0;
    const char* path = std::getenv("PATH");
    for (std::string_view folders = path ? path : ""; !folders.empty();) {
        const std::size_t colon = std::min(folders.find(':'), folders.size());
        const std::string folder(folders.substr(0, colon));
        if (!folder.empty() && ::access((folder + "/" + program).c_str(), X_OK) == 0)
            return true;
        folders.remove_prefix(std::min(colon + 1, folders.size()));
    }
    return false;
}

// The browser of the run: started again after one died, but not after one
// could not be started, which would only fail again, slowly.
class PdfPrinter::Browsers {
public:
    explicit Browsers(Paper paper) : program_(programName()), paperParams_(paperParams(paper)) {
        removeStaleWorkFolders(temporaryFolder());
        current();
    }

    std::string print(const std::string& html) { return current()->print(html, paperParams_); }

private:
    std::shared_ptr<Browser> current() {
        const std::lock_guard lock(mutex_);
        if (browser_ && browser_->running())
            return browser_;
        if (startFailure_)
            std::rethrow_exception(startFailure_);
        try {
            browser_ = std::make_shared<Browser>(program_);
        } catch (const BrowserMissing&) {
            startFailure_ = std::make_exception_ptr(BrowserMissing(
                "PDF output needs Chromium, and no program '" + program_ +
                "' was found (install Debian's 'chromium' package, as "
                "scripts/install-deps does, or name the browser in VELMORA_CHROMIUM)"));
            std::rethrow_exception(startFailure_);
        } catch (const PrintFailed& failure) {
            startFailure_ = std::make_exception_ptr(
                PrintFailed(std::string("Chromium could not be started: ") + failure.what()));
            std::rethrow_exception(startFailure_);
        }
        return browser_;
    }

    const std::string program_;
    const nlohmann::ordered_json paperParams_;
    std::mutex mutex_;
    std::shared_ptr<Browser> browser_;
    // What the first start that failed threw, thrown again for every page.
    std::exception_ptr startFailure_;
};

PdfPrinter::PdfPrinter(Paper paper) : browsers_(std::make_unique<Browsers>(paper)) {}

PdfPrinter::~PdfPrinter() = default;

std::string PdfPrinter::print(const std::string& html) {
    return browsers_->print(html);
}

} // namespace velmora::render::pdf
