#include "wix_registry.h"

#include "com/win32/registry_script.h"

#include <map>
#include <optional>
#include <sstream>

namespace velmora::tools {
namespace {

using velmora::com::parseRegistryScript;
using velmora::com::RegistryKey;
using velmora::com::RegistryScript;
using velmora::com::RegistryValue;

// Variables are replaced by markers from the private-use area before the
// text is escaped, so that installer references survive the escaping that
// keeps every other bracket literal.
constexpr wchar_t kMarkerBase = 0xE000;

std::wstring widen(const std::string& text) {
    std::wstring result;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        char32_t point = c;
        int extra = 0;
        if (c >= 0xF0) {
            point = c & 0x07;
            extra = 3;
        } else if (c >= 0xE0) {
            point = c & 0x0F;
            extra = 2;
        } else if (c >= 0xC0) {
            point = c & 0x1F;
            extra = 1;
        }
        ++i;
        for (; extra > 0 && i < text.size(); --extra, ++i)
            point = (point << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
        result += static_cast<wchar_t>(point);
    }
    return result;
}

std::string narrow(const std::wstring& text) {
    std::string result;
    for (const wchar_t w : text) {
        const auto point = static_cast<char32_t>(w);
        if (point < 0x80) {
            result += static_cast<char>(point);
        } else if (point < 0x800) {
            result += static_cast<char>(0xC0 | (point >> 6));
            result += static_cast<char>(0x80 | (point & 0x3F));
        } else if (point < 0x10000) {
            result += static_cast<char>(0xE0 | (point >> 12));
            result += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
            result += static_cast<char>(0x80 | (point & 0x3F));
        } else {
            result += static_cast<char>(0xF0 | (point >> 18));
            result += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
            result += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
            result += static_cast<char>(0x80 | (point & 0x3F));
        }
    }
    return result;
}

std::wstring xmlEscaped(const std::wstring& text) {
    std::wstring result;
    for (const wchar_t c : text) {
        switch (c) {
        case L'&':
            result += L"&amp;";
            break;
        case L'<':
            result += L"&lt;";
            break;
        case L'>':
            result += L"&gt;";
            break;
        case L'"':
            result += L"&quot;";
            break;
        default:
            result += c;
        }
    }
    return result;
}

class Writer {
public:
    Writer(std::vector<std::wstring> references, std::wostream& out)
        : references_(std::move(references)), out_(out) {}

    const std::wstring& error() const { return error_; }

    bool root(const std::wstring& name, const std::vector<RegistryKey>& keys) {
        const std::wstring wixRoot = rootName(name);
        if (wixRoot.empty()) {
            error_ = L"unknown root " + name;
            return false;
        }
        for (const RegistryKey& k : keys) {
            if (!key(wixRoot, L"", k))
                return false;
        }
        return true;
    }

private:
    static std::wstring rootName(const std::wstring& name) {
        if (name == L"HKCR" || name == L"HKEY_CLASSES_ROOT")
            return L"HKCR";
        if (name == L"HKLM" || name == L"HKEY_LOCAL_MACHINE")
            return L"HKLM";
        if (name == L"HKCU" || name == L"HKEY_CURRENT_USER")
            return L"HKCU";
        if (name == L"HKU" || name == L"HKEY_USERS")
            return L"HKU";
        return L"";
    }

    const std::wstring* reference(wchar_t c) const {
        const std::size_t index = static_cast<std::size_t>(c) - kMarkerBase;
        return c >= kMarkerBase && index < references_.size() ? &references_[index] : nullptr;
    }

    // Installer text: brackets and braces are literal unless they come from a
    // variable, and a leading # would make a string a number.
    std::wstring formatted(const std::wstring& data, bool isValue) const {
        std::wstring result;
        for (const wchar_t c : data) {
            if (const std::wstring* r = reference(c))
                result += *r;
            else if (c == L'[' || c == L']' || c == L'{' || c == L'}')
                result += std::wstring(L"[\\") + c + L"]";
            else
                result += c;
        }
        if (isValue && !result.empty() && result[0] == L'#')
            result.insert(0, 1, L'#');
        return result;
    }

    // Key names keep their braces as they are: the installer formats only
    // bracketed properties in them, and a CLSID key is written in braces.
    std::wstring keyText(const std::wstring& name) const {
        std::wstring result;
        for (const wchar_t c : name) {
            if (const std::wstring* r = reference(c))
                result += *r;
            else if (c == L'[' || c == L']')
                result += std::wstring(L"[\\") + c + L"]";
            else
                result += c;
        }
        return result;
    }

    void value(const std::wstring& root, const std::wstring& path, const RegistryValue& v) {
        out_ << L"<RegistryValue Root=\"" << root << L"\" Key=\"" << xmlEscaped(keyText(path))
             << L"\"";
        if (!v.name.empty())
            out_ << L" Name=\"" << xmlEscaped(keyText(v.name)) << L"\"";
        if (v.type == L'd')
            out_ << L" Type=\"integer\" Value=\"" << std::wcstoul(v.data.c_str(), nullptr, 0)
                 << L"\"/>\n";
        else
            out_ << L" Type=\"string\" Value=\"" << xmlEscaped(formatted(v.data, true))
                 << L"\"/>\n";
    }

    bool key(const std::wstring& root, const std::wstring& parent, const RegistryKey& k) {
        const std::wstring path = parent.empty() ? k.name : parent + L"\\" + k.name;
        if (k.removal == RegistryKey::Removal::Delete) {
            // A package removes keys only on its own uninstall; a key the
            // registration deletes would differ between the two.
            error_ = L"Delete " + path + L" has no installer form";
            return false;
        }
        if (k.defaultValue)
            value(root, path, *k.defaultValue);
        for (const RegistryValue& v : k.values)
            value(root, path, v);
        if (!k.defaultValue && k.values.empty() && k.keys.empty() &&
            k.removal != RegistryKey::Removal::NoRemove) {
            // An empty key would be written by registration but by no value here.
            error_ = path + L" holds no value";
            return false;
        }
        for (const RegistryKey& child : k.keys) {
            if (!key(root, path, child))
                return false;
        }
        return true;
    }

    std::vector<std::wstring> references_;
    std::wostream& out_;
    std::wstring error_;
};

} // namespace

WixRegistry wixRegistryValues(const std::string& scriptUtf8,
                              const std::vector<std::pair<std::string, std::string>>& references) {
    std::map<std::wstring, std::wstring> variables;
    std::vector<std::wstring> texts;
    for (const auto& [name, text] : references) {
        variables[widen(name)] = std::wstring(1, static_cast<wchar_t>(kMarkerBase + texts.size()));
        texts.push_back(widen(text));
    }
    WixRegistry result;
    const std::optional<RegistryScript> script = parseRegistryScript(widen(scriptUtf8), variables);
    if (!script) {
        result.error = "not a well-formed registry script";
        return result;
    }
    std::wostringstream out;
    Writer writer(texts, out);
    for (const auto& root : script->roots) {
        if (!writer.root(root.name, root.keys)) {
            result.error = narrow(writer.error());
            return result;
        }
    }
    result.ok = true;
    result.elements = narrow(out.str());
    return result;
}

} // namespace velmora::tools
