// The head of the form: boxes A to I of the purchase form (the title, the
// loan data of `b`, the note, and the parties with their names and
// addresses), or the numbered boxes 1 to 7 of the borrower-only form of a
// refinance, which has no type of loan and no seller.
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
    "Note: This form is furnished to give you a statement of actual settlement costs. "
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

std::string lenderHtml(const DealView& deal) {
    return element("div", "address", htmlText(deal.lenderName)) +
           element("div", "address", htmlText(deal.lenderAddress));
}

std::string sellerHtml(const CSectionNode& root, const DealView& deal) {
    return partiesHtml(deal.sellers) + fieldHtml("TIN", shown(&root, "e_SellerTin"));
}

std::string propertyHtml(const CSectionNode& root, const DealView& deal) {
    return addressHtml(deal.property) +
           fieldHtml(storedText(&root, "g_lot_Caption"), shown(&root, "g_lot")) +
           fieldHtml(storedText(&root, "g_Block_Caption"), shown(&root, "g_Block"));
}

std::string agentHtml(const CSectionNode& root, const DealView& deal) {
    return addressHtml(deal.agentBox) + fieldHtml("TIN", shown(&root, "h_AgentTin"));
}

std::string datesHtml(const CSectionNode& root) {
    return fieldHtml("Settlement date", shown(&root, "i_settlementDate")) +
           fieldHtml("Funding date", shown(&root, "fundingDate"));
}

std::string purchaseBoxes(const CSectionNode& root, const DealView& deal) {
    const std::string parties =
        box("party", "D. Name and address of borrower", partiesHtml(deal.borrowers)) +
        box("party", "E. Name and address of seller", sellerHtml(root, deal)) +
        box("party", "F. Name and address of lender", lenderHtml(deal));
    const std::string places =
        box("party", "G. Property location", propertyHtml(root, deal)) +
        box("party", "H. Settlement agent",
            agentHtml(root, deal) +
                fieldHtml("Place of settlement", shown(&root, "placeOfSettlement"))) +
        box("party", "I. Settlement date", datesHtml(root));
    return element("div", "parties", parties) + element("div", "parties", places);
}

// The loan's numbers, and its type only where one is stored: the
// borrower-only form has no box for it.
std::string refinanceLoanHtml(const CSectionNode& root) {
    const CSectionNode* loan = resolveUri(&root, "b");
    std::string out = fieldHtml("Loan number", shown(loan, "loanNo_7")) +
                      fieldHtml("File number", shown(loan, "fileNo_6"));
    const std::string caseNumber = shown(loan, "caseNo_8");
    if (!caseNumber.empty())
        out += fieldHtml("Mortgage insurance case number", caseNumber);
    if (!shown(loan, "loanOption").empty())
        out += element("div", "", loanTypeHtml(loan));
    return out;
}

// A seller is no part of this form; one the document names anyway is shown
// in a box of its own, without a number.
std::string refinanceBoxes(const CSectionNode& root, const DealView& deal) {
    std::string parties =
        box("party", "1. Name and address of borrower", partiesHtml(deal.borrowers));
    if (!deal.sellers.empty() || !shown(&root, "e_SellerTin").empty())
        parties += box("party", "Name and address of seller", sellerHtml(root, deal));
    parties += box("party", "2. Name and address of lender", lenderHtml(deal)) +
               box("party", "3. Property location", propertyHtml(root, deal));
    const std::string places =
        box("party", "4. Settlement agent", agentHtml(root, deal)) +
        box("party", "5. Place of settlement",
            element("div", "address", htmlText(shown(&root, "placeOfSettlement")))) +
        box("party", "6. Loan", refinanceLoanHtml(root)) +
        box("party", "7. Settlement date", datesHtml(root));
    return element("div", "parties", parties) + element("div", "parties", places);
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
    if (refinance) {
        const std::string title =
            element("div", "form-title",
                    element("h1", "", "Settlement Statement") +
                        element("div", "form-name", "HUD-1A &middot; borrower only"));
        return element("header", "form-head",
                       title + refinanceBoxes(root, deal) +
                           element("p", "note", escapeHtml(kNote)));
    }
    const std::string title = element("div", "form-title",
                                      element("h1", "", "A. Settlement Statement") +
                                          element("div", "form-name", "HUD-1"));
    return element("header", "form-head",
                   title + loanHtml(root) + element("p", "note", "C. " + escapeHtml(kNote)) +
                       purchaseBoxes(root, deal));
}

} // namespace velmora::render
