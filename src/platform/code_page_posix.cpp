// Tree text is UTF-8 on Linux: XML text needs no conversion.
#include "platform/code_page.h"

namespace velmora {

std::string windows1252ToTreeText(std::string_view text) {
    return windows1252ToUtf8(text);
}

} // namespace velmora
