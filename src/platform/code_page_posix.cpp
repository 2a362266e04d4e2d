// Tree text is UTF-8 on Linux: XML text needs no conversion.
#include "platform/code_page.h"

namespace velmora {

std::string windows1252ToTreeText(std::string_view text) {
    return windows1252ToUtf8(text);
}

std::string treeTextToUtf8(std::string text) {
    return text;
}

std::string utf8ToTreeText(std::string text) {
    return text;
}

} // namespace velmora
