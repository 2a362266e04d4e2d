// Reading one message of the browser's DevTools pipe: a JSON text from
// another program, so untrusted. It is read strictly and whole: anything that
// is not one well-formed JSON value of valid UTF-8 is refused, and so are
// values nested deeper than a bound (each level costs the reader memory) and
// objects that repeat a name (readers disagree on which one counts).
#pragma once

#include <nlohmann/json.hpp>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::render::pdf {

// A value inside this many arrays and objects is refused.
inline constexpr std::size_t kMaxMessageDepth = 64;

// The value that is the whole of `text` (white space around it allowed), or
// none when the text is not one JSON value or breaks a rule above.
std::optional<nlohmann::json> parseDevToolsMessage(std::string_view text);

// The member `name` of an object; none for a missing member or a value that
// is no object.
const nlohmann::json* member(const nlohmann::json& value, std::string_view name);
// The text of a string member, or none.
const std::string* stringMember(const nlohmann::json& value, std::string_view name);
// A number that is a whole number within +-2^53, or none.
std::optional<long long> wholeNumber(const nlohmann::json& value);

} // namespace velmora::render::pdf
