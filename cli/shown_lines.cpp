#include "shown_lines.h"

#include "tree/visible_text.h"

namespace velmora::cli {

void printLine(std::ostream& out, std::string_view line) {
    out << visibleText(line) << '\n';
}

namespace {

template <typename Cells> void printCells(std::ostream& out, const Cells& cells) {
    const char* separator = "";
    for (const std::string_view cell : cells) {
        out << separator << visibleText(cell);
        separator = "\t";
    }
    out << '\n';
}

} // namespace

void printRow(std::ostream& out, std::initializer_list<std::string_view> cells) {
    printCells(out, cells);
}

void printRow(std::ostream& out, const std::vector<std::string>& cells) {
    printCells(out, cells);
}

} // namespace velmora::cli
