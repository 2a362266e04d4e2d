// The companion forms a document carries, each on pages of its own after the
// statement: the initial escrow account disclosure with its twelve months,
// the ledger of the closing and the checks to print. Their values are stored
// text like the statement's, shown as they are.
#include "document/deal_view.h"
#include "render/html_text.h"
#include "render/shown_values.h"
#include "render/statement_parts.h"
#include "tree/held_value.h"
#include "tree/node_operations.h"
#include "tree/section_node.h"

#include <utility>
#include <vector>

namespace velmora::render {
namespace {

// A column (or a field) and the properties it shows, joined by ", ".
struct Field {
    std::string_view label;
    std::vector<std::string_view> names;
    bool amount = false;
};

std::string joined(const CSectionNode* node, const Field& field) {
    std::string out;
    for (const std::string_view name : field.names) {
        const std::string text = field.amount ? shownAmount(node, name) : shown(node, name);
        if (!text.empty())
            out += (out.empty() ? "" : ", ") + text;
    }
    return out;
}

std::string fieldsHtml(const CSectionNode& node, const std::vector<Field>& fields) {
    std::string out;
    for (const Field& field : fields)
        out += fieldHtml(std::string(field.label), joined(&node, field));
    return element("div", "fields", out);
}

// One row per entry of `list`, one column per field.
std::string entriesHtml(std::string_view title, const CSectionNode* list,
                        const std::vector<Field>& columns) {
    if (!list)
        return {};
    std::string head;
    for (const Field& column : columns)
        head += element("th", "", escapeHtml(column.label));
    std::string body;
    for (const auto& entry : list->children()) {
        std::string cells;
        for (const Field& column : columns) // amounts align right, as on the statement
            cells += cell(column.amount ? "amt" : "", htmlText(joined(entry.get(), column)));
        body += element("tr", "", cells);
    }
    if (body.empty())
        body = element("tr", "", cell("none", "none", static_cast<int>(columns.size())));
    return element("h3", "", escapeHtml(title)) +
           element("table", "entries",
                   element("thead", "", element("tr", "", head)) + element("tbody", "", body));
}

std::string appendix(std::string_view id, std::string_view title, const std::string& content) {
    return "<section class=\"appendix\" id=\"" + std::string(id) + "\">" +
           element("h2", "", escapeHtml(title)) + content + "</section>";
}

constexpr const char* kMonths[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                   "jul", "aug", "sep", "oct", "nov", "dec"};
constexpr const char* kMonthNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

std::string escrowHtml(const CSectionNode& escrow) {
    std::string names;
    std::string amounts;
    for (std::size_t i = 0; i < std::size(kMonths); ++i) {
        names += element("th", "", kMonthNames[i]);
        amounts += cell("amt", htmlText(shownAmount(resolveUri(&escrow, kMonths[i]), "amount")));
    }
    const std::string months = element("table", "entries months",
                                       element("thead", "", element("tr", "", names)) +
                                           element("tbody", "", element("tr", "", amounts)));
    return appendix("escrow-disclosure", "Initial escrow account disclosure",
                    fieldsHtml(escrow, {{"Toll-free number", {"tollFreeNumber"}},
                                        {"First payment date", {"firstPaymentDate"}},
                                        {"Months allowed", {"maxMonthsAllowed"}},
                                        {"Escrow to", {"escrowTo"}, true},
                                        {"Initial escrow", {"escrowInit"}, true},
                                        {"Cushion", {"cushionAmount"}, true},
                                        {"Monthly payment", {"monthlyPayment"}, true},
                                        {"Discretionary amount", {"discretionaryAmount"}, true}}) +
                        element("h3", "", "Monthly escrow payments") + months);
}

// The transaction id is a generated key with nothing in it for a reader.
std::string ledgerHtml(const CSectionNode& ledger) {
    const std::string fields =
        fieldsHtml(ledger, {{"Borrowers", {"borrowerName1", "borrowerName2"}},
                            {"Sellers", {"sellerName1", "sellerName2"}},
                            {"Property", {"location1", "location2", "location3", "location4"}},
                            {"Sub-account", {"subAcctNum"}}});
    const std::string deposits = entriesHtml(
        "Deposits", resolveUri(&ledger, "deposits"),
        {{"Date", {"date"}}, {"From", {"from"}}, {"Memo", {"memo"}}, {"Amount", {"amount"}, true}});
    const std::string withdrawals = entriesHtml("Withdrawals", resolveUri(&ledger, "withdrawals"),
                                                {{"Date", {"date"}},
                                                 {"Pay to", {"payTo"}},
                                                 {"Check", {"check"}},
                                                 {"Memo", {"memo"}},
                                                 {"Amount", {"amount"}, true}});
    const std::string transactions =
        entriesHtml("Transactions", resolveUri(&ledger, "transactions"),
                    {{"Date", {"transDate"}},
                     {"Type", {"transType"}},
                     {"Ref.", {"refNum"}},
                     {"Payee", {"payee"}},
                     {"Address", {"address1", "address2", "city", "state", "zip"}},
                     {"Memo", {"memo"}},
                     {"Wire", {"wireFlag"}},
                     {"Amount", {"amount"}, true}});
    return appendix("ledger", "Ledger", fields + deposits + withdrawals + transactions);
}

std::string checksHtml(const CSectionNode& checks) {
    return appendix("checks", "Checks",
                    entriesHtml("Checks to print", &checks,
                                {{"Check no.", {"checkNo"}},
                                 {"Date", {"date"}},
                                 {"Pay to", {"payTo"}},
                                 {"Address", {"address"}},
                                 {"Memo", {"memo"}},
                                 {"Print", {"print"}},
                                 {"Amount", {"amount"}, true}}));
}

// Parties side by side in a row of the addendum; more would leave each a
// column too narrow for a name.
constexpr std::size_t kPartiesInRow = 4;

// `parties` from the first the boxes leave out, four to a row, each row kept
// whole on its sheet.
std::string partyTableHtml(const std::vector<AddressParts>& parties) {
    std::string rows;
    for (std::size_t first = kPartiesInBox; first < parties.size(); first += kPartiesInRow) {
        std::string cells;
        for (std::size_t i = first; i < first + kPartiesInRow; ++i)
            cells += element("td", "", i < parties.size() ? addressHtml(parties[i]) : "");
        rows += element("tr", "", cells);
    }
    std::string columns;
    for (std::size_t i = 0; i < kPartiesInRow; ++i)
        columns += "<col>";
    return element("table", "party-table",
                   element("colgroup", "", columns) + element("tbody", "", rows));
}

// The parties beyond those the boxes show, one table per side.
std::string addendumHtml(const DealView& deal) {
    std::string content;
    for (const auto& [title, parties] : {std::pair{"Further borrowers", &deal.borrowers},
                                         std::pair{"Further sellers", &deal.sellers}}) {
        if (parties->size() > kPartiesInBox)
            content += element("h3", "", escapeHtml(title)) + partyTableHtml(*parties);
    }
    return content.empty() ? content : appendix("parties", "Addendum: parties", content);
}

} // namespace

std::string appendicesHtml(const CSectionNode& root, const DealView& deal) {
    std::string out = addendumHtml(deal);
    for (const auto& child : root.children()) {
        const std::string& name = child->getName();
        if (name == "initialEscrowDisclosure" && holdsAnyValue(*child))
            out += escrowHtml(*child);
        else if (name == "ledger")
            out += ledgerHtml(*child);
        else if (name == "checkPrinting")
            out += checksHtml(*child);
    }
    return out;
}

} // namespace velmora::render
