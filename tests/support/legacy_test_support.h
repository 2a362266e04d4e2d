// Shared pieces of the legacy import tests: predictable GUIDs, reading a
// converted tree by path, and expected values given as compact rows.
#pragma once

#include "document/hud_document.h"
#include "legacy/archive_reader.h"
#include "platform/guid.h"
#include "tree/node_operations.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

namespace velmora::testing {

// GUIDs 00000000-0000-4000-8000-000000000001, ...002, ... while installed.
class CountingGuids final : public GuidSource {
public:
    CountingGuids() : previous_(installGuidSource(this)) {}
    ~CountingGuids() override { installGuidSource(previous_); }
    std::string newGuid() override { return nth(++count_); }
    static std::string nth(int n) {
        char text[40];
        std::snprintf(text, sizeof text, "00000000-0000-4000-8000-%012d", n);
        return text;
    }

private:
    GuidSource* previous_;
    int count_ = 0;
};

inline ArchiveReader archiveOf(const std::string& bytes) {
    return ArchiveReader(std::vector<unsigned char>(bytes.begin(), bytes.end()));
}

// A property of the node at `path`, or a marker text when there is no node.
inline std::string valueAt(CSectionNode& root, const std::string& path, const std::string& name) {
    CSectionNode* node = resolveUri(&root, path);
    return node ? node->getPropertyValue(name) : "<no node " + path + ">";
}

inline std::vector<CSectionNode*> childrenAt(CSectionNode& root, const std::string& path) {
    std::vector<CSectionNode*> nodes;
    if (CSectionNode* node = resolveUri(&root, path))
        for (const auto& child : node->children())
            nodes.push_back(static_cast<CSectionNode*>(child.get()));
    return nodes;
}

// The children of `path`, each as "element:description,value,...;" with the
// values of `names` in order.
inline std::string listAt(CSectionNode& root, const std::string& path,
                          std::initializer_list<const char*> names) {
    std::string text;
    for (CSectionNode* child : childrenAt(root, path)) {
        text += child->getName() + ":" + child->getDescription();
        for (const char* name : names)
            text += "," + child->getPropertyValue(name);
        text += ";";
    }
    return text;
}

// Expected values at `path` as "name=value|name=value"; the name "desc" is
// the node's description. A row with a range stands for each line number n
// of first..last, with every '#' of its path and values replaced by n.
struct Row {
    std::string path, values;
    int first = 0, last = 0;
};

inline void expectRows(CSectionNode& root, const std::vector<Row>& rows) {
    for (const Row& row : rows) {
        for (int n = row.first; n <= row.last; ++n) {
            const auto expand = [n](std::string text) {
                for (std::size_t at; (at = text.find('#')) != std::string::npos;)
                    text.replace(at, 1, std::to_string(n));
                return text;
            };
            const std::string path = expand(row.path);
            CSectionNode* node = resolveUri(&root, path);
            ASSERT_NE(node, nullptr) << path;
            std::istringstream items(expand(row.values));
            for (std::string item; std::getline(items, item, '|');) {
                if (item.empty())
                    continue;
                const std::string name = item.substr(0, item.find('='));
                EXPECT_EQ(name == "desc" ? node->getDescription() : node->getPropertyValue(name),
                          item.substr(name.size() + 1))
                    << path << " " << name;
            }
        }
    }
}

} // namespace velmora::testing
