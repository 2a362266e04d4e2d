// IDispatch::Invoke, written by hand so that scripting clients can receive
// out-values: a type-library Invoke refuses VBScript's references to variants.
#include "com/win32/dispatch_arguments.h"
#include "com/win32/provider_object.h"
#include "com/win32/unset_value.h"

#include <new>

namespace velmora::com {
namespace {

HRESULT call(IHudProvider& target, DISPID member, DispatchArguments& a) {
    switch (member) {
    case 1:
        return target.readHUD(a.text(0), a.numberOut(1));
    case 2:
        return target.setDocumentType(a.text(0));
    case 3:
        return target.writeHUD(a.text(0), a.numberOut(1));
    case 4:
        return target.getNodeValue(a.text(0), a.textOut(1));
    case 5:
        return target.getNodePropertyValue(a.text(0), a.text(1), a.textOut(2));
    case 6:
        return target.setNodePropertyValue(a.text(0), a.text(1), a.text(2), a.numberOut(3));
    case 7:
        return target.setNodePropertyByCriterion(a.text(0), a.text(1), a.text(2), a.text(3),
                                                 a.numberOut(4));
    case 8: {
        LONG exists = kUnsetNumber;
        const HRESULT hr = target.isNodeExist(a.text(0), &exists);
        if (exists != kUnsetNumber)
            *a.numberOut(1) = static_cast<INT>(exists);
        return hr;
    }
    case 9:
        return target.createNode(a.text(0), a.text(1), a.textOut(2));
    case 10:
        return target.getChildNodeCount(a.text(0), a.numberOut(1));
    case 11:
        return target.getChildNodeByIndex(a.text(0), static_cast<INT>(a.number(1)), a.textOut(2));
    case 12:
        return target.findChildNodeByProperty(a.text(0), a.text(1), a.text(2), a.textOut(3));
    case 13:
        return target.removeChildNode(a.text(0), a.text(1), a.text(2), a.numberOut(3));
    case 14:
        return target.isXMLFileFormat(a.text(0), a.numberOut(1));
    case 15:
        return target.Dispose();
    case 16:
        return target.ApplyFileLock(a.number(0));
    default:
        return target.initHUDDocument();
    }
}

// A failing method reaches the script as an exception carrying its HRESULT.
HRESULT raise(HRESULT failure, EXCEPINFO* exception) {
    if (!exception)
        return failure;
    *exception = EXCEPINFO{};
    exception->bstrSource = SysAllocString(L"Velmora.HudProvider");
    exception->scode = failure;
    return DISP_E_EXCEPTION;
}

} // namespace

HRESULT STDMETHODCALLTYPE ProviderObject::Invoke(DISPID member, REFIID riid, LCID, WORD flags,
                                                 DISPPARAMS* params, VARIANT* result,
                                                 EXCEPINFO* exception, UINT* argumentError) {
    if (!IsEqualIID(riid, IID_NULL))
        return DISP_E_UNKNOWNINTERFACE;
    const MethodShape* shape = methodShape(member);
    if (!shape || !(flags & DISPATCH_METHOD))
        return DISP_E_MEMBERNOTFOUND;
    if (!params)
        return E_INVALIDARG;
    try {
        DispatchArguments arguments;
        HRESULT hr = arguments.take(*shape, *params, argumentError);
        if (FAILED(hr))
            return hr;
        hr = call(*this, member, arguments);
        if (FAILED(hr))
            return raise(hr, exception);
        arguments.deliver();
        if (result)
            VariantInit(result);
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

} // namespace velmora::com
