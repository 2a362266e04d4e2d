// The statement as one self-contained HTML page, laid out like the two pages
// of the printed form: inline style, no scripts, nothing fetched from
// anywhere. Values are shown as the document stores them; the view computes
// no totals, and every text of the document is escaped.
//
// A "hud" document gets the summaries of both transactions on page 1 and the
// settlement charges with both columns on page 2; a "hud1a" (refinance)
// document the borrower-only form: charges 800 to 1400, disbursements to
// others and the net settlement. Other document types are shown in the "hud"
// layout with what they hold. Companion forms follow as appendices.
#pragma once

#include <string>

namespace velmora {
class CHudDocument;
}

namespace velmora::render {

std::string renderStatement(const CHudDocument& document);

} // namespace velmora::render
