#include "com/win32/registry_apply.h"

#include <cwchar>

namespace velmora::com {
namespace {

using Removal = RegistryKey::Removal;

HRESULT fromWin32(LSTATUS status) {
    return status == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(static_cast<DWORD>(status));
}

bool missing(LSTATUS status) {
    return status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND;
}

HKEY rootKey(const std::wstring& name) {
    if (name == L"HKCR" || name == L"HKEY_CLASSES_ROOT")
        return HKEY_CLASSES_ROOT;
    if (name == L"HKLM" || name == L"HKEY_LOCAL_MACHINE")
        return HKEY_LOCAL_MACHINE;
    if (name == L"HKCU" || name == L"HKEY_CURRENT_USER")
        return HKEY_CURRENT_USER;
    if (name == L"HKU" || name == L"HKEY_USERS")
        return HKEY_USERS;
    return nullptr;
}

class OpenKey {
public:
    OpenKey() = default;
    ~OpenKey() {
        if (key_)
            RegCloseKey(key_);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    HKEY* out() { return &key_; }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

HRESULT writeValue(HKEY key, const RegistryValue& value) {
    const wchar_t* name = value.name.empty() ? nullptr : value.name.c_str();
    if (value.type == L'd') {
        const DWORD number = std::wcstoul(value.data.c_str(), nullptr, 0);
        return fromWin32(RegSetValueExW(key, name, 0, REG_DWORD,
                                        reinterpret_cast<const BYTE*>(&number), sizeof number));
    }
    const DWORD bytes = static_cast<DWORD>((value.data.size() + 1) * sizeof(wchar_t));
    return fromWin32(RegSetValueExW(key, name, 0, REG_SZ,
                                    reinterpret_cast<const BYTE*>(value.data.c_str()), bytes));
}

HRESULT deleteTree(HKEY parent, const std::wstring& name) {
    const LSTATUS status = RegDeleteTreeW(parent, name.c_str());
    if (status != ERROR_SUCCESS && !missing(status))
        return fromWin32(status);
    const LSTATUS removed = RegDeleteKeyW(parent, name.c_str());
    return missing(removed) ? S_OK : fromWin32(removed);
}

HRESULT registerKey(HKEY parent, const RegistryKey& k) {
    if (k.removal == Removal::Delete)
        return deleteTree(parent, k.name);
    if (k.removal == Removal::ForceRemove) {
        if (const HRESULT hr = deleteTree(parent, k.name); FAILED(hr))
            return hr;
    }
    OpenKey key;
    HRESULT hr = fromWin32(RegCreateKeyExW(parent, k.name.c_str(), 0, nullptr, 0,
                                           KEY_READ | KEY_WRITE, nullptr, key.out(), nullptr));
    if (SUCCEEDED(hr) && k.defaultValue)
        hr = writeValue(key.get(), *k.defaultValue);
    for (const RegistryValue& value : k.values) {
        if (SUCCEEDED(hr))
            hr = writeValue(key.get(), value);
    }
    for (const RegistryKey& child : k.keys) {
        if (SUCCEEDED(hr))
            hr = registerKey(key.get(), child);
    }
    return hr;
}

HRESULT unregisterKey(HKEY parent, const RegistryKey& k) {
    if (k.removal == Removal::Delete)
        return S_OK;
    if (k.removal == Removal::ForceRemove)
        return deleteTree(parent, k.name);
    DWORD subkeys = 0;
    {
        OpenKey key;
        const LSTATUS opened =
            RegOpenKeyExW(parent, k.name.c_str(), 0, KEY_READ | KEY_WRITE, key.out());
        if (missing(opened))
            return S_OK;
        if (opened != ERROR_SUCCESS)
            return fromWin32(opened);
        for (const RegistryKey& child : k.keys) {
            if (const HRESULT hr = unregisterKey(key.get(), child); FAILED(hr))
                return hr;
        }
        for (const RegistryValue& value : k.values)
            RegDeleteValueW(key.get(), value.name.c_str());
        const LSTATUS queried =
            RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                             nullptr, nullptr, nullptr, nullptr, nullptr);
        if (queried != ERROR_SUCCESS)
            return fromWin32(queried);
    }
    if (k.removal == Removal::NoRemove || subkeys > 0)
        return S_OK;
    const LSTATUS removed = RegDeleteKeyW(parent, k.name.c_str());
    return missing(removed) ? S_OK : fromWin32(removed);
}

} // namespace

HRESULT applyRegistryScript(const RegistryScript& script, bool registering) {
    for (const RegistryRoot& root : script.roots) {
        const HKEY base = rootKey(root.name);
        if (!base)
            return E_INVALIDARG;
        for (const RegistryKey& k : root.keys) {
            const HRESULT hr = registering ? registerKey(base, k) : unregisterKey(base, k);
            if (FAILED(hr))
                return hr;
        }
    }
    return S_OK;
}

} // namespace velmora::com
