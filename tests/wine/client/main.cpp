// The C++ client of the Wine suite: drives Velmora.dll through real COM, as
// a host compiled against the type library's header would.
//
//   com_client.exe FOLDER LEGACY_FILE
#include <initguid.h>

#include "check.h"
#include "suite.h"

#include <cstdio>

namespace velmora::wine {

IHudProvider* createProvider() {
    CLSID clsid{};
    if (FAILED(CLSIDFromProgID(L"Velmora.HudProvider", &clsid)))
        return nullptr;
    IHudProvider* provider = nullptr;
    if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IHudProvider,
                                reinterpret_cast<void**>(&provider))))
        return nullptr;
    return provider;
}

namespace {

// The path registered for the class, which COM loads.
std::wstring registeredServer() {
    wchar_t path[MAX_PATH] = {};
    LONG size = sizeof path;
    if (RegQueryValueW(HKEY_CLASSES_ROOT,
                       L"CLSID\\{5A9A80BF-8271-429F-8CA6-281DA8715C59}\\InprocServer32", path,
                       &size) != ERROR_SUCCESS)
        return {};
    return path;
}

} // namespace
} // namespace velmora::wine

int wmain(int argc, wchar_t** argv) {
    using namespace velmora::wine;
    if (argc != 3) {
        std::printf("usage: com_client FOLDER LEGACY_FILE\n");
        return 2;
    }
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        std::printf("FAIL: CoInitializeEx\n");
        return 1;
    }
    SuiteContext context;
    context.folder = argv[1];
    context.legacyFile = argv[2];
    const std::wstring server = registeredServer();
    CHECK(!server.empty());
    context.dll = LoadLibraryW(server.c_str());
    CHECK(context.dll != nullptr);
    if (context.dll) {
        checkModule(context);
        checkProvider(context);
        checkDispatch(context);
        checkFiles(context);
    }
    CoUninitialize();
    std::printf("com_client: %d failures\n", failureCount());
    return failureCount() == 0 ? 0 : 1;
}
