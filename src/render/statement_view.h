// The statement as one self-contained HTML page, laid out like the two pages
// of the printed form: inline style, no scripts, nothing fetched from
// anywhere. Values are shown as the document stores them; the view computes
// no totals, and every text of the document is escaped.
//
// A "hud" document gets boxes A to K (the summaries of both transactions) on
// page 1 and the settlement charges with both columns from page 2 on, with
// the certification; a "hud1a" (refinance) document the borrower-only form
// with its numbered boxes: charges 800 to 1400, disbursements to others and
// the net settlement. Other document types are shown in the "hud" layout
// with what they hold. Companion forms follow as appendices. Every printed
// sheet has a footer naming the form, the sheet, the file and the borrower.
//
// The page names the tool as its generator (own_outputs.h), and a statement
// read from a legacy file without converting it carries a small mark saying
// so, on screen and in print.
#pragma once

#include <string>
#include <vector>

namespace velmora {
class CHudDocument;
}

namespace velmora::render {

// A link shown above the statement on screen, never printed.
struct PageLink {
    std::string label; // plain text
    std::string href;  // a relative address, escaped as the page writes it
};

// Where the document shown was read from, when the page should say so, and
// where else a reader may go from it.
struct PageSource {
    // The name of the legacy file the document was converted from in memory;
    // empty for a document read from its own XML file.
    std::string legacyFile;
    std::vector<PageLink> links;
    // Tax IDs in full; by default the page shows their last four digits.
    bool fullTaxIds = false;
};

std::string renderStatement(const CHudDocument& document, const PageSource& source = {});

} // namespace velmora::render
