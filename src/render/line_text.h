// The description cell of a statement line: the line's own description, or
// the form's caption when it has none, followed by what its other columns
// hold (the period of a dated line, a rate, months, the recording charges per
// instrument, a payor), each as stored and labelled as the form labels it.
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
