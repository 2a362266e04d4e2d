// The lines the tool prints that carry a path or a stored value. Each goes
// through visibleText, so that a hostile file name or value can neither add
// a line or a field nor send a terminal an escape sequence.
#pragma once

#include <initializer_list>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::cli {

// Writes `line` as visibleText shows it, and a newline.
void printLine(std::ostream& out, std::string_view line);

// Writes one row of tab-separated cells, each shown by visibleText, and a
// newline: a tab or newline inside a cell is an escape, never a separator.
void printRow(std::ostream& out, std::initializer_list<std::string_view> cells);
void printRow(std::ostream& out, const std::vector<std::string>& cells);

} // namespace velmora::cli
