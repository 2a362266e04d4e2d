// The COM object of the HudProvider class: IUnknown (plain or aggregated),
// IDispatch served from the type library, IHudProvider calling the portable
// provider, and ISupportErrorInfo.
//
// Calls on one object must not overlap (the reference count is not atomic);
// separate objects share only the module's lock count.
#pragma once

#include "com/provider.h"
#include "velmora_h.h"

#include <windows.h>

namespace velmora::com {

// Makes a provider (aggregated in `outer` when given) and asks it for `riid`.
HRESULT createProvider(IUnknown* outer, REFIID riid, void** ppv);

class ProviderObject final : public IHudProvider, public ISupportErrorInfo {
public:
    explicit ProviderObject(IUnknown* outer);
    ~ProviderObject();
    ProviderObject(const ProviderObject&) = delete;
    ProviderObject& operator=(const ProviderObject&) = delete;

    IUnknown* innerUnknown() { return &inner_; }

    // IUnknown, delegating to the controlling unknown.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDispatch (dispatch_invoke.cpp for Invoke).
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID riid, LCID locale, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argumentError) override;

    // IHudProvider (provider_methods.cpp).
    HRESULT STDMETHODCALLTYPE readHUD(BSTR path, INT* retVal) override;
    HRESULT STDMETHODCALLTYPE setDocumentType(BSTR type) override;
    HRESULT STDMETHODCALLTYPE writeHUD(BSTR path, INT* retVal) override;
    HRESULT STDMETHODCALLTYPE getNodeValue(BSTR uri, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE getNodePropertyValue(BSTR uri, BSTR propertyName,
                                                   BSTR* value) override;
    HRESULT STDMETHODCALLTYPE setNodePropertyValue(BSTR uri, BSTR propertyName, BSTR value,
                                                   INT* retVal) override;
    HRESULT STDMETHODCALLTYPE setNodePropertyByCriterion(BSTR uri, BSTR criterion,
                                                         BSTR propertyName, BSTR value,
                                                         INT* retVal) override;
    HRESULT STDMETHODCALLTYPE isNodeExist(BSTR uri, LONG* value) override;
    HRESULT STDMETHODCALLTYPE createNode(BSTR nodeName, BSTR parentUri, BSTR* newName) override;
    HRESULT STDMETHODCALLTYPE getChildNodeCount(BSTR nodeUri, INT* count) override;
    HRESULT STDMETHODCALLTYPE getChildNodeByIndex(BSTR parentUri, INT index, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE findChildNodeByProperty(BSTR parentUri, BSTR propertyName,
                                                      BSTR valueToFind, BSTR* nodeString) override;
    HRESULT STDMETHODCALLTYPE removeChildNode(BSTR parentUri, BSTR nodeName, BSTR criterion,
                                              INT* retVal) override;
    HRESULT STDMETHODCALLTYPE isXMLFileFormat(BSTR filePath, INT* retVal) override;
    HRESULT STDMETHODCALLTYPE Dispose() override;
    HRESULT STDMETHODCALLTYPE ApplyFileLock(LONG lock) override;
    HRESULT STDMETHODCALLTYPE initHUDDocument() override;

    // ISupportErrorInfo.
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override;

private:
    // The non-delegating IUnknown: the object's identity when aggregated.
    class Inner final : public IUnknown {
    public:
        explicit Inner(ProviderObject& owner) : owner_(owner) {}
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
        ULONG STDMETHODCALLTYPE AddRef() override;
        ULONG STDMETHODCALLTYPE Release() override;

    private:
        ProviderObject& owner_;
    };

    HRESULT loadTypeInfo();

    Inner inner_;
    IUnknown* controlling_;
    ULONG references_ = 1;
    ITypeInfo* typeInfo_ = nullptr;
    HudProvider provider_;
};

} // namespace velmora::com
