// JSON as the tool writes it for scripts and other programs: one value on
// one line, no spaces, members in the order they were added, valid UTF-8
// whatever bytes a path or a value holds, and those bytes given back exactly.
#pragma once

#include <nlohmann/json_fwd.hpp>

#include <string>

namespace velmora {

// The text of `value`: strings escaped (quotes, backslashes, control
// characters), bytes that are not UTF-8 as U+FFFD: one for a sequence cut
// short, one for each byte that begins none. U+FFFD alone would make two
// file names one, so an object member whose string is not UTF-8 is followed
// by `<key>_base64`, the base64 of its exact bytes; text that is UTF-8 gets
// no such member, and callers give no member a name ending in `_base64`.
// Keys, and strings directly inside arrays, get U+FFFD only: keys are names
// of the code or of a document's properties, and no output puts text in an
// array.
std::string jsonText(const nlohmann::ordered_json& value);

// The text of `value` as `jsonText` writes it, without the `_base64`
// members: for a peer that reads the text and nothing else (the browser's
// protocol), to which the bytes would be a member it does not know.
std::string plainJsonText(const nlohmann::ordered_json& value);

} // namespace velmora
