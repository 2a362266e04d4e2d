// The description cell of a statement line: the line's own description, or
// the form's caption when it has none, followed by what its other columns
// hold, in the words the form prints around them: "from 7/1/2008 to
// 9/15/2008", "1.5 %", "$ 1,701.00", "for 12 months", "@ $ 12.25/day",
// "Deed $ 125.00", "to Harbor Title" (whom the line was paid to). Details
// that are empty or zero are left out, except those the form prints on its
// numbered line anyway, which show a blank to write in ("to ______").
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velmora {
class CSectionNode;
}

namespace velmora::render {

// HTML for the cell. `columns` names the properties the table prints in
// columns of their own; they are not repeated among the details.
std::string lineDescription(const CSectionNode* line, const std::string& caption,
                            const std::vector<std::string_view>& columns);

} // namespace velmora::render
