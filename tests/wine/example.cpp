// Fill in a line of a new settlement statement and read it back.
#include <initguid.h>

#include "velmora_h.h" // made by widl from velmora.idl

#include <cstdio>

int main() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IHudProvider* deal = nullptr;
    HRESULT hr = CoCreateInstance(CLSID_HudProvider, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IHudProvider, reinterpret_cast<void**>(&deal));
    if (FAILED(hr)) {
        std::printf("CoCreateInstance failed: 0x%08lX\n", static_cast<unsigned long>(hr));
        return 1;
    }
    deal->initHUDDocument();
    BSTR uri = SysAllocString(L"n100/n104");
    BSTR property = SysAllocString(L"amount");
    BSTR value = SysAllocString(L"250000.00");
    INT status = -1;
    deal->setNodePropertyValue(uri, property, value, &status);
    BSTR amount = nullptr;
    deal->getNodePropertyValue(uri, property, &amount);
    std::printf("n100/n104 amount = %ls\n", amount);
    SysFreeString(amount);
    SysFreeString(value);
    SysFreeString(property);
    SysFreeString(uri);
    deal->Dispose();
    deal->Release();
    CoUninitialize();
    return status == 0 ? 0 : 1;
}
