#include "com/win32/class_factory.h"

#include "com/win32/module.h"
#include "com/win32/provider_object.h"

#include <mutex>
#include <new>

namespace velmora::com {
namespace {

std::mutex cacheGuard;
ClassFactory* cached = nullptr;

} // namespace

ClassFactory::ClassFactory() {
    InitializeCriticalSection(&guard_);
}

ClassFactory::~ClassFactory() {
    DeleteCriticalSection(&guard_);
}

HRESULT STDMETHODCALLTYPE ClassFactory::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IClassFactory))
        return E_NOINTERFACE;
    *ppv = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE ClassFactory::AddRef() {
    EnterCriticalSection(&guard_);
    const ULONG count = ++references_;
    if (count == 2)
        lockModule();
    LeaveCriticalSection(&guard_);
    return count;
}

ULONG STDMETHODCALLTYPE ClassFactory::Release() {
    EnterCriticalSection(&guard_);
    const ULONG count = --references_;
    if (count == 1)
        unlockModule();
    LeaveCriticalSection(&guard_);
    if (count == 0)
        delete this;
    return count;
}

HRESULT STDMETHODCALLTYPE ClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** ppv) {
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (outer && !IsEqualIID(riid, IID_IUnknown))
        return CLASS_E_NOAGGREGATION;
    return createProvider(outer, riid, ppv);
}

HRESULT STDMETHODCALLTYPE ClassFactory::LockServer(BOOL lock) {
    if (lock)
        lockModule();
    else
        unlockModule();
    return S_OK;
}

ClassFactory* acquireFactory() {
    std::lock_guard<std::mutex> hold(cacheGuard);
    if (!cached) {
        cached = new (std::nothrow) ClassFactory;
        if (!cached)
            return nullptr;
    }
    cached->AddRef();
    return cached;
}

void releaseCachedFactory() {
    ClassFactory* factory = nullptr;
    {
        std::lock_guard<std::mutex> hold(cacheGuard);
        factory = cached;
        cached = nullptr;
    }
    if (factory)
        factory->Release();
}

} // namespace velmora::com
