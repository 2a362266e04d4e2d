// Boxes A to I of the form: the title, the loan data of `b`, the note, and
// the parties with their names and addresses.
#include "render/html_text.h"
#include "render/shown_values.h"
#include "render/statement_parts.h"
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
    const CSectionNode* loan = childAt(&root, "b");
    return element(
        "div", "loan",
        box("loan-type", "B. Type of loan", element("div", "", loanTypeHtml(loan))) +
            box("file", "6. File number", htmlText(shown(loan, "fileNo_6"))) +
            box("file", "7. Loan number", htmlText(shown(loan, "loanNo_7"))) +
            box("file", "8. Mortgage insurance case number", htmlText(shown(loan, "caseNo_8"))));
}

std::string partiesHtml(const CSectionNode& root, std::string_view party, std::string_view more) {
    const std::vector<const CSectionNode*> parties = partiesOf(root, party, more);
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

bool isSeparator(char c) {
    return c == '\n' || c == '\r' || c == ',' || c == ';' || c == ' ' || c == '\t';
}

// Converted files keep the whole lender block, name included, in the address
// text: what follows the name there is the address.
std::string lenderAddress(const std::string& name, std::string address) {
    if (name.empty() || !address.starts_with(name))
        return address;
    const std::size_t end = name.size();
    if (end < address.size() && !isSeparator(address[end]))
        return address;
    std::size_t start = end;
    while (start < address.size() && isSeparator(address[start]))
        ++start;
    return address.substr(start);
}

bool hasSeller(const CSectionNode& root) {
    const CSectionNode* seller = childAt(&root, "e");
    const CSectionNode* sellers = childAt(&root, "e_sellers");
    return (seller && holdsAnyValue(*seller)) || (sellers && sellers->childCount() > 0) ||
           !shown(&root, "e_SellerTin").empty();
}

std::string partyBoxes(const CSectionNode& root, bool refinance) {
    std::string out =
        box("party", "D. Name and address of borrower", partiesHtml(root, "d", "d_borrowers"));
    if (!refinance || hasSeller(root))
        out += box("party", "E. Name and address of seller",
                   partiesHtml(root, "e", "e_sellers") +
                       fieldHtml("TIN", shown(&root, "e_SellerTin")));
    const std::string lender = shown(&root, "f_LenderName");
    out += box("party", "F. Name and address of lender",
               element("div", "address", htmlText(lender)) +
                   element("div", "address",
                           htmlText(lenderAddress(lender, shown(&root, "f_LenderAddress")))));
    return element("div", "parties", out);
}

std::string placeBoxes(const CSectionNode& root) {
    const std::string property =
        addressHtml(childAt(&root, "g")) +
        fieldHtml(storedText(&root, "g_lot_Caption"), shown(&root, "g_lot")) +
        fieldHtml(storedText(&root, "g_Block_Caption"), shown(&root, "g_Block"));
    const std::string agent = addressHtml(childAt(&root, "h")) +
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

std::string addressHtml(const CSectionNode* address) {
    std::string cityLine = shown(address, "city");
    const std::string state = shown(address, "state");
    if (!cityLine.empty() && !state.empty())
        cityLine += ", ";
    cityLine += state;
    const std::string zip = shown(address, "zip");
    if (!cityLine.empty() && !zip.empty())
        cityLine += " ";
    cityLine += zip;
    std::string out;
    for (std::string text :
         {shown(address, "name1"), shown(address, "name2"), shown(address, "street"), cityLine}) {
        if (!text.empty())
            out += element("div", "", htmlText(std::move(text)));
    }
    return element("div", "address", out);
}

std::vector<const CSectionNode*> partiesOf(const CSectionNode& root, std::string_view party,
                                           std::string_view more) {
    std::vector<const CSectionNode*> parties;
    const CSectionNode* first = childAt(&root, party);
    if (first && holdsAnyValue(*first))
        parties.push_back(first);
    if (const CSectionNode* list = childAt(&root, more)) {
        for (const auto& entry : list->children())
            parties.push_back(entry.get());
    }
    return parties;
}

std::string fieldHtml(std::string label, std::string value) {
    return element("div", "field",
                   element("span", "label", htmlText(std::move(label))) + " " +
                       element("span", "value", htmlText(std::move(value))));
}

std::string headerHtml(const CSectionNode& root, bool refinance) {
    const std::string title = element(
        "div", "form-title",
        element("h1", "", "A. Settlement Statement") +
            element("div", "form-name", refinance ? "HUD-1A &middot; borrower only" : "HUD-1"));
    return element("header", "form-head",
                   title + loanHtml(root) + element("p", "note", escapeHtml(kNote)) +
                       partyBoxes(root, refinance) + placeBoxes(root));
}

} // namespace velmora::render
