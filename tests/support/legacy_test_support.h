// Shared pieces of the legacy import tests: predictable GUIDs, reading
// values of a converted tree by path, and dates in the tree's text form.
#pragma once

#include "document/hud_document.h"
#include "legacy/archive_reader.h"
#include "legacy/legacy_values.h"
#include "platform/guid.h"
#include "tree/node_operations.h"
#include "tree/text_forms.h"

#include <gtest/gtest.h>

#include <cstdio>
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

inline CSubDate subDate(int year, int month, int day, int kind = 0) {
    return CSubDate{{year, month, day}, kind};
}

// The text of a date property holding `date` as the import converts it.
inline std::string treeDate(const CDate& date) {
    if (date.year < 1001 || date.year > 9999 || date.month < 1 || date.day < 1)
        return "12/30/1899";
    return std::to_string(date.month) + "/" + std::to_string(date.day) + "/" +
           std::to_string(date.year);
}

// A property of the node at `path`, or a marker text when there is no node.
inline std::string valueAt(CSectionNode& root, const std::string& path, const std::string& name) {
    CSectionNode* node = resolveUri(&root, path);
    return node ? node->getPropertyValue(name) : "<no node " + path + ">";
}

inline std::string descriptionAt(CSectionNode& root, const std::string& path) {
    CSectionNode* node = resolveUri(&root, path);
    return node ? node->getDescription() : "<no node " + path + ">";
}

inline std::vector<CSectionNode*> childrenAt(CSectionNode& root, const std::string& path) {
    std::vector<CSectionNode*> nodes;
    if (CSectionNode* node = resolveUri(&root, path))
        for (const auto& child : node->children())
            nodes.push_back(static_cast<CSectionNode*>(child.get()));
    return nodes;
}

// Expected values, checked in one pass with the path in each failure.
class Expectations {
public:
    explicit Expectations(CSectionNode& root) : root_(root) {}
    void value(const std::string& path, const std::string& name, const std::string& expected) {
        EXPECT_EQ(valueAt(root_, path, name), expected) << path << " " << name;
    }
    void number(const std::string& path, const std::string& name, double expected) {
        value(path, name, formatDouble(expected));
    }
    void date(const std::string& path, const std::string& name, const CDate& expected) {
        value(path, name, treeDate(expected));
    }
    void description(const std::string& path, const std::string& expected) {
        EXPECT_EQ(descriptionAt(root_, path), expected) << path;
    }

private:
    CSectionNode& root_;
};

} // namespace velmora::testing
