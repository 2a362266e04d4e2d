// Helpers for the tests of the section classes and the document root.
#pragma once

#include "document/hud_document.h"
#include "tree/node_operations.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace velmora::testing {
using Names = std::vector<std::string>;

// A document of `type` with its standard sections, as a host gets it.
inline std::unique_ptr<CHudDocument> newDocument(const std::string& type = "hud") {
    auto document = std::make_unique<CHudDocument>(type);
    document->initDocument();
    return document;
}

// The node at `path`; fails the test, and gives the root, when there is none.
inline CSectionNode& at(CSectionNode& root, const std::string& path) {
    CSectionNode* node = resolveUri(&root, path);
    if (!node)
        ADD_FAILURE() << "no node at " << path;
    return node ? *node : root;
}

inline Names elementNames(const CNode& node) {
    Names names;
    for (const auto& child : node.children())
        names.push_back(child->getName());
    return names;
}

// The words of `text`, split at blanks.
inline Names words(const std::string& text) {
    std::istringstream in(text);
    Names names;
    for (std::string word; in >> word;)
        names.push_back(word);
    return names;
}

inline Names operator+(Names left, const Names& right) {
    left.insert(left.end(), right.begin(), right.end());
    return left;
}

// The properties of a node's class beyond "name" and "description", sorted.
inline Names ownProperties(const CSectionNode& node) {
    Names names;
    for (const PropertyDef& def : node.schema().inNameOrder())
        if (def.builtIn == BuiltIn::No)
            names.push_back(def.name);
    std::sort(names.begin(), names.end());
    return names;
}

// Whether the class of `node` knows `childName`; the tree stays as it is.
inline bool knows(CSectionNode& node, const std::string& childName) {
    return node.createChildNode(childName) != nullptr;
}

} // namespace velmora::testing
