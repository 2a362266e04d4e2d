// The certification below line 1400, as the printed form has it: what the
// borrowers and sellers certify, a signature line and a date line for each
// of them (every party of the deal, those of the addendum too, so that no one
// who must sign is left without a line), the settlement agent's
// certification and line, and the warning about false statements. Signers
// are people: each name of a party's block has a line of its own.
#include "document/deal_view.h"
#include "render/html_text.h"
#include "render/shown_values.h"
#include "render/statement_parts.h"
#include "tree/held_value.h"
#include "tree/node_operations.h"

#include <algorithm>
#include <vector>

namespace velmora::render {
namespace {

constexpr char kBothSidesCertify[] =
    "Each borrower and seller who signs below has carefully reviewed this settlement statement "
    "and, to the best of their knowledge and belief, it is a true and accurate account of all "
    "money received and paid out on their account or by them in this transaction. Each has "
    "received a copy of this statement.";
constexpr char kBorrowersCertify[] =
    "Each borrower who signs below has carefully reviewed this settlement statement and, to "
    "the best of their knowledge and belief, it is a true and accurate account of all money "
    "received and paid out on their account or by them in this transaction. Each has received "
    "a copy of this statement.";
constexpr char kAgentCertifies[] =
    "Settlement agent: I prepared this settlement statement. It is a true and accurate account "
    "of this transaction, and the funds have been or will be paid out as it shows.";
constexpr char kWarning[] =
    "Warning: giving the United States a statement you know to be false, on this form or on "
    "one like it, is a crime punishable on conviction by a fine, imprisonment, or both "
    "(Title 18 of the United States Code, sections 1001 and 1010).";

// A signature rule with the signer's name under it, and a date rule beside
// it with the date, when one is known, above the word "Date".
std::string signatureHtml(const std::string& name, const std::string& date) {
    return element(
        "div", "sign",
        element("div", "sign-line", htmlText(name)) +
            element("div", "date-line",
                    element("div", "date", htmlText(date)) + element("div", "", "Date")));
}

// Everyone a name-and-address block names signs: a block names one person
// or, with its second name, two.
void addSigners(std::vector<std::string>& signers, const AddressParts& party) {
    for (const std::string* name : {&party.name1, &party.name2}) {
        if (!name->empty() && std::find(signers.begin(), signers.end(), *name) == signers.end())
            signers.push_back(*name);
    }
}

// The side's parties, then those that line 1400 names for the side when
// they are not among them; one unnamed line for a side that names nobody.
std::vector<std::string> signersOf(const std::vector<AddressParts>& parties,
                                   const CSectionNode* certified) {
    std::vector<std::string> signers;
    for (const AddressParts& party : parties)
        addSigners(signers, party);
    addSigners(signers, addressPartsOf(certified));
    if (signers.empty())
        signers.emplace_back();
    return signers;
}

std::string sideHtml(std::string_view title, const std::vector<std::string>& signers) {
    std::string out = element("div", "title", escapeHtml(title));
    for (const std::string& name : signers)
        out += signatureHtml(name, "");
    return element("div", "side", out);
}

} // namespace

std::string certificationHtml(const CSectionNode& root, const DealView& deal, bool refinance) {
    const CSectionNode* total = resolveUri(&root, "n1400");
    const CSectionNode* sellers = resolveUri(total, "sellers");
    const bool withSellers =
        !refinance || !deal.sellers.empty() || (sellers && holdsAnyValue(*sellers));
    std::string sides =
        sideHtml("Borrowers", signersOf(deal.borrowers, resolveUri(total, "borrowers")));
    if (withSellers)
        sides += sideHtml("Sellers", signersOf(deal.sellers, sellers));
    const std::string agent =
        element("div", "side",
                element("div", "title", "Settlement agent") +
                    signatureHtml(deal.settlementAgent, shown(total, "settlementDate")));
    return element(
        "div", "certification",
        element("p", "", escapeHtml(withSellers ? kBothSidesCertify : kBorrowersCertify)) +
            element("div", "signers", sides) + element("p", "", escapeHtml(kAgentCertifies)) +
            element("div", "signers", agent) + element("p", "warning", escapeHtml(kWarning)));
}

} // namespace velmora::render
