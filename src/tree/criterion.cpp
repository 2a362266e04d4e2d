#include "tree/criterion.h"

#include "tree/section_node.h"

namespace velmora {

Criterion Criterion::parse(std::string_view text) {
    Criterion criterion;
    while (!text.empty()) {
        const std::size_t bar = text.find('|');
        const std::string_view term = text.substr(0, bar);
        text = bar == std::string_view::npos ? std::string_view() : text.substr(bar + 1);
        if (term.empty())
            continue;
        const std::size_t equals = term.find('=');
        if (equals == std::string_view::npos)
            criterion.terms_.emplace(std::string(term), std::string(term));
        else
            criterion.terms_.emplace(std::string(term.substr(0, equals)),
                                     std::string(term.substr(equals + 1)));
    }
    return criterion;
}

bool Criterion::matches(CSectionNode& child) const {
    if (terms_.empty())
        return false;
    for (const auto& [key, value] : terms_) {
        if (child.getPropertyValue(key) != value)
            return false;
    }
    return true;
}

} // namespace velmora
