// Picking children of a node for the commands that work on one: by a
// criterion (set, get, export and find with --where), and by one property's
// text (find).
#pragma once

#include <string>
#include <vector>

namespace velmora {
class CSectionNode;
}

namespace velmora::cli {

class Session;

// The node at `uri`, or with a non-empty `where` the first child of it that
// matches that criterion; throws CommandFailed when there is none.
CSectionNode& selectNode(Session& session, const std::string& uri, const std::string& where);

// The first child of `parent` (at `uri`) that matches the criterion `where`;
// throws CommandFailed when none does.
CSectionNode& firstMatchingChild(CSectionNode& parent, const std::string& uri,
                                 const std::string& where);

// How find compares a property's text with the value looked for. The default
// is the host operation's: equal byte for byte.
struct TextMatch {
    bool ignoreCase = false; // ASCII letters only: the tree text has no other case rule
    bool contains = false;   // the value may be any part of the text
};

// The children of `parent` whose property `name` matches `value`, in child
// order; only the first unless `all`.
std::vector<CSectionNode*> childrenWithProperty(CSectionNode& parent, const std::string& name,
                                                const std::string& value, const TextMatch& match,
                                                bool all);

} // namespace velmora::cli
