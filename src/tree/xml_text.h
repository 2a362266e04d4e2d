// The characters and references XML 1.0 allows in a document's text, as
// strictly as the DOM that wrote the stored files allows them. The parser
// underneath is lenient: it takes any bytes, keeps a reference it does not
// know as plain text and cuts a text at "&#0;". StrictXmlFile applies these
// rules to a file's bytes before parsing and to the texts the parser leaves
// undecoded.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velmora {

// The length of the character at `at` (inside `text`) when its bytes are
// well-formed UTF-8 of a character XML allows: tab, line feed, carriage
// return, U+0020-U+D7FF, U+E000-U+FFFD and U+10000-U+10FFFF. 0 for anything
// else: control bytes, NUL, malformed, overlong or cut sequences, surrogates,
// U+FFFE and U+FFFF.
std::size_t xmlCharacterLength(std::string_view text, std::size_t at);

// What a file's bytes are, learnt in one pass before parsing.
struct TextBytes {
    bool xmlCharacters = true; // characters xmlCharacterLength accepts, one after the other
    bool ascii = true;         // no byte beyond 0x7F, when xmlCharacters
};
TextBytes scanTextBytes(std::string_view bytes);

// Decodes the references of a raw text into `decoded`. False, with `decoded`
// unspecified, at the first '&' that does not begin one of the five predefined
// entities (amp, lt, gt, quot, apos) or a decimal ("&#233;") or hexadecimal
// ("&#xE9;") reference to a character XML allows.
bool decodeReferences(std::string_view raw, std::string& decoded);

} // namespace velmora
