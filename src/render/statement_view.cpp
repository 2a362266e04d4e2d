#include "render/statement_view.h"

#include "document/deal_view.h"
#include "document/hud_document.h"
#include "render/html_text.h"
#include "render/own_outputs.h"
#include "render/shown_values.h"
#include "render/statement_parts.h"
#include "tree/held_value.h"
#include "tree/node_operations.h"
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
// it and, where it holds the certification, with that.
std::string closingHtml(const std::string& content) {
    return element("div", "closing", content);
}

std::string signatureHtml(std::string_view title, const CSectionNode* parties) {
    return element("div", "signature",
                   element("div", "title", escapeHtml(title)) +
                       addressHtml(addressPartsOf(parties)));
}

// The borrower-only form has no sellers to sign unless the document names some.
std::string certificationHtml(const CSectionNode& root, bool refinance) {
    const CSectionNode* total = resolveUri(&root, "n1400");
    const CSectionNode* sellers = resolveUri(total, "sellers");
    std::string parties = signatureHtml("Borrowers", resolveUri(total, "borrowers"));
    if (!refinance || (sellers && holdsAnyValue(*sellers)))
        parties += signatureHtml("Sellers", sellers);
    parties += element("div", "signature",
                       fieldHtml("Settlement agent", shown(total, "settlementAgent")) +
                           fieldHtml("Date", shown(total, "settlementDate")));
    return element("div", "certification",
                   element("p", "",
                           "I have carefully reviewed this settlement statement and to the best "
                           "of my knowledge and belief it is a true and accurate statement of "
                           "all receipts and disbursements made on my account or by me in this "
                           "transaction.") +
                       element("div", "signatures", parties));
}

// The file's name as a terminal would show it (visibleText): a name that is
// no UTF-8, or holds controls, still makes a valid page.
std::string sourceHtml(const PageSource& source) {
    if (source.legacyFile.empty())
        return "";
    return element("p", "source",
                   "From the legacy file " + escapeHtml(visibleText(source.legacyFile)));
}

} // namespace

std::string renderStatement(const CHudDocument& document, const PageSource& source) {
    const bool refinance = document.documentType() == document_types::kHud1a;
    const DealView deal = readDealView(document);
    const std::string head = sourceHtml(source) + headerHtml(document, deal, refinance);
    std::string body;
    if (refinance) {
        body =
            page("statement", head + chargesHtml(document, true) +
                                  closingHtml(settlementTotalHtml(document, true)) +
                                  disbursementsHtml(document) + certificationHtml(document, true));
    } else {
        body = page("page1", head + summaryHtml(document)) +
               page("page2", chargesHtml(document, false) +
                                 closingHtml(settlementTotalHtml(document, false) +
                                             certificationHtml(document, false)));
    }
    body += appendicesHtml(document, deal);
    return pageOpening() + "<meta http-equiv=\"Content-Security-Policy\" content=\"" + kPolicy +
           "\">" + "<title>Settlement statement</title><style>" + std::string(statementStyle()) +
           "</style></head>" + element("body", refinance ? "hud1a" : "hud", body) + "</html>\n";
}

} // namespace velmora::render
