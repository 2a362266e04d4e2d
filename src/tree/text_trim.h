// Blanks around a text typed by a person or written by another program.
#pragma once

#include <string_view>

namespace velmora {

// Blanks are those of the C locale's isspace, whatever the process locale:
// space, tab, line feed, vertical tab, form feed and carriage return, which
// `atoi` and `atof` skip before a number.

// `text` without the blanks at its start.
std::string_view trimmedStart(std::string_view text);

// `text` without the blanks at either end.
std::string_view trimmed(std::string_view text);

} // namespace velmora
