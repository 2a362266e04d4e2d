// A small check harness for the COM client of the Wine suite: every failed
// check prints where and what, and the process exit code counts them.
#pragma once

#include <windows.h>

#include <ole2.h>

#include <string>

namespace velmora::wine {

void reportFailure(const char* file, int line, const std::string& what);
int failureCount();

// The text of a BSTR as UTF-8, "<null>" for a null one.
std::string text(BSTR value);
std::string hex(HRESULT hr);

// A BSTR owned for the scope of a check.
class Bstr {
public:
    Bstr() = default;
    explicit Bstr(const wchar_t* text) : value_(SysAllocString(text)) {}
    ~Bstr() { SysFreeString(value_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    operator BSTR() const { return value_; }
    BSTR* out() { return &value_; }
    BSTR get() const { return value_; }

private:
    BSTR value_ = nullptr;
};

} // namespace velmora::wine

#define CHECK(condition)                                                                           \
    do {                                                                                           \
        if (!(condition))                                                                          \
            ::velmora::wine::reportFailure(__FILE__, __LINE__, #condition);                        \
    } while (0)

#define CHECK_HR(expected, expression)                                                             \
    do {                                                                                           \
        const HRESULT check_hr_ = (expression);                                                    \
        if (check_hr_ != (expected))                                                               \
            ::velmora::wine::reportFailure(__FILE__, __LINE__,                                     \
                                           std::string(#expression) + " gave " +                   \
                                               ::velmora::wine::hex(check_hr_) + ", expected " +   \
                                               ::velmora::wine::hex(expected));                    \
    } while (0)

#define CHECK_TEXT(expected, value)                                                                \
    do {                                                                                           \
        const std::string check_text_ = ::velmora::wine::text(value);                              \
        if (check_text_ != (expected))                                                             \
            ::velmora::wine::reportFailure(__FILE__, __LINE__,                                     \
                                           std::string(#value) + " is \"" + check_text_ +          \
                                               "\", expected \"" + (expected) + "\"");             \
    } while (0)
