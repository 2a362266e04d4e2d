// The 17 methods through the vtable: results, out-values left untouched where
// no result is produced, empty texts as empty BSTRs, and the calls after
// Dispose.
#include "check.h"
#include "suite.h"

namespace velmora::wine {
namespace {

void checkPaths(IHudProvider& p) {
    for (const wchar_t* uri : {L"n100", L"/n100", L"n100/", L"", L"n100/n104"}) {
        LONG exists = -5;
        CHECK_HR(S_OK, p.isNodeExist(Bstr(uri), &exists));
        CHECK(exists == 1);
    }
    LONG exists = -5;
    CHECK_HR(S_OK, p.isNodeExist(nullptr, &exists)); // a null BSTR is the root
    CHECK(exists == 1);
    CHECK_HR(S_OK, p.isNodeExist(Bstr(L"zzz/n104"), &exists));
    CHECK(exists == 0);
}

void checkUntouchedOutValues(IHudProvider& p) {
    Bstr sentinel(L"caller's");
    BSTR value = sentinel;
    CHECK_HR(S_OK, p.getNodeValue(Bstr(L"n100/zzz"), &value));
    CHECK(value == sentinel.get());
    CHECK_HR(S_OK, p.getNodePropertyValue(Bstr(L"zzz"), Bstr(L"amount"), &value));
    CHECK(value == sentinel.get());
    CHECK_HR(S_OK, p.createNode(Bstr(L"n104"), Bstr(L"zzz"), &value));
    CHECK(value == sentinel.get());
    CHECK_HR(S_OK, p.findChildNodeByProperty(Bstr(L"n100"), Bstr(L"name"), Bstr(L"none"), &value));
    CHECK(value == sentinel.get());

    INT count = -5;
    CHECK_HR(S_OK, p.getChildNodeCount(Bstr(L"n100"), &count));
    CHECK(count == 9);
    CHECK_HR(S_OK, p.getChildNodeByIndex(Bstr(L"n100"), -1, &value));
    CHECK(value == sentinel.get());
    CHECK_HR(S_OK, p.getChildNodeByIndex(Bstr(L"n100"), count, &value));
    CHECK(value == sentinel.get());
    INT untouched = 77;
    CHECK_HR(S_OK, p.getChildNodeCount(Bstr(L"zzz"), &untouched));
    CHECK(untouched == 77);

    Bstr first;
    CHECK_HR(S_OK, p.getChildNodeByIndex(Bstr(L"n100"), 0, first.out()));
    CHECK(text(first).rfind("<n104 ", 0) == 0);
}

void checkValues(IHudProvider& p) {
    Bstr empty;
    CHECK_HR(S_OK, p.getNodePropertyValue(Bstr(L"n100/n104"), Bstr(L"amount"), empty.out()));
    CHECK(empty.get() != nullptr); // an empty text is an empty BSTR
    CHECK(empty.get() && SysStringLen(empty) == 0);

    INT status = 77;
    CHECK_HR(S_OK, p.setNodePropertyValue(Bstr(L"n100/n104"), Bstr(L"amount"), Bstr(L"250000.00"),
                                          &status));
    CHECK(status == 0);
    Bstr amount;
    CHECK_HR(S_OK, p.getNodePropertyValue(Bstr(L"n100/n104"), Bstr(L"amount"), amount.out()));
    CHECK_TEXT("250000.00", amount);
    status = 77;
    CHECK_HR(S_OK, p.setNodePropertyValue(Bstr(L"zzz"), Bstr(L"amount"), Bstr(L"1"), &status));
    CHECK(status == -1);

    Bstr found;
    CHECK_HR(S_OK, p.findChildNodeByProperty(Bstr(L"n100"), Bstr(L"amount"), Bstr(L"250000.00"),
                                             found.out()));
    CHECK(text(found).find("name=\"n1041\"") != std::string::npos);

    Bstr name;
    CHECK_HR(S_OK, p.createNode(Bstr(L"n104"), Bstr(L"n100"), name.out()));
    CHECK_TEXT("n1042", name);
    status = 77;
    CHECK_HR(S_OK, p.removeChildNode(Bstr(L"n100"), Bstr(L"n104"), Bstr(L""), &status));
    CHECK(status == -1); // an empty criterion removes nothing
    status = 77;
    CHECK_HR(S_OK, p.removeChildNode(Bstr(L"n100"), Bstr(L"n104"), Bstr(L"name=n1042"), &status));
    CHECK(status == 0);
    status = 77;
    CHECK_HR(S_OK, p.setNodePropertyByCriterion(Bstr(L"n100"), Bstr(L"name=n1041"),
                                                Bstr(L"description"), Bstr(L"Sale"), &status));
    CHECK(status == 0);
    Bstr description;
    CHECK_HR(S_OK,
             p.getNodePropertyValue(Bstr(L"n100/n104"), Bstr(L"description"), description.out()));
    CHECK_TEXT("Sale", description);
    CHECK_HR(S_OK, p.setDocumentType(Bstr(L"anything at all")));
}

void checkAfterDispose(IHudProvider& p) {
    CHECK_HR(S_OK, p.Dispose());
    INT status = 77;
    CHECK_HR(E_FAIL, p.readHUD(Bstr(L"C:\\nothing.xml"), &status));
    CHECK(status == 77);
    CHECK_HR(E_FAIL, p.writeHUD(Bstr(L"C:\\nothing.xml"), &status));
    CHECK(status == -1);
    status = 77;
    CHECK_HR(E_FAIL, p.isXMLFileFormat(Bstr(L"C:\\nothing.xml"), &status));
    CHECK(status == 77);
    CHECK_HR(E_FAIL, p.setDocumentType(Bstr(L"hud")));
    CHECK_HR(S_OK, p.ApplyFileLock(1));
    CHECK_HR(S_OK, p.ApplyFileLock(0));
    CHECK_HR(S_OK, p.initHUDDocument());
    CHECK_HR(S_OK, p.Dispose());
    LONG exists = -5;
    CHECK_HR(S_OK, p.isNodeExist(Bstr(L""), &exists));
    CHECK(exists == 0);
    Bstr sentinel(L"caller's");
    BSTR value = sentinel;
    CHECK_HR(S_OK, p.getNodeValue(Bstr(L""), &value));
    CHECK(value == sentinel.get());
}

void checkErrorInfo(IHudProvider& p) {
    ISupportErrorInfo* errors = nullptr;
    CHECK_HR(S_OK, p.QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&errors)));
    if (!errors)
        return;
    CHECK_HR(S_OK, errors->InterfaceSupportsErrorInfo(IID_IHudProvider));
    CHECK_HR(S_FALSE, errors->InterfaceSupportsErrorInfo(IID_IDispatch));
    errors->Release();
}

} // namespace

void checkProvider(const SuiteContext&) {
    // Both ProgIDs name the class.
    CLSID current{};
    CLSID versioned{};
    CHECK_HR(S_OK, CLSIDFromProgID(L"Velmora.HudProvider", &current));
    CHECK_HR(S_OK, CLSIDFromProgID(L"Velmora.HudProvider.1", &versioned));
    CHECK(IsEqualCLSID(current, CLSID_HudProvider) && IsEqualCLSID(versioned, CLSID_HudProvider));

    IHudProvider* provider = createProvider();
    CHECK(provider != nullptr);
    if (!provider)
        return;
    CHECK_HR(S_OK, provider->initHUDDocument());
    checkPaths(*provider);
    checkUntouchedOutValues(*provider);
    checkValues(*provider);
    checkErrorInfo(*provider);
    checkAfterDispose(*provider);
    provider->Release();
}

} // namespace velmora::wine
