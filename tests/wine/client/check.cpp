#include "check.h"

#include <cstdio>

namespace velmora::wine {
namespace {

int failures = 0;

} // namespace

void reportFailure(const char* file, int line, const std::string& what) {
    ++failures;
    std::printf("FAIL %s:%d: %s\n", file, line, what.c_str());
    std::fflush(stdout);
}

int failureCount() {
    return failures;
}

std::string text(BSTR value) {
    if (!value)
        return "<null>";
    const int length = static_cast<int>(SysStringLen(value));
    const int size = WideCharToMultiByte(CP_UTF8, 0, value, length, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, value, length, result.data(), size, nullptr, nullptr);
    return result;
}

std::string hex(HRESULT hr) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%08lX", static_cast<unsigned long>(hr));
    return buffer;
}

} // namespace velmora::wine
