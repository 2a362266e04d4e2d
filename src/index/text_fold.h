// The form in which the index compares texts: every letter in its simple
// Unicode case folding, without the diacritics people often leave out when
// they type (Søren, SØREN and soren are one name; so are Renée and renee).
// A `--where` compares folded texts, and the full-text table is given folded
// text, so that words and fields find the same deals.
#pragma once

#include <string>
#include <string_view>

namespace velmora::index {

// `text` folded: UTF-8 in, UTF-8 out. Bytes that are not UTF-8 are kept as
// they are; combining diacritical marks are left out.
std::string foldedText(std::string_view text);

} // namespace velmora::index
