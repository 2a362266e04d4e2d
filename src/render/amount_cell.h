// A cell of an amount column. The columns are sized for 999,999,999.99 in
// bold; a longer amount takes smaller type rather than a second line, so
// that no amount is ever broken. A stored text that is no amount wraps like
// any other text.
#pragma once

#include <string>
#include <string_view>

namespace velmora::render {

// `cls` names the cell's kind ("amt", "amt total"); `amount` is tree text
// as shownAmount gives it.
std::string amountCell(std::string_view cls, const std::string& amount);

} // namespace velmora::render
