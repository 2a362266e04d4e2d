// The Windows build has no PDF output: the browser is run the POSIX way.
#include "render/pdf/chromium.h"

namespace velmora::render::pdf {
namespace {

[[noreturn]] void refuse() {
    throw PrintFailed("PDF output is not supported in the Windows build; render the HTML "
                      "page and print it from a browser");
}

} // namespace

bool browserInstalled() {
    return false;
}

class PdfPrinter::Browsers {};

PdfPrinter::PdfPrinter(Paper) {
    refuse();
}

PdfPrinter::~PdfPrinter() = default;

std::string PdfPrinter::print(const std::string&) {
    refuse();
}

} // namespace velmora::render::pdf
