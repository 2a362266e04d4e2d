// DllRegisterServer and DllUnregisterServer: the registry script of the
// HudProvider class (resource REGISTRY 103, with %MODULE% the DLL's path) and
// the type library (resource TYPELIB 1).
#include "com/win32/module.h"
#include "com/win32/registry_apply.h"
#include "com/win32/registry_script.h"
#include "com/win32/resource_ids.h"

#include <windows.h>

#include <new>
#include <optional>

namespace velmora::com {
namespace {

std::optional<std::wstring> scriptText() {
    HRSRC found = FindResourceW(moduleInstance(), MAKEINTRESOURCEW(IDR_HUDPROVIDER), L"REGISTRY");
    if (!found)
        return std::nullopt;
    HGLOBAL loaded = LoadResource(moduleInstance(), found);
    const char* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    const int size = static_cast<int>(SizeofResource(moduleInstance(), found));
    if (!bytes || size <= 0)
        return std::nullopt;
    const int length = MultiByteToWideChar(CP_UTF8, 0, bytes, size, nullptr, 0);
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes, size, text.data(), length);
    return text;
}

HRESULT runScript(bool registering) {
    const std::optional<std::wstring> text = scriptText();
    if (!text)
        return HRESULT_FROM_WIN32(ERROR_RESOURCE_DATA_NOT_FOUND);
    const std::optional<RegistryScript> script =
        parseRegistryScript(*text, {{L"MODULE", modulePath()}});
    if (!script)
        return E_UNEXPECTED;
    return applyRegistryScript(*script, registering);
}

HRESULT registerTypeLibrary(bool registering) {
    std::wstring path = modulePath();
    ITypeLib* library = nullptr;
    HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, &library);
    if (FAILED(hr))
        return hr;
    if (registering) {
        hr = RegisterTypeLib(library, path.data(), nullptr);
    } else {
        TLIBATTR* attributes = nullptr;
        hr = library->GetLibAttr(&attributes);
        if (SUCCEEDED(hr)) {
            hr = UnRegisterTypeLib(attributes->guid, attributes->wMajorVerNum,
                                   attributes->wMinorVerNum, attributes->lcid, attributes->syskind);
            library->ReleaseTLibAttr(attributes);
        }
    }
    library->Release();
    return hr;
}

template <typename Call> HRESULT guarded(Call&& call) noexcept {
    try {
        return call();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

} // namespace
} // namespace velmora::com

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
    return velmora::com::guarded([] {
        const HRESULT hr = velmora::com::runScript(true);
        return FAILED(hr) ? hr : velmora::com::registerTypeLibrary(true);
    });
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
    return velmora::com::guarded([] {
        const HRESULT hr = velmora::com::registerTypeLibrary(false);
        const HRESULT removed = velmora::com::runScript(false);
        return FAILED(removed) ? removed : hr;
    });
}
