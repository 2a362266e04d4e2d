// The entry points of Velmora.dll besides registration: the class object, the
// unload poll and the message handler of hosts without a desktop.
#include "com/win32/class_factory.h"
#include "com/win32/module.h"
#include "platform/dialog.h"
#include "velmora_h.h"

#include <windows.h>

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv) {
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (!IsEqualCLSID(rclsid, CLSID_HudProvider))
        return CLASS_E_CLASSNOTAVAILABLE;
    velmora::com::ClassFactory* factory = velmora::com::acquireFactory();
    if (!factory)
        return E_OUTOFMEMORY;
    velmora::com::stayLoaded();
    const HRESULT hr = factory->QueryInterface(riid, ppv);
    factory->Release();
    return hr;
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return velmora::com::moduleLockCount() == 0 ? S_OK : S_FALSE;
}

extern "C" void __stdcall VelmoraSetMessageHandler(velmora::MessageHandler handler, void* context) {
    velmora::setMessageHandler(handler, context);
}
