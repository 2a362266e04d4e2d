// The tree core: naming of new children, lookups over the child list while it
// changes, removal, discard marks and the depth limit.
#include "tree/test_nodes.h"

#include <gtest/gtest.h>

namespace velmora::testing {
namespace {

std::vector<std::string> displayNames(const CNode& parent) {
    std::vector<std::string> names;
    for (const auto& child : parent.children())
        names.push_back(child->getDisplayName());
    return names;
}

std::string addNamed(CNode& parent, const std::string& elementName) {
    CSectionNode* child = parent.addChild(elementName);
    return child ? child->getDisplayName() : "<none>";
}

TEST(NodeNaming, NewChildrenTakeTheSmallestFreeNumber) {
    TestContainer root;
    EXPECT_EQ(addNamed(root, "check"), "check1");
    EXPECT_EQ(addNamed(root, "check"), "check2");
    EXPECT_EQ(addNamed(root, "check"), "check3");
    EXPECT_EQ(addNamed(root, "deposit"), "deposit1");
    ASSERT_TRUE(root.removeChild(root.findChildByNames("check", "check2")));
    EXPECT_EQ(addNamed(root, "check"), "check2");
    EXPECT_EQ(addNamed(root, "check"), "check4");
    EXPECT_EQ(displayNames(root),
              (std::vector<std::string>{"check1", "check3", "deposit1", "check2", "check4"}));
}

TEST(NodeNaming, RenamingFreesAndTakesNames) {
    TestContainer root;
    for (int i = 0; i < 5; ++i)
        root.addChild("check");
    root.findChildByNames("check", "check4")->rename("Smith");
    root.findChildByNames("check", "check1")->rename("check9");
    EXPECT_EQ(addNamed(root, "check"), "check1");
    EXPECT_EQ(addNamed(root, "check"), "check4");
    EXPECT_EQ(addNamed(root, "check"), "check6");
    EXPECT_EQ(addNamed(root, "check"), "check7");
    EXPECT_EQ(addNamed(root, "check"), "check8");
    EXPECT_EQ(addNamed(root, "check"), "check10");
}

TEST(NodeNaming, NamesOfOtherElementsOfTheSameKindCount) {
    TestContainer root;
    root.addChild("deposit")->rename("check1");
    root.addChild("item")->rename("check3");
    EXPECT_EQ(addNamed(root, "check"), "check2");
    EXPECT_EQ(addNamed(root, "check"), "check4");
}

TEST(NodeNaming, ManySiblingsStayConsistentThroughGapsAndRemovals) {
    TestContainer root;
    constexpr int kCount = 3000;
    for (int i = 1; i <= kCount; ++i)
        ASSERT_EQ(addNamed(root, "check"), "check" + std::to_string(i));
    for (const int gone : {2999, 17, 1000, 1})
        ASSERT_TRUE(
            root.removeChild(root.findChildByNames("check", "check" + std::to_string(gone))));
    for (const int expected : {1, 17, 1000, 2999, kCount + 1})
        EXPECT_EQ(addNamed(root, "check"), "check" + std::to_string(expected));
    EXPECT_EQ(root.countChildren("check"), static_cast<std::size_t>(kCount + 1));
    root.removeAllChildren();
    EXPECT_EQ(addNamed(root, "check"), "check1");
}

TEST(NodeNaming, BracketedNamesCountAmongTheSiblings) {
    TestContainer root;
    CSectionNode* first = root.addChild("check");
    first->rename("Smith");
    root.addChild("check")->rename("Smith(1)");
    CSectionNode* third = root.addChild("check");
    third->rename("Smith");
    EXPECT_EQ(root.makeUniqueName(*third, false), "check1");
    third->rename("Smith");
    EXPECT_EQ(third->makeUniqueName(*third, true), "Smith(2)");
    EXPECT_EQ(third->getDisplayName(), "Smith(2)");
    EXPECT_EQ(root.findChildByNames("check", "Smith(2)"), third);
    // Names freed by a removal are found again.
    ASSERT_TRUE(root.removeChild(root.findChildByNames("check", "Smith(1)")));
    third->rename("Smith");
    EXPECT_EQ(third->makeUniqueName(*third, true), "Smith(1)");
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
    EXPECT_EQ(root.findChildByKind(-1, "same"), a);
    a->rename("other");
    EXPECT_EQ(root.findChildByNames("check", "same"), c);
    b->rename("same");
    EXPECT_EQ(root.findChildByKind(-1, "same"), b);
    EXPECT_EQ(root.findChildByNames("check", "same"), c);
    ASSERT_TRUE(root.removeChild(c));
    EXPECT_EQ(root.findChildByNames("check", "same"), d);
    EXPECT_EQ(root.findChild("check"), a);
    ASSERT_TRUE(root.removeChild(a));
    EXPECT_EQ(root.findChild("check"), d);
    EXPECT_EQ(root.findChildByKind(-1, "same"), b);
    EXPECT_EQ(root.findChildByKind(7, "same"), nullptr);
    EXPECT_EQ(root.countChildren("check"), 1u);
    EXPECT_EQ(root.countChildren(""), 2u);
}

TEST(NodeLookup, WalkingSiblings) {
    TestContainer root;
    TestContainer stranger;
    EXPECT_EQ(root.nextChild(nullptr), nullptr);
    CSectionNode* a = root.addChild("check");
    CSectionNode* b = root.addChild("deposit");
    CSectionNode* c = root.addChild("check");
    CSectionNode* outsider = stranger.addChild("check");
    EXPECT_EQ(root.nextChild(nullptr), a);
    EXPECT_EQ(root.nextChild(a), b);
    EXPECT_EQ(root.nextChild(c), nullptr);
    EXPECT_EQ(root.nextChild(outsider), nullptr);
    EXPECT_EQ(root.findChild("check", a), c);
    EXPECT_EQ(root.findChild("check", c), nullptr);
    EXPECT_EQ(root.findChild("check", outsider), nullptr);
    EXPECT_EQ(root.findChild("box"), nullptr);
    EXPECT_FALSE(root.removeChild(outsider));
    EXPECT_FALSE(root.removeChild(nullptr));
    EXPECT_EQ(root.childCount(), 3u);
    EXPECT_EQ(stranger.childCount(), 1u);
}

TEST(NodeTree, AddChildRefusesUnknownAndNonXmlNames) {
    TestContainer closed;
    EXPECT_EQ(closed.addChild("Check"), nullptr);
    EXPECT_EQ(closed.childCount(), 0u);

    OpenContainer open;
    for (const char* bad : {"", "a b", "1abc", "-x", ".x", "a<b", "a/b", "a=b", "a\"b"})
        EXPECT_EQ(open.addChild(bad), nullptr) << bad;
    EXPECT_EQ(open.childCount(), 0u);
    for (const char* good : {"n100", "_x", "a-b.c", "\xC3\xA9t\xC3\xA9"})
        EXPECT_NE(open.addChild(good), nullptr) << good;
}

TEST(NodeTree, DepthIsLimited) {
    TestContainer root;
    CNode* deepest = &root;
    for (int level = 1; level < kMaxTreeDepth; ++level) {
        CSectionNode* child = deepest->addChild("box");
        ASSERT_NE(child, nullptr) << level;
        EXPECT_EQ(child->depth(), level);
        deepest = child;
    }
    EXPECT_EQ(deepest->addChild("box"), nullptr);
    EXPECT_EQ(deepest->addChild("item"), nullptr);
    EXPECT_EQ(deepest->childCount(), 0u);
}

TEST(NodeTree, LoadFinishedDropsMarkedSiblings) {
    OpenContainer root;
    CSectionNode* keep1 = root.addChild("drop");
    CSectionNode* gone1 = root.addChild("drop");
    CSectionNode* gone2 = root.addChild("drop");
    CSectionNode* keep2 = root.addChild("drop");
    gone1->setDiscardMark(true);
    gone2->setDiscardMark(true);
    keep2->setDiscardMark(true);
    keep2->setDiscardMark(false);
    keep1->loadFinished();
    EXPECT_EQ(displayNames(root), (std::vector<std::string>{"drop1", "drop4"}));
    EXPECT_EQ(root.findChildByNames("drop", "drop2"), nullptr);
    EXPECT_EQ(addNamed(root, "drop"), "drop2");
    root.loadFinished(); // no parent: nothing to do
    EXPECT_EQ(root.childCount(), 3u);
}

} // namespace
} // namespace velmora::testing
