// The class factory of HudProvider.
//
// The module keeps one factory, made on the first request, and holds one
// reference to it. A client's reference beyond that one locks the module:
// when the count rises to 2 the module lock goes up, when it falls back to 1
// it comes down, so a factory keeps the DLL loaded only while a client holds it.
#pragma once

#include <windows.h>

#include <ole2.h>

namespace velmora::com {

class ClassFactory final : public IClassFactory {
public:
    ClassFactory();
    ~ClassFactory();
    ClassFactory(const ClassFactory&) = delete;
    ClassFactory& operator=(const ClassFactory&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

private:
    CRITICAL_SECTION guard_;
    ULONG references_ = 1;
};

// The module's factory with a reference for the caller, or nullptr when out
// of memory.
ClassFactory* acquireFactory();
// Drops the module's own reference (when the DLL is unloaded).
void releaseCachedFactory();

} // namespace velmora::com
