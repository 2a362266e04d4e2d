// Any bytes as one message of the browser's DevTools pipe: read whole or
// refused, never a crash, and with memory in proportion to the message. What
// is read is valid UTF-8 (the dump below throws on anything else) and reads
// back the same once written again, so nothing was half-read.
#include "render/pdf/devtools_message.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

using namespace velmora::render::pdf;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<nlohmann::json> message = parseDevToolsMessage(text);
    if (!message)
        return 0;
    // What the pipe asks of every message.
    if (const nlohmann::json* id = member(*message, "id"))
        static_cast<void>(wholeNumber(*id));
    static_cast<void>(stringMember(*message, "method"));
    const std::optional<nlohmann::json> again = parseDevToolsMessage(message->dump());
    if (!again || *again != *message)
        __builtin_trap();
    return 0;
}
