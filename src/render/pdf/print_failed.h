// Why a page could not be printed to PDF, in one line that names the browser's
// own reason where it gave one. The command line reports it as it reports its
// own failures.
#pragma once

#include <stdexcept>

namespace velmora::render::pdf {

class PrintFailed : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The browser program was not found, or may not be run.
class BrowserMissing final : public PrintFailed {
public:
    using PrintFailed::PrintFailed;
};

} // namespace velmora::render::pdf
