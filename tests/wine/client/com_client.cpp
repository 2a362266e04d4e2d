// The C++ client of the Wine suite: drives Velmora.dll through real COM, as a
// host compiled against the type library's header would. Every failed check
// prints its line; the exit status is 1 if any failed.
//
//   com_client.exe FOLDER (which holds legacy-deal.hud, a legacy statement,
//                          and first-open.xml, a new document)
//
// The same program makes the suite's longer runs, save-race and reload-cost
// (see client_modes.h).
#include <initguid.h>

#include <windows.h>

#include <cguid.h>
#include <ole2.h>

#include "velmora_h.h"

#include "client_modes.h"
#include "client_support.h"

#include <cstdio>
#include <cwchar>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using velmora::wine_client::Bstr;

int failures = 0;

bool check(bool ok, int line, const char* what, HRESULT hr = S_OK) {
    if (!ok) {
        ++failures;
        std::printf("FAIL line %d: %s (0x%08lX)\n", line, what, static_cast<unsigned long>(hr));
    }
    return ok;
}
#define CHECK(condition) check((condition), __LINE__, #condition)
#define CHECK_HR(expected, call)                                                                   \
    do {                                                                                           \
        const HRESULT hr_ = (call);                                                                \
        check(hr_ == (expected), __LINE__, #call, hr_);                                            \
    } while (0)

bool same(BSTR value, const wchar_t* text) {
    return value && std::wcscmp(value, text) == 0;
}

// The whole text that `get` hands out through its BSTR, or none where it left
// the caller's BSTR as it was.
template <typename Getter> std::optional<std::wstring> resultOf(Getter&& get) {
    const Bstr preset(L"caller's");
    BSTR value = preset;
    const HRESULT hr = get(&value);
    check(hr == S_OK, __LINE__, "a getter succeeds", hr);
    if (value == static_cast<BSTR>(preset))
        return std::nullopt;
    std::wstring text(value, SysStringLen(value));
    SysFreeString(value);
    return text;
}

IHudProvider* createProvider() {
    CLSID clsid{};
    IHudProvider* provider = nullptr;
    if (SUCCEEDED(CLSIDFromProgID(L"Velmora.HudProvider", &clsid)))
        CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IHudProvider,
                         reinterpret_cast<void**>(&provider));
    CHECK(provider != nullptr);
    return provider;
}

// The messages that the DLL shows, through VelmoraSetMessageHandler, and the
// answer the next ones get.
std::vector<std::pair<std::string, unsigned>> messages;
int answer = IDOK;

int __stdcall onMessage(const char* caption, const char*, unsigned flags, void*) {
    messages.emplace_back(caption, flags);
    return answer;
}

// An outer object that hands out itself for IUnknown and asks the aggregated
// provider for everything else.
class Outer final : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!IsEqualIID(riid, IID_IUnknown))
            return inner ? inner->QueryInterface(riid, ppv) : E_NOINTERFACE;
        *ppv = static_cast<IUnknown*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }

    ULONG references = 1;
    IUnknown* inner = nullptr;
};

template <typename Function> Function exported(HMODULE dll, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
}

// The unload poll with an object and a class factory alive, and aggregation.
void checkModule(HMODULE dll) {
    const auto canUnload = exported<HRESULT(STDAPICALLTYPE*)()>(dll, "DllCanUnloadNow");
    const auto getClassObject =
        exported<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>(dll, "DllGetClassObject");
    if (!CHECK(canUnload && getClassObject))
        return;
    CHECK_HR(S_OK, canUnload());
    if (IHudProvider* provider = createProvider()) {
        CHECK_HR(S_FALSE, canUnload());
        provider->Release();
        CHECK_HR(S_OK, canUnload());
    }
    IClassFactory* factory = nullptr;
    CHECK_HR(S_OK, getClassObject(CLSID_HudProvider, IID_IClassFactory,
                                  reinterpret_cast<void**>(&factory)));
    if (!factory)
        return;
    CHECK_HR(S_FALSE, canUnload());

    Outer outer;
    void* refused = &outer;
    CHECK_HR(CLASS_E_NOAGGREGATION, factory->CreateInstance(&outer, IID_IDispatch, &refused));
    CHECK(refused == nullptr && outer.references == 1);
    CHECK_HR(S_OK,
             factory->CreateInstance(&outer, IID_IUnknown, reinterpret_cast<void**>(&outer.inner)));
    factory->Release();
    if (!outer.inner)
        return;
    IHudProvider* provider = nullptr;
    CHECK_HR(S_OK, outer.QueryInterface(IID_IHudProvider, reinterpret_cast<void**>(&provider)));
    if (provider) {
        IUnknown* identity = nullptr;
        CHECK_HR(S_OK, provider->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)));
        CHECK(identity == &outer && outer.references == 3); // the outer object's references
        if (identity)
            identity->Release();
        CHECK_HR(S_OK, provider->initHUDDocument());
        provider->Release();
    }
    CHECK_HR(S_FALSE, canUnload());
    CHECK(outer.inner->Release() == 0 && outer.references == 1);
    CHECK_HR(S_OK, canUnload());
}

// A stall detector, not a speed target. The first open in a fresh prefix
// reaches for the file-use registry's component, and a creation that allows
// more than in-process and local servers can hang under Wine for many seconds
// per open; an open takes milliseconds, so 5 s can only mean a hang.
constexpr ULONGLONG kStallMilliseconds = 5000;

void checkFirstOpenDoesNotStall(const std::wstring& folder) {
    IHudProvider* p = createProvider();
    if (!p)
        return;
    INT status = 77;
    const ULONGLONG start = GetTickCount64();
    CHECK_HR(S_OK, p->readHUD(Bstr(folder + L"\\first-open.xml"), &status));
    const ULONGLONG elapsed = GetTickCount64() - start;
    std::printf("first readHUD took %llu ms\n", elapsed);
    CHECK(status == 0 && elapsed <= kStallMilliseconds);
    p->Dispose();
    p->Release();
}

// Names to ids, and ids that are none. (provider_test.vbs calls every method
// through Invoke.)
void checkDispatch(IHudProvider& p) {
    IDispatch* d = nullptr;
    CHECK_HR(S_OK, p.QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&d)));
    if (!d)
        return;
    // The methods in the order of their ids, 1 to 17, then a name that is none.
    std::wistringstream names(
        L"readHUD setDocumentType writeHUD getNodeValue getNodePropertyValue setNodePropertyValue "
        L"setNodePropertyByCriterion isNodeExist createNode getChildNodeCount getChildNodeByIndex "
        L"findChildNodeByProperty removeChildNode isXMLFileFormat Dispose ApplyFileLock "
        L"initHUDDocument noSuchMethod");
    std::wstring name;
    DISPID expected = 1;
    for (; names >> name; ++expected) {
        LPOLESTR text = name.data();
        DISPID id = -99;
        const HRESULT hr = d->GetIDsOfNames(IID_NULL, &text, 1, LOCALE_USER_DEFAULT, &id);
        CHECK(expected <= 17 ? hr == S_OK && id == expected : hr == DISP_E_UNKNOWNNAME);
    }
    CHECK(expected == 19);
    DISPPARAMS none{};
    for (const DISPID member : {0, 18})
        CHECK_HR(DISP_E_MEMBERNOTFOUND,
                 d->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr,
                           nullptr, nullptr));
    d->Release();
}

// Out-values through the vtable, error info, IDispatch, and the root methods
// before and after Dispose.
void checkProvider(const std::wstring& folder) {
    IHudProvider* p = createProvider();
    if (!p)
        return;
    CHECK_HR(S_OK, p->initHUDDocument());
    Bstr empty;
    CHECK_HR(S_OK, p->getNodePropertyValue(Bstr(L"n100/n104"), Bstr(L"amount"), empty.out()));
    CHECK(empty != nullptr && SysStringLen(empty) == 0);

    // No result: the caller's values stay.
    Bstr sentinel(L"caller's");
    BSTR value = sentinel;
    INT count = 77;
    CHECK_HR(S_OK, p->getNodeValue(Bstr(L"n100/zzz"), &value));
    CHECK_HR(S_OK, p->getNodePropertyValue(Bstr(L"zzz"), Bstr(L"amount"), &value));
    CHECK_HR(S_OK, p->getChildNodeCount(Bstr(L"zzz"), &count));
    CHECK(value == static_cast<BSTR>(sentinel) && count == 77);

    ISupportErrorInfo* errors = nullptr;
    CHECK_HR(S_OK, p->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&errors)));
    if (errors) {
        CHECK_HR(S_OK, errors->InterfaceSupportsErrorInfo(IID_IHudProvider));
        CHECK_HR(S_FALSE, errors->InterfaceSupportsErrorInfo(IID_IDispatch));
        errors->Release();
    }
    checkDispatch(*p);

    // The four root methods fail with E_FAIL only once the document is gone.
    const Bstr path(folder + L"\\root.xml");
    for (const HRESULT expected : {S_OK, E_FAIL}) {
        INT written = 77, format = 77, read = 77;
        CHECK_HR(expected, p->setDocumentType(Bstr(L"hud")));
        CHECK_HR(expected, p->writeHUD(path, &written));
        CHECK_HR(expected, p->isXMLFileFormat(path, &format));
        CHECK_HR(expected, p->readHUD(path, &read));
        if (expected == S_OK)
            CHECK_HR(S_OK, p->Dispose());
        else
            CHECK(written == -1 && format == 77 && read == 77);
    }
    p->Release();
}

// A BSTR carries its length, so a host may put NUL characters in a value. The
// value comes back whole, and so does every text that holds it: the node's
// XML, its ancestors' up to the root, and the child looked up by index or by
// that very value.
void checkTextWithNul() {
    IHudProvider* p = createProvider();
    if (!p)
        return;
    const std::wstring text(L"a\0b\0c", 5);
    const std::wstring attribute = L"description=\"" + text + L"\"";
    const Bstr node(L"n100/n104"), parent(L"n100"), description(L"description");
    INT status = 77;
    CHECK_HR(S_OK, p->initHUDDocument());
    CHECK_HR(S_OK, p->setNodePropertyValue(node, description, Bstr(text), &status));
    CHECK(status == 0);

    const auto value =
        resultOf([&](BSTR* out) { return p->getNodePropertyValue(node, description, out); });
    CHECK(value == text); // the length and every character
    const auto xml = resultOf([&](BSTR* out) { return p->getNodeValue(node, out); });
    CHECK(xml && xml->find(attribute) != std::wstring::npos);
    const auto root = resultOf([&](BSTR* out) { return p->getNodeValue(Bstr(L""), out); });
    CHECK(root && root->find(attribute) != std::wstring::npos);
    // n104 is the first child of n100.
    const auto byIndex =
        resultOf([&](BSTR* out) { return p->getChildNodeByIndex(parent, 0, out); });
    CHECK(xml && byIndex == xml);
    const auto byValue = resultOf([&](BSTR* out) {
        return p->findChildNodeByProperty(parent, description, Bstr(text), out);
    });
    CHECK(xml && byValue == xml);
    p->Dispose();
    p->Release();
}

// Files: a save and load round trip (the suite reads the file back with the
// Linux build), two providers on one file, and a legacy file converted only
// after the user says Yes.
INT formatOf(const std::wstring& path) {
    INT format = 77;
    if (IHudProvider* probe = createProvider()) {
        CHECK_HR(S_OK, probe->isXMLFileFormat(Bstr(path), &format));
        probe->Release();
    }
    return format;
}

void checkRoundTrip(const Bstr& path) {
    IHudProvider* writer = createProvider();
    IHudProvider* reader = createProvider();
    IHudProvider* second = createProvider();
    if (!writer || !reader || !second)
        return;
    INT status = 77;
    CHECK_HR(S_OK, writer->initHUDDocument());
    CHECK_HR(S_OK, writer->setNodePropertyValue(Bstr(L"n100/n104"), Bstr(L"amount"),
                                                Bstr(L"250000.00"), &status));
    CHECK_HR(S_OK, writer->writeHUD(path, &status));
    CHECK(status == 0);
    CHECK_HR(S_OK, writer->Dispose());
    writer->Release();

    CHECK_HR(S_OK, reader->readHUD(path, &status));
    Bstr amount;
    CHECK_HR(S_OK, reader->getNodePropertyValue(Bstr(L"n100/n104"), Bstr(L"amount"), amount.out()));
    CHECK(status == 0 && same(amount, L"250000.00"));

    // The reader holds the file until it lets go.
    messages.clear();
    CHECK_HR(S_OK, second->readHUD(path, &status));
    CHECK(status == -1 && !messages.empty() && messages.back().first == "Sharing error");
    CHECK_HR(S_OK, reader->Dispose());
    CHECK_HR(S_OK, second->readHUD(path, &status));
    CHECK(status == 0);
    second->Dispose();
    second->Release();
    reader->Release();
}

FILETIME lastWriteOf(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

// A read-only file opens; saving over it is refused with "Write error" and
// leaves it as it was, and saving it under another name works.
void checkReadOnlyTemplate(const std::wstring& folder) {
    const std::wstring original = folder + L"\\template.xml";
    const std::wstring copy = folder + L"\\from-template.xml";
    INT status = 77;
    if (IHudProvider* maker = createProvider()) {
        CHECK_HR(S_OK, maker->initHUDDocument());
        CHECK_HR(S_OK, maker->writeHUD(Bstr(original), &status));
        CHECK(status == 0);
        maker->Dispose();
        maker->Release();
    }
    CHECK(SetFileAttributesW(original.c_str(), FILE_ATTRIBUTE_READONLY));
    const FILETIME written = lastWriteOf(original);
    IHudProvider* p = createProvider();
    if (!p)
        return;
    CHECK_HR(S_OK, p->readHUD(Bstr(original), &status));
    CHECK(status == 0);
    messages.clear();
    CHECK_HR(S_OK, p->writeHUD(Bstr(original), &status));
    CHECK(status == -1 && messages.size() == 1 && messages[0].first == "Write error");
    CHECK_HR(S_OK, p->writeHUD(Bstr(copy), &status));
    CHECK(status == 0);
    p->Dispose();
    p->Release();
    const FILETIME after = lastWriteOf(original);
    CHECK(CompareFileTime(&written, &after) == 0);
    CHECK(formatOf(copy) == 1);
}

bool backupExists(const std::wstring& folder) {
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder + L"\\UpgradeBackup\\*.prb").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    return search != INVALID_HANDLE_VALUE;
}

// No leaves the file as it was, without a backup; Yes converts it and backs
// the original up.
void checkLegacy(const std::wstring& folder) {
    const std::wstring path = folder + L"\\legacy-deal.hud";
    for (const int reply : {IDNO, IDYES}) {
        IHudProvider* p = createProvider();
        if (!p)
            return;
        messages.clear();
        answer = reply;
        INT status = 77;
        Bstr amount;
        CHECK_HR(S_OK, p->readHUD(Bstr(path), &status));
        CHECK_HR(S_OK, p->getNodePropertyValue(Bstr(L"n100/n104"), Bstr(L"amount"), amount.out()));
        CHECK(!messages.empty() && messages[0].first == "Warning" &&
              (messages[0].second & 0xF) == MB_YESNO);
        p->Dispose();
        p->Release();
        if (reply == IDNO)
            CHECK(status == -1 && amount == nullptr && !backupExists(folder) &&
                  formatOf(path) == 0);
        else
            CHECK(status == 0 && same(amount, L"1412.75") && backupExists(folder) &&
                  formatOf(path) == 1);
    }
    answer = IDOK;
}

// The checks, on the files in `folder`.
int runChecks(const std::wstring& folder) {
    // The module that COM loaded for the class, held for the checks.
    HMODULE dll = nullptr;
    if (IHudProvider* provider = createProvider()) {
        GetModuleHandleExW(0, L"Velmora.dll", &dll);
        provider->Release();
    }
    using SetMessageHandler = void(__stdcall*)(decltype(&onMessage), void*);
    const auto setHandler =
        dll ? exported<SetMessageHandler>(dll, "VelmoraSetMessageHandler") : nullptr;
    if (CHECK(dll && setHandler)) {
        setHandler(onMessage, nullptr);     // before any message box could block the suite
        checkFirstOpenDoesNotStall(folder); // before any other call reaches the registry
        checkModule(dll);
        checkProvider(folder);
        checkTextWithNul();
        checkRoundTrip(Bstr(folder + L"\\round-trip.xml"));
        checkReadOnlyTemplate(folder);
        checkLegacy(folder);
        setHandler(nullptr, nullptr);
    }
    std::printf("com_client: %d failures\n", failures);
    return failures == 0 ? 0 : 1;
}

// The run the arguments ask for: a named one, or the checks of one folder.
int runAsked(const std::vector<std::wstring>& arguments) {
    if (arguments.empty())
        return 2;
    const std::vector<std::wstring> rest(arguments.begin() + 1, arguments.end());
    if (arguments[0] == L"save-race")
        return velmora::wine_client::runSaveRace(rest);
    if (arguments[0] == L"reload-cost")
        return velmora::wine_client::runReloadCost(rest);
    return rest.empty() ? runChecks(arguments[0]) : 2;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (!CHECK(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))))
        return 2;
    const int status = runAsked(std::vector<std::wstring>(argv + 1, argv + argc));
    CoUninitialize();
    return status;
}
