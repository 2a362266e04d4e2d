// Boxes A to I of the form: the title, the loan data of `b`, the note, and
// the parties with their names and addresses.
#include "document/deal_view.h"
#include "render/html_text.h"
#include "render/shown_values.h"
#include "render/statement_parts.h"
#include "tree/node_operations.h"
#include "tree/section_node.h"

#include <array>
#include <vector>

namespace velmora::render {
namespace {

constexpr std::array<std::string_view, 5> kLoanTypes = {"FHA", "RHS", "Conv. Unins.", "VA",
                                                        "Conv. Ins."};

constexpr char kNote[] =
    "C. Note: This form is furnished to give you a statement of actual settlement costs. "
    "Amounts paid to and by the settlement agent are shown. Items marked \"POC\" were paid "
    "outside the closing; they are shown here for informational purposes and are not "
    "included in the totals.";

std::string box(std::string_view cls, std::string_view title, const std::string& content) {
    return element("div", cls, element("div", "title", escapeHtml(title)) + content);
}

// The form numbers the loan types 1 to 5; `loanOption` holds that number. A
// value outside them is shown as it is stored.
std::string loanTypeHtml(const CSectionNode* loan) {
    const std::string option = shown(loan, "loanOption");
    std::string out;
    bool known = option.empty();
    for (std::size_t i = 0; i < kLoanTypes.size(); ++i) {
        const std::string number = std::to_string(i + 1);
        const bool marked = option == number;
        known = known || marked;
        out += checkBox(marked, number + ". " + escapeHtml(kLoanTypes[i]));
    }
    if (!known)
        out += element("span", "option marked", "option " + htmlText(option));
    return out;
}

std::string loanHtml(const CSectionNode& root) {
    const CSectionNode* loan = resolveUri(&root, "b");
    return element(
        "div", "loan",
        box("loan-type", "B. Type of loan", element("div", "", loanTypeHtml(loan))) +
            box("file", "6. File number", htmlText(shown(loan, "fileNo_6"))) +
            box("file", "7. Loan number", htmlText(shown(loan, "loanNo_7"))) +
            box("file", "8. Mortgage insurance case number", htmlText(shown(loan, "caseNo_8"))));
}

// "city, state zip", leaving out what the address leaves empty.
std::string cityLine(const AddressParts& address) {
    std::string line = address.city;
    if (!line.empty() && !address.state.empty())
        line += ", ";
    line += address.state;
    if (!line.empty() && !address.zip.empty())
        line += " ";
    line += address.zip;
    return line;
}

std::string partiesHtml(const std::vector<AddressParts>& parties) {
    if (parties.empty())
        return {};
    std::string out;
    for (std::size_t i = 0; i < parties.size() && i < kPartiesInBox; ++i)
        out += addressHtml(parties[i]);
    out = element("div", "party-list", out);
    if (parties.size() > kPartiesInBox)
        out += element("div", "more-parties",
                       "and " + std::to_string(parties.size() - kPartiesInBox) +
                           " more on the addendum");
    return out;
}

std::string partyBoxes(const CSectionNode& root, const DealView& deal, bool refinance) {
    std::string out = box("party", "D. Name and address of borrower", partiesHtml(deal.borrowers));
    const std::string sellerTin = shown(&root, "e_SellerTin");
    if (!refinance || !deal.sellers.empty() || !sellerTin.empty())
        out += box("party", "E. Name and address of seller",
                   partiesHtml(deal.sellers) + fieldHtml("TIN", sellerTin));
    out += box("party", "F. Name and address of lender",
               element("div", "address", htmlText(deal.lenderName)) +
                   element("div", "address", htmlText(deal.lenderAddress)));
    return element("div", "parties", out);
}

std::string placeBoxes(const CSectionNode& root, const DealView& deal) {
    const std::string property =
        addressHtml(deal.property) +
        fieldHtml(storedText(&root, "g_lot_Caption"), shown(&root, "g_lot")) +
        fieldHtml(storedText(&root, "g_Block_Caption"), shown(&root, "g_Block"));
    const std::string agent = addressHtml(deal.agentBox) +
                              fieldHtml("TIN", shown(&root, "h_AgentTin")) +
                              fieldHtml("Place of settlement", shown(&root, "placeOfSettlement"));
    const std::string dates = fieldHtml("Settlement date", shown(&root, "i_settlementDate")) +
                              fieldHtml("Funding date", shown(&root, "fundingDate"));
    return element("div", "parties",
                   box("party", "G. Property location", property) +
                       box("party", "H. Settlement agent", agent) +
                       box("party", "I. Settlement date", dates));
}

} // namespace

std::string addressHtml(const AddressParts& address) {
    const std::string city = cityLine(address);
    std::string out;
    for (const std::string* text : {&address.name1, &address.name2, &address.street, &city}) {
        if (!text->empty())
            out += element("div", "", htmlText(*text));
    }
    return element("div", "address", out);
}

std::string fieldHtml(std::string label, std::string value) {
    return element("div", "field",
                   element("span", "label", htmlText(std::move(label))) + " " +
                       element("span", "value", htmlText(std::move(value))));
}

std::string headerHtml(const CSectionNode& root, const DealView& deal, bool refinance) {
    const std::string title = element(
        "div", "form-title",
        element("h1", "", "A. Settlement Statement") +
            element("div", "form-name", refinance ? "HUD-1A &middot; borrower only" : "HUD-1"));
    return element("header", "form-head",
                   title + loanHtml(root) + element("p", "note", escapeHtml(kNote)) +
                       partyBoxes(root, deal, refinance) + placeBoxes(root, deal));
}

} // namespace velmora::render
