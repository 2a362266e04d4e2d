// The real browser of the render tests: Debian's headless Chromium run on a
// page the tool wrote, to print it, to count its sheets, to read the text
// of each printed sheet (poppler's pdftotext) and to measure the page with a
// script in a copy of it.
#pragma once

#include "render/statement_fixture.h"

#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

namespace velmora::testing {

inline constexpr int kBrowserSeconds = 120;

inline std::vector<std::string> browser(const TempFolder& folder) {
    return {"chromium",
            "--headless",
            "--no-sandbox",
            "--disable-gpu",
            "--disable-quic",
            "--no-first-run",
            "--disable-background-networking",
            "--disable-component-update",
            "--disable-sync",
            "--disable-dev-shm-usage",
            "--user-data-dir=" + folder.file("profile")};
}

inline bool installed(const std::string& program) {
    return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

inline bool chromiumInstalled() {
    return installed("chromium");
}

inline std::size_t pageCount(const std::string& pdf) {
    const std::regex page(R"(/Type\s*/Page(?![A-Za-z]))");
    return static_cast<std::size_t>(
        std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()));
}

// The text of each sheet of a PDF, in reading order.
inline std::vector<std::string> sheetTexts(const std::string& pdf) {
    const CliRun run = runProgram({"pdftotext", "-enc", "UTF-8", pdf, "-"}, kBrowserSeconds);
    EXPECT_EQ(run.exitCode, 0) << run;
    std::vector<std::string> sheets;
    std::size_t start = 0;
    for (std::size_t end = run.out.find('\f'); end != std::string::npos;
         end = run.out.find('\f', start)) {
        sheets.push_back(run.out.substr(start, end - start));
        start = end + 1;
    }
    return sheets;
}

// The page printed by `velmora render --pdf` on `paper` ("letter", "a4").
inline std::string printedPdf(const std::string& deal, const std::string& paper) {
    const std::string pdf = deal + "." + paper + ".pdf";
    const CliRun run = runProgram(
        {VELMORA_CLI_PATH, "render", "--pdf", "--paper", paper, deal, "-o", pdf}, kBrowserSeconds);
    EXPECT_EQ(run.exitCode, 0) << run;
    return pdf;
}

// `html` without its policy, with `script` at the end of the body, loaded in
// the browser; what the script wrote into the body's data-measured.
inline std::string measured(std::string html, const std::string& script) {
    const std::regex policy(R"(<meta http-equiv="Content-Security-Policy"[^>]*>)");
    html = std::regex_replace(html, policy, "");
    html.insert(html.rfind("</body>"), "<script>" + script + "</script>");
    TempFolder folder;
    writeBytes(folder.file("measured.html"), html);
    std::vector<std::string> dumping = browser(folder);
    dumping.insert(dumping.end(), {"--window-size=1000,2600", "--dump-dom",
                                   "file://" + folder.file("measured.html")});
    const CliRun dumped = runProgram(dumping, kBrowserSeconds);
    EXPECT_EQ(dumped.exitCode, 0) << dumped;
    std::smatch match;
    if (!std::regex_search(dumped.out, match, std::regex(R"re(data-measured="([^"]*)")re")))
        return {};
    return match[1].str();
}

} // namespace velmora::testing
