// The Windows build has no PDF output: the browser is run the POSIX way.
#include "chromium.h"

#include "session.h"

namespace velmora::cli {

void printHtmlToPdf(const std::string&, const std::string&) {
    throw CommandFailed("PDF output is not supported in the Windows build; render the HTML "
                        "page and print it from a browser");
}

} // namespace velmora::cli
