// Page 1 of the statement below the header: the summary of the borrower's
// transaction (blocks 100 to 300) beside the seller's (400 to 600). Both
// sides have the same rows, so that line 104 stands beside line 404.
#include "render/amount_cell.h"
#include "render/form_rows.h"
#include "render/html_text.h"
#include "render/line_text.h"
#include "render/shown_values.h"
#include "render/statement_parts.h"
#include "tree/node_operations.h"

namespace velmora::render {
namespace {

const std::vector<std::string> kPrepaid = {"City/town taxes", "County taxes", "Assessments"};

FormRows borrowerRows() {
    return FormRows{
               heading("100", "Gross amount due from borrower"),
               value("101", "Contract sales price", "n100", "n101"),
               value("102", "Personal property", "n100", "n102"),
               copy("103", "Settlement charges to borrower (line 1400)", "n1400", "borrowerFund")} +
           lineRun("n100", 104, 105) +
           subheading("Adjustments for items paid by seller in advance") +
           lineRun("n100", 106, 108, kPrepaid) + lineRun("n100", 109, 112) +
           total("120", "Gross amount due from borrower", "n100", "n120") +
           heading("200", "Amounts paid by or in behalf of borrower") +
           value("201", "Deposit or earnest money", "n200", "n201") +
           value("202", "Principal amount of new loan(s)", "n200", "n202") +
           value("203", "Existing loan(s) taken subject to", "n200", "n203") +
           lineRun("n200", 204, 209) + subheading("Adjustments for items unpaid by seller") +
           lineRun("n200", 210, 212, kPrepaid) + lineRun("n200", 213, 219) +
           total("220", "Total paid by/for borrower", "n200", "n220") +
           heading("300", "Cash at settlement from/to borrower") +
           copy("301", "Gross amount due from borrower (line 120)", "n100", "n120") +
           copy("302", "Less amounts paid by/for borrower (line 220)", "n200", "n220") +
           cash("303", "Borrower", "n303", {"From", "To"});
}

FormRows sellerRows() {
    return FormRows{heading("400", "Gross amount due to seller"),
                    copy("401", "Contract sales price", "n100", "n101"),
                    value("402", "Personal property", "n400", "n402")} +
           lineRun("n400", 403, 405) +
           subheading("Adjustments for items paid by seller in advance") +
           lineRun("n400", 406, 408, kPrepaid) + lineRun("n400", 409, 412) +
           total("420", "Gross amount due to seller", "n400", "n420") +
           heading("500", "Reductions in amount due to seller") +
           value("501", "Excess deposit (see instructions)", "n500", "n501") +
           copy("502", "Settlement charges to seller (line 1400)", "n1400", "sellerFund") +
           value("503", "Existing loan(s) taken subject to", "n500", "n503") +
           lineRun("n500", 504, 505,
                   {"Payoff of first mortgage loan", "Payoff of second mortgage loan"}) +
           lineRun("n500", 506, 509) + subheading("Adjustments for items unpaid by seller") +
           lineRun("n500", 510, 512, kPrepaid) + lineRun("n500", 513, 519) +
           total("520", "Total reduction amount due seller", "n500", "n520") +
           heading("600", "Cash at settlement to/from seller") +
           copy("601", "Gross amount due to seller (line 420)", "n400", "n420") +
           copy("602", "Less reductions in amount due seller (line 520)", "n500", "n520") +
           cash("603", "Seller", "n603", {"To", "From"});
}

// A value the form prints on a line of its own: bold for a total, tinted
// for a copy of another line.
std::string valueCells(const CSectionNode& root, const FormRow& row) {
    const CSectionNode* node = resolveUri(&root, row.node);
    const std::string amount = row.kind == RowKind::Total ? shownAmount(node, row.property)
                                                          : enteredAmount(node, row.property);
    const std::string_view style = row.kind == RowKind::Total  ? " total"
                                   : row.kind == RowKind::Copy ? " copied"
                                                               : "";
    return cell("no", numberText(row.number)) +
           cell("desc" + std::string(style), escapeHtml(row.caption)) +
           amountCell("amt" + std::string(style), amount);
}

// "Cash [x] From [ ] To Borrower" and the amount without its sign, which the
// boxes carry: a positive amount checks the first box, a negative one the
// second, zero neither.
std::string cashCells(const CSectionNode& root, const FormRow& row) {
    std::string amount = shownAmount(&root, row.property);
    const bool negative = amount.starts_with('-');
    const bool positive = !negative && !amount.empty() && amount != "0.00";
    if (negative)
        amount.erase(0, 1);
    const std::string caption = "Cash " + checkBox(positive, escapeHtml(row.boxes[0])) + " " +
                                checkBox(negative, escapeHtml(row.boxes[1])) + " " +
                                escapeHtml(row.caption);
    return cell("no", numberText(row.number)) + cell("desc total", caption) +
           amountCell("amt total", amount);
}

// The three cells of one side of a row: number, description, amount.
std::string sideCells(const CSectionNode& root, const FormRow& row) {
    switch (row.kind) {
    case RowKind::Heading:
        return cell("head", escapeHtml(headingText(row)), 3);
    case RowKind::Subheading:
        return cell("subhead", escapeHtml(row.caption), 3);
    case RowKind::Line: {
        const CSectionNode* node = resolveUri(&root, row.node);
        return cell("no", numberText(row.number)) +
               cell("desc", lineDescription(node, row.caption, {"amount"})) +
               amountCell("amt", enteredAmount(node, "amount"));
    }
    case RowKind::Value:
    case RowKind::Total:
    case RowKind::Copy:
        return valueCells(root, row);
    case RowKind::Cash:
        return cashCells(root, row);
    case RowKind::MoreLines: // the summary blocks have no `more` lists
    case RowKind::TotalLine:
        break;
    }
    return cell("", "", 3);
}

} // namespace

std::string summaryHtml(const CSectionNode& root) {
    const FormRows borrower = borrowerRows();
    const FormRows seller = sellerRows();
    std::string rows = "<colgroup><col class=\"no\"><col><col class=\"amt\">"
                       "<col class=\"no mid\"><col><col class=\"amt\"></colgroup>"
                       "<thead><tr><th colspan=\"3\">J. Summary of borrower's transaction</th>"
                       "<th colspan=\"3\">K. Summary of seller's "
                       "transaction</th></tr></thead><tbody>";
    for (std::size_t i = 0; i < borrower.size() && i < seller.size(); ++i)
        rows += element("tr", "", sideCells(root, borrower[i]) + sideCells(root, seller[i]));
    rows += "</tbody>";
    return "<table class=\"summary\" id=\"summary\">" + rows + "</table>";
}

} // namespace velmora::render
