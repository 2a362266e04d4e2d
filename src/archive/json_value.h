// Reading JSON that comes from another program (the browser's DevTools
// messages): a small tree of values, read strictly. The text is untrusted:
// anything that is not well-formed JSON, nests deeper than a bound or holds
// raw control characters in a string is refused as a whole, never half-read.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::archive {

class JsonValue {
public:
    enum class Type { Null, Bool, Number, String, Array, Object };

    Type type() const { return type_; }

    // The member `name` of an object (the first, should the text repeat it);
    // none for a missing member or a value that is no object.
    const JsonValue* member(std::string_view name) const;
    // The text of a string member, or none.
    const std::string* stringMember(std::string_view name) const;
    // A string value's text (UTF-8, escapes resolved), or none.
    const std::string* string() const { return type_ == Type::String ? &text_ : nullptr; }
    // A number that is a whole number within +-2^53, or none.
    std::optional<long long> integer() const;

private:
    friend class JsonReader;

    Type type_ = Type::Null;
    bool boolean_ = false;
    double number_ = 0.0;
    std::string text_;
    std::vector<std::string> names_; // of an object, in the order of the text
    std::vector<JsonValue> items_;   // of an array, or the values of an object's names_
};

// Texts deeper than this are refused: each level is a frame of the reader.
inline constexpr int kMaxJsonDepth = 64;

// The value that is the whole of `text` (white space around it allowed), or
// none when the text is not one JSON value.
std::optional<JsonValue> parseJson(std::string_view text);

} // namespace velmora::archive
