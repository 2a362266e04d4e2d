#include "serve/deal_pages.h"

#include "batch/deal_in_memory.h"
#include "document/json_export.h"
#include "index/index_search.h"
#include "platform/file_system.h"
#include "platform/path_parts.h"
#include "platform/read_refusal.h"
#include "render/pdf/chromium.h"
#include "render/statement_view.h"
#include "serve/page_html.h"

#include <charconv>
#include <cstdint>
#include <optional>
#include <variant>

namespace velmora::serve {
namespace {

// A row id: decimal digits alone, no sign, no leading zero, within int64.
std::optional<std::int64_t> idOf(std::string_view text) {
    std::int64_t id = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id);
    if (text.empty() || text.front() == '0' || text.front() == '-' || error != std::errc() ||
        end != text.data() + text.size())
        return std::nullopt;
    return id;
}

HttpReply notFound() {
    return {404, kHtml, messagePageHtml("No such deal", "The index holds no deal of this id.")};
}

HttpReply unreadable(const std::string& path, const std::string& why) {
    return {
        410, kHtml,
        messagePageHtml("This deal cannot be shown",
                        "Its file " + path + " was indexed, but cannot be read now: " + why + ".")};
}

std::string whyNoFile(const std::string& path) {
    const ReadRefusal refusal = readRefusalOf(path);
    return refusal == ReadRefusal::None
               ? "it is no file any more"
               : std::string("cannot be opened: ") + readRefusalText(refusal);
}

struct ReadDeal {
    std::string path;
    batch::DealInMemory deal;
};

// The deal read from its file at `path`, or the reply that says why not.
std::variant<ReadDeal, HttpReply> readDeal(const std::string& path) {
    if (path.empty())
        return notFound();
    // Only a file is opened: a fifo put in its place would hold the request
    // until something wrote to it, a device would never end.
    if (!fileExists(path))
        return unreadable(path, whyNoFile(path));
    ReadDeal read{path, batch::readDealInMemory(path)};
    if (read.deal.reading == batch::DealReading::Read)
        return read;
    return unreadable(path, read.deal.reason.empty() ? "it is no deal document any more"
                                                     : read.deal.reason);
}

// A legacy deal shown from its own file says so, on screen and in print.
render::PageSource sourceOf(const ReadDeal& read) {
    render::PageSource source;
    if (read.deal.kind.kind != batch::FileKind::XmlDocument)
        source.legacyFile = std::string(fileNameOf(read.path));
    return source;
}

} // namespace

DealPages::DealPages(bool printing) : printing_(printing) {}

std::string DealPages::indexedPath(index::Database& db, std::string_view idText) {
    const std::optional<std::int64_t> id = idOf(idText);
    if (!id)
        return "";
    const std::optional<index::SearchHit> row = index::documentOfId(db, *id);
    if (!row)
        return "";
    const auto* path = std::get_if<std::string>(&row->fields[index::Field::Path]);
    return path ? *path : "";
}

DealPages::~DealPages() = default;

HttpReply DealPages::page(std::string_view id, const std::string& path) {
    auto read = readDeal(path);
    if (auto* reply = std::get_if<HttpReply>(&read))
        return std::move(*reply);
    const ReadDeal& deal = std::get<ReadDeal>(read);
    render::PageSource source = sourceOf(deal);
    const std::string address(id);
    source.links = {{"Search", "/"}, {"JSON", "/api/deal/" + address}};
    if (printing_)
        source.links.push_back({"PDF", "/deal/" + address + ".pdf"});
    return {200, kHtml, render::renderStatement(*deal.deal.document, source)};
}

HttpReply DealPages::json(const std::string& path) {
    auto read = readDeal(path);
    if (auto* reply = std::get_if<HttpReply>(&read)) {
        // Scripts get the reason as text, not a page.
        return {reply->status, kText,
                reply->status == 404 ? "no deal of this id\n" : "the deal's file cannot be read\n"};
    }
    return {200, kJson,
            subtreeJson(*std::get<ReadDeal>(read).deal.document, TaxIds::Masked) + "\n"};
}

HttpReply DealPages::pdf(const std::string& path) {
    if (!printing_)
        return {404, kHtml, messagePageHtml("No PDF", "This server prints no PDFs.")};
    auto read = readDeal(path);
    if (auto* reply = std::get_if<HttpReply>(&read))
        return std::move(*reply);
    const ReadDeal& deal = std::get<ReadDeal>(read);
    const std::string html = render::renderStatement(*deal.deal.document, sourceOf(deal));
    try {
        return {200, kPdf, printer().print(html)};
    } catch (const render::pdf::PrintFailed& failure) {
        return {503, kHtml, messagePageHtml("The PDF could not be made", failure.what())};
    }
}

render::pdf::PdfPrinter& DealPages::printer() {
    const std::lock_guard lock(printerMutex_);
    if (!printer_)
        printer_ = std::make_unique<render::pdf::PdfPrinter>(render::pdf::Paper::Letter);
    return *printer_;
}

} // namespace velmora::serve
