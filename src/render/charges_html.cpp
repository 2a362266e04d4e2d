// The settlement charges (blocks 700 to 1400) and, for a refinance, the
// disbursements to others (1500) and the net settlement (1600). Each line
// shows its number, its description with the details its columns hold (whom
// it was paid to among them, where the form has "to ______"), and the
// borrower's and the seller's amounts. A block's `more` lines
// take the blank lines the form leaves in the block without a caption, as
// one writes on the paper form, and those left over follow the block.
#include "render/amount_cell.h"
#include "render/form_rows.h"
#include "render/html_text.h"
#include "render/line_text.h"
#include "render/shown_values.h"
#include "render/statement_parts.h"
#include "tree/node_operations.h"
#include "tree/section_node.h"

#include <deque>
#include <map>

namespace velmora::render {
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
        copy("1602", "Minus total settlement charges (line 1400)", "n1400", "borrowerFund"),
        copy("1603", "Minus total disbursements to others (line 1520)", "n1500", "n1520"),
        total("1604",
              "Equals disbursements to borrower (after expiration of any applicable rescission "
              "period required by law)",
              "n1600", "n1604"),
    };
}

// The `more` lines of each block not yet printed, by the block's path.
using ExtraLines = std::map<std::string, std::deque<const CSectionNode*>, std::less<>>;

std::string_view blockOf(std::string_view linePath) {
    return linePath.substr(0, linePath.rfind('/'));
}

class ChargeTable {
public:
    ChargeTable(const CSectionNode& root, const std::vector<Column>& columns)
        : root_(root), columns_(columns) {
        for (const Column& column : columns_)
            consumed_.insert(consumed_.end(), column.names.begin(), column.names.end());
    }

    int width() const { return 2 + static_cast<int>(columns_.size()); }

    std::string head(std::string_view title) const {
        std::string out =
            "<thead><tr><th colspan=\"2\" class=\"title\">" + escapeHtml(title) + "</th>";
        for (const Column& column : columns_)
            out += "<th class=\"amt\">" + escapeHtml(column.header) + "</th>";
        return out + "</tr></thead>";
    }

    std::string rows(const FormRows& rows) const {
        ExtraLines extras = extraLines(rows);
        std::string out;
        for (const FormRow& each : rows)
            out += row(each, extras);
        return out;
    }

private:
    ExtraLines extraLines(const FormRows& rows) const {
        ExtraLines extras;
        for (const FormRow& each : rows) {
            if (each.kind != RowKind::MoreLines)
                continue;
            auto& lines = extras[each.node];
            if (const CSectionNode* more = resolveUri(&root_, each.node + "/more")) {
                for (const auto& line : more->children())
                    lines.push_back(line.get());
            }
        }
        return extras;
    }

    // The line that stands at `row`: the line itself, or the next extra line
    // of its block when the form leaves it blank.
    const CSectionNode* lineAt(const FormRow& row, ExtraLines& extras) const {
        const CSectionNode* line = resolveUri(&root_, row.node);
        if (!row.caption.empty() || !isBlankLine(line))
            return line;
        const auto block = extras.find(blockOf(row.node));
        if (block == extras.end() || block->second.empty())
            return line;
        line = block->second.front();
        block->second.pop_front();
        return line;
    }

    std::string row(const FormRow& row, ExtraLines& extras) const {
        switch (row.kind) {
        case RowKind::Heading:
            return element("tr", "", cell("head", escapeHtml(headingText(row)), width()));
        case RowKind::Subheading:
            return element("tr", "", cell("subhead", escapeHtml(row.caption), width()));
        case RowKind::Line:
            return lineRow(lineAt(row, extras), row.number, row.caption, "");
        case RowKind::TotalLine:
            return lineRow(resolveUri(&root_, row.node), row.number, row.caption, "total");
        case RowKind::MoreLines:
            return moreRows(extras[row.node]);
        case RowKind::Value:
        case RowKind::Total:
        case RowKind::Copy:
        case RowKind::Cash:
            break;
        }
        return valueRow(row);
    }

    // A total prints its zero; a line leaves it blank, as the form does.
    std::string amount(const CSectionNode* line, const Column& column, bool total) const {
        for (const std::string_view name : column.names) {
            if (hasProperty(line, name))
                return total ? shownAmount(line, name) : enteredAmount(line, name);
        }
        return {};
    }

    std::string lineRow(const CSectionNode* line, const std::string& number,
                        const std::string& caption, std::string_view cls) const {
        const bool total = cls == "total";
        std::string cells = cell("no", numberText(number)) +
                            cell("desc", lineDescription(line, caption, consumed_));
        for (const Column& column : columns_)
            cells += amountCell("amt", amount(line, column, total));
        return element("tr", cls, cells);
    }

    std::string moreRows(const std::deque<const CSectionNode*>& lines) const {
        std::string out;
        for (const CSectionNode* line : lines)
            out += lineRow(line, "", "", "more");
        return out;
    }

    // The value stands in the first amount column.
    std::string valueRow(const FormRow& row) const {
        const CSectionNode* node = resolveUri(&root_, row.node);
        const bool total = row.kind == RowKind::Total;
        const std::string text =
            total ? shownAmount(node, row.property) : enteredAmount(node, row.property);
        const bool copied = row.kind == RowKind::Copy;
        std::string cells = cell("no", numberText(row.number)) +
                            cell(copied ? "desc copied" : "desc", escapeHtml(row.caption)) +
                            amountCell(copied ? "amt copied" : "amt", text);
        for (std::size_t i = 1; i < columns_.size(); ++i)
            cells += cell("amt", "");
        return element("tr", total ? "total" : "", cells);
    }

    const CSectionNode& root_;
    const std::vector<Column>& columns_;
    std::vector<std::string_view> consumed_;
};

// `head` is none for a table that continues the one before it.
std::string table(std::string_view id, const ChargeTable& charges, const std::string& head,
                  const std::string& body) {
    std::string out = "<table class=\"charges\" id=\"" + std::string(id) + "\">";
    out += "<colgroup><col class=\"no\"><col>";
    for (int i = 2; i < charges.width(); ++i)
        out += "<col class=\"amt\">";
    out += "</colgroup>" + head + "<tbody>" + body + "</tbody></table>";
    return out;
}

// "700. Total Sales/Broker's Commission based on price $ 250,000.00 @ 6 % =
// 15,000.00": the price the commission is based on, its rate and the
// commission itself.
std::string commissionHeading(const CSectionNode& root, int width) {
    const CSectionNode* block = resolveUri(&root, "n700");
    const CSectionNode* price = resolveUri(block, "price");
    const auto value = [](const std::string& text) {
        return element("span", "value", htmlText(text));
    };
    const std::string markup =
        escapeHtml("700. Total Sales/Broker's Commission based on price $ ") +
        value(enteredAmount(block, "s700Price")) + " @ " + value(enteredRate(price, "at")) +
        " % = " + value(enteredAmount(price, "amount"));
    return element("tr", "", cell("head", markup, width));
}

const std::vector<Column>& chargeColumns(bool refinance) {
    return refinance ? kBorrowerOnly : kBothSides;
}

} // namespace

std::string chargesHtml(const CSectionNode& root, bool refinance) {
    const ChargeTable charges(root, chargeColumns(refinance));
    std::string body;
    if (!refinance)
        body = commissionHeading(root, charges.width()) + charges.rows(commissionRows());
    body += charges.rows(chargeRows());
    return table("charges", charges, charges.head("L. Settlement charges"), body);
}

std::string settlementTotalHtml(const CSectionNode& root, bool refinance) {
    const ChargeTable charges(root, chargeColumns(refinance));
    const FormRow total = totalLine("1400",
                                    refinance ? "Total settlement charges (enter on line 1602)"
                                              : "Total settlement charges (enter on lines 103, "
                                                "Section J and 502, Section K)",
                                    "n1400");
    return table("settlement-total", charges, "", charges.rows({total}));
}

std::string disbursementsHtml(const CSectionNode& root) {
    const ChargeTable disbursed(root, kDisbursed);
    return table("disbursements", disbursed, disbursed.head("M. Disbursement to others"),
                 disbursed.rows(disbursementRows() + netSettlementRows()));
}

} // namespace velmora::render
