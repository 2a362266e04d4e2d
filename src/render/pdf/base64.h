// Base64 as JSON messages carry binary data (RFC 4648, standard alphabet,
// with padding): what the browser sends its printed PDFs in.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmora::render::pdf {

// The bytes of `text`, or none when it is not well-formed base64: a length
// that is no multiple of four, a character outside the alphabet, padding
// anywhere but at the end, or bits left over that are not zero.
std::optional<std::string> decodeBase64(std::string_view text);

} // namespace velmora::render::pdf
