// The Windows build has no PDF output: the browser is run the POSIX way.
#include "chromium.h"

#include "session.h"

namespace velmora::cli {
namespace {

[[noreturn]] void refuse() {
    throw CommandFailed("PDF output is not supported in the Windows build; render the HTML "
                        "page and print it from a browser");
}

} // namespace

class PdfPrinter::Browsers {};

PdfPrinter::PdfPrinter(Paper) {
    refuse();
}

PdfPrinter::~PdfPrinter() = default;

std::string PdfPrinter::print(const std::string&) {
    refuse();
}

} // namespace velmora::cli
