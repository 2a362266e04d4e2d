// Text that leaves the program for a terminal, a log or a tab-separated
// table, made such that nothing a file name or a stored value holds can
// forge a line or a field, or reach a terminal as a command.
#pragma once

#include <string>
#include <string_view>

namespace velmora {

// `text` (UTF-8) with every byte a reader could mistake shown as an escape:
// backslash as \\, tab as \t, newline as \n, carriage return as \r; the other
// C0 controls, DEL and bytes that are not UTF-8 as \xNN; the C1 controls and
// the bidirectional controls (U+202A-U+202E, U+2066-U+2069), which reorder
// what a reader sees, as \uNNNN. Every other character is kept as it is, so
// the text of an ordinary name is unchanged; one that holds a backslash shows
// it doubled, and the escapes read back to the exact bytes.
std::string visibleText(std::string_view text);

} // namespace velmora
