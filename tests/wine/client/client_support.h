// What the runs of com_client.exe share: an owned BSTR and a new provider.
#pragma once

#include <windows.h>

#include <oleauto.h>

#include "velmora_h.h"

#include <string>

namespace velmora::wine_client {

// A BSTR owned for the scope of a call.
class Bstr {
public:
    explicit Bstr(const wchar_t* text = nullptr) : value_(text ? SysAllocString(text) : nullptr) {}
    // By length, so that NUL characters and what follows them are kept.
    Bstr(const std::wstring& text)
        : value_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    ~Bstr() { SysFreeString(value_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    operator BSTR() const { return value_; }
    BSTR* out() { return &value_; }

private:
    BSTR value_;
};

// A provider created through COM, as a host creates it; null when that fails.
inline IHudProvider* newProvider() {
    IHudProvider* provider = nullptr;
    const HRESULT hr = CoCreateInstance(CLSID_HudProvider, nullptr, CLSCTX_INPROC_SERVER,
                                        IID_IHudProvider, reinterpret_cast<void**>(&provider));
    return SUCCEEDED(hr) ? provider : nullptr;
}

} // namespace velmora::wine_client
