// The module and its class factory: the unload poll, held factories,
// aggregation and the creation rules.
#include "check.h"
#include "suite.h"

namespace velmora::wine {
namespace {

using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();
using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

// A minimal outer object: it hands out itself for IUnknown and asks the
// aggregated provider for everything else.
class Outer final : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (IsEqualIID(riid, IID_IUnknown)) {
            *ppv = static_cast<IUnknown*>(this);
            AddRef();
            return S_OK;
        }
        return inner ? inner->QueryInterface(riid, ppv) : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }

    ULONG references = 1;
    IUnknown* inner = nullptr;
};

IClassFactory* factoryOf(GetClassObject getClassObject) {
    IClassFactory* factory = nullptr;
    CHECK_HR(S_OK, getClassObject(CLSID_HudProvider, IID_IClassFactory,
                                  reinterpret_cast<void**>(&factory)));
    return factory;
}

void checkUnloadPoll(CanUnloadNow canUnload) {
    CHECK_HR(S_OK, canUnload());
    IHudProvider* provider = createProvider();
    CHECK(provider != nullptr);
    if (!provider)
        return;
    CHECK_HR(S_FALSE, canUnload());
    IHudProvider* second = nullptr;
    CHECK_HR(S_OK, provider->QueryInterface(IID_IHudProvider, reinterpret_cast<void**>(&second)));
    provider->Release();
    CHECK_HR(S_FALSE, canUnload()); // one reference is still out
    second->Release();
    CHECK_HR(S_OK, canUnload());
}

void checkHeldFactory(CanUnloadNow canUnload, GetClassObject getClassObject) {
    IClassFactory* factory = factoryOf(getClassObject);
    if (!factory)
        return;
    CHECK_HR(S_FALSE, canUnload());
    factory->AddRef();
    factory->Release();
    CHECK_HR(S_FALSE, canUnload());
    CHECK_HR(S_OK, factory->LockServer(TRUE));
    factory->Release();
    CHECK_HR(S_FALSE, canUnload()); // the server lock alone
    factory = factoryOf(getClassObject);
    if (!factory)
        return;
    CHECK_HR(S_OK, factory->LockServer(FALSE));
    factory->Release();
    CHECK_HR(S_OK, canUnload());
}

void checkCreationRules(CanUnloadNow canUnload, GetClassObject getClassObject) {
    IClassFactory* other = reinterpret_cast<IClassFactory*>(1);
    CHECK_HR(CLASS_E_CLASSNOTAVAILABLE,
             getClassObject(IID_IHudProvider, IID_IClassFactory, reinterpret_cast<void**>(&other)));
    CHECK(other == nullptr);

    IClassFactory* factory = factoryOf(getClassObject);
    if (!factory)
        return;
    CHECK_HR(E_POINTER, factory->CreateInstance(nullptr, IID_IHudProvider, nullptr));

    // An interface the class lacks: the new object is destroyed at once.
    void* unknown = reinterpret_cast<void*>(1);
    CHECK_HR(E_NOINTERFACE, factory->CreateInstance(nullptr, IID_IClassFactory, &unknown));
    CHECK(unknown == nullptr);

    Outer outer;
    void* refused = reinterpret_cast<void*>(1);
    CHECK_HR(CLASS_E_NOAGGREGATION, factory->CreateInstance(&outer, IID_IDispatch, &refused));
    CHECK(refused == nullptr);
    CHECK(outer.references == 1);

    CHECK_HR(S_OK,
             factory->CreateInstance(&outer, IID_IUnknown, reinterpret_cast<void**>(&outer.inner)));
    factory->Release();
    if (!outer.inner)
        return;
    IHudProvider* provider = nullptr;
    CHECK_HR(S_OK, outer.QueryInterface(IID_IHudProvider, reinterpret_cast<void**>(&provider)));
    if (provider) {
        // The provider's references and identity are the outer object's.
        CHECK(outer.references == 2);
        IUnknown* identity = nullptr;
        CHECK_HR(S_OK, provider->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)));
        CHECK(identity == &outer);
        CHECK(outer.references == 3);
        if (identity)
            identity->Release();
        CHECK_HR(S_OK, provider->initHUDDocument());
        LONG exists = -5;
        CHECK_HR(S_OK, provider->isNodeExist(Bstr(L"n100"), &exists));
        CHECK(exists == 1);
        provider->Release();
        CHECK(outer.references == 1);
    }
    CHECK_HR(S_FALSE, canUnload());
    CHECK(outer.inner->Release() == 0);
    outer.inner = nullptr;
    CHECK_HR(S_OK, canUnload());
}

} // namespace

void checkModule(const SuiteContext& context) {
    const auto canUnload = exported<CanUnloadNow>(context.dll, "DllCanUnloadNow");
    const auto getClassObject = exported<GetClassObject>(context.dll, "DllGetClassObject");
    CHECK(canUnload && getClassObject);
    if (!canUnload || !getClassObject)
        return;
    checkUnloadPoll(canUnload);
    checkHeldFactory(canUnload, getClassObject);
    checkCreationRules(canUnload, getClassObject);
}

} // namespace velmora::wine
