// The question the person at the terminal answers with y or n.
#pragma once

#include <string>

namespace velmora::cli {

// Writes `question` and " [y/N] " to standard error and reads a line from
// standard input: yes for "y", "Y" or "yes" only; no for anything else and at
// the end of input. The caller has made sure that someone is there to answer.
bool askYesNo(const std::string& question);

} // namespace velmora::cli
