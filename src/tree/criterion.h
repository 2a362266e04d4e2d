// Criteria: how clients pick a child by its property texts.
//
// A criterion is "key=value" terms separated by "|" (runs of separators count
// as one; leading and trailing ones are ignored). A term is split at its first
// "="; a term without one uses the whole term as key and value. When a key
// repeats, its first term wins. A child matches when there is at least one
// term and each key's property text equals its value byte for byte.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace velmora {

class CSectionNode;

class Criterion {
public:
    static Criterion parse(std::string_view text);

    bool empty() const { return terms_.empty(); }
    const std::map<std::string, std::string, std::less<>>& terms() const { return terms_; }

    // Looking up a key the child lacks enters it as an entry of no kind.
    bool matches(CSectionNode& child) const;

private:
    std::map<std::string, std::string, std::less<>> terms_;
};

} // namespace velmora
