// The parts of the statement page, each made by a file of its own; the page
// (statement_view.cpp) puts them together. Each takes the document root and
// reads it only; those that show the parties take them from the deal's view,
// read once for the page.
#pragma once

#include <string>
#include <string_view>

namespace velmora {
class CSectionNode;
struct AddressParts;
struct DealView;
} // namespace velmora

namespace velmora::render {

// The loan data and the parties, boxes A to I of the form. The borrower-only
// form of a refinance leaves out the seller unless the document has one.
std::string headerHtml(const CSectionNode& root, const DealView& deal, bool refinance);
// The summaries of the borrower's and the seller's transactions side by side,
// blocks 100 to 600.
std::string summaryHtml(const CSectionNode& root);
// The settlement charges, blocks 700 to 1300; a refinance has 800 to 1300 with
// the borrower's column only.
std::string chargesHtml(const CSectionNode& root, bool refinance);
// Line 1400, the charges' total, as a table of its own in the charges'
// columns: the page keeps it together with what must not be parted from it.
std::string settlementTotalHtml(const CSectionNode& root, bool refinance);
// The certification below line 1400: the texts, a signature and a date line
// for every borrower and seller, the settlement agent's, and the warning.
std::string certificationHtml(const CSectionNode& root, const DealView& deal, bool refinance);
// A refinance's disbursements to others (block 1500) and net settlement (1600).
std::string disbursementsHtml(const CSectionNode& root);
// The pages after the statement: the addendum of the parties its boxes have
// no room for, then the companion forms the document has (escrow disclosure,
// ledger, checks).
std::string appendicesHtml(const CSectionNode& root, const DealView& deal);

// Two parties side by side fit a box of the header; more would crowd the
// first sheet off the page, so the others go to the addendum.
inline constexpr std::size_t kPartiesInBox = 2;

// Name, street and "city, state zip" of a name-and-address block, one line each.
std::string addressHtml(const AddressParts& address);
// A labelled field of a box; label and value are tree text.
std::string fieldHtml(std::string label, std::string value);

// The style sheet, screen and print.
std::string_view statementStyle();
// The rules that make the footer of every printed sheet: the form's name,
// "Page n of N", the file number and the first borrower.
std::string pageRules(const CSectionNode& root, const DealView& deal, bool refinance);
// The page's title (HTML), which names the file and the first borrower.
std::string pageTitle(const CSectionNode& root, const DealView& deal, bool refinance);

} // namespace velmora::render
