#include "render/pdf/pdf_syntax.h"

namespace velmora::render::pdf {
namespace {

constexpr std::size_t kMaxDigits = 18;

bool isWhite(char c) {
    return c == '\0' || c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == ' ';
}

bool isDelimiter(char c) {
    switch (c) {
    case '(':
    case ')':
    case '<':
    case '>':
    case '[':
    case ']':
    case '{':
    case '}':
    case '/':
    case '%':
        return true;
    default:
        return false;
    }
}

bool isRegular(char c) {
    return !isWhite(c) && !isDelimiter(c);
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isHexDigit(char c) {
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

std::size_t regularEnd(std::string_view text, std::size_t at) {
    while (at < text.size() && isRegular(text[at]))
        ++at;
    return at;
}

// Parentheses inside balance, or are escaped by a backslash.
std::optional<std::size_t> literalStringEnd(std::string_view text, std::size_t at) {
    std::size_t open = 0;
    for (std::size_t i = at; i < text.size(); ++i) {
        if (text[i] == '\\') {
            ++i;
        } else if (text[i] == '(') {
            ++open;
        } else if (text[i] == ')' && --open == 0) {
            return i + 1;
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> hexStringEnd(std::string_view text, std::size_t at) {
    for (std::size_t i = at + 1; i < text.size(); ++i) {
        if (text[i] == '>')
            return i + 1;
        if (!isHexDigit(text[i]) && !isWhite(text[i]))
            return std::nullopt;
    }
    return std::nullopt;
}

bool isWholeNumber(std::string_view token) {
    if (token.empty())
        return false;
    for (const char c : token) {
        if (!isDigit(c))
            return false;
    }
    return true;
}

// A number, a keyword, or "n g R" when a whole number begins one.
std::size_t tokenEnd(std::string_view text, std::size_t at) {
    const std::size_t end = regularEnd(text, at);
    if (!isWholeNumber(text.substr(at, end - at)))
        return end;
    const std::size_t generation = skipBlanks(text, end);
    const std::size_t generationEnd = regularEnd(text, generation);
    if (!isWholeNumber(text.substr(generation, generationEnd - generation)))
        return end;
    const std::size_t r = skipBlanks(text, generationEnd);
    if (r < text.size() && text[r] == 'R' && regularEnd(text, r) == r + 1)
        return r + 1;
    return end;
}

std::optional<Dictionary> dictionaryAt(std::string_view text, std::size_t at, int depth);

std::optional<std::size_t> objectAt(std::string_view text, std::size_t at, int depth) {
    at = skipBlanks(text, at);
    if (at >= text.size() || depth > kMaxObjectDepth)
        return std::nullopt;
    switch (text[at]) {
    case '(':
        return literalStringEnd(text, at);
    case '<':
        if (at + 1 < text.size() && text[at + 1] == '<') {
            const std::optional<Dictionary> dictionary = dictionaryAt(text, at, depth + 1);
            return dictionary ? std::optional(dictionary->end) : std::nullopt;
        }
        return hexStringEnd(text, at);
    case '[':
        for (std::size_t i = skipBlanks(text, at + 1); i < text.size(); i = skipBlanks(text, i)) {
            if (text[i] == ']')
                return i + 1;
            const std::optional<std::size_t> end = objectAt(text, i, depth + 1);
            if (!end)
                return std::nullopt;
            i = *end;
        }
        return std::nullopt;
    case '/':
        return regularEnd(text, at + 1);
    default:
        break;
    }
    if (!isRegular(text[at]))
        return std::nullopt;
    return tokenEnd(text, at);
}

std::optional<Dictionary> dictionaryAt(std::string_view text, std::size_t at, int depth) {
    at = skipBlanks(text, at);
    if (at >= text.size() || depth > kMaxObjectDepth || text.substr(at, 2) != "<<")
        return std::nullopt;
    Dictionary dictionary;
    for (std::size_t i = skipBlanks(text, at + 2); i < text.size(); i = skipBlanks(text, i)) {
        if (text.substr(i, 2) == ">>") {
            dictionary.end = i + 2;
            return dictionary;
        }
        if (text[i] != '/')
            return std::nullopt;
        const std::size_t keyEnd = regularEnd(text, i + 1);
        const std::size_t value = skipBlanks(text, keyEnd);
        const std::optional<std::size_t> valueEnd = objectAt(text, value, depth);
        if (!valueEnd)
            return std::nullopt;
        dictionary.entries.push_back(
            {text.substr(i, keyEnd - i), text.substr(value, *valueEnd - value)});
        i = *valueEnd;
    }
    return std::nullopt;
}

} // namespace

std::size_t skipBlanks(std::string_view text, std::size_t at) {
    while (at < text.size()) {
        if (isWhite(text[at])) {
            ++at;
        } else if (text[at] == '%') {
            while (at < text.size() && text[at] != '\n' && text[at] != '\r')
                ++at;
        } else {
            break;
        }
    }
    return at;
}

std::optional<std::size_t> objectEnd(std::string_view text, std::size_t at) {
    return objectAt(text, at, 0);
}

std::optional<Dictionary> readDictionary(std::string_view text, std::size_t at) {
    return dictionaryAt(text, at, 0);
}

std::optional<std::string_view> valueOf(const Dictionary& dictionary, std::string_view key) {
    for (const DictionaryEntry& entry : dictionary.entries) {
        if (entry.key == key)
            return entry.value;
    }
    return std::nullopt;
}

std::optional<WholeNumber> wholeNumberAt(std::string_view text, std::size_t at) {
    at = skipBlanks(text, at);
    if (at >= text.size())
        return std::nullopt;
    const std::size_t end = regularEnd(text, at);
    const std::string_view digits = text.substr(at, end - at);
    if (!isWholeNumber(digits) || digits.size() > kMaxDigits)
        return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : digits)
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    return WholeNumber{value, end};
}

} // namespace velmora::render::pdf
