#include "child_selection.h"

#include "session.h"
#include "tree/criterion.h"
#include "tree/section_node.h"

#include <algorithm>
#include <string_view>

namespace velmora::cli {
namespace {

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameChar(char a, char b, bool ignoreCase) {
    return ignoreCase ? asciiLower(a) == asciiLower(b) : a == b;
}

bool textMatches(std::string_view text, std::string_view value, const TextMatch& match) {
    const auto same = [&match](char a, char b) { return sameChar(a, b, match.ignoreCase); };
    // An empty value is part of every text, the empty one too.
    if (match.contains)
        return value.empty() || std::search(text.begin(), text.end(), value.begin(), value.end(),
                                            same) != text.end();
    return std::equal(text.begin(), text.end(), value.begin(), value.end(), same);
}

} // namespace

CSectionNode& selectNode(Session& session, const std::string& uri, const std::string& where) {
    CSectionNode& node = session.node(uri);
    return where.empty() ? node : firstMatchingChild(node, uri, where);
}

CSectionNode& firstMatchingChild(CSectionNode& parent, const std::string& uri,
                                 const std::string& where) {
    const Criterion criterion = Criterion::parse(where);
    for (const auto& child : parent.children()) {
        if (criterion.matches(*child))
            return *child;
    }
    throw CommandFailed("no child of " + describeUri(uri) + " matches '" + where + "'");
}

std::vector<CSectionNode*> childrenWithProperty(CSectionNode& parent, const std::string& name,
                                                const std::string& value, const TextMatch& match,
                                                bool all) {
    std::vector<CSectionNode*> found;
    for (const auto& child : parent.children()) {
        if (!textMatches(child->getPropertyValue(name), value, match))
            continue;
        found.push_back(child.get());
        if (!all)
            break;
    }
    return found;
}

} // namespace velmora::cli
