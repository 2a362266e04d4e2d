#include "shown_lines.h"

#include "tree/visible_text.h"

namespace velmora::cli {

void printLine(std::ostream& out, std::string_view line) {
    out << visibleText(line) << '\n';
}

void printRow(std::ostream& out, std::initializer_list<std::string_view> cells) {
    const char* separator = "";
    for (const std::string_view cell : cells) {
        out << separator << visibleText(cell);
        separator = "\t";
    }
    out << '\n';
}

} // namespace velmora::cli
