// Any bytes as the end of a file that may be one of the tool's PDFs: read for
// the tool's mark without a crash and with memory in proportion to them, and
// marked when they end as the browser's PDFs do. A marked PDF keeps the bytes
// it was made from and reads back as marked.
#include "render/pdf/pdf_producer.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

using namespace velmora::render::pdf;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::string_view kProducer = "velmora render";
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    static_cast<void>(producedBy(bytes, 0, kProducer));
    const std::optional<std::string> marked = withProducer(bytes, kProducer);
    if (!marked)
        return 0;
    if (!marked->starts_with(bytes) || !producedBy(*marked, 0, kProducer))
        __builtin_trap();
    return 0;
}
