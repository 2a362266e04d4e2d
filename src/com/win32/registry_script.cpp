#include "com/win32/registry_script.h"

#include <cwctype>
#include <stdexcept>

namespace velmora::com {
namespace {

struct Malformed : std::runtime_error {
    Malformed() : std::runtime_error("malformed registry script") {}
};

class Parser {
public:
    Parser(const std::wstring& text, const std::map<std::wstring, std::wstring>& variables)
        : text_(text), variables_(variables) {}

    RegistryScript script() {
        RegistryScript result;
        while (!atEnd()) {
            RegistryRoot root;
            root.name = word();
            expect(L'{');
            while (!accept(L'}'))
                root.keys.push_back(key(word()));
            result.roots.push_back(std::move(root));
        }
        return result;
    }

private:
    RegistryKey key(std::wstring name) {
        RegistryKey k;
        if (name == L"ForceRemove")
            k.removal = RegistryKey::Removal::ForceRemove;
        else if (name == L"NoRemove")
            k.removal = RegistryKey::Removal::NoRemove;
        else if (name == L"Delete")
            k.removal = RegistryKey::Removal::Delete;
        if (k.removal != RegistryKey::Removal::Normal)
            name = word();
        k.name = std::move(name);
        if (accept(L'='))
            k.defaultValue = typedValue(L"");
        if (accept(L'{')) {
            while (!accept(L'}')) {
                std::wstring next = word();
                if (next == L"val") {
                    std::wstring valueName = word();
                    expect(L'=');
                    k.values.push_back(typedValue(std::move(valueName)));
                } else {
                    k.keys.push_back(key(std::move(next)));
                }
            }
        }
        return k;
    }

    RegistryValue typedValue(std::wstring name) {
        RegistryValue value;
        value.name = std::move(name);
        const std::wstring type = word();
        if (type != L"s" && type != L"d")
            throw Malformed();
        value.type = type[0];
        value.data = word();
        return value;
    }

    void skipBlanks() {
        while (pos_ < text_.size() && std::iswspace(text_[pos_]))
            ++pos_;
    }

    bool atEnd() {
        skipBlanks();
        return pos_ == text_.size();
    }

    // A brace opens a block only when a blank follows it: {CLSID} is a name.
    bool opensName() const {
        return text_[pos_] == L'{' && pos_ + 1 < text_.size() && !std::iswspace(text_[pos_ + 1]);
    }

    bool accept(wchar_t symbol) {
        if (atEnd() || text_[pos_] != symbol || opensName())
            return false;
        ++pos_;
        return true;
    }

    void expect(wchar_t symbol) {
        if (!accept(symbol))
            throw Malformed();
    }

    // A bare word or a quoted string, with its variables replaced.
    std::wstring word() {
        if (atEnd())
            throw Malformed();
        std::wstring raw;
        if (text_[pos_] == L'\'') {
            for (++pos_;; ++pos_) {
                if (pos_ == text_.size())
                    throw Malformed();
                if (text_[pos_] == L'\'') {
                    if (pos_ + 1 < text_.size() && text_[pos_ + 1] == L'\'') {
                        raw += L'\'';
                        ++pos_;
                        continue;
                    }
                    ++pos_;
                    break;
                }
                raw += text_[pos_];
            }
        } else if (opensName()) {
            const std::size_t end = text_.find(L'}', pos_);
            if (end == std::wstring::npos)
                throw Malformed();
            raw = text_.substr(pos_, end + 1 - pos_);
            pos_ = end + 1;
        } else {
            while (pos_ < text_.size() && !std::iswspace(text_[pos_]) && text_[pos_] != L'{' &&
                   text_[pos_] != L'}' && text_[pos_] != L'=')
                raw += text_[pos_++];
            if (raw.empty())
                throw Malformed();
        }
        return substitute(raw);
    }

    std::wstring substitute(const std::wstring& raw) const {
        std::wstring result;
        for (std::size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] != L'%') {
                result += raw[i];
                continue;
            }
            const std::size_t end = raw.find(L'%', i + 1);
            if (end == std::wstring::npos)
                throw Malformed();
            const std::wstring name = raw.substr(i + 1, end - i - 1);
            if (name.empty()) {
                result += L'%';
            } else {
                const auto found = variables_.find(name);
                if (found == variables_.end())
                    throw Malformed();
                result += found->second;
            }
            i = end;
        }
        return result;
    }

    const std::wstring& text_;
    const std::map<std::wstring, std::wstring>& variables_;
    std::size_t pos_ = 0;
};

} // namespace

std::optional<RegistryScript>
parseRegistryScript(const std::wstring& text,
                    const std::map<std::wstring, std::wstring>& variables) {
    try {
        return Parser(text, variables).script();
    } catch (const Malformed&) {
        return std::nullopt;
    }
}

} // namespace velmora::com
