#include "tree/json_text.h"

#include <nlohmann/json.hpp>

namespace velmora {

std::string jsonText(const nlohmann::ordered_json& value) {
    return value.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

} // namespace velmora
