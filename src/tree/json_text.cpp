#include "tree/json_text.h"

#include "platform/code_page.h"
#include "tree/base64.h"

#include <nlohmann/json.hpp>

#include <algorithm>

namespace velmora {
namespace {

using Json = nlohmann::ordered_json;

bool isMalformedText(const Json& value) {
    return value.is_string() && !isUtf8(value.get_ref<const std::string&>());
}

// `value` with a `<key>_base64` member after each member whose text is not
// UTF-8, in objects at any depth (also those inside arrays).
Json withExactBytes(const Json& value) {
    if (value.is_array()) {
        Json out = Json::array();
        for (const Json& element : value)
            out.push_back(withExactBytes(element));
        return out;
    }
    if (!value.is_object())
        return value;
    Json out = Json::object();
    for (auto member = value.begin(); member != value.end(); ++member) {
        out[member.key()] = withExactBytes(member.value());
        if (isMalformedText(member.value()))
            out[member.key() + "_base64"] =
                encodeBase64(member.value().get_ref<const std::string&>());
    }
    return out;
}

bool holdsMalformedText(const Json& value) {
    if (value.is_structured())
        return std::any_of(value.begin(), value.end(), holdsMalformedText);
    return isMalformedText(value);
}

} // namespace

std::string jsonText(const nlohmann::ordered_json& value) {
    // Most values are UTF-8 throughout, and are written as they are.
    if (!holdsMalformedText(value))
        return plainJsonText(value);
    return plainJsonText(withExactBytes(value));
}

std::string plainJsonText(const nlohmann::ordered_json& value) {
    return value.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

} // namespace velmora
