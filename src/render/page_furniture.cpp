// What every printed sheet carries beside the form: a footer with the form's
// name and edition line, "Page n of N", the file number and the first
// borrower, so that a loose sheet can be put back in its file; and the
// page's title, which the browser gives the PDF as its own. The footer is
// made of the page's margin boxes, which the browser prints on each sheet it
// prints the page on, both when a person prints it and in our PDFs.
#include "document/deal_view.h"
#include "render/html_text.h"
#include "render/shown_values.h"
#include "render/statement_parts.h"
#include "tree/node_operations.h"

namespace velmora::render {
namespace {

struct FileMark {
    std::string label;
    std::string number;
};

// A refinance statement of the older format keeps a loan number and no
// file number: the loan number marks its sheets then.
FileMark fileMarkOf(const CSectionNode& root) {
    const CSectionNode* loan = resolveUri(&root, "b");
    const std::string file = shown(loan, "fileNo_6");
    if (!file.empty())
        return {"File no. ", file};
    const std::string loanNumber = shown(loan, "loanNo_7");
    if (!loanNumber.empty())
        return {"Loan no. ", loanNumber};
    return {};
}

std::string firstBorrower(const DealView& deal) {
    if (deal.borrowers.empty())
        return {};
    const AddressParts& first = deal.borrowers.front();
    return first.name1.empty() ? first.name2 : first.name1;
}

std::string formName(bool refinance) {
    return refinance ? "Form HUD-1A, Settlement Statement (borrower only)"
                     : "Form HUD-1, Settlement Statement";
}

} // namespace

std::string pageTitle(const CSectionNode& root, const DealView& deal, bool refinance) {
    std::string title = refinance ? "Settlement statement (borrower only)" : "Settlement statement";
    const FileMark mark = fileMarkOf(root);
    if (!mark.number.empty())
        title += ", " + mark.label + mark.number;
    const std::string borrower = firstBorrower(deal);
    if (!borrower.empty())
        title += ", " + borrower;
    return htmlText(title);
}

std::string pageRules(const CSectionNode& root, const DealView& deal, bool refinance) {
    const FileMark mark = fileMarkOf(root);
    const std::string file =
        mark.number.empty() ? std::string("\"\"") : cssString(mark.label + mark.number);
    return "@page {\n"
           "  @bottom-left { content: " +
           cssString(formName(refinance)) + " \"\\A\" " + cssString("Edition of velmora render") +
           "; }\n"
           "  @bottom-center { content: \"Page \" counter(page) \" of \" counter(pages); }\n"
           "  @bottom-right { content: " +
           file + " \"\\A\" " + cssString(firstBorrower(deal)) + "; }\n}\n";
}

} // namespace velmora::render
