// The tree core: naming of new children, lookups over the child list while it
// changes, and the limits on names and depth.
#include "tree/test_nodes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace velmora::testing {
namespace {
std::string addNamed(CNode& parent, const std::string& elementName) {
    CSectionNode* child = parent.addChild(elementName);
    return child ? child->getDisplayName() : "<none>";
}

std::string check(int number) {
    return "check" + std::to_string(number);
}

// Renames free and take names; names borne by other elements count too. Many
// siblings keep the child index consistent through gaps and removals.
TEST(NodeNaming, NewChildrenTakeTheSmallestFreeNumber) {
    TestContainer root;
    for (const char* expected : {"check1", "check2", "check3", "check4", "check5"})
        EXPECT_EQ(addNamed(root, "check"), expected);
    EXPECT_EQ(addNamed(root, "deposit"), "deposit1");
    root.findChildByNames("check", "check4")->rename("Smith");
    root.findChildByNames("check", "check1")->rename("check9");
    root.findChildByNames("deposit", "deposit1")->rename("check7");
    for (const char* expected : {"check1", "check4", "check6", "check8", "check10"})
        EXPECT_EQ(addNamed(root, "check"), expected);

    root.removeAllChildren();
    constexpr int kCount = 3000;
    for (int i = 1; i <= kCount; ++i)
        ASSERT_EQ(addNamed(root, "check"), check(i));
    for (const int gone : {2999, 17, 1000, 1})
        ASSERT_TRUE(root.removeChild(root.findChildByNames("check", check(gone))));
    for (const int expected : {1, 17, 1000, 2999, kCount + 1})
        EXPECT_EQ(addNamed(root, "check"), check(expected));
    EXPECT_EQ(root.countChildren("check"), static_cast<std::size_t>(kCount + 1));
    root.removeAllChildren();
    EXPECT_EQ(addNamed(root, "check"), "check1");
}

TEST(NodeLookup, FirstBearerFollowsRemovalsAndRenames) {
    TestContainer root;
    CSectionNode* a = root.addChild("check");
    CSectionNode* b = root.addChild("deposit");
    CSectionNode* c = root.addChild("check");
    CSectionNode* d = root.addChild("check");
    c->rename("same");
    d->rename("same");
    EXPECT_EQ(root.findChildByNames("check", "same"), c);
    a->rename("same");
    EXPECT_EQ(root.findChildByNames("check", "same"), a);
    a->rename("other");
    b->rename("same");
    EXPECT_EQ(root.findChildByKind(-1, "same"), b);
    EXPECT_EQ(root.findChildByNames("check", "same"), c);
    ASSERT_TRUE(root.removeChild(c));
    EXPECT_EQ(root.findChildByNames("check", "same"), d);
    EXPECT_EQ(root.findChild("check", a), d);
    EXPECT_EQ(root.nextChild(a), b);
    EXPECT_EQ(root.nextChild(d), nullptr);
    EXPECT_EQ(root.countChildren("check"), 2u);

    TestContainer stranger;
    CSectionNode* outsider = stranger.addChild("check");
    EXPECT_EQ(root.nextChild(outsider), nullptr);
    EXPECT_EQ(root.findChild("check", outsider), nullptr);
    EXPECT_FALSE(root.removeChild(outsider));
    EXPECT_EQ(stranger.childCount(), 1u);
}

// What the index must answer, found by walking the list: the first child of
// `elementName` (bearing `displayName`, when given) and their number.
CNode* firstByScan(const CNode& parent, const std::string& elementName,
                   const std::optional<std::string>& displayName = std::nullopt) {
    for (const auto& child : parent.children()) {
        if (child->getName() == elementName &&
            (!displayName || child->getDisplayName() == *displayName))
            return child.get();
    }
    return nullptr;
}

std::size_t countByScan(const CNode& parent, const std::string& elementName) {
    return static_cast<std::size_t>(std::ranges::count(
        parent.children(), elementName, [](const auto& child) { return child->getName(); }));
}

// Random renames into a small pool of shared names and random removals keep
// long probe runs and many equal names in the index; every lookup must agree
// with a walk over the list. The rare element name empties its entry in the
// index and fills it again many times.
TEST(NodeLookup, IndexAgreesWithTheChildListThroughRandomChanges) {
    TestContainer root;
    std::uint32_t state = 12345;
    const auto next = [&state](std::uint32_t bound) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % bound;
    };
    const auto poolName = [](std::uint32_t n) { return "shared" + std::to_string(n); };
    const std::vector<std::string> elements{"check", "deposit", "item"};
    const auto elementsAgree = [&root, &elements] {
        for (const std::string& element : elements) {
            ASSERT_EQ(root.countChildren(element), countByScan(root, element)) << element;
            ASSERT_EQ(root.findChild(element), firstByScan(root, element)) << element;
        }
    };
    for (int step = 0; step < 6000; ++step) {
        const std::uint32_t action = next(10);
        if (action < 5 || root.childCount() == 0) {
            root.addChild(action == 0 ? "item" : elements[action % 2]);
        } else {
            CSectionNode* picked = root.children()[next(root.childCount())].get();
            // Items go more often than they come, so their entry keeps emptying.
            if (picked->getName() == "item" || action >= 8)
                ASSERT_TRUE(root.removeChild(picked));
            else
                picked->rename(poolName(next(40)));
        }
        if (step % 50 == 0)
            elementsAgree();
    }
    elementsAgree();
    for (const auto& child : root.children())
        ASSERT_EQ(root.findChildByNames(child->getName(), child->getDisplayName()),
                  firstByScan(root, child->getName(), child->getDisplayName()));
    for (std::uint32_t n = 0; n < 40; ++n) {
        for (const std::string& element : elements)
            ASSERT_EQ(root.findChildByNames(element, poolName(n)),
                      firstByScan(root, element, poolName(n)));
    }
    EXPECT_EQ(root.findChildByNames("check", "nobody"), nullptr);
}

TEST(NodeTree, AddChildRefusesUnknownAndNonXmlNamesAndTooDeepTrees) {
    EXPECT_EQ(TestContainer().addChild("Check"), nullptr);
    OpenContainer open;
    for (const char* bad : {"", "a b", "1abc", "-x", ".x", "a<b", "a/b", "a=b", "a\"b"})
        EXPECT_EQ(open.addChild(bad), nullptr) << bad;
    for (const char* good : {"n100", "_x", "a-b.c", "\xC3\xA9t\xC3\xA9"})
        EXPECT_NE(open.addChild(good), nullptr) << good;
    EXPECT_EQ(open.childCount(), 4u);

    TestContainer root;
    CNode* deepest = &root;
    for (int level = 1; level < kMaxTreeDepth; ++level) {
        deepest = deepest->addChild("box");
        ASSERT_NE(deepest, nullptr) << level;
    }
    EXPECT_EQ(deepest->addChild("item"), nullptr);
    EXPECT_EQ(deepest->childCount(), 0u);
}

} // namespace
} // namespace velmora::testing
