// The settlement charges (blocks 700 to 1400) and, for a refinance, the
// disbursements to others (1500) and the net settlement (1600). Each line
// shows its number, its description with the details its columns hold, the
// payor, and the borrower's and the seller's amounts; a block's `more` lines
// follow its numbered ones.
#include "form_rows.h"
#include "html_text.h"
#include "line_text.h"
#include "shown_values.h"
#include "statement_parts.h"
#include "tree/section_node.h"

namespace velmora::cli {
namespace {

// An amount column: its heading and the property it shows, the first of
// `names` that a line's class has (lines of one block differ: the numbered
// lines of block 1500 hold `amount`, its `more` lines `borrowerFund`).
struct Column {
    std::string_view header;
    std::vector<std::string_view> names;
};

const std::vector<Column> kBothSides = {
    {"Paid from borrower's funds at settlement", {"borrowerFund"}},
    {"Paid from seller's funds at settlement", {"sellerFund"}},
};
const std::vector<Column> kBorrowerOnly = {
    {"Paid from borrower's funds at settlement", {"borrowerFund"}},
};
const std::vector<Column> kDisbursed = {{"Amount", {"amount", "borrowerFund"}}};

FormRows chargeRows() {
    return FormRows{heading("800", "Items payable in connection with loan")} +
           lineRun("n800", 801, 813,
                   {"Loan origination fee", "Loan discount", "Appraisal fee", "Credit report",
                    "Lender's inspection fee", "Mortgage insurance application fee",
                    "Assumption fee"}) +
           moreLines("n800") + heading("900", "Items required by lender to be paid in advance") +
           lineRun("n900", 901, 905,
                   {"Interest", "Mortgage insurance premium", "Hazard insurance premium"}) +
           moreLines("n900") + heading("1000", "Reserves deposited with lender") +
           lineRun("n1000", 1001, 1008,
                   {"Hazard insurance", "Mortgage insurance", "City property taxes",
                    "County property taxes", "Annual assessments", "", "",
                    "Aggregate adjustment"}) +
           heading("1100", "Title charges") +
           lineRun("n1100", 1101, 1113,
                   {"Settlement or closing fee", "Abstract or title search", "Title examination",
                    "Title insurance binder", "Document preparation", "Notary fees",
                    "Attorney's fees", "Title insurance", "Lender's coverage",
                    "Owner's coverage"}) +
           moreLines("n1100") + heading("1200", "Government recording and transfer charges") +
           lineRun("n1200", 1201, 1205,
                   {"Recording fees", "City/county tax/stamps", "State tax/stamps"}) +
           moreLines("n1200") + heading("1300", "Additional settlement charges") +
           lineRun("n1300", 1301, 1307, {"Survey", "Pest inspection"}) + moreLines("n1300");
}

FormRows commissionRows() {
    return FormRows{subheading("Division of commission (line 700) as follows:")} +
           lineRun("n700", 701, 704, {"", "", "Commission paid at settlement"});
}

FormRows disbursementRows() {
    return lineRun("n1500", 1501, 1515) + moreLines("n1500") +
           total("1520", "Total disbursed (enter on line 1603)", "n1500", "n1520");
}

FormRows netSettlementRows() {
    return FormRows{
        heading("", "N. Net settlement"),
        value("1600", "Loan amount", "n1600", "amount"),
        value("1601", "Plus cash/check from borrower", "n1600", "cash"),
        value("1602", "Minus total settlement charges (line 1400)", "", ""),
        value("1603", "Minus total disbursements to others (line 1520)", "", ""),
        total("1604",
              "Equals disbursements to borrower (after expiration of any applicable rescission "
              "period required by law)",
              "n1600", "n1604"),
    };
}

class ChargeTable {
public:
    ChargeTable(const CSectionNode& root, const std::vector<Column>& columns)
        : root_(root), columns_(columns) {
        consumed_.push_back("payor");
        for (const Column& column : columns_)
            consumed_.insert(consumed_.end(), column.names.begin(), column.names.end());
    }

    int width() const { return 3 + static_cast<int>(columns_.size()); }

    std::string head(std::string_view title) const {
        std::string out = "<thead><tr><th colspan=\"2\" class=\"title\">" + escapeHtml(title) +
                          "</th><th class=\"payor\">Payor</th>";
        for (const Column& column : columns_)
            out += "<th class=\"amt\">" + escapeHtml(column.header) + "</th>";
        return out + "</tr></thead>";
    }

    std::string row(const FormRow& row) const {
        switch (row.kind) {
        case RowKind::Heading:
            return element("tr", "", cell("head", escapeHtml(headingText(row)), width()));
        case RowKind::Subheading:
            return element("tr", "", cell("subhead", escapeHtml(row.caption), width()));
        case RowKind::Line:
            return lineRow(childAt(&root_, row.node), row.number, row.caption, "");
        case RowKind::TotalLine:
            return lineRow(childAt(&root_, row.node), row.number, row.caption, "total");
        case RowKind::MoreLines:
            return moreRows(childAt(&root_, row.node + "/more"));
        case RowKind::Value:
        case RowKind::Total:
            break;
        }
        return valueRow(row);
    }

    std::string rows(const FormRows& rows) const {
        std::string out;
        for (const FormRow& each : rows)
            out += row(each);
        return out;
    }

private:
    std::string amount(const CSectionNode* line, const Column& column) const {
        for (const std::string_view name : column.names) {
            if (hasProperty(line, name))
                return shown(line, name);
        }
        return {};
    }

    std::string lineRow(const CSectionNode* line, const std::string& number,
                        const std::string& caption, std::string_view cls) const {
        std::string cells = cell("no", numberText(number)) +
                            cell("desc", lineDescription(line, caption, consumed_)) +
                            cell("payor", htmlText(shown(line, "payor")));
        for (const Column& column : columns_)
            cells += cell("amt", htmlText(amount(line, column)));
        return element("tr", cls, cells);
    }

    std::string moreRows(const CSectionNode* more) const {
        std::string out;
        if (!more)
            return out;
        for (const auto& line : more->children())
            out += lineRow(line.get(), "", "", "more");
        return out;
    }

    // The value stands in the first amount column.
    std::string valueRow(const FormRow& row) const {
        const std::string text =
            row.property.empty() ? std::string() : shown(childAt(&root_, row.node), row.property);
        std::string cells = cell("no", numberText(row.number)) +
                            cell("desc", escapeHtml(row.caption), 2) + cell("amt", htmlText(text));
        for (std::size_t i = 1; i < columns_.size(); ++i)
            cells += cell("amt", "");
        return element("tr", row.kind == RowKind::Total ? "total" : "", cells);
    }

    const CSectionNode& root_;
    const std::vector<Column>& columns_;
    std::vector<std::string_view> consumed_;
};

std::string table(std::string_view id, const ChargeTable& charges, std::string_view title,
                  const std::string& body) {
    std::string out = "<table class=\"charges\" id=\"" + std::string(id) + "\">";
    out += "<colgroup><col class=\"no\"><col><col class=\"payor\">";
    for (int i = 3; i < charges.width(); ++i)
        out += "<col class=\"amt\">";
    out += "</colgroup>" + charges.head(title) + "<tbody>" + body + "</tbody></table>";
    return out;
}

// "700. Total sales/broker's commission based on price $ … @ … % = …"
std::string commissionHeading(const CSectionNode& root, int width) {
    const CSectionNode* block = childAt(&root, "n700");
    const CSectionNode* price = childAt(block, "price");
    const std::string markup =
        escapeHtml("700. Total sales/broker's commission based on price $ ") +
        element("span", "value", htmlText(shown(price, "amount"))) + " @ " +
        element("span", "value", htmlText(shown(price, "at"))) +
        " % = " + element("span", "value", htmlText(shown(block, "s700Price")));
    return element("tr", "", cell("head", markup, width));
}

} // namespace

std::string chargesHtml(const CSectionNode& root, bool refinance) {
    const ChargeTable charges(root, refinance ? kBorrowerOnly : kBothSides);
    const FormRow last = totalLine("1400",
                                   refinance ? "Total settlement charges (enter on line 1602)"
                                             : "Total settlement charges (enter on lines 103, "
                                               "Section J and 502, Section K)",
                                   "n1400");
    std::string body;
    if (!refinance)
        body = commissionHeading(root, charges.width()) + charges.rows(commissionRows());
    body += charges.rows(chargeRows()) + charges.row(last);
    return table("charges", charges, "L. Settlement charges", body);
}

std::string disbursementsHtml(const CSectionNode& root) {
    const ChargeTable disbursed(root, kDisbursed);
    return table("disbursements", disbursed, "M. Disbursement to others",
                 disbursed.rows(disbursementRows() + netSettlementRows()));
}

} // namespace velmora::cli
