#include "render/statement_view.h"

#include "document/deal_view.h"
#include "document/hud_document.h"
#include "render/html_text.h"
#include "render/own_outputs.h"
#include "render/shown_values.h"
#include "render/statement_parts.h"
#include "tree/visible_text.h"

namespace velmora::render {
namespace {

// Even if a text slipped through unescaped, the browser would run no script
// and fetch nothing.
constexpr char kPolicy[] = "default-src 'none'; style-src 'unsafe-inline'";

std::string page(std::string_view id, const std::string& content) {
    return "<section class=\"page\" id=\"" + std::string(id) + "\">" + content + "</section>";
}

// Line 1400 never starts a sheet of its own: it stays with the lines before
// it and with the certification.
std::string closingHtml(const std::string& content) {
    return element("div", "closing", content);
}

// The file's name as a terminal would show it (visibleText): a name that is
// no UTF-8, or holds controls, still makes a valid page.
std::string sourceHtml(const PageSource& source) {
    if (source.legacyFile.empty())
        return "";
    return element("p", "source",
                   "From the legacy file " + escapeHtml(visibleText(source.legacyFile)));
}

// Left out of print by the style sheet, so that printing the page gives the
// form's sheets alone.
std::string linksHtml(const PageSource& source) {
    if (source.links.empty())
        return "";
    std::string links;
    for (const PageLink& link : source.links)
        links += "<a href=\"" + escapeHtml(link.href) + "\">" + escapeHtml(link.label) + "</a>";
    return element("nav", "page-links", links);
}

} // namespace

std::string renderStatement(const CHudDocument& document, const PageSource& source) {
    const TaxIdsInFull taxIds(source.fullTaxIds);
    const bool refinance = document.documentType() == document_types::kHud1a;
    const DealView deal = readDealView(document);
    const std::string head = sourceHtml(source) + headerHtml(document, deal, refinance);
    const std::string certification = certificationHtml(document, deal, refinance);
    std::string body;
    if (refinance) {
        body = page("statement", head + chargesHtml(document, true) +
                                     closingHtml(settlementTotalHtml(document, true)) +
                                     disbursementsHtml(document) + certification);
    } else {
        // The printed form's page 1 holds boxes A to K, its page 2 begins
        // with L, whatever room page 1 leaves.
        body = page("page1", head + summaryHtml(document)) +
               page("page2", chargesHtml(document, false) +
                                 closingHtml(settlementTotalHtml(document, false) + certification));
    }
    body = linksHtml(source) + body + appendicesHtml(document, deal);
    return pageOpening() + "<meta http-equiv=\"Content-Security-Policy\" content=\"" + kPolicy +
           "\">" + "<title>" + pageTitle(document, deal, refinance) + "</title><style>" +
           std::string(statementStyle()) + pageRules(document, deal, refinance) +
           "</style></head>" + element("body", refinance ? "hud1a" : "hud", body) + "</html>\n";
}

} // namespace velmora::render
