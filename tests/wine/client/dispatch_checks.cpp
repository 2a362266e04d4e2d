// IDispatch: the type information, names to ids, and Invoke with the argument
// forms that compiled clients and scripting hosts pass.
#include "check.h"
#include "suite.h"

namespace velmora::wine {
namespace {

DISPID idOf(IDispatch& d, const wchar_t* name) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = -99;
    const HRESULT hr = d.GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    return SUCCEEDED(hr) ? id : -99;
}

// Invokes a method with arguments given in declaration order.
HRESULT invoke(IDispatch& d, DISPID member, std::initializer_list<VARIANT> arguments,
               UINT* argumentError = nullptr, EXCEPINFO* exception = nullptr) {
    VARIANT reversed[8];
    UINT count = 0;
    for (const VARIANT& argument : arguments)
        reversed[arguments.size() - 1 - count++] = argument;
    DISPPARAMS params{reversed, nullptr, count, 0};
    UINT error = 0;
    return d.Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                    exception, argumentError ? argumentError : &error);
}

VARIANT bstrArg(BSTR value) {
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = VT_BSTR;
    V_BSTR(&v) = value;
    return v;
}

VARIANT variantRef(VARIANT* place) {
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&v) = place;
    return v;
}

void checkTypeInformation(IDispatch& d) {
    UINT count = 0;
    CHECK_HR(S_OK, d.GetTypeInfoCount(&count));
    CHECK(count == 1);
    CHECK_HR(E_POINTER, d.GetTypeInfo(0, LOCALE_USER_DEFAULT, nullptr));
    ITypeInfo* info = nullptr;
    CHECK_HR(S_OK, d.GetTypeInfo(0, LOCALE_USER_DEFAULT, &info));
    if (!info)
        return;
    Bstr name;
    Bstr help;
    CHECK_HR(S_OK, info->GetDocumentation(MEMBERID_NIL, name.out(), help.out(), nullptr, nullptr));
    CHECK_TEXT("IHudProvider", name);
    CHECK_TEXT("IHudProvider Interface", help);
    Bstr methodHelp;
    CHECK_HR(S_OK, info->GetDocumentation(5, nullptr, methodHelp.out(), nullptr, nullptr));
    CHECK_TEXT("method getNodePropertyValue", methodHelp);
    info->Release();

    ITypeLib* library = nullptr;
    CHECK_HR(S_OK, LoadRegTypeLib(LIBID_VELMORALib, 1, 0, LOCALE_NEUTRAL, &library));
    if (library) {
        Bstr libraryName;
        Bstr libraryHelp;
        CHECK_HR(S_OK, library->GetDocumentation(-1, libraryName.out(), libraryHelp.out(), nullptr,
                                                 nullptr));
        CHECK_TEXT("VELMORALib", libraryName);
        CHECK_TEXT("Velmora 1.0 Type Library", libraryHelp);
        library->Release();
    }

    const wchar_t* methods[] = {L"readHUD",
                                L"setDocumentType",
                                L"writeHUD",
                                L"getNodeValue",
                                L"getNodePropertyValue",
                                L"setNodePropertyValue",
                                L"setNodePropertyByCriterion",
                                L"isNodeExist",
                                L"createNode",
                                L"getChildNodeCount",
                                L"getChildNodeByIndex",
                                L"findChildNodeByProperty",
                                L"removeChildNode",
                                L"isXMLFileFormat",
                                L"Dispose",
                                L"ApplyFileLock",
                                L"initHUDDocument"};
    for (DISPID id = 1; id <= 17; ++id)
        CHECK(idOf(d, methods[id - 1]) == id);
    CHECK(idOf(d, L"noSuchMethod") == -99);
}

void checkArgumentForms(IDispatch& d) {
    Bstr uri(L"n100/n104");
    Bstr property(L"amount");
    Bstr amount(L"1412.75");

    // A reference to a variant, as VBScript passes its variables.
    VARIANT status;
    VariantInit(&status);
    CHECK_HR(S_OK,
             invoke(d, 6, {bstrArg(uri), bstrArg(property), bstrArg(amount), variantRef(&status)}));
    CHECK(V_VT(&status) == VT_I4 && V_I4(&status) == 0);

    VARIANT value;
    VariantInit(&value);
    CHECK_HR(S_OK, invoke(d, 5, {bstrArg(uri), bstrArg(property), variantRef(&value)}));
    CHECK(V_VT(&value) == VT_BSTR);
    if (V_VT(&value) == VT_BSTR)
        CHECK_TEXT("1412.75", V_BSTR(&value));
    VariantClear(&value);

    // In-arguments by reference to variants, and of other types that convert.
    VARIANT uriHolder = bstrArg(uri);
    VARIANT index;
    VariantInit(&index);
    V_VT(&index) = VT_BSTR;
    V_BSTR(&index) = SysAllocString(L"0");
    CHECK_HR(S_OK, invoke(d, 11, {bstrArg(Bstr(L"n100")), index, variantRef(&value)}));
    CHECK(V_VT(&value) == VT_BSTR);
    VariantClear(&value);
    VariantClear(&index);

    // Typed references, as compiled clients pass them.
    BSTR typed = SysAllocString(L"old");
    VARIANT typedRef;
    VariantInit(&typedRef);
    V_VT(&typedRef) = VT_BYREF | VT_BSTR;
    V_BSTRREF(&typedRef) = &typed;
    CHECK_HR(S_OK, invoke(d, 5, {variantRef(&uriHolder), bstrArg(property), typedRef}));
    CHECK_TEXT("1412.75", typed);
    SysFreeString(typed);

    INT children = -5;
    VARIANT countRef;
    VariantInit(&countRef);
    V_VT(&countRef) = VT_BYREF | VT_INT;
    V_INTREF(&countRef) = &children;
    CHECK_HR(S_OK, invoke(d, 10, {bstrArg(Bstr(L"n100")), countRef}));
    CHECK(children == 9);
    LONG exists = -5;
    VARIANT existsRef;
    VariantInit(&existsRef);
    V_VT(&existsRef) = VT_BYREF | VT_I4;
    V_I4REF(&existsRef) = &exists;
    CHECK_HR(S_OK, invoke(d, 8, {bstrArg(uri), existsRef}));
    CHECK(exists == 1);

    // No result: the caller's variant keeps its value.
    VARIANT kept;
    VariantInit(&kept);
    V_VT(&kept) = VT_I4;
    V_I4(&kept) = 42;
    CHECK_HR(S_OK, invoke(d, 4, {bstrArg(Bstr(L"n100/zzz")), variantRef(&kept)}));
    CHECK(V_VT(&kept) == VT_I4 && V_I4(&kept) == 42);
}

void checkInvokeRules(IDispatch& d) {
    Bstr uri(L"n100/n104");
    VARIANT value;
    VariantInit(&value);
    CHECK_HR(DISP_E_MEMBERNOTFOUND, invoke(d, 0, {}));
    CHECK_HR(DISP_E_MEMBERNOTFOUND, invoke(d, 18, {}));
    CHECK_HR(DISP_E_BADPARAMCOUNT, invoke(d, 4, {bstrArg(uri)}));

    // A reference of a type that cannot hold the result.
    IDispatch* holder = nullptr;
    VARIANT wrongRef;
    VariantInit(&wrongRef);
    V_VT(&wrongRef) = VT_BYREF | VT_DISPATCH;
    V_DISPATCHREF(&wrongRef) = &holder;
    UINT argumentError = 99;
    CHECK_HR(DISP_E_TYPEMISMATCH, invoke(d, 4, {bstrArg(uri), wrongRef}, &argumentError));
    CHECK(argumentError == 0); // rgvarg[0] is the last argument

    // Named arguments: the parameter's position is its id.
    Bstr property(L"amount");
    VARIANT args[3] = {variantRef(&value), bstrArg(property), bstrArg(uri)};
    DISPID named[2] = {2, 1};
    DISPPARAMS params{args, named, 3, 2};
    UINT error = 0;
    CHECK_HR(S_OK, d.Invoke(5, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                            nullptr, &error));
    CHECK(V_VT(&value) == VT_BSTR);
    if (V_VT(&value) == VT_BSTR)
        CHECK_TEXT("1412.75", V_BSTR(&value));
    VariantClear(&value);
    named[0] = 7;
    error = 99;
    CHECK_HR(DISP_E_PARAMNOTFOUND, d.Invoke(5, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                            &params, nullptr, nullptr, &error));
    CHECK(error == 0);
    named[0] = 1; // the same parameter twice
    CHECK_HR(DISP_E_PARAMNOTFOUND, d.Invoke(5, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                            &params, nullptr, nullptr, &error));
}

void checkFailureThroughInvoke(IDispatch& d) {
    CHECK_HR(S_OK, invoke(d, 15, {}));
    VARIANT status;
    VariantInit(&status);
    V_VT(&status) = VT_I4;
    V_I4(&status) = 77;
    EXCEPINFO exception{};
    CHECK_HR(DISP_E_EXCEPTION,
             invoke(d, 1, {bstrArg(Bstr(L"C:\\x.xml")), variantRef(&status)}, nullptr, &exception));
    CHECK(exception.scode == E_FAIL);
    CHECK(V_VT(&status) == VT_I4 && V_I4(&status) == 77);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
}

} // namespace

void checkDispatch(const SuiteContext&) {
    IHudProvider* provider = createProvider();
    CHECK(provider != nullptr);
    if (!provider)
        return;
    IDispatch* dispatch = nullptr;
    CHECK_HR(S_OK, provider->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)));
    provider->Release();
    if (!dispatch)
        return;
    CHECK_HR(S_OK, invoke(*dispatch, 17, {}));
    checkTypeInformation(*dispatch);
    checkArgumentForms(*dispatch);
    checkInvokeRules(*dispatch);
    checkFailureThroughInvoke(*dispatch);
    dispatch->Release();
}

} // namespace velmora::wine
