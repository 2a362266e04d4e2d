// Printing the statement page to PDF through a headless Chromium: Debian's
// "chromium" package, or the program named by the environment variable
// VELMORA_CHROMIUM. The browser runs with a fresh profile in a temporary
// folder, with everything that would reach the network switched off (on a
// closed network it would otherwise wait for it), and is stopped when it
// has not finished in time.
#pragma once

#include <string>

namespace velmora::cli {

// Writes the PDF of `html` to `pdfPath` the safe way (temporary file beside it,
// then rename). Throws CommandFailed with the reason when Chromium is not
// installed, fails or hangs, or when the file cannot be written; `pdfPath` is
// then left as it was.
void printHtmlToPdf(const std::string& html, const std::string& pdfPath);

} // namespace velmora::cli
