// JSON as the tool writes it for scripts and other programs: one value on
// one line, no spaces, members in the order they were added, valid UTF-8
// whatever bytes a path or a value holds.
#pragma once

#include <nlohmann/json_fwd.hpp>

#include <string>

namespace velmora {

// The text of `value`: strings escaped (quotes, backslashes, control
// characters), bytes that are not UTF-8 as U+FFFD: one for a sequence cut
// short, one for each byte that begins none.
std::string jsonText(const nlohmann::ordered_json& value);

} // namespace velmora
