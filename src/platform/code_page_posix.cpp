// Tree text is UTF-8 on Linux: XML text needs no conversion.
#include "platform/code_page.h"

#include "platform/single_byte_code_pages.h"

namespace velmora {

ConvertedText legacyTextToTreeText(std::string_view text, std::optional<unsigned> codePage) {
    return singleByteToUtf8(text, codePage.value_or(kWindows1252));
}

} // namespace velmora
