// Base64 (RFC 4648, standard alphabet, with padding): how JSON carries bytes
// that are not text, the exact bytes of a path or value in our JSON output
// and the PDFs the browser sends back.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// `bytes` as base64, padded to a multiple of four characters.
std::string encodeBase64(std::string_view bytes);

// The bytes of `text`, or none when it is not well-formed base64: a length
// that is no multiple of four, a character outside the alphabet, padding
// anywhere but at the end, or bits left over that are not zero.
std::optional<std::string> decodeBase64(std::string_view text);

} // namespace velmora
