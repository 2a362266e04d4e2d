// One deal, addressed by its id in the index: its statement page, its JSON
// (as `velmora export --json` gives it) and, where Chromium is installed,
// its PDF. The deal is read from its file for every request (a legacy deal
// converted in memory), so that what is shown is what the file holds now;
// nothing is written, and a file that is gone or no longer reads is a page
// that says so. Only the files the index names are ever read.
#pragma once

#include "index/sqlite_db.h"
#include "serve/http_reply.h"

#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace velmora::render::pdf {
class PdfPrinter;
}

namespace velmora::serve {

class DealPages {
public:
    // `printing`: whether PDFs are offered (the build prints, and the
    // browser is installed).
    explicit DealPages(bool printing);
    ~DealPages();
    DealPages(const DealPages&) = delete;
    DealPages& operator=(const DealPages&) = delete;

    // The file the index names for deal `id`; empty when it names none.
    static std::string indexedPath(index::Database& db, std::string_view id);

    // Each from `path`, the file the index names for the deal (indexedPath);
    // 404 when it is empty. `id` addresses the deal's other forms.
    HttpReply page(std::string_view id, const std::string& path);
    HttpReply json(const std::string& path);
    HttpReply pdf(const std::string& path);

private:
    render::pdf::PdfPrinter& printer();

    const bool printing_;
    std::mutex printerMutex_;
    // Started at the first PDF asked for: a browser costs memory all along.
    std::unique_ptr<render::pdf::PdfPrinter> printer_;
};

} // namespace velmora::serve
