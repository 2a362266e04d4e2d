#include "com/win32/bstr_text.h"

#include <new>

namespace velmora::com {

std::string ansiFromBstr(BSTR text) {
    const int length = text ? static_cast<int>(SysStringLen(text)) : 0;
    if (length == 0)
        return {};
    const int size = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        throw std::bad_alloc();
    std::string result(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, length, result.data(), size, nullptr, nullptr);
    return result;
}

BSTR bstrFromAnsi(const std::string& text) {
    if (text.empty())
        return SysAllocStringLen(nullptr, 0);
    const int length = static_cast<int>(text.size());
    const int size = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    if (size <= 0)
        return nullptr;
    BSTR result = SysAllocStringLen(nullptr, static_cast<UINT>(size));
    if (result)
        MultiByteToWideChar(CP_ACP, 0, text.data(), length, result, size);
    return result;
}

} // namespace velmora::com
