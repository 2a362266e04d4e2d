#include "com/win32/dispatch_arguments.h"

#include "com/win32/unset_value.h"

namespace velmora::com {
namespace {

using P = Parameter;

// Ids 1 to 17, in the order of the interface.
const std::array<MethodShape, 17> kShapes{{
    {2, {P::InText, P::OutNumber}},                                  // readHUD
    {1, {P::InText}},                                                // setDocumentType
    {2, {P::InText, P::OutNumber}},                                  // writeHUD
    {2, {P::InText, P::OutText}},                                    // getNodeValue
    {3, {P::InText, P::InText, P::OutText}},                         // getNodePropertyValue
    {4, {P::InText, P::InText, P::InText, P::OutNumber}},            // setNodePropertyValue
    {5, {P::InText, P::InText, P::InText, P::InText, P::OutNumber}}, // setNodePropertyByCriterion
    {2, {P::InText, P::OutNumber}},                                  // isNodeExist
    {3, {P::InText, P::InText, P::OutText}},                         // createNode
    {2, {P::InText, P::OutNumber}},                                  // getChildNodeCount
    {3, {P::InText, P::InNumber, P::OutText}},                       // getChildNodeByIndex
    {4, {P::InText, P::InText, P::InText, P::OutText}},              // findChildNodeByProperty
    {4, {P::InText, P::InText, P::InText, P::OutNumber}},            // removeChildNode
    {2, {P::InText, P::OutNumber}},                                  // isXMLFileFormat
    {0, {}},                                                         // Dispose
    {1, {P::InNumber}},                                              // ApplyFileLock
    {0, {}},                                                         // initHUDDocument
}};

bool isOut(Parameter kind) {
    return kind == P::OutText || kind == P::OutNumber;
}

} // namespace

const MethodShape* methodShape(DISPID member) {
    if (member < 1 || member > static_cast<DISPID>(kShapes.size()))
        return nullptr;
    return &kShapes[static_cast<std::size_t>(member - 1)];
}

DispatchArguments::~DispatchArguments() {
    for (UINT i = 0; i < count_; ++i) {
        VariantClear(&slots_[i].value);
        SysFreeString(slots_[i].textResult);
    }
}

HRESULT DispatchArguments::take(const MethodShape& shape, const DISPPARAMS& params,
                                UINT* argumentError) {
    if (params.cArgs > 0 && !params.rgvarg)
        return E_INVALIDARG;
    if (params.cNamedArgs > params.cArgs || (params.cNamedArgs > 0 && !params.rgdispidNamedArgs))
        return E_INVALIDARG;
    if (params.cArgs != shape.count)
        return DISP_E_BADPARAMCOUNT;

    // rgvarg holds the named arguments first, then the positional ones in
    // reverse order.
    const UINT positional = params.cArgs - params.cNamedArgs;
    for (UINT p = 0; p < positional; ++p) {
        slots_[p].source = &params.rgvarg[params.cArgs - 1 - p];
        slots_[p].position = params.cArgs - 1 - p;
    }
    for (UINT i = 0; i < params.cNamedArgs; ++i) {
        const DISPID id = params.rgdispidNamedArgs[i];
        if (id < 0 || static_cast<UINT>(id) >= shape.count || slots_[id].source) {
            if (argumentError)
                *argumentError = i;
            return DISP_E_PARAMNOTFOUND;
        }
        slots_[id].source = &params.rgvarg[i];
        slots_[id].position = i;
    }

    for (count_ = 0; count_ < shape.count; ++count_) {
        Slot& slot = slots_[count_];
        slot.kind = shape.parameters[count_];
        VariantInit(&slot.value);
        slot.numberResult = kUnsetNumber;
        const HRESULT hr = isOut(slot.kind) ? checkOut(slot) : convertIn(slot);
        if (FAILED(hr)) {
            ++count_;
            if (argumentError)
                *argumentError = slot.position;
            return hr;
        }
    }
    return S_OK;
}

HRESULT DispatchArguments::convertIn(Slot& slot) {
    VARIANTARG* source = slot.source;
    if (V_VT(source) == (VT_BYREF | VT_VARIANT)) {
        source = V_VARIANTREF(source);
        if (!source)
            return DISP_E_TYPEMISMATCH;
    }
    const VARTYPE target = slot.kind == P::InText ? VT_BSTR : VT_I4;
    return VariantChangeType(&slot.value, source, 0, target);
}

HRESULT DispatchArguments::checkOut(const Slot& slot) {
    const VARTYPE vt = V_VT(slot.source);
    if (!(vt & VT_BYREF))
        return S_OK; // a value: the result has nowhere to go and is dropped
    if (!V_BYREF(slot.source))
        return DISP_E_TYPEMISMATCH;
    if (vt == (VT_BYREF | VT_VARIANT))
        return S_OK;
    if (slot.kind == P::OutText)
        return vt == (VT_BYREF | VT_BSTR) ? S_OK : DISP_E_TYPEMISMATCH;
    return vt == (VT_BYREF | VT_I4) || vt == (VT_BYREF | VT_INT) ? S_OK : DISP_E_TYPEMISMATCH;
}

void DispatchArguments::deliver() {
    for (UINT i = 0; i < count_; ++i) {
        Slot& slot = slots_[i];
        const bool produced = slot.kind == P::OutText     ? slot.textResult != nullptr
                              : slot.kind == P::OutNumber ? slot.numberResult != kUnsetNumber
                                                          : false;
        if (!produced || !(V_VT(slot.source) & VT_BYREF))
            continue;
        const VARTYPE vt = V_VT(slot.source);
        if (vt == (VT_BYREF | VT_VARIANT)) {
            VARIANT* place = V_VARIANTREF(slot.source);
            VariantClear(place);
            if (slot.kind == P::OutText) {
                V_VT(place) = VT_BSTR;
                V_BSTR(place) = slot.textResult;
                slot.textResult = nullptr;
            } else {
                V_VT(place) = VT_I4;
                V_I4(place) = slot.numberResult;
            }
        } else if (vt == (VT_BYREF | VT_BSTR)) {
            // The caller's variable owns its old text; the new one replaces it.
            SysFreeString(*V_BSTRREF(slot.source));
            *V_BSTRREF(slot.source) = slot.textResult;
            slot.textResult = nullptr;
        } else if (vt == (VT_BYREF | VT_I4)) {
            *V_I4REF(slot.source) = slot.numberResult;
        } else {
            *V_INTREF(slot.source) = slot.numberResult;
        }
    }
}

} // namespace velmora::com
