// Printing statement pages to PDF through a headless Chromium: Debian's
// "chromium" package, or the program named by the environment variable
// VELMORA_CHROMIUM. One browser prints every page of a run, each in a tab of
// its own; it runs with a fresh profile in a temporary folder, with
// everything that would reach the network switched off (on a closed network
// it would otherwise wait for it), and is stopped at the end. The folders
// that killed runs left in the temporary folder are removed before the
// browser starts (stale_work_folders.h).
#pragma once

#include "render/pdf/print_failed.h"

#include <memory>
#include <string>

namespace velmora::render::pdf {

enum class Paper { Letter, A4 };

// Whether this build prints at all: the Windows build does not.
#ifdef _WIN32
inline constexpr bool kPrintsPdf = false;
#else
inline constexpr bool kPrintsPdf = true;
#endif

// Whether the browser program can be found (named with a path, or in PATH),
// without starting it: whether printing could work at all.
bool browserInstalled();

class PdfPrinter {
public:
    // Starts the browser. Throws BrowserMissing when Chromium is not
    // installed, PrintFailed with the reason when it does not start (and, on
    // Windows, always).
    explicit PdfPrinter(Paper paper);
    ~PdfPrinter();
    PdfPrinter(const PdfPrinter&) = delete;
    PdfPrinter& operator=(const PdfPrinter&) = delete;

    // The PDF of the page `html`, on paper of the printer's size, with the
    // tool's name as its Producer (pdf_producer.h). Throws
    // PrintFailed when the browser fails, dies or hangs on it; the next
    // page starts a new browser then. Safe from several threads.
    std::string print(const std::string& html);

private:
    class Browsers;
    std::unique_ptr<Browsers> browsers_;
};

} // namespace velmora::render::pdf
