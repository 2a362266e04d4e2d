#include "archive/json_value.h"

#include "platform/code_page.h"

#include <charconv>
#include <cmath>

namespace velmora::archive {

// A recursive descent over the text; every read checks the bytes that remain.
class JsonReader {
public:
    explicit JsonReader(std::string_view text) : text_(text) {}

    std::optional<JsonValue> document() {
        JsonValue value;
        if (!readValue(value, 0))
            return std::nullopt;
        skipSpace();
        if (at_ != text_.size())
            return std::nullopt;
        return value;
    }

private:
    bool readValue(JsonValue& value, int depth) {
        if (depth >= kMaxJsonDepth)
            return false;
        skipSpace();
        if (at_ >= text_.size())
            return false;
        switch (text_[at_]) {
        case '{':
            return readObject(value, depth);
        case '[':
            return readArray(value, depth);
        case '"':
            value.type_ = JsonValue::Type::String;
            return readString(value.text_);
        case 't':
            value.type_ = JsonValue::Type::Bool;
            value.boolean_ = true;
            return readWord("true");
        case 'f':
            value.type_ = JsonValue::Type::Bool;
            return readWord("false");
        case 'n':
            return readWord("null");
        default:
            value.type_ = JsonValue::Type::Number;
            return readNumber(value.number_);
        }
    }

    bool readObject(JsonValue& value, int depth) {
        value.type_ = JsonValue::Type::Object;
        ++at_;
        skipSpace();
        if (take('}'))
            return true;
        do {
            skipSpace();
            std::string name;
            if (at_ >= text_.size() || text_[at_] != '"' || !readString(name))
                return false;
            skipSpace();
            if (!take(':'))
                return false;
            value.names_.push_back(std::move(name));
            value.items_.emplace_back();
            if (!readValue(value.items_.back(), depth + 1))
                return false;
            skipSpace();
        } while (take(','));
        return take('}');
    }

    bool readArray(JsonValue& value, int depth) {
        value.type_ = JsonValue::Type::Array;
        ++at_;
        skipSpace();
        if (take(']'))
            return true;
        do {
            value.items_.emplace_back();
            if (!readValue(value.items_.back(), depth + 1))
                return false;
            skipSpace();
        } while (take(','));
        return take(']');
    }

    // At the opening quote.
    bool readString(std::string& out) {
        ++at_;
        while (at_ < text_.size()) {
            const char c = text_[at_++];
            if (c == '"')
                return true;
            if (static_cast<unsigned char>(c) < 0x20)
                return false;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (!readEscape(out))
                return false;
        }
        return false;
    }

    bool readEscape(std::string& out) {
        if (at_ >= text_.size())
            return false;
        const char c = text_[at_++];
        switch (c) {
        case '"':
        case '\\':
        case '/':
            out += c;
            return true;
        case 'b':
            out += '\b';
            return true;
        case 'f':
            out += '\f';
            return true;
        case 'n':
            out += '\n';
            return true;
        case 'r':
            out += '\r';
            return true;
        case 't':
            out += '\t';
            return true;
        case 'u':
            return readUnicodeEscape(out);
        default:
            return false;
        }
    }

    // After "\u": one code unit, or a surrogate pair; a lone surrogate reads
    // as U+FFFD.
    bool readUnicodeEscape(std::string& out) {
        const std::optional<char32_t> unit = hex4();
        if (!unit)
            return false;
        char32_t codePoint = *unit;
        const bool high = *unit >= 0xD800 && *unit <= 0xDBFF;
        if (high && text_.substr(at_, 2) == "\\u") {
            const std::size_t mark = at_;
            at_ += 2;
            const std::optional<char32_t> low = hex4();
            if (low && *low >= 0xDC00 && *low <= 0xDFFF)
                codePoint = 0x10000 + ((*unit - 0xD800) << 10) + (*low - 0xDC00);
            else
                at_ = mark;
        }
        if (codePoint >= 0xD800 && codePoint <= 0xDFFF)
            codePoint = 0xFFFD;
        appendUtf8(out, codePoint);
        return true;
    }

    std::optional<char32_t> hex4() {
        if (text_.size() - at_ < 4)
            return std::nullopt;
        char32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = text_[at_++];
            const int digit = c >= '0' && c <= '9'   ? c - '0'
                              : c >= 'a' && c <= 'f' ? c - 'a' + 10
                              : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                     : -1;
            if (digit < 0)
                return std::nullopt;
            value = value * 16 + static_cast<char32_t>(digit);
        }
        return value;
    }

    // JSON's grammar, checked before the text is converted: from_chars
    // alone would take "01", "1." or "+1".
    bool readNumber(double& number) {
        const std::size_t start = at_;
        take('-');
        if (!take('0') && !digits())
            return false;
        if (take('.') && !digits())
            return false;
        if (take('e') || take('E')) {
            if (!take('+'))
                take('-');
            if (!digits())
                return false;
        }
        const char* first = text_.data() + start;
        const char* last = text_.data() + at_;
        const auto [end, error] = std::from_chars(first, last, number);
        return error == std::errc() && end == last && std::isfinite(number);
    }

    bool digits() {
        const std::size_t start = at_;
        while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9')
            ++at_;
        return at_ > start;
    }

    bool readWord(std::string_view word) {
        if (text_.substr(at_, word.size()) != word)
            return false;
        at_ += word.size();
        return true;
    }

    bool take(char c) {
        if (at_ >= text_.size() || text_[at_] != c)
            return false;
        ++at_;
        return true;
    }

    void skipSpace() {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' ||
                                      text_[at_] == '\n' || text_[at_] == '\r'))
            ++at_;
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

const JsonValue* JsonValue::member(std::string_view name) const {
    if (type_ != Type::Object)
        return nullptr;
    for (std::size_t i = 0; i < names_.size(); ++i) {
        if (names_[i] == name)
            return &items_[i];
    }
    return nullptr;
}

const std::string* JsonValue::stringMember(std::string_view name) const {
    const JsonValue* value = member(name);
    return value ? value->string() : nullptr;
}

std::optional<long long> JsonValue::integer() const {
    constexpr double kLargestExact = 9007199254740992.0; // 2^53
    if (type_ != Type::Number || std::trunc(number_) != number_ ||
        std::fabs(number_) > kLargestExact)
        return std::nullopt;
    return static_cast<long long>(number_);
}

std::optional<JsonValue> parseJson(std::string_view text) {
    return JsonReader(text).document();
}

} // namespace velmora::archive
