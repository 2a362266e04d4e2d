#include "com/win32/provider_object.h"

#include "com/win32/module.h"

#include <new>

namespace velmora::com {

HRESULT createProvider(IUnknown* outer, REFIID riid, void** ppv) {
    ProviderObject* object = nullptr;
    try {
        object = new ProviderObject(outer);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
    // The object starts with one reference; the answer to `riid` takes its
    // own, and a failed one leaves the object to be destroyed here.
    IUnknown* inner = object->innerUnknown();
    const HRESULT hr = inner->QueryInterface(riid, ppv);
    inner->Release();
    return hr;
}

ProviderObject::ProviderObject(IUnknown* outer)
    : inner_(*this), controlling_(outer ? outer : &inner_) {
    lockModule();
}

ProviderObject::~ProviderObject() {
    if (typeInfo_)
        typeInfo_->Release();
    unlockModule();
}

HRESULT STDMETHODCALLTYPE ProviderObject::Inner::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (IsEqualIID(riid, IID_IUnknown))
        *ppv = static_cast<IUnknown*>(this);
    else if (IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, IID_IHudProvider))
        *ppv = static_cast<IHudProvider*>(&owner_);
    else if (IsEqualIID(riid, IID_ISupportErrorInfo))
        *ppv = static_cast<ISupportErrorInfo*>(&owner_);
    else
        return E_NOINTERFACE;
    static_cast<IUnknown*>(*ppv)->AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE ProviderObject::Inner::AddRef() {
    return ++owner_.references_;
}

ULONG STDMETHODCALLTYPE ProviderObject::Inner::Release() {
    const ULONG count = --owner_.references_;
    if (count == 0)
        delete &owner_;
    return count;
}

HRESULT STDMETHODCALLTYPE ProviderObject::QueryInterface(REFIID riid, void** ppv) {
    return controlling_->QueryInterface(riid, ppv);
}

ULONG STDMETHODCALLTYPE ProviderObject::AddRef() {
    return controlling_->AddRef();
}

ULONG STDMETHODCALLTYPE ProviderObject::Release() {
    return controlling_->Release();
}

// Never throws: the module path is the one allocation that can fail.
HRESULT ProviderObject::loadTypeInfo() {
    if (typeInfo_)
        return S_OK;
    try {
        ITypeLib* library = nullptr;
        HRESULT hr = LoadTypeLibEx(modulePath().c_str(), REGKIND_NONE, &library);
        if (FAILED(hr))
            return hr;
        hr = library->GetTypeInfoOfGuid(IID_IHudProvider, &typeInfo_);
        library->Release();
        return hr;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT STDMETHODCALLTYPE ProviderObject::GetTypeInfoCount(UINT* count) {
    if (!count)
        return E_POINTER;
    *count = 1;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ProviderObject::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
    if (!info)
        return E_POINTER;
    *info = nullptr;
    if (index != 0)
        return DISP_E_BADINDEX;
    if (const HRESULT hr = loadTypeInfo(); FAILED(hr))
        return hr;
    typeInfo_->AddRef();
    *info = typeInfo_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ProviderObject::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count,
                                                        LCID, DISPID* ids) {
    if (!IsEqualIID(riid, IID_NULL))
        return DISP_E_UNKNOWNINTERFACE;
    if (const HRESULT hr = loadTypeInfo(); FAILED(hr))
        return hr;
    return DispGetIDsOfNames(typeInfo_, names, count, ids);
}

HRESULT STDMETHODCALLTYPE ProviderObject::InterfaceSupportsErrorInfo(REFIID riid) {
    return IsEqualIID(riid, IID_IHudProvider) ? S_OK : S_FALSE;
}

} // namespace velmora::com
